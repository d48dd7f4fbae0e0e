// SPDX-License-Identifier: GPL-3.0-or-later
// «Подбор породы» on six breeds of its own (and one extinct): the lists three families get,
// each entry with its reasons, and the count a screen reader hears; the chosen breed's
// facts; comparing; the ways in and back, the search's among them; Tab through the
// questions; a facts file that cannot be read; an edit seen at the next opening; the look at
// 100 %, 200 % and at night, the answers' marks as large as the zoom and seen at night.
#include "catalogue/form1.h"
#include "chooser/chooserwindow.h"
#include "core/announce.h"
#include "core/night.h"
#include "core/zoom.h"
#include "main_window/form2.h"
#include "search_window/searchwindow.h"
#include "tests/fixture.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

using chooser::ChooserWindow;

class TestChooser : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void families_data();
    void families();
    void chosenBreedsFacts();
    void compare();
    void waysInAndBack_data();
    void waysInAndBack();
    void foundBySearch_data();
    void foundBySearch();
    void enterOpensTheCatalogue();
    void tabThroughTheQuestions();
    void unreadableFacts_data();
    void unreadableFacts();
    void editSeenAtNextOpening();
    void screenshots();
    void answersMarks_data();
    void answersMarks();

private:
    std::unique_ptr<Fixture> f;
    ChooserWindow* open();
    void answer(ChooserWindow* w, const QStringList& texts);
};

namespace {
const QString& Header = BreedFactsHeader;
const QString& Facts = BreedFactsFixture;

QString catalogueText() {
    QString text;
    for (const char* name : {"Овчарка", "Пудель", "Мопс", "Хаски", "Бульдог", "Бишон", "Водолаз"})
        text += QStringLiteral("\"%1\",\"Описание: %1.\",\"sob001.jpg\"\r\n")
                    .arg(QString::fromUtf8(name));
    return text;
}

// The facts shown for a breed, from its name to the last fact.
QStringList lines(const QPlainTextEdit* text) {
    return text->toPlainText().split(u'\n');
}
} // namespace

void TestChooser::init() {
    f = std::make_unique<Fixture>();
    f->writeText("text\\FOLDOG.ssu", catalogueText());
    f->writeText("text\\podbor.ssu", Facts);
    QVERIFY(f->start());
}

void TestChooser::cleanup() {
    if (core::night::isOn()) core::night::choose(false, f->program()->values().pictures);
    core::zoom::take(core::zoom::Step::Normal, f->program()->values().pictures);
    f.reset();
}

ChooserWindow* TestChooser::open() {
    f->program()->openChooser(*f->program()->Form2());
    settle();
    return f->program()->chooserWindow();
}

// Clicks each answer by its text (after its group's caption and "/" where the text is not
// the only one), as a reader would.
void TestChooser::answer(ChooserWindow* w, const QStringList& texts) {
    for (const QString& text : texts) {
        QAbstractButton* button = nullptr;
        if (const qsizetype slash = text.indexOf(u'/'); slash > 0) {
            for (QGroupBox* group : w->groups())
                if (group->title() == text.left(slash))
                    for (QAbstractButton* b : group->findChildren<QAbstractButton*>())
                        if (b->text() == text.mid(slash + 1)) button = b;
        } else {
            button = w->answer(text);
        }
        QVERIFY2(button, qPrintable(text));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
}

void TestChooser::families_data() {
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QStringList>("said"); // once the answering pauses
    QTest::newRow("nothing answered")
        << QStringList{} << "Подходят все ответы: 6 пород из 6"
        << QStringList{"Бишон", "Бульдог", "Мопс", "Овчарка", "Пудель", "Хаски"} << QStringList{};
    QTest::newRow("pensioner in a flat, an hour's walks")
        << QStringList{"В квартире", "До часа в день"} << "Подходят все ответы: 3 породы из 6"
        << QStringList{"Бишон",
                       "Мопс",
                       "Пудель — с оговорками: прогулки",
                       "Не подходит один ответ:",
                       "Бульдог — не подходит: квартира; с оговорками: прогулки",
                       "Овчарка — не подходит: прогулки; с оговорками: квартира",
                       "Хаски — не подходит: прогулки; с оговорками: квартира"}
        << QStringList{"Подходят все ответы, 3 породы из 6"};
    QTest::newRow("family with a cat and schoolchildren")
        << QStringList{"Школьники", "Есть кошка"} << "Подходят все ответы: 4 породы из 6"
        << QStringList{"Бишон",
                       "Мопс",
                       "Пудель",
                       "Овчарка — с оговорками: кошка",
                       "Не подходит один ответ:",
                       "Бульдог — не подходит: кошка",
                       "Хаски — не подходит: кошка"}
        << QStringList{"Подходят все ответы, 4 породы из 6"};
    QTest::newRow("runner in a private house")
        << QStringList{"В частном доме", "Больше двух часов"} << "Подходят все ответы: 5 пород из 6"
        << QStringList{"Бульдог",
                       "Овчарка",
                       "Пудель",
                       "Хаски",
                       "Бишон — с оговорками: прогулки",
                       "Не подходит один ответ:",
                       "Мопс — не подходит: прогулки"}
        << QStringList{"Подходят все ответы, 5 пород из 6"};
    // Changed answers: the last radio button clicked counts, a box clicked twice does not.
    QTest::newRow("answers changed back")
        << QStringList{"Маленькие дети", "Дети/Не важно", "Есть кошка", "Есть кошка",
                       "Мини (до 5 кг)"}
        << "Подходят все ответы: 1 порода из 6"
        << QStringList{"Бишон",
                       "Не подходит один ответ:",
                       "Бульдог — не подходит: размер",
                       "Мопс — не подходит: размер",
                       "Овчарка — не подходит: размер",
                       "Пудель — не подходит: размер",
                       "Хаски — не подходит: размер"}
        << QStringList{"Подходят все ответы, 1 порода из 6"};
}

void TestChooser::families() {
    QFETCH(QStringList, answers);
    QFETCH(QString, count);
    QFETCH(QStringList, list);
    QFETCH(QStringList, said);
    ChooserWindow* w = open();
    QVERIFY(w && w->isVisible());
    core::announced().clear();
    answer(w, answers);
    QCOMPARE(w->Label8->fullText(), count);
    QCOMPARE(entries(w->List1), list);
    // An entry cut at the list's edge is whole under the pointer.
    QCOMPARE(w->List1->item(int(list.size()) - 1)->toolTip(), list.last());
    // Said once, after the last answer: the answers before it are not said at all.
    if (said.isEmpty()) QTest::qWait(core::AnnouncePauseMs + 200);
    QTRY_COMPARE(core::announced(), said);
    // The line between the parts is read but never chosen.
    const int line = int(list.indexOf("Не подходит один ответ:"));
    if (line >= 0) QCOMPARE(w->List1->item(line)->flags(), Qt::NoItemFlags);
    // «Сбросить ответы»: every answer back to «Не важно», the whole list again.
    QTest::mouseClick(w->Command2, Qt::LeftButton);
    QCOMPARE(w->Label8->fullText(), QString("Подходят все ответы: 6 пород из 6"));
    QVERIFY(w->answer("Не важно")->isChecked());
    QVERIFY(f->failures.isEmpty());
}

void TestChooser::chosenBreedsFacts() {
    ChooserWindow* w = open();
    answer(w, {"В квартире", "До часа в день"});
    clickEntry(w->List1, 4); // Бульдог
    QCOMPARE(lines(w->Text1),
             (QStringList{"Бульдог",
                          "Не подходит: в квартире — нет.",
                          "С оговорками: прогулки — полтора-два часа в день, со свободным бегом.",
                          "",
                          "Рост в холке: стандарт не указывает",
                          "Вес: кобели от 40 кг, суки от 35 кг",
                          "Размер: крупная",
                          "Шерсть: короткая",
                          "Линька: сезонная",
                          "Уход за шерстью: щётка раз в неделю или реже",
                          "Прогулки: полтора-два часа в день, со свободным бегом",
                          "Обучаемость: обучается при последовательности",
                          "С детьми: с оговорками",
                          "С другими собаками: нет",
                          "С кошками: нет",
                          "В квартире: нет",
                          "Первой собакой: нет",
                          "Одна дома: переносит плохо",
                          "Морозы: переносит хорошо",
                          "Жара: переносит умеренно",
                          "Охрана: охранник и защитник",
                          "Лай: по делу",
                          "Продолжительность жизни: 10–12 лет",
                          "Признание: не признана",
                          "В перечне потенциально опасных собак: да",
                          "",
                          "Порода входит в перечень потенциально опасных собак (постановление "
                          "Правительства России № 974 от 29 июля 2019 года): выгуливать её без "
                          "намордника и поводка нельзя нигде, кроме своей огороженной "
                          "территории с предупреждающей надписью. Подробнее — в разделе «Как "
                          "выбрать собаку», тема «Потенциально опасные собаки: что требует "
                          "закон»."}));
    // The keys go on from the chosen entry; the line between the parts is stepped over.
    w->List1->setFocus();
    QTest::keyClick(w->List1, Qt::Key_Up);
    QCOMPARE(lines(w->Text1).mid(0, 2), (QStringList{"Пудель", "С оговорками: прогулки — "
                                                               "полтора-два часа в день, со "
                                                               "свободным бегом."}));
    // An answer changed: the chosen breed stays chosen, its reasons follow.
    answer(w, {"Время на прогулки/Не важно"});
    QCOMPARE(w->List1->currentItem()->text(), QString("Пудель"));
    QCOMPARE(lines(w->Text1).mid(0, 2), (QStringList{"Пудель", "Подходит по всем ответам."}));
    // What a breed does not say is always there.
    QVERIFY(w->Label9->fullText().startsWith("Порода объясняет лишь часть характера"));
    QVERIFY(w->Label9->isVisible());
}

void TestChooser::compare() {
    ChooserWindow* w = open();
    QVERIFY(!w->Command1->isEnabled());
    // Space marks the entry the keys are on.
    w->List1->setFocus();
    const auto mark = [&](int row) {
        w->List1->setCurrentRow(row);
        QTest::keyClick(w->List1, Qt::Key_Space);
    };
    mark(2); // Мопс
    QVERIFY(!w->Command1->isEnabled());
    mark(5); // Хаски
    QVERIFY(w->Command1->isEnabled());
    QCOMPARE(w->marked(), (QStringList{"Мопс", "Хаски"}));
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    QVERIFY(w->Grid1->isVisible());
    QVERIFY(!w->Text1->isVisible());
    QCOMPARE(w->Grid1->horizontalHeaderItem(1)->text(), QString("Мопс"));
    QCOMPARE(w->Grid1->horizontalHeaderItem(2)->text(), QString("Хаски"));
    // Differences marked, the same facts not.
    QCOMPARE(w->Grid1->item(2, 0)->text(), QString("≠ Размер"));
    QCOMPARE(w->Grid1->item(2, 1)->text(), QString("малая"));
    QCOMPARE(w->Grid1->item(2, 2)->text(), QString("средняя"));
    QCOMPARE(w->Grid1->item(8, 0)->text(), QString("С детьми"));
    QCOMPARE(w->Grid1->item(9, 0)->text(), QString("С другими собаками"));
    mark(0); // Бишон: a third; moving in the list shows the facts of the entry moved to
    QVERIFY(!w->Grid1->isVisible());
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    QCOMPARE(w->Grid1->columnCount(), 4);
    mark(1); // Бульдог: a fourth is refused
    QCOMPARE(w->List1->item(1)->checkState(), Qt::Unchecked);
    QCOMPARE(w->marked(), (QStringList{"Мопс", "Хаски", "Бишон"}));
    QCOMPARE(w->Label8->fullText(),
             QString("Сравнить можно не больше трёх пород: снимите одну из отметок"));
    QCOMPARE(core::announced().last(),
             QString("Сравнить можно не больше трёх пород, снимите одну из отметок"));
    // An answer that leaves a marked breed out takes its mark away, and its column.
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    answer(w, {"Мини (до 5 кг)", "Маленькая (до 12 кг)", "Есть кошка"});
    QCOMPARE(w->marked(), (QStringList{"Мопс", "Бишон"}));
    QCOMPARE(w->Grid1->columnCount(), 3);
    // Choosing an entry shows its facts again.
    clickEntry(w->List1, 0);
    QVERIFY(w->Text1->isVisible());
    QVERIFY(!w->Grid1->isVisible());
}

void TestChooser::waysInAndBack_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("way");
    QTest::newRow("main menu, key 7") << "main"
                                      << "7";
    QTest::newRow("main menu, keypad 7") << "main"
                                         << "keypad 7";
    QTest::newRow("main menu, right-click menu") << "main"
                                                 << "menu";
    QTest::newRow("catalogue, key 7") << "catalogue"
                                      << "7";
    QTest::newRow("catalogue, its control") << "catalogue"
                                            << "click";
}

void TestChooser::waysInAndBack() {
    QFETCH(QString, from);
    QFETCH(QString, way);
    Program* p = f->program();
    core::FormBase* origin = p->Form2();
    if (from == "catalogue") {
        p->Form2()->Label6_Click();
        settle();
        origin = p->Form1();
    }
    if (way == "7") QTest::keyClick(origin, Qt::Key_7);
    if (way == "keypad 7") QTest::keyClick(origin, Qt::Key_7, Qt::KeypadModifier);
    if (way == "click") QTest::mouseClick(p->Form1()->Label11, Qt::LeftButton);
    if (way == "menu") {
        QTimer::singleShot(0, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* action : menu->actions())
                if (action->text() == "Подбор породы…") action->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                origin->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(origin, &event);
    }
    settle();
    ChooserWindow* w = p->chooserWindow();
    QVERIFY(w && w->isVisible());
    QVERIFY(!origin->isVisible());
    QCOMPARE(w->accessibleName(), QString("Подбор породы"));
    // Escape and Alt+Left go back to where it was opened from.
    QTest::keyClick(w, Qt::Key_Escape);
    settle();
    QVERIFY(!w->isVisible());
    QVERIFY(origin->isVisible());
    p->openChooser(*origin);
    settle();
    QTest::keyClick(w->List1, Qt::Key_Left, Qt::AltModifier);
    settle();
    QVERIFY(!w->isVisible());
    QVERIFY(origin->isVisible());
    QVERIFY(f->failures.isEmpty());
}

void TestChooser::foundBySearch_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("offered"); // «Подбор породы» the first result
    QTest::newRow("подобрать породу") << "main"
                                      << "подобрать породу" << true;
    QTest::newRow("its title, capitals") << "main"
                                         << "Подбор породы" << true;
    QTest::newRow("выбор породы") << "main"
                                  << "выбор породы" << true;
    QTest::newRow("какую породу выбрать") << "main"
                                          << "какую породу выбрать" << true;
    QTest::newRow("words between, other forms") << "main"
                                                << "как подобрать собаку для квартиры" << true;
    QTest::newRow("from the catalogue") << "catalogue"
                                        << "выбрать породу" << true;
    QTest::newRow("one of its words") << "main"
                                      << "порода" << false;
    QTest::newRow("another choice") << "main"
                                    << "подбор корма" << false;
    QTest::newRow("a breed of a name") << "main"
                                       << "овчарка" << false;
}

void TestChooser::foundBySearch() {
    QFETCH(QString, from);
    QFETCH(QString, query);
    QFETCH(bool, offered);
    Program* p = f->program();
    core::FormBase* origin = p->Form2();
    if (from == "catalogue") {
        p->Form2()->Label6_Click();
        settle();
        origin = p->Form1();
    }
    p->openSearch(*origin, QString());
    search::SearchWindow* s = p->searchWindow();
    QSignalSpy shown(s, &search::SearchWindow::answerShown);
    for (const QChar c : query)
        QTest::sendKeyEvent(QTest::Click, s->Text1, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTRY_VERIFY(shown.count() > 0 && s->Label8->fullText() != "Поиск…");
    QTRY_COMPARE(p->searchWindow()->results().value(0).title == "Подбор породы", offered);
    const QStringList listed = entries(s->List1);
    QCOMPARE(listed.count("Подбор породы"), offered ? 1 : 0);
    if (!offered) return;
    QCOMPARE(listed.first(), QString("Подбор породы"));
    QCOMPARE(s->List1->item(0)->data(Qt::AccessibleTextRole).toString(), QString("Подбор породы"));
    QVERIFY(s->Text2->toPlainText().startsWith("Двенадцать вопросов"));
    // Enter in the field opens it, as a result opens.
    QTest::keyClick(s->Text1, Qt::Key_Return);
    settle();
    ChooserWindow* w = p->chooserWindow();
    QVERIFY(w && w->isVisible());
    QVERIFY(!s->isVisible());
    QVERIFY(!origin->isVisible());
    QCOMPARE(w->Label8->fullText(), QString("Подходят все ответы: 6 пород из 6"));
    // Back to where the search was opened from, and it takes the keys again.
    QTest::keyClick(w, Qt::Key_Escape);
    settle();
    QVERIFY(!w->isVisible());
    QVERIFY(!s->isVisible());
    QVERIFY(origin->isVisible());
    QVERIFY(origin->isEnabled());
    QVERIFY(f->failures.isEmpty());
}

void TestChooser::enterOpensTheCatalogue() {
    ChooserWindow* w = open();
    clickEntry(w->List1, 3); // Овчарка
    w->List1->setFocus();
    QTest::keyClick(w->List1, Qt::Key_Return);
    settle();
    Form1* cat = f->program()->Form1();
    QVERIFY(!w->isVisible());
    QVERIFY(cat->isVisible());
    QCOMPARE(cat->Label1->fullText(), QString("Овчарка"));
    QCOMPARE(cat->Text1->toPlainText(), QString("Описание: Овчарка."));
    QCOMPARE(cat->List1->selectedText(), QString("Овчарка"));
    // Its back button goes to the main menu, as from any breed.
    cat->Image2_Click();
    QVERIFY(f->program()->Form2()->isVisible());
}

void TestChooser::tabThroughTheQuestions() {
    ChooserWindow* w = open();
    answer(w, {"В квартире"});
    QStringList visited;
    w->Image2->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        visited << (button ? button->text() : QApplication::focusWidget()->objectName());
    }
    // A radio group is entered at its choice, a box is a stop of its own.
    QCOMPARE(visited, (QStringList{"В квартире", "Мини (до 5 кг)", "Маленькая (до 12 кг)",
                                   "Средняя (до 25 кг)", "Крупная (до 50 кг)",
                                   "Гигантская (больше 50 кг)", "Не важно", "Не важно"}));
    // The arrows move the choice within its group.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(qobject_cast<QAbstractButton*>(QApplication::focusWidget())->text(),
             QString("Первая собака"));
    QVERIFY(w->answer("Первая собака")->isChecked());
    QCOMPARE(w->answers().experience, facts::Answers::Experience::First);
}

void TestChooser::unreadableFacts_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("missing") << "missing"
                             << "Файл не найден: text\\podbor.ssu";
    QTest::newRow("a folder") << "folder"
                              << "Файл не найден: text\\podbor.ssu";
    QTest::newRow("empty") << "empty"
                           << "В text\\podbor.ssu нет ни одной породы";
    QTest::newRow("only the column names") << "header"
                                           << "В text\\podbor.ssu нет ни одной породы";
}

void TestChooser::unreadableFacts() {
    QFETCH(QString, kind);
    QFETCH(QString, said);
    f->remove("text\\podbor.ssu");
    if (kind == "folder") f->writeText("text\\podbor.ssu\\x", "");
    if (kind == "empty") f->writeText("text\\podbor.ssu", "");
    if (kind == "header") f->writeText("text\\podbor.ssu", Header);
    ChooserWindow* w = open();
    QVERIFY(w->isVisible());
    QCOMPARE(w->Label8->fullText(), said);
    QCOMPARE(w->List1->count(), 0);
    answer(w, {"В квартире", "Есть кошка"});
    QCOMPARE(w->List1->count(), 0);
    // Said in the window only: the program goes on as before.
    QVERIFY(f->failures.isEmpty());
    QTest::keyClick(w, Qt::Key_Escape);
    settle();
    QVERIFY(f->program()->Form2()->isVisible());
}

void TestChooser::editSeenAtNextOpening() {
    ChooserWindow* w = open();
    QCOMPARE(w->List1->count(), 6);
    QTest::keyClick(w, Qt::Key_Escape);
    settle();
    // One breed less, and a line longer than before: another size.
    QString edited = Facts;
    edited.remove(edited.indexOf("\"Мопс\""),
                  edited.indexOf("\"Хаски\"") - edited.indexOf("\"Мопс\""));
    f->writeText("text\\podbor.ssu", edited);
    QCOMPARE(w->List1->count(), 6); // nothing is read while it is closed
    w = open();
    QCOMPARE(entries(w->List1), (QStringList{"Бишон", "Бульдог", "Овчарка", "Пудель", "Хаски"}));
    QCOMPARE(w->Label8->fullText(), QString("Подходят все ответы: 5 пород из 5"));
}

void TestChooser::screenshots() {
    ChooserWindow* w = open();
    answer(w, {"В квартире", "До часа в день", "Почти не линяет"});
    clickEntry(w->List1, 0);
    // The window as the 1920 by 1080 screen of this test shows it, at every zoom.
    saveScreenshot(w, "chooser_100");
    QVERIFY(w->Questions->geometry().bottom() <= w->Label9->geometry().bottom());
    core::PictureCache& pictures = f->program()->values().pictures;
    while (core::zoom::target(core::zoom::Step::Larger))
        core::zoom::take(core::zoom::Step::Larger, pictures);
    QCOMPARE(core::zoom::percent(), 200);
    settle();
    saveScreenshot(w, "chooser_200");
    core::zoom::take(core::zoom::Step::Normal, pictures);
    core::night::choose(true, pictures);
    w->List1->item(0)->setCheckState(Qt::Checked);
    w->List1->item(1)->setCheckState(Qt::Checked);
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    settle();
    saveScreenshot(w, "chooser_night_compare");
    // Every question's answers stand inside its group, none cut off.
    for (const QGroupBox* group : w->groups())
        for (const QAbstractButton* b : group->findChildren<QAbstractButton*>())
            QVERIFY2(group->rect().contains(b->geometry()) && b->sizeHint().width() <= b->width() &&
                         b->sizeHint().height() <= b->height(),
                     qPrintable(b->text()));
}

void TestChooser::answersMarks_data() {
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("night");
    QTest::addColumn<int>("side"); // of a check box's and a radio button's mark, in pixels
    QTest::newRow("100 %") << 100 << false << 14;
    QTest::newRow("150 %") << 150 << false << 21;
    QTest::newRow("200 %") << 200 << false << 28;
    QTest::newRow("100 % at night") << 100 << true << 14;
    QTest::newRow("200 % at night") << 200 << true << 28;
}

void TestChooser::answersMarks() {
    QFETCH(int, percent);
    QFETCH(bool, night);
    QFETCH(int, side);
    ChooserWindow* w = open();
    core::PictureCache& pictures = f->program()->values().pictures;
    while (core::zoom::percent() < percent)
        core::zoom::take(core::zoom::Step::Larger, pictures);
    QCOMPARE(core::zoom::percent(), percent);
    if (night) core::night::choose(true, pictures);
    settle();
    const QImage shown = w->grab().toImage();
    for (const QString& text : {QString("Есть кошка"), QString("В квартире")}) {
        QAbstractButton* b = w->answer(text);
        QStyleOptionButton option;
        option.initFrom(b);
        const QRect mark = b->style()->subElementRect(qobject_cast<QCheckBox*>(b)
                                                          ? QStyle::SE_CheckBoxIndicator
                                                          : QStyle::SE_RadioButtonIndicator,
                                                      &option, b);
        QCOMPARE(mark.width(), side);
        QCOMPARE(mark.height(), side);
        // Unchecked, its outline stands out from what it stands on and its inside.
        if (night) {
            const QRect at(b->mapTo(w, mark.topLeft()), mark.size());
            const double ratio = measuredContrast(shown.copy(at.adjusted(-2, -2, 2, 2))).ratio;
            QVERIFY2(ratio >= 3, qPrintable(QString("%1: %2").arg(text).arg(ratio)));
        }
    }
    // The list's marks for comparing grow as its text does.
    QVERIFY(w->List1->visualItemRect(w->List1->item(0)).height() >= side);
}

PSOGRAF_TEST_MAIN(TestChooser)
#include "test_chooser.moc"

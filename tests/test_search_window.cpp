// SPDX-License-Identifier: GPL-3.0-or-later
// The search window over a small reference: results as the reader types, the passage with
// its found words marked, and a chosen result opening the reader or the catalogue by the
// menu's own steps and sounds, followed by a user's choice there.
#include "catalogue/form1.h"
#include "formats/bookmarks.h"
#include "main_window/form2.h"
#include "search_window/searchwindow.h"
#include "tests/fixture.h"
#include "topics/form4.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <QTextBlock>
#include <QTimer>
#include <condition_variable>
#include <mutex>

class TestSearchWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }
    void choosingAResult_data();
    void choosingAResult();
    void fileChangedSinceTheAnswer_data();
    void fileChangedSinceTheAnswer();
    void newerAnswerWins();
    void focusStaysInTheField();
    void passagesListedLater();
    void linesAboveAndBelow_data();
    void linesAboveAndBelow();
    void backToWhereItWasOpened();
    void waysIn_data();
    void waysIn();
    void contextMenuOfTheMainWindow();
    void bookmarksAndRecent();
    void bookmarksFileUnreadable();

private:
    std::unique_ptr<Fixture> f;
    search::SearchWindow* open(core::FormBase& from, const QString& typed);
};

namespace {
// Typed a letter at a time, as Cyrillic text arrives from the keyboard.
void typeOnly(search::SearchWindow* w, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w->Text1, Qt::Key_unknown, QString(c), Qt::NoModifier);
}
// A text box's text with its marks (extra selections) shown [so].
QString markedText(const core::TextBox* box) {
    QString text = box->toPlainText();
    const QList<QTextEdit::ExtraSelection> marks = box->extraSelections();
    for (auto m = marks.crbegin(); m != marks.crend(); ++m)
        text.insert(m->cursor.selectionEnd(), ']').insert(m->cursor.selectionStart(), '[');
    return text;
}

// Typed, and its answer shown.
bool type(search::SearchWindow* w, const QString& text) {
    QSignalSpy shown(w, &search::SearchWindow::answerShown);
    typeOnly(w, text);
    return shown.count() > 0 || shown.wait(10000);
}

// Holds the searcher's thread in its before-answer hook until released; released at the
// latest when it goes out of scope, so that the thread never waits for ever.
struct Gate {
    std::mutex mutex;
    std::condition_variable wake;
    bool open = false;
    void wait(std::unique_lock<std::mutex>& lock) {
        wake.wait(lock, [this] { return open; });
    }
    void release() {
        std::lock_guard lock(mutex);
        open = true;
        wake.notify_all();
    }
    ~Gate() { release(); }
};
} // namespace

void TestSearchWindow::init() {
    f = std::make_unique<Fixture>();
    f->writeText("text\\kvs.ssu", "#Когда нужен ветеринар\r\nПри беде звоните врачу.\r\n"
                                  "#Когда нужен ветеринар\r\n#Клещи и пироплазмоз\r\n"
                                  "Клещей снимают пинцетом; клещи опасны весной.\r\n"
                                  "#Клещи и пироплазмоз\r\n#Блохи\r\nБлохи прыгают.\r\n#Блохи\r\n");
    for (const char* other : {"text\\HCD.ssu", "text\\vos.ssu", "text\\kiv.ssu", "text\\drs.ssu"})
        f->writeText(other, "#Вступление\r\nО собаках.\r\n#Вступление\r\n");
    f->writeText("text\\FOLDOG.ssu", "\"Лайка\",\"Северная собака.\",\"sob001.jpg\"\r\n"
                                     "\"Акита-ину\",\"Родом из Японии; весёлая и спокойная.\","
                                     "\"sob002.jpg\"\r\n"
                                     "\"Лайка\",\"Другая, рабочая.\",\"sob001.jpg\"\r\n");
    QVERIFY(f->start());
}

search::SearchWindow* TestSearchWindow::open(core::FormBase& from, const QString& typed) {
    f->program()->openSearch(from, typed);
    search::SearchWindow* w = f->program()->searchWindow();
    if (!typed.isEmpty()) QSignalSpy(w, &search::SearchWindow::answerShown).wait(10000);
    settle();
    return w;
}

void TestSearchWindow::choosingAResult_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("row");        // the result chosen
    QTest::addColumn<QString>("label");  // the first result
    QTest::addColumn<QString>("marked"); // the first word marked in its passage
    QTest::addColumn<bool>("breed");
    QTest::addColumn<QString>("shown"); // the title or name then shown
    // Its text then, the query's words marked [so]; the cursor on the first of them.
    QTest::addColumn<QString>("text");
    QTest::newRow("topic, another word form")
        << "клещами" << 0 << "Лечение собаки › Клещи и пироплазмоз"
        << "Клещей" << false << "Клещи и пироплазмоз"
        << "     [Клещей] снимают пинцетом; [клещи] опасны весной.\n     ";
    QTest::newRow("breed, case") << "ЯПОНИЯ" << 0 << "Каталог пород › Акита-ину"
                                 << "Японии" << true << "Акита-ину"
                                 << "Родом из [Японии]; весёлая и спокойная.";
    QTest::newRow("breed, ё as е") << "веселая" << 0 << "Каталог пород › Акита-ину"
                                   << "весёлая" << true << "Акита-ину"
                                   << "Родом из Японии; [весёлая] и спокойная.";
    // Two breeds of one name: the one found is the one opened.
    QTest::newRow("first of two of a name") << "северная" << 0 << "Каталог пород › Лайка"
                                            << "Северная" << true << "Лайка"
                                            << "[Северная] собака.";
    QTest::newRow("last of two of a name") << "рабочая" << 0 << "Каталог пород › Лайка"
                                           << "рабочая" << true << "Лайка"
                                           << "Другая, [рабочая].";
    // Found by its name alone: nothing in its text to mark.
    QTest::newRow("second result, found by its title") << "лайка" << 1 << "Каталог пород › Лайка"
                                                       << "" << true << "Лайка"
                                                       << "Другая, рабочая.";
    // Latin letters read as said: the word found is marked.
    QTest::newRow("Latin letters") << "pintsetom" << 0 << "Лечение собаки › Клещи и пироплазмоз"
                                   << "пинцетом" << false << "Клещи и пироплазмоз"
                                   << "     Клещей снимают [пинцетом]; клещи опасны весной.\n     ";
}

void TestSearchWindow::choosingAResult() {
    QFETCH(QString, query);
    QFETCH(int, row);
    QFETCH(QString, label);
    QFETCH(QString, marked);
    QFETCH(bool, breed);
    QFETCH(QString, shown);
    QFETCH(QString, text);
    Program* p = f->program();
    search::SearchWindow* w = open(*p->Form2(), QString());
    QVERIFY(w->isVisible());
    QVERIFY(!p->Form2()->isVisible());
    QVERIFY(w->Text1->hasFocus());
    QVERIFY(type(w, query));
    QVERIFY(w->List1->count() >= 1);
    QCOMPARE(w->List1->item(0)->text(), label);
    // Read out with a pause, no punctuation said: «Лечение собаки, Клещи и пироплазмоз».
    QCOMPARE(w->List1->item(0)->data(Qt::AccessibleTextRole).toString(),
             QString(label).replace(" › ", ", "));
    // Shown, not made current: the field keeps the focus.
    QCOMPARE(w->List1->currentRow(), -1);
    QVERIFY(w->Text1->hasFocus());
    // The passage marks the found word.
    if (!marked.isEmpty()) {
        const QTextCursor at = w->Text2->document()->find(marked);
        QVERIFY(!at.isNull());
        QTextCursor inside(w->Text2->document());
        inside.setPosition(at.selectionStart() + 1);
        QCOMPARE(inside.charFormat().fontWeight(), int(QFont::Bold));
    }
    if (row == 0) saveScreenshot(w, QStringLiteral("search_%1").arg(breed ? "breed" : "topic"));

    f->sounds.clear();
    // Down from the field into the list (and on to the row), Enter there.
    QTest::keyClick(w->Text1, Qt::Key_Down);
    QVERIFY(w->List1->hasFocus());
    QCOMPARE(w->List1->currentRow(), 0);
    for (int i = 0; i < row; ++i)
        QTest::keyClick(w->List1, Qt::Key_Down);
    const QString chosen = w->List1->currentItem()->text();
    QTest::keyClick(w->List1, Qt::Key_Return);
    settle();
    QVERIFY(!w->isVisible());
    QStringList played;
    for (const QString& sound : f->sounds)
        played << sound.section(u'\\', -1);
    // The menu's click, then the choice in the window it opened.
    QCOMPARE(played, (QStringList{"check.wav", "stat.wav"}));
    core::FormBase* window = nullptr;
    core::TextBox* opened = nullptr;
    if (breed) {
        QVERIFY(p->Form1()->isVisible());
        QCOMPARE(p->Form1()->Label1->text(), shown);
        window = p->Form1();
        opened = p->Form1()->Text1;
    } else {
        Form4* reader = p->Form4();
        QVERIFY(reader->isVisible());
        QCOMPARE(reader->Label7->text(), QString("Лечение собаки"));
        QCOMPARE(reader->Label1_1->text(), shown);
        QCOMPARE(reader->List1->selectedItems().value(0)->text(), shown);
        QCOMPARE(p->values().TopicFilePath, QString("text\\kvs.ssu"));
        window = reader;
        opened = reader->Text1;
    }
    // The words found marked in the text, which is itself unchanged; the cursor and the
    // focus on the first of them, where a screen reader begins.
    QCOMPARE(markedText(opened), text);
    const bool anyMarked = text.contains('[');
    if (anyMarked) {
        QVERIFY(opened->hasFocus());
        QCOMPARE(opened->textCursor().position(), int(text.indexOf('[')));
        QVERIFY(!opened->textCursor().hasSelection());
    }

    // Ctrl+F brings the search back: the query selected, so that typing replaces it, and
    // the result chosen still chosen.
    QSignalSpy again(w, &search::SearchWindow::answerShown);
    QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_F,
                    Qt::ControlModifier);
    QVERIFY(again.count() > 0 || again.wait(10000));
    settle();
    QVERIFY(w->isVisible());
    QVERIFY(w->Text1->hasFocus());
    QCOMPARE(w->Text1->text(), query);
    QCOMPARE(w->Text1->selectedText(), query);
    QCOMPARE(w->List1->currentRow(), row);
    QCOMPARE(w->List1->currentItem()->text(), chosen);
    // Enter opens it again, marked again.
    QTest::keyClick(w->Text1, Qt::Key_Return);
    settle();
    QVERIFY(window->isVisible());
    QCOMPARE(markedText(opened), text);
    // Left by its back button, the search starts afresh next time.
    open(*window, QString());
    QCOMPARE(w->Text1->text(), query);
    QTest::keyClick(w->Text1, Qt::Key_Escape);
    open(*window, QString());
    QCOMPARE(w->Text1->text(), QString());
    QVERIFY(f->failures.isEmpty());
}

// The files change while the answer is shown: what is opened is checked again first.
void TestSearchWindow::fileChangedSinceTheAnswer_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("change"); // "topic gone", "breed gone", "edited", "file gone"
    QTest::addColumn<QString>("notice"); // said in the window; empty: opened
    QTest::addColumn<int>("failures");   // message boxes
    QTest::newRow("topic gone") << "пинцетом"
                                << "topic gone"
                                << "«Клещи и пироплазмоз» больше нет в text\\kvs.ssu: файл "
                                   "изменён после поиска"
                                << 0;
    QTest::newRow("breed gone") << "японии"
                                << "breed gone"
                                << "«Акита-ину» больше нет в text\\FOLDOG.ssu: файл изменён "
                                   "после поиска"
                                << 0;
    QTest::newRow("topic edited, still there") << "пинцетом"
                                               << "edited"
                                               << "" << 0;
    // The reader says it once, as it does when its section is chosen in the menu.
    QTest::newRow("section file gone") << "пинцетом"
                                       << "file gone"
                                       << "" << 1;
}

void TestSearchWindow::fileChangedSinceTheAnswer() {
    QFETCH(QString, query);
    QFETCH(QString, change);
    QFETCH(QString, notice);
    QFETCH(int, failures);
    Program* p = f->program();
    search::SearchWindow* w = open(*p->Form2(), QString());
    QVERIFY(type(w, query));
    QCOMPARE(w->results().size(), 1);
    const QString kvs = "#Когда нужен ветеринар\r\nПри беде звоните врачу.\r\n"
                        "#Когда нужен ветеринар\r\n";
    if (change == "topic gone")
        f->writeText("text\\kvs.ssu", kvs);
    else if (change == "edited")
        f->writeText("text\\kvs.ssu", kvs + "#Клещи и пироплазмоз\r\nТеперь иначе.\r\n"
                                            "#Клещи и пироплазмоз\r\n");
    else if (change == "breed gone")
        f->writeText("text\\FOLDOG.ssu", "\"Лайка\",\"Северная собака.\",\"sob001.jpg\"\r\n");
    else if (change == "file gone")
        f->remove("text\\kvs.ssu");
    QSignalSpy shown(w, &search::SearchWindow::answerShown);
    QTest::keyClick(w->Text1, Qt::Key_Return);
    settle();
    if (notice.isEmpty()) {
        QVERIFY(!w->isVisible());
        if (change == "edited")
            QCOMPARE(p->Form4()->Text1->toPlainText().trimmed(), "Теперь иначе.");
    } else {
        // Not opened: said, and searched again on the files as they are now.
        QVERIFY(w->isVisible());
        QCOMPARE(w->Label9->text(), notice);
        QVERIFY(shown.count() > 0 || shown.wait(10000));
        QCOMPARE(w->results().size(), 0);
        QCOMPARE(w->Label9->text(), notice);
        QVERIFY(w->Text1->hasFocus());
    }
    QCOMPARE(f->failures.size(), failures);
    if (failures) QCOMPARE(f->failures[0].number, 53);
}

// An older search that answers late never shows over the newer one.
void TestSearchWindow::newerAnswerWins() {
    search::SearchWindow* w = open(*f->program()->Form2(), QString());
    Gate gate;
    w->searcher().setBeforeAnswer([&](const QString& query) {
        if (query != "кл") return;
        std::unique_lock lock(gate.mutex);
        gate.wait(lock);
    });
    QStringList delivered;
    connect(&w->searcher(), &search::Searcher::answered,
            [&](const QString& query) { delivered << query; });
    QSignalSpy shown(w, &search::SearchWindow::answerShown);
    typeOnly(w, "кл"); // found, then held back before it is sent
    QTest::qWait(50);
    typeOnly(w, "ещ");
    gate.release();
    QVERIFY(shown.wait(10000));
    QTest::qWait(50);
    QCOMPARE(delivered, QStringList{"клещ"});
    QCOMPARE(entries(w->List1), QStringList{"Лечение собаки › Клещи и пироплазмоз"});
    w->searcher().setBeforeAnswer({});
}

// Typing never moves the focus; Down goes into the list on the first result, and the
// next Down to the next one. «Ничего не найдено» is no result: Down leaves the focus in the
// field (a screen reader hears it said again), and a click still reaches it as before.
void TestSearchWindow::focusStaysInTheField() {
    search::SearchWindow* w = open(*f->program()->Form2(), QString());
    QVERIFY(type(w, "собака"));
    QVERIFY(w->List1->count() >= 2);
    QVERIFY(w->Text1->hasFocus());
    QCOMPARE(w->List1->currentRow(), -1);
    const QString first = w->Text2->toPlainText();
    QVERIFY(!first.isEmpty()); // the first result's passage
    QTest::keyClick(w->Text1, Qt::Key_Down);
    QVERIFY(w->List1->hasFocus());
    QCOMPARE(w->List1->currentRow(), 0);
    QCOMPARE(w->Text2->toPlainText(), first);
    QTest::keyClick(w->List1, Qt::Key_Down);
    QCOMPARE(w->List1->currentRow(), 1);

    w->Text1->setFocus();
    QVERIFY(type(w, "зебра"));
    QTest::keyClick(w->Text1, Qt::Key_Down);
    QVERIFY(w->Text1->hasFocus());
    const QRect note = w->List1->visualItemRect(w->List1->item(0));
    QTest::mouseClick(w->List1->viewport(), Qt::LeftButton, {}, note.center());
    QVERIFY(w->List1->hasFocus());
    QCOMPARE(w->List1->currentItem()->text(), QString("Ничего не найдено"));
    QTest::keyClick(w->List1, Qt::Key_Return);
    QVERIFY(w->isVisible());
}

// With many results the list shows at once; the passages past the first come after it,
// into the same list: the entry the reader chose stays chosen.
void TestSearchWindow::passagesListedLater() {
    QString topics;
    for (int i = 0; i < 80; ++i)
        topics += QString("#Клещи %1\r\nКлещ номер %1.\r\n#Клещи %1\r\n").arg(i);
    f->writeText("text\\kvs.ssu", topics);
    search::SearchWindow* w = open(*f->program()->Form2(), QString());
    Gate gate;
    int sent = 0;
    QString held = "клещ"; // whose answers are counted, the second held back
    // The complete answer waits until the reader has chosen from the early one.
    w->searcher().setBeforeAnswer([&](const QString& query) {
        std::unique_lock lock(gate.mutex);
        if (query == held && ++sent == 2) gate.wait(lock);
    });
    QSignalSpy answers(&w->searcher(), &search::Searcher::answered);
    typeOnly(w, "клещ");
    QTRY_COMPARE(w->List1->count(), 80);
    QCOMPARE(answers.count(), 1);
    w->List1->setCurrentRow(75);
    gate.release();
    QTRY_COMPARE(answers.count(), 2);
    QCOMPARE(w->List1->count(), 80);
    QCOMPARE(w->List1->currentRow(), 75);
    QCOMPARE(w->Text2->toPlainText(), QString("Клещ номер 75."));

    // Another query's early answer, come while the last one's rest was on its way, is a new
    // list even when it holds the same entries.
    {
        std::lock_guard lock(gate.mutex);
        gate.open = false;
        sent = 0;
        held = "клещи";
    }
    QSignalSpy shown(w, &search::SearchWindow::answerShown);
    typeOnly(w, "и");
    QVERIFY(shown.wait(10000));
    w->List1->setCurrentRow(75);
    typeOnly(w, " номер");
    gate.release();
    QTRY_COMPARE(shown.count(), 3);
    QCOMPARE(w->List1->count(), 80);
    QCOMPARE(w->List1->currentRow(), -1);
}

void TestSearchWindow::linesAboveAndBelow_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("removed"); // a content file taken away first
    QTest::addColumn<QString>("found");   // the line above the results
    QTest::addColumn<QString>("failed");  // the line below them
    QTest::addColumn<QStringList>("list");
    QTest::newRow("found") << "клещ"
                           << ""
                           << "Найдено: 1"
                           << "" << QStringList{"Лечение собаки › Клещи и пироплазмоз"};
    QTest::newRow("partial") << "клещи ветеринар"
                             << ""
                             << "Найдено: 0, без одного из слов: 2"
                             << ""
                             << QStringList{"Лечение собаки › Когда нужен ветеринар (не все слова)",
                                            "Лечение собаки › Клещи и пироплазмоз (не все слова)"};
    QTest::newRow("typo") << "ветеренар"
                          << ""
                          << "Показаны результаты для: ветеринар. Найдено: 1"
                          << "" << QStringList{"Лечение собаки › Когда нужен ветеринар"};
    QTest::newRow("a file that cannot be read")
        << "клещ"
        << "text\\HCD.ssu"
        << "Найдено: 1"
        << "Не удалось прочитать: text\\HCD.ssu"
        << QStringList{"Лечение собаки › Клещи и пироплазмоз"};
    QTest::newRow("a word found nowhere")
        << "клещи зебра"
        << ""
        << "Ничего не найдено по словам: зебра. Найдено: 0, без одного из слов: 1"
        << "" << QStringList{"Лечение собаки › Клещи и пироплазмоз (не все слова)"};
    QTest::newRow("two words found nowhere")
        << "клещи зебра жираф"
        << ""
        << "Ничего не найдено по словам: зебра, жираф. Найдено: 0, без одного из слов: 1"
        << "" << QStringList{"Лечение собаки › Клещи и пироплазмоз (не все слова)"};
    QTest::newRow("nothing") << "зебра"
                             << ""
                             << "Найдено: 0"
                             << "" << QStringList{"Ничего не найдено"};
}

void TestSearchWindow::linesAboveAndBelow() {
    QFETCH(QString, query);
    QFETCH(QString, removed);
    QFETCH(QString, found);
    QFETCH(QString, failed);
    QFETCH(QStringList, list);
    if (!removed.isEmpty()) f->remove(removed);
    search::SearchWindow* w = open(*f->program()->Form2(), QString());
    QVERIFY(type(w, query));
    QCOMPARE(w->Label8->text(), found);
    QCOMPARE(w->Label9->text(), failed);
    QCOMPARE(entries(w->List1), list);
    QVERIFY(f->failures.isEmpty()); // no message box
    saveScreenshot(w, "search_" + QString(QTest::currentDataTag()).replace(' ', '_'));
}

void TestSearchWindow::backToWhereItWasOpened() {
    Program* p = f->program();
    // From the main window, with a letter typed there; nothing found is said so.
    search::SearchWindow* w = open(*p->Form2(), "з");
    QCOMPARE(w->Text1->text(), QString("з"));
    QVERIFY(type(w, "ебра"));
    QCOMPARE(entries(w->List1), QStringList{"Ничего не найдено"});
    QTest::keyClick(w->Text1, Qt::Key_Return);
    QVERIFY(w->isVisible());
    w->Text1->clear();
    // An empty field lists the bookmarks and the recently read: none yet.
    QCOMPARE(entries(w->List1),
             (QStringList{"Закладки", "    нет: Ctrl+D в разделе или каталоге добавляет закладку",
                          "Недавно прочитанные", "    пока ничего"}));
    f->sounds.clear();
    QTest::keyClick(w->Text1, Qt::Key_Escape);
    QVERIFY(!w->isVisible());
    QVERIFY(p->Form2()->isVisible());
    QCOMPARE(f->sounds.size(), 1);
    QVERIFY(f->sounds.first().endsWith("\\Sound\\select.wav"));

    // From the reader: it stays beneath, keeps its topic, and takes no input meanwhile.
    p->Form2()->Label4_Click();
    settle();
    Form4* reader = p->Form4();
    clickEntry(reader->List1, 1);
    const QString topic = reader->Label1_1->text();
    open(*reader, QString());
    QVERIFY(reader->isVisible());
    QVERIFY(!reader->isFormEnabled());
    QTest::mouseClick(w->Image2, Qt::LeftButton);
    QVERIFY(!w->isVisible());
    QVERIFY(reader->isFormEnabled());
    QCOMPARE(reader->Label1_1->text(), topic);
    QCOMPARE(reader->List1->count(), 3);

    // A topic chosen from there opens the reader afresh on that section.
    open(*reader, "блох");
    QTest::keyClick(w->Text1, Qt::Key_Return);
    settle();
    QVERIFY(reader->isVisible());
    QVERIFY(reader->isFormEnabled());
    QCOMPARE(reader->List1->count(), 3);
    QCOMPARE(reader->Label1_1->text(), QString("Блохи"));
    QVERIFY(f->failures.isEmpty());
}

void TestSearchWindow::waysIn_data() {
    QTest::addColumn<int>("window"); // 0 main, 1 reader, 2 catalogue
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("typed");
    QTest::newRow("Ctrl+F, main") << 0 << int(Qt::Key_F) << int(Qt::ControlModifier) << "" << true
                                  << "";
    QTest::newRow("Ctrl+F, reader")
        << 1 << int(Qt::Key_F) << int(Qt::ControlModifier) << "" << true << "";
    QTest::newRow("Ctrl+F, catalogue")
        << 2 << int(Qt::Key_F) << int(Qt::ControlModifier) << "" << true << "";
    QTest::newRow("a Russian letter, main") << 0 << int(Qt::Key_unknown) << 0 << "к" << true << "к";
    QTest::newRow("a Latin letter, main") << 0 << int(Qt::Key_D) << 0 << "d" << true << "d";
    QTest::newRow("a letter in the catalogue's list stays type-ahead")
        << 2 << int(Qt::Key_unknown) << 0 << "л" << false << "";
}

void TestSearchWindow::waysIn() {
    QFETCH(int, window);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, opens);
    QFETCH(QString, typed);
    Program* p = f->program();
    QWidget* target = p->Form2();
    if (window == 1) {
        p->Form2()->Label4_Click();
        target = p->Form4()->List1;
    } else if (window == 2) {
        p->Form2()->Label6_Click();
        target = p->Form1()->List1;
    }
    settle();
    target->setFocus();
    QTest::sendKeyEvent(QTest::Click, target, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
    settle();
    search::SearchWindow* w = p->searchWindow();
    QCOMPARE(w && w->isVisible(), opens);
    if (opens) QCOMPARE(w->Text1->text(), typed);
}

void TestSearchWindow::contextMenuOfTheMainWindow() {
    Program* p = f->program();
    QStringList items;
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions())
                items << a->text() + u'|' + a->shortcut().toString();
            menu->actions().value(0)->trigger();
            menu->close();
        }
    });
    // Anywhere on the surface, over a photo as well as over bare ground.
    QWidget* photo = p->Form2()->Image5;
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            photo->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(photo, &event);
    settle();
    QCOMPARE(items, (QStringList{"Поиск по справочнику…|Ctrl+F", "Подбор породы…|7", "Закладки…|",
                                 "|", "Крупнее|Ctrl+=", "Мельче|Ctrl+-", "Обычный размер|Ctrl+0",
                                 "|", "Ночной режим|Ctrl+Shift+N"}));
    QVERIFY(p->searchWindow() && p->searchWindow()->isVisible());
    QVERIFY(!p->Form2()->isVisible());
}

namespace {
QByteArray bookmarksFile() {
    QFile file(bookmarks::path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}
const QString Header = "# Пёсограф: закладки и недавно прочитанные\n";

QStringList spoken(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->data(Qt::AccessibleTextRole).toString();
    return out;
}
} // namespace

// Ctrl+D and the star in the reader and the catalogue; with the field empty the bookmarks
// and the recently read, opened as results open, one no longer in the reference said so and
// removed.
void TestSearchWindow::bookmarksAndRecent() {
    Program* p = f->program();
    p->Form2()->Label4_Click();
    settle();
    Form4* reader = p->Form4();
    // The first topic, shown by itself: not bookmarked, not counted as read.
    QCOMPARE(reader->Label1_1->text(), QString("Когда нужен ветеринар"));
    QVERIFY(reader->Bookmark->isVisible());
    QCOMPARE(reader->Bookmark->text(), QString("☆"));
    QCOMPARE(reader->Bookmark->accessibleName(), QString("Добавить в закладки"));
    QCOMPARE(bookmarksFile(), QByteArray("(none)"));
    clickEntry(reader->List1, entries(reader->List1).indexOf("Клещи и пироплазмоз"));
    QTest::keyClick(reader->Text1, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(reader->Bookmark->text(), QString("★"));
    QCOMPARE(reader->Bookmark->accessibleName(), QString("Убрать из закладок"));
    saveScreenshot(reader, "reader_bookmarked");
    // Again: removed; a click on the star: bookmarked again.
    QTest::keyClick(reader->List1, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(reader->Bookmark->accessibleName(), QString("Добавить в закладки"));
    QTest::mouseClick(reader->Bookmark, Qt::LeftButton);
    QCOMPARE(reader->Bookmark->accessibleName(), QString("Убрать из закладок"));
    reader->Image2_Click();
    settle();

    p->Form2()->Label6_Click();
    settle();
    Form1* catalogue = p->Form1();
    QCOMPARE(catalogue->Bookmark->text(), QString("☆"));
    clickEntry(catalogue->List1, 1);
    QCOMPARE(catalogue->Label1->text(), QString("Акита-ину"));
    QTest::keyClick(catalogue->List1, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(catalogue->Bookmark->text(), QString("★"));
    saveScreenshot(catalogue, "catalogue_bookmarked");
    catalogue->Image2_Click();
    settle();
    QCOMPARE(QString::fromUtf8(bookmarksFile()),
             Header + "закладка\tтема\tЛечение собаки\tКлещи и пироплазмоз\n"
                      "закладка\tпорода\tАкита-ину\n"
                      "прочитано\tпорода\tАкита-ину\n"
                      "прочитано\tтема\tЛечение собаки\tКлещи и пироплазмоз\n");
    // Another copy bookmarked a topic since taken out of the reference.
    {
        QFile file(bookmarks::path());
        QVERIFY(file.open(QIODevice::Append));
        file.write("закладка\tтема\tЛечение собаки\tСтарая тема\n");
    }

    search::SearchWindow* w = open(*p->Form2(), QString());
    QCOMPARE(entries(w->List1),
             (QStringList{"Закладки", "Лечение собаки › Клещи и пироплазмоз",
                          "Каталог пород › Акита-ину",
                          "Лечение собаки › Старая тема — нет в справочнике", "Недавно прочитанные",
                          "Каталог пород › Акита-ину", "Лечение собаки › Клещи и пироплазмоз"}));
    // A screen reader hears each group's name and size, and each entry with a pause.
    QCOMPARE(spoken(w->List1), (QStringList{"Закладки, 3", "Лечение собаки, Клещи и пироплазмоз",
                                            "Каталог пород, Акита-ину",
                                            "Лечение собаки, Старая тема, нет в справочнике",
                                            "Недавно прочитанные, 2", "Каталог пород, Акита-ину",
                                            "Лечение собаки, Клещи и пироплазмоз"}));
    saveScreenshot(w, "search_bookmarks");
    // Gone: said, never opened; Delete takes it out of the list and the file.
    QTest::keyClick(w->Text1, Qt::Key_Down);
    w->List1->setCurrentRow(3);
    QTest::keyClick(w->List1, Qt::Key_Return);
    settle();
    QVERIFY(w->isVisible());
    QCOMPARE(w->Label9->text(), QString("«Старая тема» нет в справочнике"));
    QTest::keyClick(w->List1, Qt::Key_Delete);
    QCOMPARE(entries(w->List1).size(), 6);
    QVERIFY(!bookmarksFile().contains("Старая тема"));
    QCOMPARE(w->List1->currentRow(), 3); // on the next, the heading of the recent
    // Typing searches; emptying the field lists them again.
    QVERIFY(type(w, "клещ"));
    QCOMPARE(w->List1->item(0)->text(), QString("Лечение собаки › Клещи и пироплазмоз"));
    w->Text1->clear();
    settle();
    QCOMPARE(entries(w->List1).value(0), QString("Закладки"));
    // Opened as a result opens: the catalogue on the breed.
    w->List1->setFocus();
    w->List1->setCurrentRow(2);
    QTest::keyClick(w->List1, Qt::Key_Return);
    settle();
    QVERIFY(!w->isVisible());
    QVERIFY(catalogue->isVisible());
    QCOMPARE(catalogue->Label1->text(), QString("Акита-ину"));
    QCOMPARE(catalogue->Bookmark->text(), QString("★"));
    catalogue->Image2_Click();
    settle();

    // «Закладки…» in the main menu: the search window, on the first bookmark.
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            menu->actions().value(2)->trigger();
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            p->Form2()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(p->Form2(), &event);
    settle();
    QVERIFY(w->isVisible());
    QVERIFY(w->List1->hasFocus());
    QCOMPARE(w->List1->currentItem()->text(), QString("Лечение собаки › Клещи и пироплазмоз"));
    QVERIFY(f->failures.isEmpty());
}

// A bookmarks file that cannot be read: the search window says so once, and the program
// goes on without writing over it.
void TestSearchWindow::bookmarksFileUnreadable() {
    QVERIFY(QDir().mkpath(QFileInfo(bookmarks::path()).path()));
    f->writeBytes("data/psograf/bookmarks.txt", QByteArray("\x00\x01 чужой файл", 19));
    Program* p = f->program();
    search::SearchWindow* w = open(*p->Form2(), QString());
    QVERIFY2(w->Label9->text().startsWith("Закладки не прочитаны: "),
             qPrintable(w->Label9->text()));
    QVERIFY(w->Label9->text().endsWith("bookmarks.txt не файл закладок"));
    QCOMPARE(entries(w->List1).value(0), QString("Закладки"));
    w->Image2_Click();
    settle();
    p->Form2()->Label6_Click();
    settle();
    QTest::keyClick(p->Form1()->List1, Qt::Key_D, Qt::ControlModifier);
    // Not kept, but shown for the rest of the run.
    QCOMPARE(p->Form1()->Bookmark->text(), QString("★"));
    p->Form1()->Image2_Click();
    settle();
    w = open(*p->Form2(), QString());
    // Said once each: what could not be kept is new, what could not be read is not said again.
    QVERIFY2(w->Label9->text().startsWith("Закладки не сохранены: "),
             qPrintable(w->Label9->text()));
    QCOMPARE(entries(w->List1).mid(0, 2), (QStringList{"Закладки", "Каталог пород › Лайка"}));
    w->Image2_Click();
    settle();
    w = open(*p->Form2(), QString());
    QCOMPARE(w->Label9->text(), QString());
    QCOMPARE(bookmarksFile(), QByteArray("\x00\x01 чужой файл", 19));
    QVERIFY(f->failures.isEmpty());
}

PSOGRAF_TEST_MAIN(TestSearchWindow)
#include "test_search_window.moc"

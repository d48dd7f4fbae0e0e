// SPDX-License-Identifier: GPL-3.0-or-later
// The topic reader window, opened the way the main menu opens it.
#include "core/announce.h"
#include "core/night.h"
#include "main_window/form2.h"
#include "tests/fixture.h"
#include "topics/form4.h"

#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

namespace {
const QString Example = "Раздел о выборе собаки\r\n\r\n#Щенок или взрослая собака\r\n"
                        "Щенка легче приучить к своему дому.\r\nВзрослая собака уже воспитана.\r\n"
                        "#Щенок или взрослая собака\r\n#Размер собаки\r\n"
                        "Большой собаке нужно много места.\r\n#Размер собаки\r\n";

QString crlfShown(const QString& built) {
    QString s = built;
    return s.replace("\r\n", "\n");
}
} // namespace

class TestTopicReader : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void activationFillsSortedListAndShowsFirstTopic();
    void choicesByMouseAndKeyboard();
    void focusAndRepeatedClicksAreNotChoices();
    void backButtonEmptiesAndReturns();
    void reopeningShowsTheListOnce();
    void russianCollation();
    void repeatedTitleShowsBothRuns();
    void missingFileIsReportedAndTheProgramGoesOn();
    void foundPlacesMarked_data();
    void foundPlacesMarked();

private:
    // Opens the reader as a menu click does: the values first, then the reader.
    void open(const QString& file, const QString& title = "Раздел");
    std::unique_ptr<Fixture> f;
    Form4* reader = nullptr;
};

void TestTopicReader::init() {
    f = std::make_unique<Fixture>();
    f->writeText("text\\HCD.ssu", Example);
    QVERIFY(f->start());
    reader = f->program()->Form4();
}

void TestTopicReader::cleanup() {
    f.reset();
}

void TestTopicReader::open(const QString& file, const QString& title) {
    app::Program& w = *f->program();
    w.Form2()->hideForm();
    w.values().TopicFilePath = file;
    w.values().TopicListLoaded = 0;
    reader->Label7->setText(title);
    reader->showForm();
    settle();
}

void TestTopicReader::activationFillsSortedListAndShowsFirstTopic() {
    open("text\\HCD.ssu", "Как выбрать собаку");
    QCOMPARE(entries(reader->List1), (QStringList{"Размер собаки", "Щенок или взрослая собака"}));
    QVERIFY(reader->List1->selectedItems().isEmpty());
    QCOMPARE(reader->Text1->toPlainText(),
             crlfShown("     Щенка легче приучить к своему дому.\r\n"
                       "     Взрослая собака уже воспитана.\r\n     "));
    QCOMPARE(reader->Label1_1->text(), QString("Щенок или взрослая собака"));
    QCOMPARE(reader->Label7->text(), QString("Как выбрать собаку"));
    QCOMPARE(reader->Image2->pictureSource(), QString("Graph\\ARNOAK.jpg"));
    QVERIFY(f->sounds.isEmpty());
    QVERIFY(reader->Text1->isReadOnly());
    QCOMPARE(reader->Text1->viewport()->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(reader->Text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    saveScreenshot(reader, "topic_reader");
}

void TestTopicReader::choicesByMouseAndKeyboard() {
    open("text\\HCD.ssu");
    clickEntry(reader->List1, 0);
    QCOMPARE(reader->Text1->toPlainText(),
             crlfShown("     Большой собаке нужно много места.\r\n     "));
    QCOMPARE(reader->Label1_1->text(), QString("Размер собаки"));
    QCOMPARE(f->sounds.size(), 1);
    QVERIFY(f->sounds.last().endsWith("\\Sound\\stat.wav"));

    reader->List1->setFocus();
    QTest::keyClick(reader->List1, Qt::Key_Down);
    QCOMPARE(reader->Label1_1->text(), QString("Щенок или взрослая собака"));
    QCOMPARE(f->sounds.size(), 2);
    // Choosing the same title again shows its text once.
    clickEntry(reader->List1, 0);
    clickEntry(reader->List1, 1);
    QCOMPARE(reader->Text1->toPlainText(),
             crlfShown("     Щенка легче приучить к своему дому.\r\n"
                       "     Взрослая собака уже воспитана.\r\n     "));
}

void TestTopicReader::focusAndRepeatedClicksAreNotChoices() {
    open("text\\HCD.ssu");
    reader->activateWindow();
    reader->List1->setFocus(Qt::TabFocusReason);
    settle();
    QVERIFY(reader->List1->selectedItems().isEmpty());
    QVERIFY(f->sounds.isEmpty());
    clickEntry(reader->List1, 1);
    clickEntry(reader->List1, 1);
    QCOMPARE(f->sounds.size(), 1);
}

void TestTopicReader::backButtonEmptiesAndReturns() {
    open("text\\HCD.ssu", "Как выбрать собаку");
    clickEntry(reader->List1, 0);
    QTest::mouseClick(reader->Image2, Qt::LeftButton);
    QVERIFY(!reader->isVisible());
    QVERIFY(f->program()->Form2()->isVisible());
    QCOMPARE(reader->List1->count(), 0);
    QCOMPARE(reader->Text1->toPlainText(), QString());
    // Kept for the next visit.
    QCOMPARE(reader->Label1_1->text(), QString("Размер собаки"));
    QCOMPARE(reader->Label7->text(), QString("Как выбрать собаку"));
}

void TestTopicReader::reopeningShowsTheListOnce() {
    open("text\\HCD.ssu");
    QTest::mouseClick(reader->Image2, Qt::LeftButton);
    open("text\\HCD.ssu");
    QCOMPARE(reader->List1->count(), 2);
    QVERIFY(reader->Text1->toPlainText().startsWith("     Щенка"));
    QCOMPARE(reader->Text1->toPlainText().count("Щенка"), 1);
}

void TestTopicReader::russianCollation() {
    f->writeText("text\\vos.ssu",
                 "#яблоко\r\n#яблоко\r\n#Ёж\r\n#Ёж\r\n#елка\r\n#елка\r\n#Жук\r\n#Жук\r\n"
                 "#ель\r\n#ель\r\n#Акита\r\n#Акита\r\n#ёрш\r\n#ёрш\r\n");
    open("text\\vos.ssu");
    QCOMPARE(entries(reader->List1),
             (QStringList{"Акита", "Ёж", "елка", "ель", "ёрш", "Жук", "яблоко"}));
}

void TestTopicReader::repeatedTitleShowsBothRuns() {
    f->writeText("text\\kiv.ssu", "#Б\r\n1\r\n#Б\r\n#А\r\n2\r\n#А\r\n#Б\r\n3\r\n#Б\r\n");
    open("text\\kiv.ssu");
    QCOMPARE(entries(reader->List1), (QStringList{"А", "Б", "Б"}));
    clickEntry(reader->List1, 2);
    QCOMPARE(reader->Text1->toPlainText(), crlfShown("     1\r\n          3\r\n     "));
}

void TestTopicReader::missingFileIsReportedAndTheProgramGoesOn() {
    open("text\\drs.ssu");
    QCOMPARE(f->failures.size(), 1);
    QVERIFY(f->failures.first().text.contains("text\\drs.ssu"));
    QCOMPARE(reader->List1->count(), 0);
    QCOMPARE(reader->Label1_1->text(), QString("Выберите тему"));
    QCOMPARE(reader->Image2->pictureSource(), QString("Graph\\ARAK.jpg"));
    QTest::mouseClick(reader->Image2, Qt::LeftButton);
    QVERIFY(f->program()->Form2()->isVisible());
}

PSOGRAF_TEST_MAIN(TestTopicReader)
#include "test_topic_reader.moc"

void TestTopicReader::foundPlacesMarked_data() {
    QTest::addColumn<bool>("night");
    QTest::addColumn<QColor>("onMarker"); // the marked words' colour
    QTest::newRow("by day") << false << QColor(0x00, 0x00, 0xC0);
    QTest::newRow("at night") << true << QColor(0x1C, 0x1A, 0x12);
}

// A topic opened from the search: what it found marked, the cursor on the first place, F3
// and Shift+F3 from place to place, until another topic is chosen.
void TestTopicReader::foundPlacesMarked() {
    QFETCH(bool, night);
    QFETCH(QColor, onMarker);
    app::Program& p = *f->program();
    if (night) core::night::choose(true, p.values().pictures);
    const auto found = [](const QString& text) {
        QList<core::TextSpan> places;
        for (const QString word : {"Щенка", "дому", "собака"})
            places.append({int(text.indexOf(word)), int(word.size())});
        return places;
    };
    p.showTopic("text\\HCD.ssu", "Щенок или взрослая собака", found);
    settle();
    const QString text = "     Щенка легче приучить к своему дому.\n"
                         "     Взрослая собака уже воспитана.\n     ";
    QCOMPARE(reader->Text1->toPlainText(), text); // the text itself unchanged
    const auto marks = [&] {
        QList<std::pair<int, int>> spans;
        for (const QTextEdit::ExtraSelection& m : reader->Text1->extraSelections())
            spans.append({m.cursor.selectionStart(), m.cursor.selectionEnd()});
        return spans;
    };
    using Spans = QList<std::pair<int, int>>;
    QCOMPARE(marks(), (Spans{{5, 10}, {35, 39}, {55, 61}}));
    QVERIFY(reader->Text1->hasFocus());
    QCOMPARE(reader->Text1->textCursor().position(), 5);
    QVERIFY(reader->Text1->accessibleDescription().endsWith(
        "найденные слова отмечены, F3 следующее, Shift+F3 предыдущее"));
    // The place at the cursor on a deeper marker than the others; the words dark on both,
    // and readable as drawn.
    const QList<QTextEdit::ExtraSelection> shown = reader->Text1->extraSelections();
    QCOMPARE(shown[0].format.background().color(), QColor(0xFF, 0xC4, 0x6B));
    QCOMPARE(shown[1].format.background().color(), QColor(0xFF, 0xE0, 0x66));
    QCOMPARE(shown[1].format.foreground().color(), onMarker);
    const QImage pixels = reader->Text1->viewport()->grab().toImage();
    for (int i : {0, 1}) {
        QTextCursor from(reader->Text1->document()), to(reader->Text1->document());
        from.setPosition(marks()[i].first);
        to.setPosition(marks()[i].second);
        const QRect word = reader->Text1->cursorRect(from).united(reader->Text1->cursorRect(to));
        const Contrast c = measuredContrast(pixels.copy(word.adjusted(2, 1, -2, -1)));
        QCOMPARE(c.back, shown[i].format.background().color());
        QVERIFY2(c.ratio >= 7, qPrintable(QString::number(c.ratio)));
    }
    saveScreenshot(reader, night ? "topic_found_night" : "topic_found");

    core::announced().clear();
    const auto key = [&](bool back) {
        QTest::keyClick(reader->Text1, Qt::Key_F3, back ? Qt::ShiftModifier : Qt::NoModifier);
        return reader->Text1->textCursor().position();
    };
    QCOMPARE(key(false), 35);
    QCOMPARE(reader->Text1->extraSelections()[1].format.background().color(),
             QColor(0xFF, 0xC4, 0x6B));
    QCOMPARE(key(false), 55);
    QCOMPARE(key(false), 55);
    QCOMPARE(core::announced(), QStringList{"Дальше отмеченных слов нет"});
    QCOMPARE(key(true), 35);
    QCOMPARE(key(true), 5);
    QCOMPARE(key(true), 5);
    QCOMPARE(core::announced(),
             (QStringList{"Дальше отмеченных слов нет", "Выше отмеченных слов нет"}));
    // From the list, F3 goes into the text.
    reader->List1->setFocus();
    QTest::keyClick(reader->List1, Qt::Key_F3);
    QVERIFY(reader->Text1->hasFocus());
    QCOMPARE(reader->Text1->textCursor().position(), 35);
    // Night mode switched meanwhile: the marks stay, in its colours.
    core::night::choose(!night, p.values().pictures);
    QCOMPARE(marks().size(), 3);
    QCOMPARE(reader->Text1->extraSelections()[0].format.foreground().color(),
             night ? QColor(0x00, 0x00, 0xC0) : QColor(0x1C, 0x1A, 0x12));
    core::night::choose(false, p.values().pictures);

    // Another topic chosen: no marks, and F3 says there are none.
    clickEntry(reader->List1, 0);
    QCOMPARE(reader->Label1_1->text(), QString("Размер собаки"));
    QVERIFY(reader->Text1->extraSelections().isEmpty());
    QCOMPARE(reader->Text1->accessibleDescription(), QString("Текст темы"));
    QTest::keyClick(reader->List1, Qt::Key_F3);
    QCOMPARE(core::announced().constLast(), QString("Нет отмеченных слов"));

    // A place far down: scrolled to, its line at the top.
    QString lines;
    for (int i = 0; i < 80; ++i)
        lines += QStringLiteral("Строка %1.\r\n").arg(i);
    f->writeText("text\\vos.ssu",
                 "#Длинная\r\n" + lines + "Здесь клещ.\r\n" + lines + "#Длинная\r\n");
    p.showTopic("text\\vos.ssu", "Длинная", [](const QString& text) {
        return QList<core::TextSpan>{{int(text.indexOf("клещ")), 4}};
    });
    settle();
    QCOMPARE(reader->Text1->extraSelections().size(), 1);
    QCOMPARE(reader->Text1->verticalScrollBar()->value(), 80);
    QVERIFY(reader->Text1->cursorRect().top() < reader->Text1->fontMetrics().height());
    QVERIFY(f->failures.isEmpty());
}

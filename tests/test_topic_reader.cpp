// SPDX-License-Identifier: GPL-3.0-or-later
// The topic reader window, opened the way the main menu opens it.
#include "main_window/form2.h"
#include "tests/fixture.h"
#include "topics/form4.h"

#include <QTest>

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

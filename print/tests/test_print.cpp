// SPDX-License-Identifier: GPL-3.0-or-later
// Printouts written as PDF on small content folders and read back with poppler's tools:
// the text on each page, the page count, the photo's pixels. No printer is needed.
#include "print/dialogs.h"
#include "print/printout.h"
#include "tests/files.h"

#include <QAbstractTextDocumentLayout>
#include <QPrinter>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// The paragraphs of a topic as the reader shows them.
QString shown(const QStringList& paragraphs) {
    QString text;
    for (const QString& p : paragraphs)
        text += QStringLiteral("     ") + p + QStringLiteral("\r\n");
    return text + QStringLiteral("     ");
}

// The same as lines of a topic file.
QString fileLines(const QStringList& paragraphs) {
    return paragraphs.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QStringList numbered(const QString& word, int count) {
    QStringList out;
    for (int i = 1; i <= count; ++i)
        out << QStringLiteral("%1 %2: пёс ёжится, а ёлка стоит.").arg(word).arg(i);
    return out;
}

// Whether each page's text ends with its footer: the reference's name and its number.
bool footed(const QStringList& pages) {
    for (int i = 0; i < pages.size(); ++i)
        if (!pages[i].endsWith(QStringLiteral("Пёсограф %1").arg(i + 1))) return false;
    return true;
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
private slots:
    void topic_data();
    void topic();
    void section();
    void breed_data();
    void breed();
    void headingKeptWithWhatFollows();
    void photoAtItsOwnPixels();
};

void TestPrint::topic_data() {
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("lastPageHolds");
    QTest::newRow("short") << QStringList{QStringLiteral("Ёжик в тумане, пёс у ёлки."),
                                          QStringLiteral("Второй абзац.")}
                           << 1 << QStringLiteral("Второй абзац.");
    QTest::newRow("three pages") << numbered(QStringLiteral("Абзац"), 100) << 3
                                 << QStringLiteral("Абзац 100: пёс ёжится, а ёлка стоит.");
}

void TestPrint::topic() {
    QFETCH(QStringList, paragraphs);
    QFETCH(int, pages);
    QFETCH(QString, lastPageHolds);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("topic.pdf"));
    print::writePdf(pdf, [&](print::Printout& out) {
        out.addTopic({QStringLiteral("Лечение собаки"), QStringLiteral("Ёж и пёс: первая помощь"),
                      shown(paragraphs)});
    });
    QCOMPARE(pdfPageCount(pdf), pages);
    const QStringList texts = pdfPageTexts(pdf);
    QCOMPARE(texts.size(), pages);
    QVERIFY2(texts[0].startsWith(QStringLiteral("Лечение собаки Ёж и пёс: первая помощь ") +
                                 paragraphs[0]),
             qPrintable(texts[0].left(200)));
    QVERIFY2(texts.last().contains(lastPageHolds), qPrintable(texts.last()));
    QVERIFY(footed(texts));
    // Each paragraph once: no line drawn at the foot of one page and the top of the next.
    const QString all = texts.join(u' ');
    for (const QString& paragraph : paragraphs)
        QCOMPARE(all.count(paragraph), 1);
}

void TestPrint::section() {
    ContentFiles content;
    const QString file = QStringLiteral("text\\kvs.ssu");
    content.writeText(file, QStringLiteral("#Блохи\r\n") +
                                fileLines({QStringLiteral("Про блох.")}) +
                                QStringLiteral("#Блохи\r\n#Ушиб: первая помощь\r\n") +
                                fileLines(numbered(QStringLiteral("Строка"), 60)) +
                                QStringLiteral("#Ушиб: первая помощь\r\n#Ёлка\r\nНе ешь ёлку.\r\n"
                                               "#Ёлка\r\n"));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("booklet.pdf"));
    // In the order of the reader's list, not the file's.
    print::writePdf(pdf, [&](print::Printout& out) {
        for (const print::Topic& t :
             print::readSection(QStringLiteral("Лечение собаки"), file,
                                {QStringLiteral("Ёлка"), QStringLiteral("Блохи"),
                                 QStringLiteral("Ушиб: первая помощь")}))
            out.addTopic(t);
        out.addContents(QStringLiteral("Лечение собаки"));
    });
    QCOMPARE(pdfPageCount(pdf), 5);
    const QStringList pages = pdfPageTexts(pdf);
    QCOMPARE(pages.size(), 5);
    QCOMPARE(pages[0], QStringLiteral("Лечение собаки Содержание Ёлка 2 Блохи 3 "
                                      "Ушиб: первая помощь 4 Пёсограф 1"));
    QCOMPARE(pages[1], QStringLiteral("Лечение собаки Ёлка Не ешь ёлку. Пёсограф 2"));
    QCOMPARE(pages[2], QStringLiteral("Лечение собаки Блохи Про блох. Пёсограф 3"));
    QVERIFY(pages[3].startsWith(QStringLiteral("Лечение собаки Ушиб: первая помощь Строка 1:")));
    QVERIFY(pages[4].contains(QStringLiteral("Строка 60:")));
    QVERIFY(!pages[4].contains(QStringLiteral("Строка 1:")));
    QVERIFY(footed(pages));
    QVERIFY(content.failures.isEmpty());
}

void TestPrint::breed_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("factsFile");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pages");
    QTest::newRow("facts in words")
        << QStringLiteral("Овчарка") << true
        << QStringLiteral("Каталог пород Овчарка Пастушья собака. Служит людям. Коротко о породе "
                          "Рост в холке: кобели 60–65 см, суки 55–60 см Вес: кобели 30–40 кг, "
                          "суки 22–32 кг Размер: крупная Шерсть: короткая")
        << 2;
    QTest::newRow("no facts file") << QStringLiteral("Овчарка") << false
                                   << QStringLiteral("Каталог пород Овчарка Пастушья собака. "
                                                     "Служит людям. Пёсограф 1")
                                   << 1;
    QTest::newRow("not in the facts")
        << QStringLiteral("Ёркширский терьер") << true
        << QStringLiteral("Каталог пород Ёркширский терьер Пастушья собака. Служит людям. "
                          "Пёсограф 1")
        << 1;
}

void TestPrint::breed() {
    QFETCH(QString, name);
    QFETCH(bool, factsFile);
    QFETCH(QString, text);
    QFETCH(int, pages);
    ContentFiles content;
    if (factsFile) content.writeText(QStringLiteral("text\\podbor.ssu"), BreedFactsFixture);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("breed.pdf"));
    print::writePdf(pdf, [&](print::Printout& out) {
        out.addBreed(print::readBreed({name, QStringLiteral("Пастушья собака.\r\nСлужит людям."),
                                       QStringLiteral("sob001.ssu")}));
    });
    const QStringList texts = pdfPageTexts(pdf);
    QCOMPARE(texts.size(), pages);
    QCOMPARE(pdfPageCount(pdf), pages);
    QVERIFY2(texts[0].startsWith(text), qPrintable(texts[0]));
    QVERIFY(footed(texts));
}

// Short paragraphs push the facts' heading down a line at a time, past the foot of the
// first page: at no count is the heading left there with its first row on the next page.
void TestPrint::headingKeptWithWhatFollows() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    print::preparePage(printer);
    int moved = 0;
    for (int count = 30; count <= 60; ++count) {
        print::Printout out(printer);
        out.addBreed({QStringLiteral("Овчарка"),
                      numbered(QStringLiteral("Строка"), count).join(u'\n'),
                      QImage(),
                      {{QStringLiteral("Рост в холке"), QStringLiteral("60–65 см")},
                       {QStringLiteral("Вес"), QStringLiteral("30–40 кг")}}});
        const QTextDocument& document = out.part(0);
        const double page = document.pageSize().height();
        const QTextBlock heading = document.findBlockByNumber(count + 2);
        QCOMPARE(heading.text(), QStringLiteral("Коротко о породе"));
        const auto top = [&](const QTextBlock& b) {
            // A line moved to the next page starts at its top (rounded either way).
            return document.documentLayout()->blockBoundingRect(b).top() +
                   b.layout()->lineAt(0).y() + 1;
        };
        const int headingPage = int(top(heading) / page);
        QCOMPARE(int(top(heading.next()) / page), headingPage);
        if (headingPage == 1 && int(top(heading.previous()) / page) == 0) ++moved;
    }
    // The heading did come to the foot of the page, and went over with its row.
    QCOMPARE(moved, 3);
}

// The photo keeps its file's pixels (the doubled file, when there is one), not the screen's.
void TestPrint::photoAtItsOwnPixels() {
    ContentFiles content;
    content.writePicture(QStringLiteral("dog\\sob001@2x.jpg"), {300, 400});
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("breed.pdf"));
    print::writePdf(pdf, [&](print::Printout& out) {
        out.addBreed(print::readBreed({QStringLiteral("Лайка"), QStringLiteral("Северная собака."),
                                       QStringLiteral("sob001.ssu")}));
    });
    const QStringList images = pdfImageList(pdf);
    QCOMPARE(images.size(), 3); // two header lines and the photo
    QCOMPARE(images[2].simplified().section(u' ', 3, 4), QStringLiteral("300 400"));
}

QTEST_MAIN(TestPrint)
#include "test_print.moc"

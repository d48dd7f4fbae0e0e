// SPDX-License-Identifier: GPL-3.0-or-later
// Reading topic files: the title scan and the topic read, without a window.
#include "formats/topicfile.h"

#include <QStringEncoder>
#include <QTest>

using topics::readTopic;
using topics::scanTitles;

class TestTopicFile : public QObject {
    Q_OBJECT
private slots:
    void scan_data();
    void scan();
    void readingATopic_data();
    void readingATopic();
    void topicsAsTheReaderShowsThem_data();
    void topicsAsTheReaderShowsThem();
    void longTitlesAndTopicsWork();
};

void TestTopicFile::scan_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("firstText");

    const QString example =
        "Раздел о выборе собаки\r\n\r\n#Щенок или взрослая собака\r\n"
        "Щенка легче приучить к своему дому.\r\nВзрослая собака уже воспитана.\r\n"
        "#Щенок или взрослая собака\r\n#Размер собаки\r\n"
        "Большой собаке нужно много места.\r\n#Размер собаки\r\n";
    QTest::newRow("example") << example << QStringList{"Щенок или взрослая собака", "Размер собаки"}
                             << "     Щенка легче приучить к своему дому.\r\n     Взрослая собака "
                                "уже воспитана.\r\n     ";
    QTest::newRow("empty file") << "" << QStringList{} << QString();
    QTest::newRow("no titles") << "просто текст\r\nещё\r\n" << QStringList{} << QString();
    QTest::newRow("empty topic") << "#А\r\n#А\r\n" << QStringList{"А"} << "     ";
    QTest::newRow("empty title") << "#\r\nx\r\n#\r\n" << QStringList{""} << "     x\r\n     ";
    QTest::newRow("free lines between")
        << "a\r\n#А\r\n1\r\n#А\r\nсвободная\r\n\r\n#Б\r\n2\r\n#Б\r\nконец" << QStringList{"А", "Б"}
        << "     1\r\n     ";
    QTest::newRow("duplicate apart") << "#А\r\n1\r\n#А\r\n#Б\r\n2\r\n#Б\r\n#А\r\n3\r\n#А\r\n"
                                     << QStringList{"А", "Б", "А"} << "     1\r\n     ";
    QTest::newRow("duplicate adjacent") << "#Б\r\n0\r\n#Б\r\n#А\r\n1\r\n#А\r\n#А\r\n2\r\n#А\r\n"
                                        << QStringList{"Б", "А"} << "     0\r\n     ";
    // A "#" text line in a later topic becomes a title, and so does that topic's closing line.
    QTest::newRow("hash line later") << "#А\r\n1\r\n#А\r\n#Б\r\n#ой\r\n#Б\r\n"
                                     << QStringList{"А", "Б", "ой", "Б"} << "     1\r\n     ";
    QTest::newRow("hash line in first") << "#А\r\n#ой\r\n#А\r\n"
                                        << QStringList{"А"} << "     #ой\r\n     ";
    QTest::newRow("CR only") << "#А\r1\r2\r#А\r#Б\r#Б" << QStringList{"А", "Б"}
                             << "     1\r\n     2\r\n     ";
    QTest::newRow("LF only") << "#А\n1\n\n2\n#А\n#Б\n#Б\n"
                             << QStringList{"А", "Б"} << "     1\r\n     \r\n     2\r\n     ";
    QTest::newRow("spaces kept") << "#А \r\n  1  \r\n#А\r\n#А \r\n"
                                 << QStringList{"А "} << "       1  \r\n     #А\r\n     ";
    // The end of the file closes a topic that lacks its closing line.
    QTest::newRow("no closing line")
        << "#А\r\n1\r\n2" << QStringList{"А"} << "     1\r\n     2\r\n     ";
    QTest::newRow("only hash lines") << "#\r\n#\r\n#\r\n#\r\n#\r\n" << QStringList{""} << "     ";
}

void TestTopicFile::scan() {
    QFETCH(QString, file);
    QFETCH(QStringList, titles);
    QFETCH(QString, firstText);
    const topics::TitleScan s = scanTitles(file);
    QCOMPARE(s.titles, titles);
    QCOMPARE(s.hasFirstTopic, !titles.isEmpty());
    QCOMPARE(s.firstText, firstText);
    if (!titles.isEmpty()) QCOMPARE(s.firstTitle, titles.first());
}

void TestTopicFile::readingATopic_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("second topic") << "x\r\n#А\r\n1\r\n#А\r\n#Б\r\n2\r\n#Б\r\n"
                                  << "Б"
                                  << "     2\r\n     ";
    // Runs of a repeated title follow each other: the second starts after the five spaces
    // the first left, so it is indented by ten.
    QTest::newRow("duplicate apart") << "#А\r\n1\r\n#А\r\n#Б\r\n2\r\n#Б\r\n#А\r\n3\r\n#А\r\n"
                                     << "А"
                                     << "     1\r\n          3\r\n     ";
    QTest::newRow("duplicate adjacent") << "#А\r\n1\r\n#А\r\n#А\r\n2\r\n#А\r\n"
                                        << "А"
                                        << "     1\r\n          2\r\n     ";
    QTest::newRow("absent") << "#А\r\n1\r\n#А\r\n"
                            << "Б" << QString();
    QTest::newRow("case matters") << "#а\r\n1\r\n#а\r\n"
                                  << "А" << QString();
    // A title is found whole: not as the start or the end of a longer one, nor the other way.
    QTest::newRow("title that begins another") << "#АБ\r\n1\r\n#АБ\r\n#А\r\n2\r\n#А\r\n"
                                               << "А"
                                               << "     2\r\n     ";
    QTest::newRow("title that ends another") << "#БА\r\n1\r\n#БА\r\n"
                                             << "А" << QString();
    QTest::newRow("longer than the file's") << "#А\r\n1\r\n#А\r\n"
                                            << "АБ" << QString();
    QTest::newRow("no closing line") << "#А\r\n#Б\r\n1"
                                     << "Б"
                                     << "     1\r\n     ";
    QTest::newRow("unclosed after") << "#Б\r\n1\r\n#Б\r\n#В\r\n#Б\r\n2"
                                    << "Б"
                                    << "     1\r\n          2\r\n     ";
    QTest::newRow("empty topic") << "#А\r\n#А\r\n"
                                 << "А"
                                 << "     ";
}

void TestTopicFile::readingATopic() {
    QFETCH(QString, file);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QCOMPARE(readTopic(file, title), text);
    // The reader window reads the file's bytes, undecoded until the topic is found.
    QStringEncoder cp1251("windows-1251");
    const QByteArray bytes = cp1251.encode(file);
    QVERIFY(!cp1251.hasError());
    QCOMPARE(readTopic(QByteArrayView(bytes), title), text);
}

// Every topic at once, as the search reads them: the same lines, each line once, as reading
// the topic by its title shows (lines in brackets, so an empty one shows).
void TestTopicFile::topicsAsTheReaderShowsThem_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("topics");
    QTest::newRow("free lines") << "a\r\n#А\r\n1\r\n#А\r\nсвободная\r\n#Б\r\n2\r\n#Б\r\nконец"
                                << QStringList{"А: [1]", "Б: [2]"};
    QTest::newRow("duplicate apart") << "#А\r\n1\r\n#А\r\n#Б\r\n2\r\n#Б\r\n#А\r\n3\r\n#А\r\n"
                                     << QStringList{"А: [1][3]", "Б: [2]"};
    QTest::newRow("duplicate adjacent")
        << "#Б\r\n0\r\n#Б\r\n#А\r\n1\r\n#А\r\n#А\r\n2\r\n#А" << QStringList{"Б: [0]", "А: [1][2]"};
    QTest::newRow("hash line later") << "#А\r\n1\r\n#А\r\n#Б\r\n#ой\r\nx\r\n#Б\r\ny\r\n#ой"
                                     << QStringList{"А: [1]", "Б: [#ой][x]", "ой: [x][#Б][y]"};
    QTest::newRow("hash line in first") << "#А\r\n#ой\r\n#А\r\n#ой\r\n2\r\n#ой\r\n"
                                        << QStringList{"А: [#ой]", "ой: [#А]"};
    QTest::newRow("nested") << "#А\r\n1\r\n#Б\r\n2\r\n#А\r\n3\r\n#Б\r\n"
                            << QStringList{"А: [1][#Б][2]", "Б: [2][#А][3]"};
    QTest::newRow("unclosed, CR and LF")
        << "#А\r1\n2\r\n\r\n#Б\n3" << QStringList{"А: [1][2][][#Б][3]"};
    QTest::newRow("CR LF is one line end") << "#А\r\n1\r\n\r\n2\r\n#А\r\n"
                                           << QStringList{"А: [1][][2]"};
    QTest::newRow("CR alone, then CR LF") << "#А\r\r\n1\r\n#А" << QStringList{"А: [][1]"};
}

void TestTopicFile::topicsAsTheReaderShowsThem() {
    QFETCH(QString, text);
    QFETCH(QStringList, topics);
    QStringList split;
    for (const auto& topic : topics::splitTopics(text)) {
        QString lines;
        for (const topics::TopicLine& line : topic.lines)
            lines += '[' + text.mid(line.offset, line.length) + ']';
        split += topic.title + ": " + lines;
    }
    QCOMPARE(split, topics);
}

void TestTopicFile::longTitlesAndTopicsWork() {
    const QString title(300, QChar(u'Ж'));
    const QString paragraph(50000, QChar(u'т'));
    const QString file =
        "#" + title + "\r\n" + paragraph + "\r\n" + paragraph + "\r\n#" + title + "\r\n";
    const topics::TitleScan s = scanTitles(file);
    QCOMPARE(s.titles, QStringList{title});
    QCOMPARE(s.firstText.size(), 100019);
    QVERIFY(s.firstText.startsWith("     тттт") && s.firstText.endsWith("тттт\r\n     "));
    QCOMPARE(readTopic(file, title), s.firstText);
}

QTEST_GUILESS_MAIN(TestTopicFile)
#include "test_topicfile.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The content checker: each fixture breaks one thing and must give exactly the findings
// listed, so a check that misses a fault or reports a sound file fails alike.
#include "tests/files.h"
#include "tools/ssu-check/check.h"

#include <QFileInfo>
#include <QTest>

namespace {

const QStringList TopicFiles = {"text/HCD.ssu", "text/vos.ssu", "text/kiv.ssu", "text/kvs.ssu",
                                "text/drs.ssu"};

// A folder the checker passes: the fixture's start-up files and one-record catalogue, five
// small topic files and the sounds.
class Content : public ContentFiles {
public:
    Content() {
        for (const QString& file : TopicFiles)
            writeText(file, "#Кормление\r\nАбзац.\r\n#Кормление\r\n#Прогулки\r\nАбзац.\r\n"
                            "#Прогулки\r\n");
        for (const char* sound : {"Sound/check.wav", "Sound/select.wav", "Sound/stat.wav"})
            writeBytes(sound, "RIFF");
    }

    QStringList check() const {
        QStringList lines;
        for (const ssucheck::Finding& finding : ssucheck::checkContent(root()))
            lines << ssucheck::formatFinding(finding);
        return lines;
    }
};

// Each expectation is "where: severity|words from the message"; empty when all match.
QString mismatch(const QStringList& found, const QStringList& expected) {
    bool same = found.size() == expected.size();
    for (qsizetype i = 0; same && i < found.size(); ++i) {
        const QStringList parts = expected[i].split(u'|');
        same = found[i].startsWith(parts[0] + ": ") && found[i].contains(parts[1]);
    }
    return same ? QString() : "found:\n" + found.join(u'\n');
}

} // namespace

class TestSsuCheck : public QObject {
    Q_OBJECT
private slots:
    void cleanContentPasses();
    void topicFaults_data();
    void topicFaults();
    void catalogueFaults_data();
    void catalogueFaults();
    void filesStartUpNeeds_data();
    void filesStartUpNeeds();
    void wordGroupFaults_data();
    void wordGroupFaults();
    void breedFactsFaults_data();
    void breedFactsFaults();
};

void TestSsuCheck::cleanContentPasses() {
    Content content;
    const QList<ssucheck::Finding> findings = ssucheck::checkContent(content.root());
    QVERIFY2(findings.isEmpty(), qPrintable(content.check().join(u'\n')));
    QCOMPARE(ssucheck::formatSummary(findings), "ssu-check: 0 errors, 0 warnings, 0 notes");

    using ssucheck::Severity;
    const QList<ssucheck::Finding> some = {{"a", 1, Severity::Error, "x"},
                                           {"b", 0, Severity::Note, "y"},
                                           {"c", 2, Severity::Note, "z"}};
    QCOMPARE(ssucheck::formatSummary(some), "ssu-check: 1 error, 0 warnings, 2 notes");
}

void TestSsuCheck::topicFaults_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("missing closing line")
        << QByteArray("#A\r\nx\r\n#A\r\n#B\r\ny\r\n#C\r\nz\r\n#C\r\n")
        << QStringList{"text/HCD.ssu:4: error|no closing line «#B»"};
    QTest::newRow("duplicate title")
        << QByteArray("#A\r\nx\r\n#A\r\n#B\r\ny\r\n#B\r\n#A\r\nz\r\n#A\r\n")
        << QStringList{"text/HCD.ssu:7: error|repeats the topic at line 1"};
    QTest::newRow("duplicate hidden by the one before")
        << QByteArray("#A\r\nx\r\n#A\r\n#A\r\ny\r\n#A\r\n")
        << QStringList{"text/HCD.ssu:4: error|not listed"};
    QTest::newRow("# text line") << QByteArray("#A\r\nx\r\n#B\r\ny\r\n#A\r\n")
                                 << QStringList{"text/HCD.ssu:3: error|begins with «#»"};
    QTest::newRow("byte 0x98") << QByteArray("#A\r\nx\x98y\x98\r\n#A\r\n")
                               << QStringList{"text/HCD.ssu:2: error|0x98 at column 2 has no "
                                              "character in Windows-1251 (2 on this line)"};
    QTest::newRow("UTF-8") << QString("#A\r\nТекст раздела.\r\n#A\r\n").toUtf8()
                           << QStringList{"text/HCD.ssu:2: error|UTF-8"};
    QTest::newRow("Р and С before quotes and ё are Windows-1251")
        << toCp1251("#A\r\n«С» и «Р», Сёмга, Р") + "\x98" +
               toCp1251(" — обычный текст, как его пишут в разделах.\r\n#A\r\n")
        << QStringList{"text/HCD.ssu:2: error|0x98 at column 20"};
    QTest::newRow("LF line ends") << QByteArray("#A\nx\r\n#A\n")
                                  << QStringList{"text/HCD.ssu:1: warning|LF rather than CR LF (2"};
    QTest::newRow("empty title") << QByteArray("#\r\nx\r\n#\r\n")
                                 << QStringList{"text/HCD.ssu:1: warning|empty title"};
    QTest::newRow("trailing spaces") << QByteArray("#A \r\nx\r\n#A \r\n")
                                     << QStringList{"text/HCD.ssu:1: warning|ends in spaces"};
    QTest::newRow("no topics") << QByteArray("x\r\n")
                               << QStringList{"text/HCD.ssu: warning|no topics"};
}

void TestSsuCheck::topicFaults() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    Content content;
    content.writeBytes("text/HCD.ssu", bytes);
    const QString wrong = mismatch(content.check(), expected);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
}

void TestSsuCheck::catalogueFaults_data() {
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<QString>("photo");   // a picture to write, if any
    QTest::addColumn<QSize>("photoSize"); // empty: bytes that are no picture
    QTest::addColumn<QStringList>("expected");
    const QString a = "\"A\",\"a\",\"sob001.jpg\"\r\n";
    const QString b = "\"B\",\"b\",\"sob001.jpg\"\r\n";
    const QString noPhoto = QString();
    const QSize fits(150, 200);
    QTest::newRow("blank line") << a + "\r\n" + b << noPhoto << fits
                                << QStringList{"text/FOLDOG.ssu:2: error|blank line"};
    QTest::newRow("two fields on a line")
        << "\"A\",\"a\"\r\n" + b << noPhoto << fits
        << QStringList{"text/FOLDOG.ssu:1: error|only 2 of 3 fields"};
    QTest::newRow("four fields on a line")
        << "\"A\",\"a\",\"sob001.jpg\",\"x\"\r\n" + b << noPhoto << fits
        << QStringList{"text/FOLDOG.ssu:1: error|more than 3 fields"};
    QTest::newRow("line break inside quotes")
        << "\"A\",\"a\r\nmore\",\"sob001.jpg\"\r\n" + b << noPhoto << fits
        << QStringList{"text/FOLDOG.ssu:1: warning|over 2 lines"};
    QTest::newRow("incomplete last record")
        << a + "\"B\",\"b\"" << noPhoto << fits << QStringList{"text/FOLDOG.ssu:2: error|2 of 3"};
    QTest::newRow("blank line at the end")
        << a + "\r\n"
        << noPhoto << fits << QStringList{"text/FOLDOG.ssu:2: warning|blank"};
    QTest::newRow("duplicate name")
        << a + a << noPhoto << fits << QStringList{"text/FOLDOG.ssu:2: error|repeats line 1"};
    QTest::newRow("unquoted record")
        << "A, a, sob001.jpg\r\n"
        << noPhoto << fits << QStringList{"text/FOLDOG.ssu:1: warning|layout"};
    QTest::newRow("short photo name")
        << a + "\"B\",\"b\",\"jp\"\r\n"
        << noPhoto << fits << QStringList{"text/FOLDOG.ssu:2: error|shorter than 3"};
    QTest::newRow("other photo name")
        << a + "\"B\",\"b\",\"rex.jpg\""
        << "dog/rex.jpg" << fits << QStringList{"text/FOLDOG.ssu:2: warning|sobNNN.jpg"};
    QTest::newRow("photo name in another case") << "\"A\",\"a\",\"SOB001.JPG\"\r\n"
                                                << noPhoto << fits << QStringList{};
    QTest::newRow("missing photo")
        << a + "\"B\",\"b\",\"sob002.jpg\"\r\n"
        << noPhoto << fits << QStringList{"text/FOLDOG.ssu:2: note|1 of 2 breeds show «Нет фото»"};
    QTest::newRow("first breed without photo")
        << "\"B\",\"b\",\"sob002.jpg\"\r\n" + a << noPhoto << fits
        << QStringList{"text/FOLDOG.ssu:1: warning|first breed",
                       "text/FOLDOG.ssu:1: note|B (sob002.jpg)"};
    QTest::newRow("undecodable photo")
        << a << "dog/sob001.jpg" << QSize() << QStringList{"text/FOLDOG.ssu:1: error|decoded"};
    QTest::newRow("landscape frame exactly")
        << a << "dog/sob001.jpg" << QSize(217, 161) << QStringList{};
    QTest::newRow("portrait frame exactly")
        << a << "dog/sob001.jpg" << QSize(186, 209) << QStringList{};
    QTest::newRow("wider than portrait, too tall for landscape")
        << a << "dog/sob001.jpg" << QSize(187, 170)
        << QStringList{"text/FOLDOG.ssu:1: warning|187x170, larger than the landscape frame"};
    QTest::newRow("too tall for portrait")
        << a << "dog/sob001.jpg" << QSize(150, 210)
        << QStringList{"text/FOLDOG.ssu:1: warning|larger than the portrait frame"};
}

void TestSsuCheck::catalogueFaults() {
    QFETCH(QString, catalogue);
    QFETCH(QString, photo);
    QFETCH(QSize, photoSize);
    QFETCH(QStringList, expected);
    Content content;
    content.writeText("text/FOLDOG.ssu", catalogue);
    if (!photo.isEmpty() && photoSize.isEmpty())
        content.writeBytes(photo, "not a picture");
    else if (!photo.isEmpty())
        content.writePicture(photo, photoSize);
    const QString wrong = mismatch(content.check(), expected);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
}

void TestSsuCheck::filesStartUpNeeds_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("topic file") << "text/vos.ssu"
                                << "remove" << QStringList{"text/vos.ssu: error|missing"};
    QTest::newRow("carousel photo") << "dog/sob167.jpg"
                                    << "remove" << QStringList{"dog/sob167.jpg: error|missing"};
    QTest::newRow("button") << "Graph/CLAK.jpg"
                            << "remove" << QStringList{"Graph/CLAK.jpg: error|missing"};
    QTest::newRow("catalogue") << "text/FOLDOG.ssu"
                               << "remove" << QStringList{"text/FOLDOG.ssu: error|missing"};
    QTest::newRow("sound") << "Sound/stat.wav"
                           << "remove" << QStringList{"Sound/stat.wav: warning|missing"};
    QTest::newRow("name in another case") << "Graph/ARNOAK.jpg"
                                          << "lower case" << QStringList{};
    QTest::newRow("undecodable picture") << "Graph/fon.jpg"
                                         << "garble" << QStringList{"Graph/fon.jpg: error|decoded"};
}

void TestSsuCheck::filesStartUpNeeds() {
    QFETCH(QString, file);
    QFETCH(QString, change);
    QFETCH(QStringList, expected);
    Content content;
    if (change == "garble") {
        content.writeBytes(file, "not a picture");
    } else {
        if (change == "lower case") {
            const QFileInfo info(file);
            content.writePicture(info.path() + '/' + info.fileName().toLower(), {41, 36});
        }
        content.remove(file);
    }
    const QString wrong = mismatch(content.check(), expected);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
}

void TestSsuCheck::wordGroupFaults_data() {
    QTest::addColumn<QString>("groups");
    QTest::addColumn<QStringList>("expected");
    const QString families = "#Семьи слов\r\nхромает, хромота\r\n";
    QTest::newRow("sound")
        << families +
               "#Семьи слов\r\n#Необязательные слова\r\nкак, что\r\n#Необязательные слова\r\n"
        << QStringList{};
    QTest::newRow("a group of one entry")
        << "#Синонимы\r\nудушье\r\n#Синонимы\r\n"
        << QStringList{"text/slova.ssu:2: warning|a group of one entry"};
    QTest::newRow("an empty entry") << "#Синонимы\r\nудушье, , подавилась\r\n#Синонимы\r\n"
                                    << QStringList{"text/slova.ssu:2: warning|empty entry"};
    QTest::newRow("an entry in two groups")
        << families + "хромота, боль\r\n#Семьи слов\r\n"
        << QStringList{"text/slova.ssu:3: warning|«хромота» is in another group"};
    QTest::newRow("twice in one group, ё as е")
        << "#Синонимы\r\nёж, еж, ежик\r\n#Синонимы\r\n"
        << QStringList{"text/slova.ssu:2: warning|«еж» twice in one group"};
    QTest::newRow("a question's word of two words")
        << "#Необязательные слова\r\nкак быть\r\n#Необязательные слова\r\n"
        << QStringList{"text/slova.ssu:2: warning|«как быть» is not one word"};
    QString longGroup = "#Синонимы\r\nслово";
    for (int i = 0; i < 200; ++i)
        longGroup += QString(", с%1").arg(QChar(u'а' + i % 32)) + QChar(u'а' + i / 32);
    QTest::newRow("a group of 201 entries")
        << longGroup + "\r\n#Синонимы\r\n"
        << QStringList{"text/slova.ssu:2: warning|a group of more than 200 entries: the rest is "
                       "left out"};
    QTest::newRow("no closing line")
        << families << QStringList{"text/slova.ssu:1: error|no closing line"};
}

void TestSsuCheck::wordGroupFaults() {
    QFETCH(QString, groups);
    QFETCH(QStringList, expected);
    Content content;
    content.writeText("text/slova.ssu", groups);
    const QString wrong = mismatch(content.check(), expected);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
}

void TestSsuCheck::breedFactsFaults_data() {
    QTest::addColumn<QString>("facts");
    QTest::addColumn<QStringList>("expected");
    const QString header =
        "\"порода\",\"рост кобелей\",\"рост сук\",\"вес кобелей\",\"вес сук\",\"размер\","
        "\"шерсть\",\"линька\",\"уход\",\"активность\",\"обучаемость\",\"дети\",\"собаки\","
        "\"кошки\",\"квартира\",\"новичку\",\"одна дома\",\"холод\",\"жара\",\"охрана\","
        "\"лай\",\"жизнь\",\"признание\",\"перечень 974\"\r\n";
    // The catalogue's one breed, as the rules want it: 20–30 kg is «средняя».
    const auto laika = [](const char* size, const char* shedding, const char* guarding,
                          const char* novice) {
        return QString("\"Лайка\",\"55–62\",\"50–58\",\"20–30\",\"18–25\",\"%1\","
                       "\"средняя\",\"%2\",\"2\",\"4\",\"2\",\"да\",\"с оговорками\",\"нет\","
                       "\"с оговорками\",\"%4\",\"умеренно\",\"хорошо\",\"умеренно\",\"%3\","
                       "\"3\",\"12–14\",\"РКФ\",\"нет\"\r\n")
            .arg(size, shedding, guarding, novice);
    };
    const QString sound = laika("средняя", "3", "2", "с оговорками");
    QTest::newRow("sound") << header + sound << QStringList{};
    QTest::newRow("no line for a catalogue breed")
        << header << QStringList{"text/podbor.ssu: warning|no line for «Лайка»"};
    QTest::newRow("a breed the catalogue lacks")
        << header + sound + QString(sound).replace("Лайка", "Хаски")
        << QStringList{"text/podbor.ssu:3: error|«Хаски» is no breed of text/FOLDOG.ssu"};
    QTest::newRow("a breed twice")
        << header + sound + sound << QStringList{"text/podbor.ssu:3: error|«Лайка» уже была выше"};
    QTest::newRow("size against the rule")
        << header + laika("крупная", "3", "2", "с оговорками")
        << QStringList{
               "text/podbor.ssu:2: error|Лайка: size «крупная», the males' weight give «средняя»"};
    QTest::newRow("a guard is no first dog")
        << header + laika("средняя", "3", "3", "да")
        << QStringList{"text/podbor.ssu:2: error|«новичку» must be «нет» for «охрана» 3"};
    QTest::newRow("no word of its column")
        << header + laika("средняя", "4", "2", "с оговорками")
        << QStringList{"text/podbor.ssu:2: error|Лайка: «4» в столбце «линька»"};
    QTest::newRow("a column missing") << QString(header).replace(",\"лай\"", ",\"лаяние\"") + sound
                                      << QStringList{"text/podbor.ssu:1: error|нет столбца «лай»"};
}

void TestSsuCheck::breedFactsFaults() {
    QFETCH(QString, facts);
    QFETCH(QStringList, expected);
    Content content;
    content.writeText("text/podbor.ssu", facts);
    const QString wrong = mismatch(content.check(), expected);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
}

QTEST_GUILESS_MAIN(TestSsuCheck)
#include "test_ssu_check.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The breed catalogue file: records read from text and, piecewise, from the file's bytes,
// and the photo path a record names.
#include "formats/catalogfile.h"
#include "tests/files.h"

#include <QTest>

using catalogue::Record;

class TestCatalogFile : public QObject {
    Q_OBJECT
private slots:
    void records_data();
    void records();
    void photoPaths_data();
    void photoPaths();
};

void TestCatalogFile::records_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<Record>>("expected");
    const Record laika{"Лайка", "Северная ездовая собака, выносливая и неприхотливая.",
                       "sob001.jpg"};
    const Record taksa{"Такса", "Небольшая охотничья собака с длинным телом.", "sob002.bmp"};
    QTest::newRow("example")
        << "\"Лайка\",\"Северная ездовая собака, выносливая и неприхотливая.\",\"sob001.jpg\"\r\n"
           "\"Такса\",\"Небольшая охотничья собака с длинным телом.\",\"sob002.bmp\"\r\n"
        << QList<Record>{laika, taksa};
    QTest::newRow("empty") << "" << QList<Record>{};
    QTest::newRow("unquoted comma splits") << "Лайка,Северная, выносливая,sob001.jpg\r\n"
                                           << QList<Record>{{"Лайка", "Северная", "выносливая"}};
    QTest::newRow("spaces around unquoted") << "  Лайка  ,  текст , sob1.jpg  \r\n"
                                            << QList<Record>{{"Лайка", "текст", "sob1.jpg"}};
    QTest::newRow("junk after quote") << "\"А\"xx,\"Б\" ,\"c.jpg\"\r\n"
                                      << QList<Record>{{"А", "Б", "c.jpg"}};
    // Fields are not bound to lines: a stray blank line shifts every later record.
    QTest::newRow("blank line shifts")
        << "\"А\",\"1\",\"a.jpg\"\r\n\r\n\"Б\",\"2\",\"b.jpg\"\r\n\"В\",\"3\",\"c.jpg\"\r\n"
        << QList<Record>{{"А", "1", "a.jpg"}, {"", "Б", "2"}, {"b.jpg", "В", "3"}};
    QTest::newRow("LF and CR line ends")
        << "\"А\",\"1\",\"a.jpg\"\n\"Б\",\"2\",\"b.jpg\"\r\"В\",\"3\",\"c.jpg\""
        << QList<Record>{{"А", "1", "a.jpg"}, {"Б", "2", "b.jpg"}, {"В", "3", "c.jpg"}};
    // An incomplete record at the end is left out; the complete ones stay.
    QTest::newRow("trailing blank lines") << "\"А\",\"1\",\"a.jpg\"\r\n\r\n\r\n"
                                          << QList<Record>{{"А", "1", "a.jpg"}};
    QTest::newRow("truncated last")
        << "\"А\",\"1\",\"a.jpg\"\r\n\"Б\",\"2" << QList<Record>{{"А", "1", "a.jpg"}};
    QTest::newRow("unclosed quote") << "\"А,1,a.jpg" << QList<Record>{};
}

void TestCatalogFile::records() {
    QFETCH(QString, file);
    QFETCH(QList<Record>, expected);
    const QList<Record> got = catalogue::parseRecords(file);
    QCOMPARE(got.size(), expected.size());
    for (qsizetype i = 0; i < got.size(); ++i) {
        QCOMPARE(got[i].name, expected[i].name);
        QCOMPARE(got[i].description, expected[i].description);
        QCOMPARE(got[i].photoFile, expected[i].photoFile);
    }
    // Read from the bytes, as the window reads them, the records are the same, however
    // the file comes in pieces (cut inside fields, quotes and CR LF alike).
    const QByteArray bytes = toCp1251(file);
    QStringList names;
    for (const Record& r : expected)
        names << r.name;
    for (const qsizetype piece : {qsizetype(1), qsizetype(2), qsizetype(5), bytes.size() + 1}) {
        const catalogue::NameScan scan = catalogue::scanNames(bytes, piece);
        QCOMPARE(scan.names, names);
        QCOMPARE(scan.first.has_value(), !expected.isEmpty());
        if (scan.first) QCOMPARE(scan.first->description, expected.first().description);
        // Each record read again from where the scan says it starts, as a chosen breed is.
        QCOMPARE(scan.offsets.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const std::optional<Record> again =
                catalogue::firstRecord([rest = bytes.sliced(scan.offsets[i]), piece]() mutable {
                    const QByteArray next = rest.first(std::min(piece, rest.size()));
                    rest = rest.sliced(next.size());
                    return next;
                });
            QVERIFY(again);
            QCOMPARE(again->description, expected[i].description);
            QCOMPARE(again->photoFile, expected[i].photoFile);
        }
        if (expected.isEmpty()) continue;
        const QList<Record> named = catalogue::recordsNamed(bytes, expected.last().name, piece);
        QVERIFY(!named.isEmpty());
        QCOMPARE(named.last().photoFile, expected.last().photoFile);
    }
}

void TestCatalogFile::photoPaths_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("path"); // empty for none
    QTest::newRow("jpg") << "sob133.jpg"
                         << "dog\\sob133.jpg";
    QTest::newRow("bmp becomes jpg") << "sob133.bmp"
                                     << "dog\\sob133.jpg";
    QTest::newRow("three characters") << "bmp"
                                      << "dog\\jpg";
    QTest::newRow("two characters") << "ab" << QString();
    // Longer than the 255 characters a name could have once: no limit now.
    const QString x50 = "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";
    QTest::newRow("280 characters")
        << x50 + x50 + x50 + x50 + x50 + "xxxxxxxxxxxxxxxxxxxxxxxxxx.jpg"
        << "dog\\" + x50 + x50 + x50 + x50 + x50 + "xxxxxxxxxxxxxxxxxxxxxxxxxx.jpg";
}

void TestCatalogFile::photoPaths() {
    QFETCH(QString, field);
    QFETCH(QString, path);
    QCOMPARE(catalogue::photoPath(field).value_or(QString()), path);
}

QTEST_GUILESS_MAIN(TestCatalogFile)
#include "test_catalogfile.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The search engine on small content folders written by each test (Windows-1251, CR LF).
#include "core/failure.h"
#include "search/documents.h"
#include "search/engine.h"
#include "topics/topicfile.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using search::Engine;
using search::Kind;

namespace {

const QString Catalogue = QStringLiteral("text\\FOLDOG.ssu");
const QString CatalogueLabel = QStringLiteral("Каталог пород");

void write(const QString& name, QString text) {
    text.replace(u'\n', QStringLiteral("\r\n"));
    QStringEncoder encoder("windows-1251");
    QFile file(QDir::current().filePath("text/" + name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(encoder.encode(text));
}

// "#Title\nparagraph\n…#Title\n" for each topic; paragraphs are separated by "|".
QString topicFile(const QList<std::pair<QString, QString>>& list) {
    QString text;
    for (const auto& [title, paragraphs] : list)
        text += '#' + title + '\n' + QString(paragraphs).replace('|', '\n') + "\n#" + title + '\n';
    return text;
}

QStringList marked(const search::Result& r) {
    QStringList words;
    for (const search::Span& m : r.marks)
        words += r.passage.mid(m.offset, m.length);
    return words;
}

QStringList labels(const QList<search::Result>& results) {
    QStringList list;
    for (const auto& r : results)
        list += r.label;
    return list;
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private slots:
    void init();
    void wordForms_data();
    void wordForms();
    void everyWordRequired_data();
    void everyWordRequired();
    void ranking();
    void labelsAndSources();
    void passages_data();
    void passages();
    void unreadableFileReportedOnce();
    void queryWithoutWords_data();
    void queryWithoutWords();
    void topicsAsTheReaderShowsThem_data();
    void topicsAsTheReaderShowsThem();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSearch::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir("text"));
    QDir::setCurrent(m_dir->path());
}

void TestSearch::wordForms_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("marked"); // empty: not found

    QTest::newRow("plural") << "клещ"
                            << "Осмотрите клещи." << QStringList{"клещи"};
    QTest::newRow("genitive") << "клещ"
                              << "Нет клещей." << QStringList{"клещей"};
    QTest::newRow("instrumental") << "Клещи"
                                  << "С КЛЕЩАМИ." << QStringList{"КЛЕЩАМИ"};
    QTest::newRow("stem prefix") << "японск"
                                 << "Японская порода." << QStringList{"Японская"};
    QTest::newRow("country") << "Япония"
                             << "Родом из Японии." << QStringList{"Японии"};
    QTest::newRow("country to adjective") << "Япония"
                                          << "Порода японская." << QStringList{"японская"};
    QTest::newRow("longer stem is no prefix") << "японск"
                                              << "Родом из Японии." << QStringList{};
    QTest::newRow("short stem only whole") << "кот"
                                           << "Дали котлету." << QStringList{};
    QTest::newRow("other word") << "клещ"
                                << "Растёт клевер." << QStringList{};
    QTest::newRow("ё in query") << "чёрный"
                                << "Окрас черного цвета." << QStringList{"черного"};
    QTest::newRow("ё in text") << "черный"
                               << "Окрас Чёрного цвета." << QStringList{"Чёрного"};
    QTest::newRow("hyphen part") << "ину"
                                 << "Это акита-ину." << QStringList{"ину"};
    QTest::newRow("hyphen whole") << "акита-ину"
                                  << "Это Акита-ину." << QStringList{"Акита-ину"};
    QTest::newRow("latin") << "Dog"
                           << "Word dogs here." << QStringList{"dogs"};
    QTest::newRow("digits") << "1931"
                            << "В 1931 году." << QStringList{"1931"};
    QTest::newRow("digits whole") << "19"
                                  << "В 1931 году." << QStringList{};
}

void TestSearch::wordForms() {
    QFETCH(QString, query);
    QFETCH(QString, text);
    QFETCH(QStringList, marked);
    write("kvs.ssu", topicFile({{"Заметка", text}}));
    Engine engine({{"text\\kvs.ssu", "Лечение собаки"}}, {}, {});
    const auto results = engine.find(query);
    QCOMPARE(results.size(), marked.isEmpty() ? 0 : 1);
    if (!results.isEmpty()) QCOMPARE(::marked(results[0]), marked);
}

void TestSearch::everyWordRequired_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("found");
    QTest::newRow("both in text") << "иксодовый весна" << true;
    QTest::newRow("title and text") << "клещи весна" << true;
    QTest::newRow("one missing") << "клещ зима" << false;
    QTest::newRow("repeated word") << "клещ клещи" << true;
}

void TestSearch::everyWordRequired() {
    QFETCH(QString, query);
    QFETCH(bool, found);
    write("kvs.ssu", topicFile({{"Клещи", "Их переносят иксодовые.|Весной осторожнее."}}));
    Engine engine({{"text\\kvs.ssu", "Лечение собаки"}}, {}, {});
    QCOMPARE(engine.find(query).size(), found ? 1 : 0);
}

void TestSearch::ranking() {
    write("kvs.ssu", topicFile({{"Уход за шерстью", "Клещ, клещ.|Клещи и клещами."},
                                {"Клещи", "Осмотр."},
                                {"Прогулки", "клещ клещ"},
                                {"Корм", "Без них."},
                                {"Поле", "клещ"},
                                {"Клещ и его укус", "Клещ опасен. Клещ."},
                                {"Лес", "клещ"}}));
    write("FOLDOG.ssu", "\"Терьер\",\"Клещ.\",\"sob1.jpg\"\n");
    Engine engine({{"text\\kvs.ssu", "Уход"}}, Catalogue, CatalogueLabel);
    // Titles first (more matches higher), then the rest by matches, ties in file order.
    QCOMPARE(
        labels(engine.find(u"клещ")),
        (QStringList{"Уход › Клещ и его укус", "Уход › Клещи", "Уход › Уход за шерстью",
                     "Уход › Прогулки", "Уход › Поле", "Уход › Лес", "Каталог пород › Терьер"}));
}

void TestSearch::labelsAndSources() {
    write("kvs.ssu", topicFile({{"Общее", "Начало."}, {"Клещи и пироплазмоз", "Про борзых."}}));
    write("FOLDOG.ssu", "\"Акита-ину\",\"Японская.\",\"sob1.jpg\"\n"
                        "\"Русская псовая борзая\",\"Борзая.\",\"sob2.jpg\"\n");
    Engine engine({{"text\\kvs.ssu", "Лечение собаки"}}, Catalogue, CatalogueLabel);
    const auto results = engine.find(u"борзая");
    QCOMPARE(results.size(), 2);
    const search::Result& breed = results[0];
    QCOMPARE(breed.label, "Каталог пород \u203A Русская псовая борзая");
    QCOMPARE(breed.kind, Kind::Breed);
    QCOMPARE(breed.file, Catalogue);
    QCOMPARE(breed.source, CatalogueLabel);
    QCOMPARE(breed.title, "Русская псовая борзая");
    QCOMPARE(breed.row, 1);
    const search::Result& topic = results[1];
    QCOMPARE(topic.label, "Лечение собаки \u203A Клещи и пироплазмоз");
    QCOMPARE(topic.kind, Kind::Topic);
    QCOMPARE(topic.file, "text\\kvs.ssu");
    QCOMPARE(topic.source, "Лечение собаки");
    QCOMPARE(topic.title, "Клещи и пироплазмоз");
    QCOMPARE(topic.row, 1);
}

void TestSearch::passages_data() {
    QTest::addColumn<bool>("breed");
    QTest::addColumn<QString>("text"); // topic paragraphs separated by "|", or a description
    QTest::addColumn<QString>("passage");

    const QString filler = QString("Слово за словом. ").repeated(20).trimmed();
    QTest::newRow("best paragraph") << false << "Один клещ.|Клещи, клещей и клещами."
                                    << "[Клещи], [клещей] и [клещами].";
    QTest::newRow("cut around the match")
        << false << filler + " Здесь клещи сидят. " + filler
        << "…" + QString("Слово за словом. ").repeated(4) + "Здесь [клещи] сидят. " +
               QString("Слово за словом. ").repeated(12) + "Слово за…";
    QTest::newRow("title only") << false << "|  Первый абзац.|Второй."
                                << "Первый абзац.";
    QTest::newRow("sentence window")
        << true << filler + " Шерсть: клещи. Конец."
        << QString("Слово за словом. ").repeated(16) + "Шерсть: [клещи]. Конец.";
}

void TestSearch::passages() {
    QFETCH(bool, breed);
    QFETCH(QString, text);
    QFETCH(QString, passage);
    const QString title = QStringLiteral("Клещ");
    write("kvs.ssu", breed ? QString() : topicFile({{title, text}}));
    write("FOLDOG.ssu", breed ? "\"" + title + "\",\"" + text + "\",\"sob1.jpg\"" : QString());
    Engine engine({{"text\\kvs.ssu", "Лечение"}}, Catalogue, CatalogueLabel);
    const auto results = engine.find(u"клещ");
    QCOMPARE(results.size(), 1);
    // Marks shown as [word], so a mark off by a letter shows.
    QString shown = results[0].passage;
    for (auto m = results[0].marks.crbegin(); m != results[0].marks.crend(); ++m)
        shown.insert(m->offset + m->length, ']').insert(m->offset, '[');
    QCOMPARE(shown, passage);
}

void TestSearch::unreadableFileReportedOnce() {
    QList<core::RuntimeFailure> failures;
    const auto previous =
        core::setFailureReporter([&](const core::RuntimeFailure& f) { failures.append(f); });
    write("kvs.ssu", topicFile({{"Клещи", "Текст."}}));
    write("FOLDOG.ssu", "\"Терьер\",\"Клещи.\",\"sob1.jpg\"\n");
    Engine engine({{"text\\none.ssu", "Нет"}, {"text\\kvs.ssu", "Лечение"}}, Catalogue,
                  CatalogueLabel);
    const QStringList found{"Лечение › Клещи", "Каталог пород › Терьер"};
    QCOMPARE(labels(engine.find(u"клещ")), found);
    QCOMPARE(labels(engine.find(u"клещи")), found);
    QCOMPARE(failures.size(), 1);
    QCOMPARE(failures[0].number, core::ErrFileNotFound);

    // Read again by every search: once there, it is searched; gone again, reported again.
    write("none.ssu", topicFile({{"Клещ", "Есть."}}));
    QCOMPARE(labels(engine.find(u"клещ")).first(), "Нет › Клещ");
    QVERIFY(QFile::remove("text/none.ssu"));
    QCOMPARE(labels(engine.find(u"клещ")), found);
    QCOMPARE(failures.size(), 2);
    core::setFailureReporter(previous);
}

void TestSearch::queryWithoutWords_data() {
    QTest::addColumn<QString>("query");
    QTest::newRow("empty") << "";
    QTest::newRow("spaces") << "   ";
    QTest::newRow("line breaks and tabs") << "\t\r\n ";
    QTest::newRow("punctuation") << " — … ! - ";
}

void TestSearch::queryWithoutWords() {
    QFETCH(QString, query);
    write("kvs.ssu", topicFile({{"Клещи", "Текст — с … знаками! - и"}}));
    Engine engine({{"text\\kvs.ssu", "Лечение"}}, {}, {});
    QVERIFY(engine.find(query).isEmpty());
}

// Results open the topic by its title in the reader: the search must see the same lines.
void TestSearch::topicsAsTheReaderShowsThem_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("free lines") << "a\r\n#А\r\n1\r\n#А\r\nсвободная\r\n#Б\r\n2\r\n#Б\r\nконец";
    QTest::newRow("duplicate apart") << "#А\r\n1\r\n#А\r\n#Б\r\n2\r\n#Б\r\n#А\r\n3\r\n#А\r\n";
    QTest::newRow("duplicate adjacent") << "#Б\r\n0\r\n#Б\r\n#А\r\n1\r\n#А\r\n#А\r\n2\r\n#А";
    QTest::newRow("hash line later") << "#А\r\n1\r\n#А\r\n#Б\r\n#ой\r\nx\r\n#Б\r\ny\r\n#ой";
    QTest::newRow("hash line in first") << "#А\r\n#ой\r\n#А\r\n#ой\r\n2\r\n#ой\r\n";
    QTest::newRow("nested") << "#А\r\n1\r\n#Б\r\n2\r\n#А\r\n3\r\n#Б\r\n";
    QTest::newRow("unclosed, CR and LF") << "#А\r1\n2\r\n\r\n#Б\n3";
}

void TestSearch::topicsAsTheReaderShowsThem() {
    QFETCH(QString, text);
    QStringList titles = topics::scanTitles(text).titles;
    titles.removeDuplicates();
    const auto split = search::splitTopics(text);
    QCOMPARE(split.size(), titles.size());
    for (const auto& topic : split) {
        QCOMPARE(topic.title, titles[&topic - split.data()]);
        QStringList lines;
        for (const search::Span& line : topic.lines)
            lines += text.mid(line.offset, line.length);
        QCOMPARE(lines.join(' ').simplified(), topics::readTopic(text, topic.title).simplified());
    }
}

QTEST_GUILESS_MAIN(TestSearch)
#include "test_search.moc"

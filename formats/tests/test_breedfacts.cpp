// SPDX-License-Identifier: GPL-3.0-or-later
// The chooser's facts file (text\podbor.ssu) and how its breeds fit the answers.
#include "formats/breedchoice.h"
#include "formats/breedfacts.h"
#include "tests/files.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>

using namespace facts;

namespace {

const QString& Header = BreedFactsHeader;
const QString& Fixture = BreedFactsFixture;

QStringList entries(const Answers& answers) {
    const FactsTable table = parseFacts(toCp1251(Fixture));
    Chooser chooser;
    chooser.setBreeds(table.breeds);
    if (chooser.size() != 6) return {QStringLiteral("offered %1").arg(chooser.size())};
    const Choice choice = chooser.choose(answers);
    QStringList got;
    for (const Fit& f : choice.fitting)
        got << entryText(table.breeds[f.breed], f);
    got << QStringLiteral("--");
    for (const Fit& f : choice.missingOne)
        got << entryText(table.breeds[f.breed], f);
    return got;
}

} // namespace

class TestBreedFacts : public QObject {
    Q_OBJECT
private slots:
    void ranges_data();
    void ranges();
    void sizes_data();
    void sizes();
    void columns_data();
    void columns();
    void choosing_data();
    void choosing();
    void countLines_data();
    void countLines();
    void rows();
    void liveFile();
    void fileOfAnyKind_data();
    void fileOfAnyKind();
};

void TestBreedFacts::ranges_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("middle");
    QTest::addColumn<QString>("written");
    QTest::newRow("between") << "60–65" << true << 62.5 << "60–65";
    QTest::newRow("decimal comma") << "3,5–4,5" << true << 4.0 << "3,5–4,5";
    QTest::newRow("from counts five more") << "от 70" << true << 75.0 << "от 70";
    QTest::newRow("up to") << "до 30" << true << 30.0 << "до 30";
    QTest::newRow("about") << "около 23" << true << 23.0 << "около 23";
    QTest::newRow("one number") << "23" << true << 23.0 << "около 23";
    QTest::newRow("empty") << "" << true << 0.0 << "";
    QTest::newRow("hyphen is no dash") << "60-65" << false << 0.0 << "";
    QTest::newRow("decimal point") << "3.5" << false << 0.0 << "";
    QTest::newRow("reversed") << "65–60" << false << 0.0 << "";
    QTest::newRow("words") << "крупная" << false << 0.0 << "";
    QTest::newRow("from nothing") << "от " << false << 0.0 << "";
}

void TestBreedFacts::ranges() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, middle);
    QFETCH(QString, written);
    const std::optional<Range> r = parseRange(text);
    QCOMPARE(r.has_value(), valid);
    if (!r) return;
    QCOMPARE(r->middle(), middle);
    QCOMPARE(rangeText(*r), written);
}

void TestBreedFacts::sizes_data() {
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("height");
    QTest::addColumn<int>("size");
    QTest::newRow("5 kg is mini") << "4–6"
                                  << "" << int(Size::Mini);
    QTest::newRow("just over 5") << "4–6,2"
                                 << "" << int(Size::Small);
    QTest::newRow("12 small") << "12"
                              << "" << int(Size::Small);
    QTest::newRow("25 medium") << "20–30"
                               << "" << int(Size::Medium);
    QTest::newRow("50 large") << "от 45"
                              << "" << int(Size::Large);
    QTest::newRow("over 50 giant") << "от 46"
                                   << "" << int(Size::Giant);
    QTest::newRow("weight before height") << "3"
                                          << "70" << int(Size::Mini);
    QTest::newRow("height 25 mini") << ""
                                    << "до 25" << int(Size::Mini);
    QTest::newRow("height 38 small") << ""
                                     << "35–41" << int(Size::Small);
    QTest::newRow("height 55 medium") << ""
                                      << "50–60" << int(Size::Medium);
    QTest::newRow("height 69 large") << ""
                                     << "65–73" << int(Size::Large);
    QTest::newRow("height over 69 giant") << ""
                                          << "от 70" << int(Size::Giant);
    QTest::newRow("neither") << ""
                             << "" << int(Size::Unknown);
}

void TestBreedFacts::sizes() {
    QFETCH(QString, weight);
    QFETCH(QString, height);
    QFETCH(int, size);
    QCOMPARE(int(sizeByRule(*parseRange(weight), *parseRange(height))), size);
}

void TestBreedFacts::columns_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("breeds"); // name: size, shedding, cats
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<QStringList>("missing");
    const QStringList all = {
        "порода", "рост кобелей", "рост сук", "вес кобелей", "вес сук",     "размер",
        "шерсть", "линька",       "уход",     "активность",  "обучаемость", "дети",
        "собаки", "кошки",        "квартира", "новичку",     "одна дома",   "холод",
        "жара",   "охрана",       "лай",      "жизнь",       "признание",   "перечень 974"};
    QTest::newRow("empty file") << "" << QStringList{} << QStringList{} << all;
    QTest::newRow("fixture") << Fixture
                             << QStringList{"Овчарка: 3 3 1", "Пудель: 2 0 2",  "Мопс: 1 2 2",
                                            "Хаски: 2 3 0",   "Бульдог: 3 2 0", "Бишон: 0 0 2",
                                            "Водолаз: 0 0 2"}
                             << QStringList{} << QStringList{};
    // Columns found by name: another order, an extra column, some left out.
    QTest::newRow("by name, extra column")
        << "\"кошки\",\"примечание\",\"порода\",\"линька\",\"размер\"\n"
           "\"нет\",\"что угодно\",\"Хаски\",\"3\",\"средняя\"\n"
        << QStringList{"Хаски: 2 3 0"} << QStringList{}
        << QStringList{"рост кобелей", "рост сук",   "вес кобелей", "вес сук",   "шерсть",
                       "уход",         "активность", "обучаемость", "дети",      "собаки",
                       "квартира",     "новичку",    "одна дома",   "холод",     "жара",
                       "охрана",       "лай",        "жизнь",       "признание", "перечень 974"};
    QTest::newRow("bad values are unknown")
        << "\"порода\",\"размер\",\"линька\",\"кошки\",\"рост кобелей\"\r\n"
           "\"Хаски\",\"большая\",\"4\",\"Да\",\"50-60\"\r\n"
           "\"\",\"мини\",\"0\",\"да\",\"\"\r\n"
           "\"Хаски\",\"мини\",\"0\",\"да\",\"\"\r\n"
           "\r\n"
           "\"Мопс\",\"малая\"\r\n"
        << QStringList{"Хаски: -1 -1 -1", "Мопс: 1 -1 -1"}
        << QStringList{"2: Хаски: «50-60» в столбце «рост кобелей»",
                       "2: Хаски: «большая» в столбце «размер»",
                       "2: Хаски: «4» в столбце «линька»",
                       "2: Хаски: «Да» в столбце «кошки»",
                       "3: нет названия породы",
                       "4: «Хаски» уже была выше",
                       "6: Мопс: «» в столбце «линька»",
                       "6: Мопс: «» в столбце «кошки»"}
        << QStringList{"рост сук",   "вес кобелей", "вес сук",   "шерсть",      "уход",
                       "активность", "обучаемость", "дети",      "собаки",      "квартира",
                       "новичку",    "одна дома",   "холод",     "жара",        "охрана",
                       "лай",        "жизнь",       "признание", "перечень 974"};
}

void TestBreedFacts::columns() {
    QFETCH(QString, file);
    QFETCH(QStringList, breeds);
    QFETCH(QStringList, problems);
    QFETCH(QStringList, missing);
    const FactsTable table = parseFacts(toCp1251(file));
    QStringList got;
    for (const Breed& b : table.breeds)
        got << QStringLiteral("%1: %2 %3 %4")
                   .arg(b.name)
                   .arg(int(b.size))
                   .arg(b.shedding)
                   .arg(int(b.cats));
    QCOMPARE(got, breeds);
    QStringList gotProblems;
    for (const Problem& p : table.problems)
        if (!p.text.startsWith(QStringLiteral("нет столбца")))
            gotProblems << QStringLiteral("%1: %2").arg(p.line).arg(p.text);
    QCOMPARE(gotProblems, problems);
    QCOMPARE(table.missing, missing);
}

void TestBreedFacts::choosing_data() {
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QStringList>("expected");
    using A = Answers;
    QTest::newRow("nothing asked: all, by name")
        << A{} << QStringList{"Бишон", "Бульдог", "Мопс", "Овчарка", "Пудель", "Хаски", "--"};
    A flat;
    flat.home = A::Home::Flat;
    QTest::newRow("flat") << flat
                          << QStringList{"Бишон",
                                         "Мопс",
                                         "Пудель",
                                         "Овчарка — с оговорками: квартира",
                                         "Хаски — с оговорками: квартира",
                                         "--",
                                         "Бульдог — не подходит: квартира"};
    A house;
    house.home = A::Home::House;
    house.experience = A::Experience::Had;
    house.children = A::Children::None;
    QTest::newRow("fit every breed")
        << house << QStringList{"Бишон", "Бульдог", "Мопс", "Овчарка", "Пудель", "Хаски", "--"};
    A pensioner; // a flat, up to an hour a day
    pensioner.home = A::Home::Flat;
    pensioner.walks = A::Walks::UpToHour;
    QTest::newRow("pensioner") << pensioner
                               << QStringList{
                                      "Бишон",
                                      "Мопс",
                                      "Пудель — с оговорками: прогулки",
                                      "--",
                                      "Бульдог — не подходит: квартира; с оговорками: прогулки",
                                      "Овчарка — не подходит: прогулки; с оговорками: квартира",
                                      "Хаски — не подходит: прогулки; с оговорками: квартира"};
    A runner;
    runner.walks = A::Walks::OverTwo;
    QTest::newRow("over two hours") << runner
                                    << QStringList{"Бульдог",
                                                   "Овчарка",
                                                   "Пудель",
                                                   "Хаски",
                                                   "Бишон — с оговорками: прогулки",
                                                   "--",
                                                   "Мопс — не подходит: прогулки"};
    A oneTwo;
    oneTwo.walks = A::Walks::OneToTwo;
    QTest::newRow("one to two hours") << oneTwo
                                      << QStringList{"Бишон",
                                                     "Бульдог",
                                                     "Мопс",
                                                     "Пудель",
                                                     "Овчарка — с оговорками: прогулки",
                                                     "--",
                                                     "Хаски — не подходит: прогулки"};
    A family; // a cat and school-age children
    family.cat = true;
    family.children = A::Children::School;
    QTest::newRow("cat and schoolchildren") << family
                                            << QStringList{"Бишон",
                                                           "Мопс",
                                                           "Пудель",
                                                           "Овчарка — с оговорками: кошка",
                                                           "--",
                                                           "Бульдог — не подходит: кошка",
                                                           "Хаски — не подходит: кошка"};
    A small;
    small.children = A::Children::Small;
    small.dog = true;
    QTest::newRow("small children and a dog")
        << small
        << QStringList{"Бишон",
                       "Мопс",
                       "Пудель",
                       "Хаски",
                       "Овчарка — с оговорками: дети, собака",
                       "--",
                       "Бульдог — не подходит: собака; с оговорками: дети"};
    A sizes;
    sizes.sizes = 1u << int(Size::Mini) | 1u << int(Size::Small);
    QTest::newRow("mini or small") << sizes
                                   << QStringList{"Бишон",
                                                  "Мопс",
                                                  "--",
                                                  "Бульдог — не подходит: размер",
                                                  "Овчарка — не подходит: размер",
                                                  "Пудель — не подходит: размер",
                                                  "Хаски — не подходит: размер"};
    A coat;
    coat.lowShedding = true;
    coat.minimalCare = true;
    QTest::newRow("low shedding, minimal care")
        << coat
        << QStringList{"--",
                       "Бишон — не подходит: уход",
                       "Бульдог — не подходит: линька",
                       "Мопс — не подходит: линька",
                       "Пудель — не подходит: уход",
                       "Овчарка — не подходит: линька; с оговорками: уход",
                       "Хаски — не подходит: линька; с оговорками: уход"};
    // Two misses (the husky alone and in the heat, the pug in frost and heat) drop a breed.
    A climate;
    climate.frost = true;
    climate.heat = true;
    climate.oftenAlone = true;
    QTest::newRow("frost, heat, alone")
        << climate
        << QStringList{"Овчарка — с оговорками: одна дома, жара",
                       "Пудель — с оговорками: одна дома, морозы, жара", "--",
                       "Бульдог — не подходит: одна дома; с оговорками: жара",
                       "Бишон — не подходит: одна дома; с оговорками: морозы, жара"};
    A guard;
    guard.guard = A::Guard::Needed;
    QTest::newRow("guard needed") << guard
                                  << QStringList{"Бульдог",
                                                 "Овчарка",
                                                 "--",
                                                 "Бишон — не подходит: охрана",
                                                 "Мопс — не подходит: охрана",
                                                 "Пудель — не подходит: охрана",
                                                 "Хаски — не подходит: охрана"};
    A noGuard;
    noGuard.guard = A::Guard::NotNeeded;
    noGuard.quiet = true;
    QTest::newRow("no guard, quiet")
        << noGuard
        << QStringList{"Бишон",
                       "Мопс",
                       "Пудель — с оговорками: лай",
                       "--",
                       "Хаски — не подходит: лай",
                       "Бульдог — не подходит: охрана; с оговорками: лай",
                       "Овчарка — не подходит: охрана; с оговорками: лай"};
    A novice;
    novice.experience = A::Experience::First;
    QTest::newRow("first dog") << novice
                               << QStringList{"Бишон",
                                              "Мопс",
                                              "Пудель",
                                              "--",
                                              "Бульдог — не подходит: первая собака",
                                              "Овчарка — не подходит: первая собака",
                                              "Хаски — не подходит: первая собака"};
}

void TestBreedFacts::choosing() {
    QFETCH(Answers, answers);
    QFETCH(QStringList, expected);
    QCOMPARE(entries(answers), expected);
}

void TestBreedFacts::countLines_data() {
    QTest::addColumn<int>("fitting");
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("line");
    QTest::newRow("14") << 14 << 312 << "Подходят все ответы: 14 пород из 312";
    QTest::newRow("1") << 1 << 312 << "Подходят все ответы: 1 порода из 312";
    QTest::newRow("3") << 3 << 5 << "Подходят все ответы: 3 породы из 5";
    QTest::newRow("11") << 11 << 312 << "Подходят все ответы: 11 пород из 312";
    QTest::newRow("21") << 21 << 312 << "Подходят все ответы: 21 порода из 312";
    QTest::newRow("0") << 0 << 312 << "Подходят все ответы: 0 пород из 312";
    QTest::newRow("thousands") << 100000 << 100000
                               << "Подходят все ответы: 100\u00a0000 пород из 100\u00a0000";
}

void TestBreedFacts::countLines() {
    QFETCH(int, fitting);
    QFETCH(int, total);
    QFETCH(QString, line);
    QCOMPARE(countLine(fitting, total), line);
}

void TestBreedFacts::rows() {
    const FactsTable table = parseFacts(toCp1251(Fixture));
    QStringList got;
    for (const FactRow& r : factRows(table.breeds[0]))
        got << r.label + QStringLiteral(": ") + r.value;
    QCOMPARE(got, (QStringList{"Рост в холке: кобели 60–65 см, суки 55–60 см",
                               "Вес: кобели 30–40 кг, суки 22–32 кг",
                               "Размер: крупная",
                               "Шерсть: короткая",
                               "Линька: сильная",
                               "Уход за шерстью: раз-два в неделю, в линьку чаще",
                               "Прогулки: больше двух часов в день, со спортом",
                               "Обучаемость: учится легко, работает в спорте и послушании",
                               "С детьми: с оговорками",
                               "С другими собаками: с оговорками",
                               "С кошками: с оговорками",
                               "В квартире: с оговорками",
                               "Первой собакой: нет",
                               "Одна дома: переносит умеренно",
                               "Морозы: переносит хорошо",
                               "Жара: переносит умеренно",
                               "Охрана: охранник и защитник",
                               "Лай: по делу",
                               "Продолжительность жизни: 9–13 лет",
                               "Признание: FCI I",
                               "В перечне потенциально опасных собак: нет"}));
    const QList<FactRow> mops = factRows(table.breeds[2]);
    QCOMPARE(mops[0].value, QStringLiteral("кобели около 30 см"));
    QCOMPARE(factRows(table.breeds[4])[0].value, QStringLiteral("стандарт не указывает"));
    QCOMPARE(factRows(table.breeds[5])[0].value, QStringLiteral("до 30 см"));
    // Pudel and Bichon differ in size, walks, barking and more; the coat and grooming agree.
    const QList<bool> differ =
        differingRows({factRows(table.breeds[1]), factRows(table.breeds[5])});
    QCOMPARE(differ,
             (QList<bool>{true,  true,  true, false, false, false, true, false, false, false, false,
                          false, false, true, false, false, false, true, false, false, false}));
}

// Read at the window's opening and again only when the file changed; a file that cannot be
// read says why and leaves no breeds.
void TestBreedFacts::liveFile() {
    ContentFiles files;
    const QString path = QStringLiteral("text\\podbor.ssu");
    FactsSource source(path);
    QVERIFY(source.refresh());
    QCOMPARE(source.failure(), QStringLiteral("Файл не найден: text\\podbor.ssu"));
    QVERIFY(source.table().empty());
    QVERIFY(!source.refresh());

    files.writeText(path, Fixture);
    QVERIFY(source.refresh());
    QCOMPARE(source.failure(), QString());
    QCOMPARE(source.table().breeds.size(), 7);
    QVERIFY(!source.refresh());

    files.writeText(path, Header + QStringLiteral("\"Мопс\"\r\n"));
    QVERIFY(source.refresh());
    QCOMPARE(source.table().breeds.size(), 1);

    files.remove(path);
    QDir(files.root()).mkpath(QStringLiteral("text/podbor.ssu"));
    QVERIFY(source.refresh());
    QVERIFY(source.table().empty());
    QVERIFY(!source.failure().isEmpty());
}

// Whatever lies at the file's place, the chooser's reading returns at once: no breeds and
// a reason, or what the bytes hold.
void TestBreedFacts::fileOfAnyKind_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("breeds");
    QTest::newRow("empty") << "empty"
                           << "" << 0;
    QTest::newRow("a header and nothing else") << "header"
                                               << "" << 0;
    QTest::newRow("binary") << "binary"
                            << "" << 0;
    QTest::newRow("over 64 MB") << "huge"
                                << "Файл слишком велик: text\\podbor.ssu" << 0;
    QTest::newRow("a directory") << "directory"
                                 << "Файл не найден: text\\podbor.ssu" << 0;
    QTest::newRow("a pipe") << "pipe"
                            << "Файл не найден: text\\podbor.ssu" << 0;
    QTest::newRow("a link to /dev/zero") << "zero"
                                         << "Файл не найден: text\\podbor.ssu" << 0;
    QTest::newRow("a link to the facts") << "link"
                                         << "" << 7;
}

void TestBreedFacts::fileOfAnyKind() {
    QFETCH(QString, kind);
    QFETCH(QString, failure);
    QFETCH(int, breeds);
    ContentFiles files;
    const QString path = QStringLiteral("text\\podbor.ssu");
    const QString real = files.root() + QStringLiteral("/text/podbor.ssu");
    QDir(files.root()).mkpath(QStringLiteral("text"));
    if (kind == "empty") {
        files.writeBytes(path, {});
    } else if (kind == "header") {
        files.writeText(path, Header);
    } else if (kind == "binary") {
        QByteArray bytes(4096, Qt::Uninitialized);
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 7919) % 256);
        files.writeBytes(path, bytes);
    } else if (kind == "huge") {
        files.writeText(path, Fixture);
        QFile file(real);
        QVERIFY(file.resize(MaxFactsBytes + 1)); // sparse: takes no room
    } else if (kind == "directory") {
        QVERIFY(QDir(files.root()).mkpath(QStringLiteral("text/podbor.ssu")));
    } else if (kind == "pipe") {
        QCOMPARE(mkfifo(QFile::encodeName(real).constData(), 0600), 0);
    } else if (kind == "zero") {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), real));
    } else if (kind == "link") {
        files.writeText(QStringLiteral("text\\facts.txt"), Fixture);
        QVERIFY(QFile::link(files.root() + QStringLiteral("/text/facts.txt"), real));
    }
    FactsSource source(path);
    QVERIFY(source.refresh());
    QCOMPARE(source.failure(), failure);
    QCOMPARE(source.table().breeds.size(), breeds);
}

QTEST_GUILESS_MAIN(TestBreedFacts)
#include "test_breedfacts.moc"

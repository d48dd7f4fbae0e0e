// SPDX-License-Identifier: GPL-3.0-or-later
// The search engine on small content folders written by each test (Windows-1251, CR LF),
// and a few real questions over the shipped reference.
#include "base/failure.h"
#include "base/text.h"
#include "formats/topicfile.h"
#include "search/engine.h"
#include "search/index.h"
#include "search/wordgroups.h"

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
const QString Groups = QStringLiteral("text\\slova.ssu");

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

// The words marked in a topic's whole text as the reader shows it (each paragraph
// indented), as the search found them in its file.
QStringList markedShown(const search::Result& r, const QString& paragraph) {
    const QString shown = "     " + paragraph + "\r\n     ";
    QStringList words;
    if (r.found)
        for (const search::Span& m : r.found->marksIn(shown))
            words += shown.mid(m.offset, m.length);
    return words;
}

// Marks shown as [word], so a mark off by a letter shows.
QString bracketed(QString text, const QList<search::Span>& marks) {
    for (auto m = marks.crbegin(); m != marks.crend(); ++m)
        text.insert(m->offset + m->length, ']').insert(m->offset, '[');
    return text;
}

// Labels, a partial answer marked as the list marks it.
QStringList labels(const QList<search::Result>& results) {
    QStringList list;
    for (const auto& r : results)
        list += r.label + (r.partial ? " (не все слова)" : "");
    return list;
}

Engine sectionEngine() {
    return Engine({{"text\\kvs.ssu", "Лечение"}}, {}, {}, Groups);
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private slots:
    void init();
    void wordForms_data();
    void wordForms();
    void requiredWords_data();
    void requiredWords();
    void ranking_data();
    void ranking();
    void wordGroups_data();
    void wordGroups();
    void typos_data();
    void typos();
    void manyResults();
    void labelsAndSources();
    void passages_data();
    void passages();
    void unreadableFilesNamed();
    void editedFileSearchedAsEdited();
    void changedTextIsNotRead_data();
    void changedTextIsNotRead();
    void queryWithoutWords_data();
    void queryWithoutWords();
    void shippedQuestions_data();
    void shippedQuestions();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSearch::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir("text"));
    QDir::setCurrent(m_dir->path());
}

void TestSearch::wordForms_data() {
    QTest::addColumn<QString>("query"); // a space after the last word: typed to its end
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("marked"); // empty: not found

    QTest::newRow("plural") << "клещ "
                            << "Осмотрите клещи." << QStringList{"клещи"};
    QTest::newRow("genitive") << "клещ "
                              << "Нет клещей." << QStringList{"клещей"};
    QTest::newRow("instrumental") << "Клещи "
                                  << "С КЛЕЩАМИ." << QStringList{"КЛЕЩАМИ"};
    QTest::newRow("stem prefix") << "японск "
                                 << "Японская порода." << QStringList{"Японская"};
    QTest::newRow("country") << "Япония "
                             << "Родом из Японии." << QStringList{"Японии"};
    QTest::newRow("country to adjective") << "Япония "
                                          << "Порода японская." << QStringList{"японская"};
    QTest::newRow("longer stem is no prefix") << "кошк "
                                              << "Кошачий корм." << QStringList{};
    QTest::newRow("short stem only whole") << "кот "
                                           << "Дали котлету." << QStringList{};
    QTest::newRow("other word") << "клещ "
                                << "Растёт клевер." << QStringList{};
    QTest::newRow("ё in query") << "чёрный "
                                << "Окрас черного цвета." << QStringList{"черного"};
    QTest::newRow("ё in text") << "черный "
                               << "Окрас Чёрного цвета." << QStringList{"Чёрного"};
    QTest::newRow("hyphen part") << "ину "
                                 << "Это акита-ину." << QStringList{"ину"};
    QTest::newRow("hyphen whole") << "акита-ину "
                                  << "Это Акита-ину." << QStringList{"Акита-ину"};
    QTest::newRow("latin") << "Dog "
                           << "Word dogs here." << QStringList{"dogs"};
    QTest::newRow("digits") << "1931 "
                            << "В 1931 году." << QStringList{"1931"};
    QTest::newRow("digits whole") << "19 "
                                  << "В 1931 году." << QStringList{};

    // The last word while it is typed also matches as a beginning, from two letters on.
    QTest::newRow("typed beginning") << "кл"
                                     << "Осмотрите клещи." << QStringList{"клещи"};
    QTest::newRow("typed beginning of another word")
        << "ов"
        << "Немецкая овчарка." << QStringList{"овчарка"};
    QTest::newRow("typed digits") << "19"
                                  << "В 1931 году." << QStringList{"1931"};
    QTest::newRow("typed short stem") << "кот"
                                      << "Дали котлету." << QStringList{"котлету"};
    QTest::newRow("one typed letter is a word") << "к"
                                                << "Осмотрите клещи." << QStringList{};
    QTest::newRow("typed to its end") << "кл "
                                      << "Осмотрите клещи." << QStringList{};
    QTest::newRow("words before the typed one are whole") << "кл овч"
                                                          << "Клещи у овчарки." << QStringList{};
    QTest::newRow("typed after a whole word")
        << "клещи ов"
        << "Клещи у овчарки." << QStringList{"Клещи", "овчарки"};

    // A stem of two letters or fewer finds only its own word form.
    QTest::newRow("short stem is no other word") << "вой "
                                                 << "Вольер во дворе." << QStringList{};
    QTest::newRow("short stem finds its form") << "вой "
                                               << "Слышен вой." << QStringList{"вой"};
    QTest::newRow("typed short stem is no shorter word") << "той"
                                                         << "То есть так." << QStringList{};

    // A vowel dropped or added as the word bends.
    QTest::newRow("fleeting vowel dropped") << "щенок "
                                            << "Нет щенка." << QStringList{"щенка"};
    QTest::newRow("fleeting vowel added") << "поводка "
                                          << "Длинный поводок." << QStringList{"поводок"};

    // A word found nowhere as it is finds the others of its family: another prefix or none,
    // verb and noun, the root's last consonant alternating, a vowel that comes and goes; never
    // by a root under four letters once its prefix is off.
    QTest::newRow("family: verb to noun, prefix dropped")
        << "обморозилась "
        << "Сильный мороз." << QStringList{"мороз"};
    QTest::newRow("family: another prefix, з to ж")
        << "отморозил "
        << "Бывает обморожение лап." << QStringList{"обморожение"};
    QTest::newRow("family: д to жд") << "переохладилась "
                                     << "Опасно переохлаждение." << QStringList{"переохлаждение"};
    QTest::newRow("family: noun to verb") << "обморожение "
                                          << "Лапы отморозил." << QStringList{"отморозил"};
    QTest::newRow("family: verb to noun") << "хромает "
                                          << "Хромота прошла." << QStringList{"Хромота"};
    QTest::newRow("family: prefix added") << "хромать "
                                          << "Собака захромала." << QStringList{"захромала"};
    QTest::newRow("family: no root of three letters") << "сбила "
                                                      << "Забил гвоздь." << QStringList{};
    QTest::newRow("family: no root of three letters, prefix dropped")
        << "налог "
        << "Как положено." << QStringList{};
    // A diminutive finds its plain word.
    QTest::newRow("diminutive: к") << "ушки "
                                   << "Чистят уши." << QStringList{"уши"};
    QTest::newRow("diminutive: к after a consonant") << "лапка "
                                                     << "Мыть лапы." << QStringList{"лапы"};
    QTest::newRow("diminutive: ч to к") << "собачка "
                                        << "Собака спит." << QStringList{"Собака"};
    QTest::newRow("diminutive: очк") << "косточки "
                                     << "Кости опасны." << QStringList{"Кости"};
    QTest::newRow("no diminutive: ушк") << "игрушка "
                                        << "Игра." << QStringList{};

    // Hyphenated words written together or apart.
    QTest::newRow("text hyphenated, query together") << "шитцу "
                                                     << "Порода ши-тцу." << QStringList{"ши-тцу"};
    QTest::newRow("query hyphenated, text together") << "чихуа-хуа "
                                                     << "Это чихуахуа." << QStringList{"чихуахуа"};
    QTest::newRow("query hyphenated, text apart")
        << "чихуа-хуа "
        << "Это чихуа хуа." << QStringList{"чихуа", "хуа"};

    // Characters that show nothing split no word, in the query or in the text.
    QTest::newRow("soft hyphen in the query") << "кле\u00ADщ "
                                              << "Осмотрите клещи. Кле щи." << QStringList{"клещи"};
    QTest::newRow("zero-width space in the query")
        << "кле\u200Bщ "
        << "Осмотрите клещи. Кле щи." << QStringList{"клещи"};
    QTest::newRow("joiners and byte order mark in the query")
        << "\uFEFFкле\u200Dщ\u2060 "
        << "Осмотрите клещи." << QStringList{"клещи"};
    QTest::newRow("zero-width space in the typed word")
        << "кле\u200Bщ"
        << "Осмотрите клещи." << QStringList{"клещи"};
    QTest::newRow("soft hyphen in the text")
        << "клещ "
        << "Осмотрите кле\u00ADщи." << QStringList{"кле\u00ADщи"};
    QTest::newRow("soft hyphens in both")
        << "ов\u00ADчар\u00ADка "
        << "Немецкая ов\u00ADчарка." << QStringList{"ов\u00ADчарка"};
    QTest::newRow("soft hyphen at a word's end ends it")
        << "клещи "
        << "Осмотрите клещи\u00AD." << QStringList{"клещи"};
}

void TestSearch::wordForms() {
    QFETCH(QString, query);
    QFETCH(QString, text);
    QFETCH(QStringList, marked);
    write("kvs.ssu", topicFile({{"Заметка", text}}));
    const auto answer = sectionEngine().find(query);
    QCOMPARE(answer.found, marked.isEmpty() ? 0 : 1);
    if (!marked.isEmpty()) QCOMPARE(::marked(answer.results[0]), marked);
    // The topic opened from the search marks the same words in its text.
    if (!marked.isEmpty()) QCOMPARE(markedShown(answer.results[0], text), marked);
    QCOMPARE(answer.searchedFor, QString()); // found as typed, not retried
}

void TestSearch::requiredWords_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("found");
    const QString ticks = "Лечение › Клещи";
    QTest::newRow("both in text") << "иксодовый весна" << QStringList{ticks};
    QTest::newRow("title and text") << "клещи весна" << QStringList{ticks};
    QTest::newRow("repeated word") << "клещ клещи" << QStringList{ticks};
    QTest::newRow("one missing: partial") << "клещ зима" << QStringList{ticks + " (не все слова)"};
    QTest::newRow("two missing: nothing") << "клещ спит играет" << QStringList{};
    QTest::newRow("two found nowhere: the rest, partial")
        << "клещ зима лето" << QStringList{ticks + " (не все слова)"};
    QTest::newRow("found nowhere, no other word: nothing") << "зима лето" << QStringList{};
    QTest::newRow("found nowhere, a question's own words: partial")
        << "что делать зима" << QStringList{"Лечение › Корм (не все слова)"};
    QTest::newRow("found nowhere, words most documents hold: partial")
        << "собака зима"
        << QStringList{"Лечение › Сон (не все слова)", "Лечение › Игры (не все слова)",
                       "Лечение › Корм (не все слова)"};
    QTest::newRow("a question's own words need not occur")
        << "что делать клещ" << QStringList{ticks};
    QTest::newRow("only a question's own words: they must")
        << "что делать" << QStringList{"Лечение › Корм"};
    QTest::newRow("words most documents hold need not occur")
        << "клещи собака" << QStringList{ticks};
    QTest::newRow("only words most documents hold: they must")
        << "собака ест" << QStringList{"Лечение › Корм"};
}

void TestSearch::requiredWords() {
    QFETCH(QString, query);
    QFETCH(QStringList, found);
    write("kvs.ssu", topicFile({{"Клещи", "Их переносят иксодовые.|Весной осторожнее."},
                                {"Корм", "Собака ест. Что делать?"},
                                {"Сон", "Собака спит."},
                                {"Игры", "Собака играет."}}));
    write("slova.ssu", topicFile({{"Необязательные слова", "что, делать"}}));
    const auto answer = sectionEngine().find(query);
    QCOMPARE(labels(answer.results), found);
    // Words found nowhere are named, question words aside.
    QStringList unfound;
    for (const QString& word : query.split(' '))
        if (QStringList{"зима", "лето"}.contains(word)) unfound.append(word);
    QCOMPARE(answer.unfound, unfound);
}

void TestSearch::ranking_data() {
    QTest::addColumn<QString>("topics"); // "Title=paragraph|paragraph;Title=…"
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("order");

    // Counts weigh against length: two matches in two words outweigh four in five.
    QTest::newRow("title first, then matches for the length, ties in file order")
        << "Уход за шерстью=Клещ, клещ.|Клещи и клещами.;Клещи=Осмотр.;Прогулки=клещ клещ;"
           "Корм=Без них.;Поле=клещ;Клещ и его укус=Клещ опасен. Клещ.;Лес=клещ"
        << "клещ " << QStringList{"Уход › Клещи",    "Уход › Клещ и его укус",
                                  "Уход › Прогулки", "Уход › Уход за шерстью",
                                  "Уход › Поле",     "Уход › Лес"};
    QTest::newRow("a word most documents hold counts for little")
        << "Желудок=Рвота бывает.;Корм=Собака, собака, собака, собака, собака ест, рвота.;"
           "А=Собака спит.;Б=Собака спит.;В=Собака спит.;Г=Собака спит.;Д=Собака спит."
        << "собака рвота " << QStringList{"Уход › Желудок", "Уход › Корм"};
    QTest::newRow("words close together first")
        << "Далеко=Рвота у щенков бывает часто, потом идёт кровь.;"
           "Рядом=Часто у щенков бывает рвота с кровью потом."
        << "рвота кровь " << QStringList{"Уход › Рядом", "Уход › Далеко"};
    QTest::newRow("whole words before a typed beginning")
        << "Котлеты=Котлета.;Кошки=Кот."
        << "кот" << QStringList{"Уход › Кошки", "Уход › Котлеты"};
    QTest::newRow("a word the texts use, even once, finds no family")
        << "Покупка=Покупать щенка.;Купание=Купать щенка."
        << "купать " << QStringList{"Уход › Купание"};
    QTest::newRow("a word found nowhere as it is: its family")
        << "Вода=Вода.;Купание=Купать щенка."
        << "искупать " << QStringList{"Уход › Купание"};
    QTest::newRow("a family is no longer word") << "Хромосомы=Хромосомы.;Хромота=Хромота."
                                                << "хромает " << QStringList{"Уход › Хромота"};
    QTest::newRow("a family: one letter off is no root")
        << "Трава=Трава растёт.;Яд=Отравление.;Отравилась=Отравилась."
        << "отравилась " << QStringList{"Уход › Отравилась", "Уход › Яд"};
    QTest::newRow("missing a word: topics before breeds that only mention the words")
        << "Лай=Щенок иногда громко лает на улице днём и вечером.;Корм=Мясо.;"
           "@Бигль=Бигль лает ночью, лает ночью, лает ночью.;@Пудель=Спит."
        << "щенок лает ночью "
        << QStringList{"Уход › Лай (не все слова)", "Каталог пород › Бигль (не все слова)"};
    QTest::newRow("missing a word: a breed by its name before topics")
        << "Лай=Лает ночью.;Корм=Мясо.;@Бигль=Бигль.;@Пудель=Спит."
        << "бигль лает "
        << QStringList{"Каталог пород › Бигль (не все слова)", "Уход › Лай (не все слова)"};
    // «щенок» is in four of twelve texts: common; «метрика» in three: rare. A topic holding
    // the rare word often ranks with the full matches though it lacks the common one (and is
    // marked as lacking it); a breed that merely mentions the rare word does not.
    QTest::newRow("missing a common word: ranks with full matches, by score")
        << "Метрика=Метрика, метрика и снова метрика.;"
           "Выставка=Щенок с метрикой едет на выставку, где судьи смотрят его движения, "
           "зубы, шерсть, окрас и характер, а хозяин ждёт оценки;"
           "Кормление=Щенок ест.;Прогулки=Щенок гуляет.;Купание=Щенок моется.;Сон=Спит.;"
           "Игры=Играет.;Лай=Лает.;Вой=Воет.;Бег=Бежит.;"
           "@Бигль=Метрика, метрика, метрика.;@Пудель=Спит."
        << "щенок метрика "
        << QStringList{"Уход › Метрика (не все слова)",   "Уход › Выставка",
                       "Уход › Кормление (не все слова)", "Уход › Прогулки (не все слова)",
                       "Уход › Купание (не все слова)",   "Каталог пород › Бигль (не все слова)"};
    QTest::newRow("a breed that only mentions every word after a topic holding them")
        << "Лай=Щенок иногда громко лает на улице днём и вечером, а ночью лает реже, чем днём, "
           "и это нормально;Корм=Мясо.;Сон=Спит.;"
           "@Бигль=Щенок бигля лает ночью.;@Пудель=Щенок спит."
        << "щенок лает ночью " << QStringList{"Уход › Лай", "Каталог пород › Бигль"};
    // «одежда» in two of twelve texts, «зимой» in three: both rare.
    QTest::newRow("missing a word: a topic titled by the rare word it holds with full matches")
        << "Одежда=Одежда греет в мороз. Одежда бывает разной.;"
           "Прогулки=Зимой гуляют меньше, а одежда нужна мелким собакам, щенкам, пожилым и "
           "больным, особенно в ветер и сырость;"
           "Мороз=Зимой холодно.;Корм=Мясо.;Сон=Спит.;Игры=Играет.;Лай=Лает.;Вой=Воет.;"
           "Бег=Бежит.;Вода=Пьёт.;"
           "@Бигль=Бигль зимой, зимой, зимой в одежде.;@Пудель=Спит."
        << "одежда зимой "
        << QStringList{"Уход › Одежда (не все слова)", "Уход › Прогулки", "Каталог пород › Бигль",
                       "Уход › Мороз (не все слова)"};
    QTest::newRow("partial answers after full ones")
        << "Первая=Клещ весной.;Вторая=Клещ, клещ.;Третья=Весной тепло.;Корм=Мясо.;Сон=Спит."
        << "клещ весна "
        << QStringList{"Уход › Первая", "Уход › Вторая (не все слова)",
                       "Уход › Третья (не все слова)"};
}

void TestSearch::ranking() {
    QFETCH(QString, topics);
    QFETCH(QString, query);
    QFETCH(QStringList, order);
    // "@Name=description": a breed of the catalogue.
    QList<std::pair<QString, QString>> list;
    QString breeds;
    for (const QString& topic : topics.split(';')) {
        if (topic.startsWith(u'@'))
            breeds += "\"" + topic.mid(1).section('=', 0, 0) + "\",\"" + topic.section('=', 1) +
                      "\",\"sob1.jpg\"\n";
        else
            list.append({topic.section('=', 0, 0), topic.section('=', 1)});
    }
    write("kvs.ssu", topicFile(list));
    if (!breeds.isEmpty()) write("FOLDOG.ssu", breeds);
    Engine engine({{"text\\kvs.ssu", "Уход"}}, breeds.isEmpty() ? QString() : Catalogue,
                  CatalogueLabel);
    QCOMPARE(labels(engine.find(query).results), order);
}

void TestSearch::wordGroups_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("marked"); // empty: not found
    const QString families = "хромает, хромота";
    QTest::newRow("word family") << "хромает "
                                 << "Хромота прошла." << QStringList{"Хромота"};
    QTest::newRow("word family, another form") << "хромал "
                                               << "Хромота прошла." << QStringList{"Хромота"};
    QTest::newRow("synonym") << "подавилась "
                             << "Удушье опасно." << QStringList{"Удушье"};
    QTest::newRow("alias, Latin") << "husky "
                                  << "Хаски бегут." << QStringList{"Хаски"};
    QTest::newRow("alias of several words")
        << "йорк "
        << "Йоркширский терьер мал." << QStringList{"Йоркширский", "терьер"};
    QTest::newRow("several words need each") << "йорк "
                                             << "Бультерьер мал." << QStringList{};
    QTest::newRow("the other way round") << "хаски "
                                         << "Husky run." << QStringList{"Husky"};
    QTest::newRow("no group") << "кашель "
                              << "Удушье опасно." << QStringList{};
    QTest::newRow("a long group's first entries") << "зебра "
                                                  << "Окапи живёт." << QStringList{"Окапи"};
    QTest::newRow("a long group past its 200th entry") << "зебра "
                                                       << "Жираф живёт." << QStringList{};
}

void TestSearch::wordGroups() {
    QFETCH(QString, query);
    QFETCH(QString, text);
    QFETCH(QStringList, marked);
    // зебра, окапи, 198 words of two letters, then жираф as the 201st entry.
    const QString letters = "бвгдклмнпрстфхц"; // 15 × 15 pairs, more than needed
    QString longGroup = "зебра, окапи";
    for (int i = 0; i < 198; ++i)
        longGroup +=
            QString(", %1%2").arg(letters[i / letters.size()], letters[i % letters.size()]);
    longGroup += ", жираф";
    write("slova.ssu",
          "Строки вне тем не читаются: кашель, удушье\n" +
              topicFile({{"Семьи слов", "хромает, хромота"},
                         {"Синонимы", "подавилась, удушье"},
                         {"Другие имена пород", "хаски, husky|йорк, йоркширский терьер"},
                         {"Длинная", longGroup}}));
    write("kvs.ssu", topicFile({{"Заметка", text}}));
    const auto answer = sectionEngine().find(query);
    QCOMPARE(answer.found, marked.isEmpty() ? 0 : 1);
    if (!marked.isEmpty()) QCOMPARE(::marked(answer.results[0]), marked);
    if (!marked.isEmpty()) QCOMPARE(markedShown(answer.results[0], text), marked);
}

void TestSearch::typos_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QString>("searchedFor");
    QTest::newRow("a letter changed")
        << "лабродор" << QStringList{"Лечение › Лабрадор"} << "лабрадор";
    QTest::newRow("a letter changed, other words kept")
        << "Лабродора щенок" << QStringList{"Лечение › Лабрадор"} << "лабрадора щенок";
    QTest::newRow("a letter dropped")
        << "лабрдор " << QStringList{"Лечение › Лабрадор"} << "лабрадор";
    QTest::newRow("two letters swapped")
        << "лабардор " << QStringList{"Лечение › Лабрадор"} << "лабрадор";
    QTest::newRow("a found word is never widened")
        << "кошечки " << QStringList{"Лечение › Кошки"} << "";
    QTest::newRow("Latin letters read as said")
        << "labrador" << QStringList{"Лечение › Лабрадор"} << "лабрадор";
    QTest::newRow("Latin letters: a letter group")
        << "gostei " << QStringList{"Лечение › Гости"} << "гостей";
    QTest::newRow("Latin letters: a doubled letter said once")
        << "labbradorr" << QStringList{"Лечение › Лабрадор"} << "лабрадор";
    QTest::newRow("Latin letters read, then one letter changed")
        << "lebrador" << QStringList{"Лечение › Лабрадор"} << "лабрадор";
    QTest::newRow("under five letters") << "кашн " << QStringList{} << "";
    QTest::newRow("two edits") << "лаброднр " << QStringList{} << "";
    QTest::newRow("an optional word is never retried")
        << "лабрадор завести" << QStringList{"Лечение › Лабрадор"} << "";
    // The retry's work grows with the word: one longer than every word of the content by
    // more than a letter cannot be any of them with one edit, and is not retried.
    QTest::newRow("as long as the longest word and one more")
        << "лабрадорр" << QStringList{"Лечение › Лабрадор"} << "лабрадор";
    QTest::newRow("longer than every word of the content") << "лабродорами" << QStringList{} << "";
    // Pasted: a word of the longest a line field takes costs what its length does (its
    // family and its typos, tried as for a short word, took hours and gigabytes).
    QTest::newRow("a pasted word of 32,767 letters")
        << QString("лабродор").repeated(4096).left(32767) << QStringList{} << "";
}

void TestSearch::typos() {
    QFETCH(QString, query);
    QFETCH(QStringList, found);
    QFETCH(QString, searchedFor);
    write("kvs.ssu", topicFile({{"Лабрадор", "Лабрадор и его щенок."},
                                {"Кошки", "Кошечки."},
                                {"Мошки", "Мошечки."},
                                {"Каша", "Кашу."},
                                {"Гости", "Навести гостей."}}));
    write("slova.ssu", topicFile({{"Необязательные слова", "завести"}}));
    const auto answer = sectionEngine().find(query);
    QCOMPARE(labels(answer.results), found);
    QCOMPARE(answer.searchedFor, searchedFor);
}

void TestSearch::manyResults() {
    QList<std::pair<QString, QString>> list;
    for (int i = 0; i < 620; ++i)
        list.append({QString::number(i), "Клещ."});
    write("kvs.ssu", topicFile(list));
    QList<search::Answer> early;
    const auto answer =
        sectionEngine().find(u"клещ", {}, [&](const search::Answer& a) { early.append(a); });
    QCOMPARE(answer.found, 620);
    QCOMPARE(answer.results.size(), 500);
    QCOMPARE(answer.results.last().title, "499");
    QCOMPARE(answer.results.last().passage, "Клещ.");
    QVERIFY(answer.complete);
    // Every result listed early, the first 60 with their passages.
    QCOMPARE(early.size(), 1);
    QVERIFY(!early[0].complete);
    QCOMPARE(early[0].results.size(), 500);
    QCOMPARE(early[0].results[59].passage, "Клещ.");
    QCOMPARE(early[0].results[60].passage, QString());
    QCOMPARE(early[0].results.last().title, "499");
}

void TestSearch::labelsAndSources() {
    write("kvs.ssu", topicFile({{"Общее", "Начало."}, {"Клещи и пироплазмоз", "Про борзых."}}));
    write("FOLDOG.ssu", "\"Акита-ину\",\"Японская.\",\"sob1.jpg\"\n"
                        "\"Русская псовая борзая\",\"Борзая.\",\"sob2.jpg\"\n");
    Engine engine({{"text\\kvs.ssu", "Лечение собаки"}}, Catalogue, CatalogueLabel);
    const auto results = engine.find(u"борзая").results;
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
    // The whole text as the reader or the catalogue shows it, as marked there.
    QTest::addColumn<QString>("whole");

    const QString filler = QString("Слово за словом. ").repeated(20).trimmed();
    QTest::newRow("best paragraph") << false << "Один клещ.|Клещи, клещей и клещами."
                                    << "[Клещи], [клещей] и [клещами]."
                                    << "     Один [клещ].\r\n     [Клещи], [клещей] и "
                                       "[клещами].\r\n     ";
    QTest::newRow("cut around the match")
        << false << filler + " Здесь клещи сидят. " + filler
        << "…" + QString("Слово за словом. ").repeated(4) + "Здесь [клещи] сидят. " +
               QString("Слово за словом. ").repeated(12) + "Слово за…"
        << "     " + filler + " Здесь [клещи] сидят. " + filler + "\r\n     ";
    QTest::newRow("title only") << false << "|  Первый абзац.|Второй."
                                << "Первый абзац."
                                << "     \r\n       Первый абзац.\r\n     Второй.\r\n     ";
    QTest::newRow("sentence window")
        << true << filler + " Шерсть: клещи. Конец."
        << QString("Слово за словом. ").repeated(16) + "Шерсть: [клещи]. Конец."
        << filler + " Шерсть: [клещи]. Конец.";
    QTest::newRow("hyphenated whole, its parts, line breaks")
        << true << "Клещ-паразит;\nпаразит-клещ.\nКЛЕЩИ!"
        << "[Клещ-паразит];  паразит-[клещ].  [КЛЕЩИ]!"
        << "[Клещ-паразит];\nпаразит-[клещ].\n[КЛЕЩИ]!";
}

void TestSearch::passages() {
    QFETCH(bool, breed);
    QFETCH(QString, text);
    QFETCH(QString, passage);
    QFETCH(QString, whole);
    const QString title = QStringLiteral("Клещ");
    write("kvs.ssu", breed ? QString() : topicFile({{title, text}}));
    write("FOLDOG.ssu", breed ? "\"" + title + "\",\"" + text + "\",\"sob1.jpg\"" : QString());
    Engine engine({{"text\\kvs.ssu", "Лечение"}}, Catalogue, CatalogueLabel);
    const auto results = engine.find(u"клещ ").results;
    QCOMPARE(results.size(), 1);
    QCOMPARE(bracketed(results[0].passage, results[0].marks), passage);
    // The text shown: the reader's display text of the topic, or the breed's description.
    const QString shown =
        breed ? text : topics::readTopic(topicFile({{title, text}}).replace("\n", "\r\n"), title);
    QCOMPARE(bracketed(shown, results[0].found->marksIn(shown)), whole);
}

// In the answer, not in a message box; the other files are still searched.
void TestSearch::unreadableFilesNamed() {
    QList<base::RuntimeFailure> reported;
    const auto previous =
        base::setFailureReporter([&](const base::RuntimeFailure& f) { reported.append(f); });
    write("kvs.ssu", topicFile({{"Клещи", "Текст."}}));
    write("FOLDOG.ssu", "\"Терьер\",\"Клещи.\",\"sob1.jpg\"\n");
    QVERIFY(QDir().mkdir("text/dir.ssu"));
    Engine engine(
        {{"text\\none.ssu", "Нет"}, {"text\\dir.ssu", "Папка"}, {"text\\kvs.ssu", "Лечение"}},
        Catalogue, CatalogueLabel);
    const QStringList found{"Лечение › Клещи", "Каталог пород › Терьер"};
    auto answer = engine.find(u"клещ");
    QCOMPARE(labels(answer.results), found);
    QCOMPARE(answer.unreadable, (QStringList{"text\\none.ssu", "text\\dir.ssu"}));

    // Looked for again by every search: once there, it is searched; gone again, named again.
    write("none.ssu", topicFile({{"Клещ", "Есть."}}));
    answer = engine.find(u"клещ");
    QCOMPARE(labels(answer.results).first(), "Нет › Клещ");
    QCOMPARE(answer.unreadable, QStringList{"text\\dir.ssu"});
    QVERIFY(QFile::remove("text/none.ssu"));
    answer = engine.find(u"клещ");
    QCOMPARE(labels(answer.results), found);
    QCOMPARE(answer.unreadable, (QStringList{"text\\none.ssu", "text\\dir.ssu"}));
    QVERIFY(reported.isEmpty());
    base::setFailureReporter(previous);
}

void TestSearch::editedFileSearchedAsEdited() {
    write("kvs.ssu", topicFile({{"Клещи", "Клещи опасны."}}));
    write("FOLDOG.ssu", "\"Терьер\",\"Рыжий.\",\"sob1.jpg\"\n");
    Engine engine({{"text\\kvs.ssu", "Лечение"}}, Catalogue, CatalogueLabel);
    QCOMPARE(engine.find(u"опасны").found, 1);
    // The same size, another word: the file's time tells.
    write("kvs.ssu", topicFile({{"Клещи", "Клещи страшны."}}));
    QCOMPARE(engine.find(u"опасны").found, 0);
    QCOMPARE(marked(engine.find(u"страшны").results.value(0)), QStringList{"страшны"});
    write("FOLDOG.ssu", "\"Терьер\",\"Рыжий.\",\"sob1.jpg\"\n\"Такса\",\"Опасна.\",\"sob2.jpg\"\n");
    const auto answer = engine.find(u"опасны");
    QCOMPARE(labels(answer.results), QStringList{"Каталог пород › Такса"});
    QCOMPARE(answer.results[0].row, 1);
}

// A file changed after it was indexed gives no text for a document, so a passage never
// mixes two versions.
void TestSearch::changedTextIsNotRead_data() {
    QTest::addColumn<QString>("after"); // the file's new text; "=": unchanged
    QTest::newRow("unchanged") << "=";
    QTest::newRow("same size, other letters") << topicFile({{"А", "клещ"}, {"Б", "кошка"}});
    QTest::newRow("shorter") << topicFile({{"А", "клещ"}});
    QTest::newRow("longer before it") << topicFile({{"Ж", "ещё"}, {"А", "клещ"}, {"Б", "мышка"}});
}

void TestSearch::changedTextIsNotRead() {
    QFETCH(QString, after);
    const QString before = topicFile({{"А", "клещ"}, {"Б", "мышка"}});
    write("kvs.ssu", before);
    search::Stemmer stemmer;
    const auto index =
        search::FileIndex::build("text\\kvs.ssu", search::FileIndex::Layout::Topics, stemmer, {});
    QCOMPARE(index->documentCount(), 2);
    QCOMPARE(index->title(1), "Б");
    if (after != "=") write("kvs.ssu", after);
    base::ContentFileReader reader("text\\kvs.ssu");
    const auto text = index->readText(
        1, [&](qint64 offset, qsizetype length) { return reader.readAt(offset, length); });
    QCOMPARE(text.has_value(), after == "=");
    if (text) QCOMPARE(text->bytes, QByteArray("\xEC\xFB\xF8\xEA\xE0")); // "мышка"
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
    const auto answer = sectionEngine().find(query);
    QVERIFY(answer.results.isEmpty());
    QCOMPARE(answer.found, 0);
}

// Real questions over the shipped reference, each with the answers (judged by reading the
// texts) one of which must come first.
void TestSearch::shippedQuestions_data() {
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("first");
    const auto row = [](const char* tag, const char* question, QStringList first) {
        QTest::newRow(tag) << QString::fromUtf8(question) << first;
    };
    row("emergency, common words", "клещ укусил что делать",
        {"Лечение собаки › Клещи и пироплазмоз",
         "Лечение собаки › Боррелиоз, анаплазмоз и эрлихиоз"});
    row("synonym", "собака подавилась костью", {"Лечение собаки › Удушье и инородные тела"});
    row("word family", "собака линяет", {"Физиология собаки › Кожа, шерсть и линька"});
    row("phrase in a group", "сколько живут собаки",
        {"Физиология собаки › Возраст собаки и старение",
         "Лечение собаки › Жизнь с хронической болезнью"});
    row("fear", "боится грозы", {"Дрессировка собаки › Страх салюта и грозы"});
    row("rare word outweighs", "глисты у щенка", {"Лечение собаки › Глисты и дегельминтизация"});
    row("fireworks", "собака боится салюта", {"Дрессировка собаки › Страх салюта и грозы"});
    row("howling", "воет когда остается одна",
        {"Дрессировка собаки › Одиночество и тревога разлуки"});
    row("everyday word", "собака для пенсионера",
        {"Как выбрать собаку › Собака для пожилого человека"});
    row("children", "собака для ребенка", {"Как выбрать собаку › Собака для семьи с детьми"});
    row("emergency, hind legs", "слабость задних лап у таксы",
        {"Лечение собаки › Внезапная слабость задних лап: первая помощь",
         "Физиология собаки › Позвоночник, нервная система и грыжа диска"});
    row("rehoming", "куда деть собаку если не прижилась",
        {"Как выбрать собаку › Если собака не прижилась: как передать её ответственно"});
    row("typo", "лабродор", {"Каталог пород › Лабрадор-ретривер"});
    row("Latin alias", "husky", {"Каталог пород › Сибирский хаски"});
    row("written together", "шитцу", {"Каталог пород › Ши-тцу"});
    row("hyphen in the query", "чихуа-хуа", {"Каталог пород › Чихуахуа"});
    row("short name", "той",
        {"Каталог пород › Русский той", "Каталог пород › Английский той-терьер"});
}

void TestSearch::shippedQuestions() {
    QFETCH(QString, question);
    QFETCH(QStringList, first);
    QDir::setCurrent(QStringLiteral(PSOGRAF_CONTENT_DIR));
    QList<search::Section> sections;
    for (const auto& [file, title] : std::initializer_list<std::pair<const char*, const char*>>{
             {"text\\HCD.ssu", "Как выбрать собаку"},
             {"text\\vos.ssu", "Физиология собаки"},
             {"text\\kiv.ssu", "Кормление и обустройство"},
             {"text\\kvs.ssu", "Лечение собаки"},
             {"text\\drs.ssu", "Дрессировка собаки"}})
        sections.append({QString::fromUtf8(file), QString::fromUtf8(title)});
    Engine engine(sections, Catalogue, CatalogueLabel, Groups);
    const auto answer = engine.find(question);
    QVERIFY(answer.unreadable.isEmpty());
    const QString top = labels(answer.results).value(0);
    QVERIFY2(first.contains(top), qPrintable(top));
}

QTEST_GUILESS_MAIN(TestSearch)
#include "test_search.moc"

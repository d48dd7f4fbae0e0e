// SPDX-License-Identifier: GPL-3.0-or-later
// Times the search on the shipped texts and on texts 10 and 100 times larger (every file
// repeated with changed titles and names), and on a large reference as an author with a
// big collection would have it (100,000 breeds of about 1 KB, five sections of 5,000
// topics), all copied into a temporary folder first so that edits to the content during a
// run do not disturb it. Prints medians and ratios, and the program's memory.
//
//   psograf_bench_search [content folder]            the table
//   psograf_bench_search --show QUERY [folder]       what a query finds, with passages
//   psograf_bench_search --questions [FILE.tsv] [folder]  answers in the first three (of
//                                                    questions.tsv unless FILE.tsv is named)
//   psograf_bench_search --make-large TARGET [folder]  writes the large reference
//   psograf_bench_search --pasted [folder]           hostile input on the shipped texts:
//                                                    pasted words of 32,767 letters (time,
//                                                    peak memory, a query sent as they are
//                                                    searched), in the search window too;
//                                                    word groups of 20,000 to 200,000 entries
//   psograf_bench_search --marks [folder]            marking a result's words in the text it
//                                                    opens, the shipped topic and it repeated
//   psograf_bench_search --memory catalogue|search|pasted FOLDER   (a child run: the
//                                                    program's memory on the folder's texts)
#include "app/program.h"
#include "base/contentfiles.h"
#include "catalogue/form1.h"
#include "core/controls.h"
#include "formats/topicfile.h"
#include "main_window/form2.h"
#include "search/engine.h"
#include "search/searcher.h"
#include "search_window/searchwindow.h"
#include "tests/fixture.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const QString CatalogueLabel = QStringLiteral("Каталог пород");

QList<search::Section> sections() {
    QList<search::Section> list;
    for (const auto& s : base::content::Sections)
        list.append({s.file, s.readerTitle});
    return list;
}

search::Engine newEngine() {
    return search::Engine(sections(), base::content::Catalogue, CatalogueLabel,
                          base::content::WordGroups);
}

QString fileName(const QString& contentPath) {
    return contentPath.section(u'\\', -1);
}

// The file in folder whose name matches case-insensitively, as the program finds it.
QString findFile(const QDir& folder, const QString& name) {
    for (const QString& entry : folder.entryList(QDir::Files))
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return folder.filePath(entry);
    return {};
}

QByteArray readFile(const QString& source, const QString& contentPath) {
    QFile in(findFile(QDir(source + "/text"), fileName(contentPath)));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s in %s\n", qPrintable(contentPath), qPrintable(source));
        return {};
    }
    return in.readAll();
}

bool writeFile(const QString& target, const QString& contentPath, const QByteArray& bytes) {
    if (!QDir().mkpath(target + "/text")) return false;
    QFile file(target + "/text/" + fileName(contentPath));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A topic file as its topics, each "#Title" line to its closing line.
struct Topic {
    QByteArray title;
    QList<QByteArray> lines;
};
QList<Topic> topicsOf(const QByteArray& bytes) {
    QList<Topic> topics;
    Topic* open = nullptr;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (line.startsWith('#')) {
            if (open && line.mid(1) == open->title) {
                open = nullptr;
            } else {
                topics.append({line.mid(1), {}});
                open = &topics.last();
            }
        } else if (open) {
            open->lines.append(line);
        }
    }
    return topics;
}

struct Breed {
    QByteArray name, description, photo;
};
QList<Breed> breedsOf(const QByteArray& bytes) {
    QList<Breed> breeds;
    for (const QByteArray& line : bytes.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split('"');
        if (fields.size() >= 7) breeds.append({fields[1], fields[3], fields[5]});
    }
    return breeds;
}

// Text cut to at most limit bytes at the end of a sentence (or of a word).
QByteArray cut(const QByteArray& text, qsizetype limit) {
    if (text.size() <= limit) return text;
    const qsizetype sentence = text.lastIndexOf(". ", limit - 1);
    if (sentence > limit / 2) return text.left(sentence + 1);
    return text.left(text.lastIndexOf(' ', limit));
}

QByteArray numbered(const QByteArray& name, int copy) {
    return copy == 1 ? name : name + " (" + QByteArray::number(copy) + ")";
}

// Every file repeated copies times, the copies' titles and names numbered.
bool prepare(const QString& source, const QString& target, int copies) {
    for (const auto& s : base::content::Sections) {
        const QList<Topic> topics = topicsOf(readFile(source, s.file));
        QByteArray out;
        for (int k = 1; k <= copies; ++k)
            for (const Topic& t : topics)
                out += '#' + numbered(t.title, k) + "\r\n" + t.lines.join("\r\n") + "\r\n#" +
                       numbered(t.title, k) + "\r\n";
        if (topics.isEmpty() || !writeFile(target, s.file, out)) return false;
    }
    const QList<Breed> breeds = breedsOf(readFile(source, base::content::Catalogue));
    QByteArray out;
    for (int k = 1; k <= copies; ++k)
        for (const Breed& b : breeds)
            out +=
                '"' + numbered(b.name, k) + "\",\"" + b.description + "\",\"" + b.photo + "\"\r\n";
    return !breeds.isEmpty() && writeFile(target, base::content::Catalogue, out) &&
           writeFile(target, base::content::WordGroups,
                     readFile(source, base::content::WordGroups));
}

// 100,000 breeds with descriptions of about 1 KB, five sections of 5,000 topics of about
// 800 bytes: the shipped ones cut to size and repeated, numbered.
constexpr int LargeBreeds = 100'000;
constexpr int LargeTopics = 5'000;
bool makeLarge(const QString& source, const QString& target) {
    for (const auto& s : base::content::Sections) {
        const QList<Topic> topics = topicsOf(readFile(source, s.file));
        if (topics.isEmpty()) return false;
        QByteArray out;
        for (int i = 0; i < LargeTopics; ++i) {
            const Topic& t = topics[i % topics.size()];
            const QByteArray title = numbered(t.title, i / int(topics.size()) + 1);
            QByteArray text;
            for (const QByteArray& line : t.lines) {
                if (!text.isEmpty() && text.size() + line.size() > 1000) break;
                text += cut(line, 1000) + "\r\n";
            }
            out += '#' + title + "\r\n" + text + '#' + title + "\r\n";
        }
        if (!writeFile(target, s.file, out)) return false;
    }
    const QList<Breed> breeds = breedsOf(readFile(source, base::content::Catalogue));
    if (breeds.isEmpty()) return false;
    QByteArray out;
    out.reserve(qsizetype(LargeBreeds) * 1000);
    for (int i = 0; i < LargeBreeds; ++i) {
        const Breed& b = breeds[i % breeds.size()];
        out += '"' + numbered(b.name, i / int(breeds.size()) + 1) + "\",\"" +
               cut(b.description, 1010) + "\",\"" + b.photo + "\"\r\n";
    }
    return writeFile(target, base::content::Catalogue, out) &&
           writeFile(target, base::content::WordGroups,
                     readFile(source, base::content::WordGroups));
}

double medianMs(int runs, const std::function<void()>& work) {
    work(); // warm-up: page cache, index, stems of the query
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

qint64 folderBytes(const QString& folder) {
    qint64 total = 0;
    for (const QFileInfo& f : QDir(folder + "/text").entryInfoList(QDir::Files))
        total += f.size();
    return total;
}

QString ms(double value) {
    return value >= 100 ? QString::number(value, 'f', 0) : QString::number(value, 'g', 3);
}

QString thousands(qint64 n) {
    return QLocale(QLocale::English).toString(n);
}

// "VmHWM" or "VmRSS" of this process, in MiB.
double memoryMiB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ')[0].toDouble() / 1024;
    return 0;
}

int show(const QString& query, const QString& folder) {
    QDir::setCurrent(folder);
    const search::Answer answer = newEngine().find(query);
    std::printf("%lld results for «%s»", qlonglong(answer.found), qPrintable(query));
    if (answer.partial) std::printf(", %lld missing one word", qlonglong(answer.partial));
    if (!answer.searchedFor.isEmpty())
        std::printf(" (searched for «%s»)", qPrintable(answer.searchedFor));
    std::printf("\n");
    for (const auto& r : answer.results) {
        QString passage = r.passage;
        for (auto m = r.marks.crbegin(); m != r.marks.crend(); ++m)
            passage.insert(m->offset + m->length, u'»').insert(m->offset, u'«');
        std::printf("\n%s%s\n  %s\n", qPrintable(r.label), r.partial ? " (не все слова)" : "",
                    qPrintable(passage));
    }
    return 0;
}

// The share of questions with a judged answer among the first three results.
int questions(const QString& path, const QString& folder) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return 1;
    QDir::setCurrent(folder);
    search::Engine engine = newEngine();
    int asked = 0, answered = 0, nothing = 0;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (line.startsWith('#') || !line.contains('\t')) continue;
        const QString question = line.section('\t', 0, 0);
        const QStringList answers = line.section('\t', 1).split(QStringLiteral(" | "));
        const QList<search::Result> results = engine.find(question).results;
        QStringList top;
        for (qsizetype i = 0; i < std::min<qsizetype>(3, results.size()); ++i)
            top << results[i].label;
        // «(ничего)»: the reference has nothing on it, so nothing may be listed as holding
        // all of its words.
        const bool nothingOn = answers == QStringList{QStringLiteral("(ничего)")};
        const bool hit = nothingOn
                             ? std::none_of(results.cbegin(), results.cend(),
                                            [](const search::Result& r) { return !r.partial; })
                             : std::any_of(top.cbegin(), top.cend(),
                                           [&](const QString& l) { return answers.contains(l); });
        ++asked;
        answered += hit;
        nothing += results.isEmpty();
        std::printf("%s %s → %s\n", hit ? "ok  " : "MISS", qPrintable(question),
                    qPrintable(top.isEmpty() ? QStringLiteral("(ничего)") : top.join(" ; ")));
    }
    std::printf("\n%d of %d in the first three (%.1f %%), %d with nothing found\n", answered, asked,
                100.0 * answered / std::max(asked, 1), nothing);
    return 0;
}

// A pasted word of 32,767 letters (what the search field takes).
QString pastedWord(QStringView letters) {
    QString word;
    for (qsizetype i = 0; word.size() < 32767; ++i)
        word += letters[i % letters.size()];
    return word;
}

// The search window (a child run, see memoryChild): a query typed, a pasted word, then the
// query typed again 2 ms after the word was pasted again, while it is searched. Prints
// "name value" lines: times in ms, memory in MiB.
int pastedInWindow(search::SearchWindow& w) {
    QElapsedTimer t;
    const auto type = [&](const QString& text) {
        QSignalSpy shown(&w, &search::SearchWindow::answerShown);
        t.start();
        w.Text1->setText(text);
        return shown.wait(600'000) ? t.nsecsElapsed() / 1e6 : -1.0;
    };
    type(QStringLiteral("клещ"));
    std::printf("query %.2f\n", type(QStringLiteral("клещ укусил")));
    QEventLoop settleDown;
    QTimer::singleShot(300, &settleDown, &QEventLoop::quit);
    settleDown.exec();
    std::printf("before %.1f\n", memoryMiB("VmRSS:"));
    std::printf("peakBefore %.1f\n", memoryMiB("VmHWM:"));
    const QString word = pastedWord(u"лабродор");
    std::printf("word %.2f\n", type(word));
    std::printf("peak %.1f\n", memoryMiB("VmHWM:"));
    type(QStringLiteral("клещ"));
    w.Text1->setText(word);
    QThread::msleep(2);
    std::printf("next %.2f\n", type(QStringLiteral("клещ укусил")));
    w.Image2_Click();
    settle();
    QEventLoop wait;
    QTimer::singleShot(1000, &wait, &QEventLoop::quit);
    wait.exec();
    std::printf("left %.1f\n", memoryMiB("VmRSS:"));
    return 0;
}

// A child run: the program on folder's texts (the test fixture's pictures), the catalogue
// or the search window shown; prints its memory as "name value" lines.
int memoryChild(const QString& what, const QString& folder) {
    Fixture fixture;
    for (const QString& file : QDir(folder + "/text").entryList(QDir::Files)) {
        QFile in(folder + "/text/" + file);
        if (!in.open(QIODevice::ReadOnly)) return 1;
        fixture.writeBytes("text\\" + file, in.readAll());
    }
    Program* program = fixture.start();
    if (!program) return 1;
    settle();
    std::printf("started %.1f\n", memoryMiB("VmRSS:"));
    if (what == QLatin1String("catalogue")) {
        program->Form2()->Label6_Click();
        settle();
        program->Form1()->List1->setCurrentRow(program->Form1()->List1->count() - 1);
        settle();
        std::printf("peak %.1f\n", memoryMiB("VmHWM:"));
        return 0;
    }
    program->openSearch(*program->Form2(), QString());
    settle();
    search::SearchWindow* w = program->searchWindow();
    if (what == QLatin1String("pasted")) return pastedInWindow(*w);
    for (const char* query : {"с", "со", "соб", "соба", "собак", "собака", "клещ", "кл",
                              "корм щенка", "клещ укусил что делать"}) {
        QSignalSpy shown(w, &search::SearchWindow::answerShown);
        w->Text1->setText(QString::fromUtf8(query));
        if (!shown.wait(120'000)) return 1;
    }
    std::printf("peak %.1f\n", memoryMiB("VmHWM:"));
    std::printf("searched %.1f\n", memoryMiB("VmRSS:"));
    w->Image2_Click();
    settle();
    QEventLoop wait;
    QTimer::singleShot(1000, &wait, &QEventLoop::quit);
    wait.exec();
    std::printf("left %.1f\n", memoryMiB("VmRSS:"));
    std::printf("index %.1f\n", double(w->searcher().indexBytes()) / (1 << 20));
    return 0;
}

QMap<QString, double> runChild(const QString& what, const QString& folder) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {"--memory", what, folder});
    child.waitForFinished(600'000);
    QMap<QString, double> values;
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split('\n'))
        if (line.contains(' '))
            values.insert(line.section(' ', 0, 0), line.section(' ', 1).toDouble());
    return values;
}

struct Table {
    QStringList lines;
    void row(const QStringList& cells) { lines << "| " + cells.join(" | ") + " |"; }
};

// Waits for the searcher's answer to the latest request; its time in ms.
double answerMs(search::Searcher& searcher, const QString& query, QElapsedTimer& since) {
    QEventLoop loop;
    double at = -1;
    const auto connection =
        QObject::connect(&searcher, &search::Searcher::answered, [&](const QString& q) {
            if (q != query) return;
            at = since.nsecsElapsed() / 1e6;
            loop.quit();
        });
    QTimer::singleShot(600'000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    return at;
}

// slova.ssu with one group of this many entries of nine letters (11 bytes each with the
// comma), "клещ" among them when asked.
QByteArray bigGroup(int entries, bool withQuery) {
    QByteArray groups = "#Groups\r\n";
    if (withQuery) groups += "\xEA\xEB\xE5\xF9, "; // «клещ» in Windows-1251
    for (int i = 0; i < entries; ++i) {
        QByteArray entry;
        for (int n = i; entry.size() < 9; n /= 26)
            entry += char(0xE0 + n % 26); // а…щ in Windows-1251
        groups += (i ? ", " : "") + entry;
    }
    return groups + "\r\n#Groups\r\n";
}

// A reader pastes one long word, then types a query: the pasted word's answer, the memory
// it took (this process does nothing else), how soon a query sent 2 ms after it is
// answered, and the memory once the search window gives it back; the same through the
// search window (a child run). Then word groups of 20,000 to 200,000 entries.
int pasted(const QString& folder) {
    QDir::setCurrent(folder);
    Table table;
    table.row({"Hostile input, shipped texts", "Result"});
    table.row({"---", "---:"});
    {
        search::Searcher searcher(sections(), base::content::Catalogue, CatalogueLabel,
                                  base::content::WordGroups);
        QElapsedTimer t;
        t.start();
        searcher.search("клещ");
        answerMs(searcher, "клещ", t);
        t.restart();
        searcher.search("клещ");
        table.row({"«клещ», the indexes built", ms(answerMs(searcher, "клещ", t)) + " ms"});
        searcher.release();
        QEventLoop settleDown;
        QTimer::singleShot(300, &settleDown, &QEventLoop::quit);
        settleDown.exec();
        const double before = memoryMiB("VmRSS:"), peakBefore = memoryMiB("VmHWM:");
        const struct {
            const char* name;
            QStringView letters;
        } words[] = {
            {"«лабродор…»", u"лабродор"}, {"«schnauzer…»", u"schnauzer"}, {"«aaa…»", u"a"}};
        for (const auto& w : words) {
            const QString word = pastedWord(w.letters);
            t.restart();
            searcher.search(word);
            const double alone = answerMs(searcher, word, t);
            // Pasted, then a query as the word is searched: the query's answer, from its key.
            searcher.search(word);
            QThread::msleep(2);
            QElapsedTimer next;
            next.start();
            searcher.search("клещ");
            const double nextMs = answerMs(searcher, "клещ", next);
            table.row({QString("A pasted word of 32,767 letters %1: its answer").arg(w.name),
                       ms(alone) + " ms"});
            table.row({"&nbsp;&nbsp;«клещ» sent 2 ms after it: its answer", ms(nextMs) + " ms"});
        }
        const double peak = memoryMiB("VmHWM:");
        searcher.release();
        QEventLoop wait;
        QTimer::singleShot(1000, &wait, &QEventLoop::quit);
        wait.exec();
        const double after = memoryMiB("VmRSS:");
        table.row({"&nbsp;&nbsp;peak memory (VmHWM) above before",
                   QString::number(std::max(0.0, peak - peakBefore), 'f', 1) + " MiB"});
        table.row({"&nbsp;&nbsp;resident (VmRSS) after, above before (search given back)",
                   QString::number(after - before, 'f', 1) + " MiB"});
    }
    {
        const QMap<QString, double> w = runChild("pasted", folder);
        table.row({"Search window: «клещ укусил» typed", ms(w["query"]) + " ms"});
        table.row({"&nbsp;&nbsp;the word «лабродор…» pasted: shown", ms(w["word"]) + " ms"});
        table.row(
            {"&nbsp;&nbsp;«клещ укусил» typed 2 ms after the word: shown", ms(w["next"]) + " ms"});
        table.row({"&nbsp;&nbsp;peak memory (VmHWM) above before",
                   QString::number(w["peak"] - w["peakBefore"], 'f', 1) + " MiB"});
        table.row({"&nbsp;&nbsp;resident after leaving the window, above before",
                   QString::number(w["left"] - w["before"], 'f', 1) + " MiB"});
    }
    const QByteArray shippedGroups = readFile(folder, base::content::WordGroups);
    for (const bool withQuery : {false, true}) {
        for (const int entries : {0, 20'000, 40'000, 80'000, 200'000}) {
            if (withQuery && !entries) continue;
            const QByteArray groups = entries ? bigGroup(entries, withQuery) : shippedGroups;
            if (!writeFile(folder, base::content::WordGroups, groups)) return 1;
            search::Engine engine = newEngine();
            QElapsedTimer t;
            t.start();
            const qsizetype found = engine.find(u"клещ").found;
            const double first = t.nsecsElapsed() / 1e6;
            t.restart();
            engine.find(u"клещ");
            const double again = t.nsecsElapsed() / 1e6;
            const QString what =
                entries ? QString("slova.ssu with a group of %1 entries (%2 MB)%3")
                              .arg(thousands(entries), QString::number(groups.size() / 1e6, 'f', 1),
                                   withQuery ? ", «клещ» one of them" : "")
                        : QString("slova.ssu as shipped");
            table.row({what + ": the first search (found " + thousands(found) + "), the next",
                       ms(first) + " ms, " + ms(again) + " ms"});
        }
    }
    writeFile(folder, base::content::WordGroups, shippedGroups);
    std::printf("%s\n", qPrintable(table.lines.join('\n')));
    return 0;
}

} // namespace

// «обжёгся» opening «Ожоги»: finding its words in the text (one pass, no search again) and
// showing them marked in the reader's text box, on the topic and on it repeated.
int marks(const QString& folder) {
    QDir::setCurrent(folder);
    const search::Answer answer = newEngine().find(u"обжёгся");
    if (answer.results.isEmpty() || !answer.results[0].found) return 1;
    const search::Result& r = answer.results[0];
    const QString topic = topics::readTopic(topics::readTopicBytes(r.file), r.title);
    QWidget surface;
    auto* box = new core::TextBox(&surface, "Text1", {120, 3360, 7815, 3735},
                                  core::designFont("Times New Roman", 12), core::colors::DarkBlue,
                                  core::colors::TooltipBack);
    Table table;
    table.row({"«обжёгся» in «" + r.title + "»", "Text", "Marks", "Found in the text",
               "Marked in the box"});
    table.row({"---", "---:", "---:", "---:", "---:"});
    double first = 0;
    for (int copies : {1, 10, 100}) {
        const QString text = topic.repeated(copies);
        box->setPlainText(text);
        const QString shown = box->document()->toRawText();
        QList<core::TextSpan> places;
        const double find = medianMs(9, [&] {
            places.clear();
            for (const search::Span& span : r.found->marksIn(shown))
                places.append({int(span.offset), int(span.length)});
        });
        const double mark = medianMs(9, [&] {
            box->markFound(QList<core::TextSpan>());
            box->markFound(places);
        });
        if (copies == 1) first = find + mark;
        table.row({"×" + QString::number(copies), thousands(text.size()) + " characters",
                   QString::number(places.size()), ms(find) + " ms", ms(mark) + " ms"});
    }
    std::printf("%s\n", qPrintable(table.lines.join('\n')));
    std::printf("\n(×100 / ×1 in all: see the rows; ×1 took %s ms)\n", qPrintable(ms(first)));
    return 0;
}

int main(int argc, char** argv) {
    // Headless: the windows are only measured.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--memory"))
        return memoryChild(args.value(1), args.value(2));
    QString mode;
    QString query;
    if (args.value(0).startsWith(QLatin1String("--"))) {
        mode = args.takeFirst();
        if (mode == QLatin1String("--show") || mode == QLatin1String("--make-large"))
            query = args.isEmpty() ? QString() : args.takeFirst();
        if (mode == QLatin1String("--questions"))
            query = !args.isEmpty() && args.first().endsWith(QLatin1String(".tsv"))
                        ? QDir(args.takeFirst()).absolutePath()
                        : QStringLiteral(PSOGRAF_QUESTIONS);
    }
    const QString content =
        QDir(args.isEmpty() ? QStringLiteral(PSOGRAF_CONTENT_DIR) : args.first()).absolutePath();
    QTemporaryDir work;
    const QString shipped = work.filePath("x1");
    if (mode == QLatin1String("--make-large")) return makeLarge(content, query) ? 0 : 1;
    if (!prepare(content, shipped, 1)) return 1;
    if (mode == QLatin1String("--show")) return show(query, shipped);
    if (mode == QLatin1String("--questions")) return questions(query, shipped);
    if (mode == QLatin1String("--pasted")) return pasted(shipped);
    if (mode == QLatin1String("--marks")) return marks(shipped);

    const QString folders[3] = {shipped, work.filePath("x10"), work.filePath("x100")};
    const int copies[3] = {1, 10, 100};
    const int runs[3] = {15, 9, 5};
    for (int f = 1; f < 3; ++f)
        if (!prepare(content, folders[f], copies[f])) return 1;
    const QString large = work.filePath("large");
    if (!makeLarge(content, large)) return 1;

    Table table;
    table.row({"Measurement", "Shipped (×1)", "×10", "×100", "×100 / ×1"});
    table.row({"---", "---:", "---:", "---:", "---:"});
    QStringList sizes;
    for (const QString& f : folders)
        sizes << QString::number(folderBytes(f) / 1e6, 'f', 2) + " MB";
    table.row(
        {"Content (five sections, catalogue, word groups)", sizes[0], sizes[1], sizes[2], ""});

    const auto scaled = [&](const QString& what,
                            const std::function<qsizetype(search::Engine&)>& work, bool fresh) {
        QStringList cells{what};
        double first = 0, last = 0;
        for (int f = 0; f < 3; ++f) {
            QDir::setCurrent(folders[f]);
            search::Engine engine = newEngine();
            qsizetype found = 0;
            const double t = fresh ? medianMs(runs[f] / 2 + 1,
                                              [&] {
                                                  search::Engine e = newEngine();
                                                  found = work(e);
                                              })
                                   : medianMs(runs[f], [&] { found = work(engine); });
            cells << ms(t) + " ms (" + thousands(found) + ")";
            if (f == 0) first = t;
            last = t;
        }
        cells << "×" + QString::number(last / first, 'f', 1);
        table.row(cells);
    };
    scaled(
        "Index built, then «клещ» searched (a new engine; found)",
        [](search::Engine& e) { return e.find(u"клещ").found; }, true);
    for (const char* q : {"клещ", "собака", "корм щенка", "клещ укусил что делать", "лабродор",
                          "zzz", "к", "кл", "кле"})
        scaled(
            QStringLiteral("«%1» (found)").arg(QString::fromUtf8(q)),
            [q](search::Engine& e) { return e.find(QString::fromUtf8(q)).found; }, false);

    // The large reference, through the search thread as the window uses it.
    QDir::setCurrent(large);
    Table big;
    big.row({"On the large reference (" + QString::number(folderBytes(large) / 1e6, 'f', 1) +
                 " MB: 100,000 breeds, five sections of 5,000 topics)",
             "Runs", "Median", "Found"});
    big.row({"---", "---:", "---:", "---:"});
    {
        QList<double> builds;
        qsizetype index = 0;
        for (int i = 0; i < 3; ++i) {
            search::Engine engine = newEngine();
            QElapsedTimer t;
            t.start();
            engine.refresh();
            builds << t.nsecsElapsed() / 1e6;
            index = engine.indexBytes();
        }
        std::sort(builds.begin(), builds.end());
        big.row({"Every file indexed (the first search, begun as the window opens)", "3",
                 ms(builds[1]) + " ms", ""});
        big.row({"Memory the kept index holds", "",
                 QString::number(index / 1048576.0, 'f', 1) + " MiB", ""});
    }
    search::Searcher searcher(sections(), base::content::Catalogue, CatalogueLabel,
                              base::content::WordGroups);
    {
        QElapsedTimer t;
        t.start();
        searcher.search("клещ");
        answerMs(searcher, "клещ", t);
    }
    const auto keystroke = [&](const QString& what, const QString& q, int n) {
        QList<double> times;
        qsizetype found = 0;
        for (int i = 0; i < n; ++i) {
            searcher.search("zzz");
            QElapsedTimer none;
            none.start();
            answerMs(searcher, "zzz", none);
            QElapsedTimer t;
            t.start();
            const auto c =
                QObject::connect(&searcher, &search::Searcher::answered,
                                 [&](const QString&, const search::Answer& a) { found = a.found; });
            searcher.search(q);
            times << answerMs(searcher, q, t);
            QObject::disconnect(c);
        }
        std::sort(times.begin(), times.end());
        big.row({what, QString::number(n), ms(times[n / 2]) + " ms", thousands(found)});
    };
    keystroke("One key: «клещ», from the key to the answer", "клещ", 9);
    keystroke("One key: «собака» (the first 500 read back for passages)", "собака", 9);
    keystroke("One key: «кл» (the typed word as a beginning)", "кл", 9);
    keystroke("One key: «клещ укусил что делать»", "клещ укусил что делать", 9);
    keystroke("One key: «лабродор» (retried with one edit)", "лабродор", 9);
    {
        // Typed at 150 ms a key: from the last key to its answer.
        QList<double> times;
        for (int i = 0; i < 5; ++i) {
            searcher.search("zzz");
            QElapsedTimer none;
            none.start();
            answerMs(searcher, "zzz", none);
            const QString word = QStringLiteral("собака");
            for (int n = 1; n < word.size(); ++n) {
                searcher.search(word.left(n));
                QEventLoop loop;
                QTimer::singleShot(150, &loop, &QEventLoop::quit);
                loop.exec();
            }
            QElapsedTimer t;
            t.start();
            searcher.search(word);
            times << answerMs(searcher, word, t);
        }
        std::sort(times.begin(), times.end());
        big.row({"«собака» typed at 150 ms a key: from the last key to the answer", "5",
                 ms(times[2]) + " ms", ""});
    }

    // Memory: the program itself, on the large reference.
    const QMap<QString, double> catalogue = runChild("catalogue", large);
    const QMap<QString, double> searching = runChild("search", large);
    Table memory;
    memory.row({"Memory of the program (app/psograf) on the large reference", "MiB"});
    memory.row({"---", "---:"});
    memory.row({"Peak (VmHWM) with the catalogue shown, its last breed chosen",
                QString::number(catalogue.value("peak"), 'f', 1)});
    memory.row({"Peak (VmHWM) with the search shown, ten queries answered",
                QString::number(searching.value("peak"), 'f', 1)});
    memory.row({"&nbsp;&nbsp;above the catalogue's peak",
                QString::number(searching.value("peak") - catalogue.value("peak"), 'f', 1)});
    memory.row({"Resident (VmRSS) at start-up, before searching",
                QString::number(searching.value("started"), 'f', 1)});
    memory.row(
        {"Resident after the searches", QString::number(searching.value("searched"), 'f', 1)});
    memory.row(
        {"Resident after leaving the search", QString::number(searching.value("left"), 'f', 1)});
    memory.row(
        {"&nbsp;&nbsp;of it the kept index", QString::number(searching.value("index"), 'f', 1)});

    std::printf("%s\n\n%s\n\n%s\n\n", qPrintable(table.lines.join('\n')),
                qPrintable(big.lines.join('\n')), qPrintable(memory.lines.join('\n')));
    std::printf("Medians, ms, files in the page cache; in brackets how many documents hold every "
                "word. ×10 and ×100: every file repeated, titles and names numbered. The index is "
                "built by the first search and kept: the other rows search a built one.\n");
    return 0;
}

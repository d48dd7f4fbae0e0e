// SPDX-License-Identifier: GPL-3.0-or-later
// Пёсограф benchmarks: start-up next to a minimal Qt program, pointer moves, topic files
// and catalogues from small to very large, and peak memory. Prints a Markdown table of
// medians on standard output (progress goes to standard error).
//
//   psograf_bench                                  all measurements
//   psograf_bench --startup                        start-up and memory only
//   psograf_bench --run-program <ns> [--browse]    child: starts the program in the working
//                                                  directory, prints spawn-to-shown time and
//                                                  peak memory (after browsing everything)
//
// Start-up as a process runs the real executable (PSOGRAF_PROGRAM), which prints its phases
// when PSOGRAF_STARTUP_TRACE is set (core/startuptrace.h).
#include "base/contentfiles.h"
#include "bench/content.h"
#include "bench/shown.h"
#include "catalogue/form1.h"
#include "core/sound.h"
#include "main_window/form2.h"
#include "tests/fixture.h"
#include "topics/form4.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using bench::ShownWatch;

[[noreturn]] void die(const QString& why) {
    std::fprintf(stderr, "psograf_bench: %s\n", qPrintable(why));
    std::exit(2);
}

void progress(const QString& what) {
    std::fprintf(stderr, "  %s\n", qPrintable(what));
    std::fflush(stderr);
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double msSince(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

QString digits(double v) {
    return QString::number(v, 'f', v < 10 ? 2 : v < 100 ? 1 : 0);
}
QString ms(double v) {
    return digits(v) + QStringLiteral(" ms");
}
QString us(double v) {
    return digits(v) + QStringLiteral(" µs");
}
QString mib(double kib) {
    return digits(kib / 1024) + QStringLiteral(" MiB");
}
QString times(double r) {
    return QStringLiteral("×") + digits(r);
}
QString grouped(qint64 n) {
    return QLocale(QLocale::English).toString(n);
}

struct Row {
    QString what, input;
    int runs = 0;
    QString median, perUnit, ratio;
};

// Settles what a handler posted: the reader's activation, repaints.
void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void pumpUntil(const std::function<bool()>& done, const QString& what, int limitMs = 60000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs) die(QStringLiteral("timed out waiting for ") + what);
        QCoreApplication::processEvents();
    }
}

// A point of the surface with no control under it, nor 8 px to its right.
QPoint barePoint(QWidget* surface) {
    const auto bare = [&](QPoint p) { return surface->childAt(p) == nullptr; };
    if (bare({300, 300}) && bare({308, 300})) return {300, 300};
    for (int y = 4; y < surface->height(); y += 4)
        for (int x = 4; x + 8 < surface->width(); x += 4)
            if (bare({x, y}) && bare({x + 8, y})) return {x, y};
    die(QStringLiteral("no bare surface on the main window"));
}

Form1* catalogueOf(Program& p) {
    return p.Form1();
}
Form4* readerOf(Program& p) {
    return p.Form4();
}

// As app/main.cpp does: the pictures decode on a worker while the windows are built.
std::unique_ptr<core::PictureDecoding> startupDecoding() {
    auto decoding = std::make_unique<core::PictureDecoding>(1);
    decoding->start(base::content::startupPictures(), core::pictureRatio(),
                    main_window::Form2::startupPhotoBoxes(),
                    main_window::Form2::picturesShownLater());
    return decoding;
}

// Program construction, load and show until the main window is painted, in milliseconds.
double startProgram(std::unique_ptr<Program>& program) {
    program.reset();
    QElapsedTimer clock;
    clock.start();
    const auto pictures = startupDecoding();
    auto p = std::make_unique<Program>();
    ShownWatch watch(p->Form2());
    pictures->finishInto(p->values().pictures);
    if (!p->load()) die(QStringLiteral("start-up failed"));
    p->show();
    if (!watch.wait()) die(QStringLiteral("the main window never showed"));
    const double elapsed = msSince(clock);
    p->finishStartup(); // as the program does once the main window has painted
    program = std::move(p);
    return elapsed;
}

double showEmptyWidget(QSize size) {
    QElapsedTimer clock;
    clock.start();
    QWidget window;
    window.resize(size);
    ShownWatch watch(&window);
    window.show();
    if (!watch.wait()) die(QStringLiteral("the empty window never showed"));
    return msSince(clock);
}

using SectionClick = void (Form2::*)();
const SectionClick SectionClicks[5] = {&Form2::Label1_Click, &Form2::Label2_Click,
                                       &Form2::Label3_Click, &Form2::Label4_Click,
                                       &Form2::Label5_Click};

// A section chosen from the main menu: the reader shown and its list filled.
void openSection(Program& p, int section) {
    Form4* reader = readerOf(p);
    Form2* main = p.Form2();
    const SectionClick click = SectionClicks[section];
    base::guarded([&] { (main->*click)(); });
    pumpUntil([&] { return reader->List1->count() > 0; }, QStringLiteral("the topic list"));
    settle();
}

// A user's choice of the list's last entry (setCurrentRow is not a programmatic change).
void chooseLast(core::ChoiceList* list) {
    list->setCurrentRow(list->count() - 1);
    settle();
}

void backFromReader(Program& p) {
    base::guarded([&] { readerOf(p)->Image2_Click(); });
    settle();
}

// Every section with its last topic, then the catalogue with its last breed.
void browseEverything(Program& p) {
    for (int section = 0; section < 5; ++section) {
        openSection(p, section);
        chooseLast(readerOf(p)->List1);
        backFromReader(p);
    }
    Form1* catalogue = catalogueOf(p);
    base::guarded([&] { p.Form2()->Label6_Click(); });
    settle();
    chooseLast(catalogue->List1);
    base::guarded([&] { catalogue->Image2_Click(); });
    settle();
}

int runProgramChild(const QStringList& args) {
    const qint64 spawned = args.value(2).toLongLong();
    bool failed = false;
    core::AudioChannel::setRecorder([](const QString&) {});
    base::setFailureReporter([&](const base::RuntimeFailure& f) {
        failed = true;
        std::fprintf(stderr, "failure %d: %s\n", f.number, qPrintable(f.text));
    });
    base::setProgramEnder([](int) {});
    const auto pictures = startupDecoding();
    Program program;
    ShownWatch watch(program.Form2());
    pictures->finishInto(program.values().pictures);
    if (!program.load()) return 2;
    program.show();
    if (!watch.wait()) return 3;
    const qint64 shownNs = bench::nowNs() - spawned;
    const qint64 shownKiB = bench::peakResidentKiB();
    qint64 browsedKiB = 0;
    if (args.contains(QStringLiteral("--browse"))) {
        browseEverything(program);
        browsedKiB = bench::peakResidentKiB();
    }
    std::printf("shown_ns=%lld hwm_kib=%lld browsed_hwm_kib=%lld\n", (long long)shownNs,
                (long long)shownKiB, (long long)browsedKiB);
    return failed ? 4 : 0;
}

// Every "key=number" a child printed, on either channel.
using Figures = QHash<QString, double>;

Figures figuresIn(const QString& text) {
    Figures figures;
    static const QRegularExpression re(QStringLiteral("\\b([a-z_]+)=(\\d+)"));
    for (auto it = re.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        figures.insert(match.captured(1), match.captured(2).toDouble());
    }
    return figures;
}

Figures finish(QProcess& child, const QString& executable) {
    if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0) {
        std::fputs(child.readAllStandardError().constData(), stderr);
        die(QStringLiteral("%1 failed (exit %2)").arg(executable).arg(child.exitCode()));
    }
    return figuresIn(
        QString::fromLatin1(child.readAllStandardOutput() + '\n' + child.readAllStandardError()));
}

// Runs a child that is handed its spawn time as an argument.
Figures
runChild(const QString& executable, const QStringList& before, const QStringList& after,
         const QString& workingDirectory,
         const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess child;
    child.setWorkingDirectory(workingDirectory);
    child.setProcessEnvironment(environment);
    const qint64 spawned = bench::nowNs();
    child.start(executable, before + QStringList{QString::number(spawned)} + after);
    return finish(child, executable);
}

// Runs the real program, handed its spawn time in PSOGRAF_STARTUP_TRACE; it prints its
// phases once the main window has painted and quits.
Figures runProgram(const QString& workingDirectory, QProcessEnvironment environment) {
    QProcess child;
    child.setWorkingDirectory(workingDirectory);
    const qint64 spawned = bench::nowNs();
    environment.insert(QStringLiteral("PSOGRAF_STARTUP_TRACE"),
                       QString::number(spawned) + QStringLiteral(",quit"));
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral(PSOGRAF_PROGRAM), {});
    const Figures figures = finish(child, QStringLiteral(PSOGRAF_PROGRAM));
    if (!figures.contains(QStringLiteral("total_ns")))
        die(QStringLiteral("the program printed no start-up trace"));
    return figures;
}

// Median of one figure over runs, in the unit given by scale.
double medianOf(const std::vector<Figures>& runs, const char* key, double scale) {
    std::vector<double> values;
    for (const Figures& f : runs)
        values.push_back(f.value(QLatin1String(key)) * scale);
    return median(values);
}

class Bench {
public:
    int run(bool startupOnly);

private:
    void startupInProcess();
    void startupAsProcesses();
    void pointerMoves();
    void topics();
    void catalogues();
    void print(double totalSeconds) const;

    Fixture m_fixture; // content folder as the working directory, recorders installed
    std::vector<Row> m_rows;
    std::vector<Row> m_memoryRows; // printed last, measured with the start-up processes
    QString m_phases;              // the start-up phases' own table
    QSize m_mainSize;
    double m_startupMs = 0;

    void add(std::vector<Row>& rows, Row row) { rows.push_back(std::move(row)); }
    void checkNoFailures(const QString& where) {
        if (!m_fixture.failures.isEmpty())
            die(where + QStringLiteral(": failure %1: %2")
                            .arg(m_fixture.failures.first().number)
                            .arg(m_fixture.failures.first().text));
    }
};

void Bench::startupInProcess() {
    progress(QStringLiteral("start-up in this process"));
    constexpr int Runs = 15;
    std::unique_ptr<Program> program;
    startProgram(program); // warms fonts, styles and the platform up for both sides
    m_mainSize = program->Form2()->size();
    program.reset();
    showEmptyWidget(m_mainSize);
    std::vector<double> floor, started;
    for (int i = 0; i < Runs; ++i) { // interleaved, so drift hits both alike
        floor.push_back(showEmptyWidget(m_mainSize));
        started.push_back(startProgram(program));
        program.reset();
    }
    checkNoFailures(QStringLiteral("start-up"));
    const double f = median(floor);
    m_startupMs = median(started);
    const QString size =
        QStringLiteral("%1×%2 px").arg(m_mainSize.width()).arg(m_mainSize.height());
    add(m_rows, {QStringLiteral("Start-up in process: empty QWidget created and shown (floor)"),
                 size,
                 Runs,
                 ms(f),
                 {},
                 times(1)});
    add(m_rows, {QStringLiteral("Start-up in process: Program construct + load + show, main "
                                "window painted"),
                 QStringLiteral("standard content"),
                 Runs,
                 ms(m_startupMs),
                 {},
                 times(m_startupMs / f)});
}

void Bench::startupAsProcesses() {
    progress(QStringLiteral("start-up and peak memory as separate processes"));
    constexpr int Runs = 9, BrowseRuns = 3;
    const QString dir = QCoreApplication::applicationDirPath();
    const QString floorExe = dir + QStringLiteral("/psograf_bench_floor");
    const QString self = QCoreApplication::applicationFilePath();
    const QStringList size{QString::number(m_mainSize.width()),
                           QString::number(m_mainSize.height())};
    const QProcessEnvironment scale1 = QProcessEnvironment::systemEnvironment();
    // A screen of pixel ratio 2: the doubled pictures are decoded instead.
    QProcessEnvironment scale2 = scale1;
    scale2.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    scale2.insert(QStringLiteral("QT_ENABLE_HIGHDPI_SCALING"), QStringLiteral("1"));
    std::vector<Figures> floors, programs, programs2, browsed;
    for (int i = 0; i < Runs; ++i) { // interleaved, so drift hits all alike
        floors.push_back(runChild(floorExe, {}, size, m_fixture.root()));
        programs.push_back(runProgram(m_fixture.root(), scale1));
        programs2.push_back(runProgram(m_fixture.root(), scale2));
    }
    for (int i = 0; i < BrowseRuns; ++i)
        browsed.push_back(runChild(self, {QStringLiteral("--run-program")},
                                   {QStringLiteral("--browse")}, m_fixture.root()));
    const double fMs = medianOf(floors, "shown_ns", 1e-6);
    const double pMs = medianOf(programs, "total_ns", 1e-6);
    const double s2Ms = medianOf(programs2, "total_ns", 1e-6);
    add(m_rows, {QStringLiteral("Start-up as a process: minimal Qt Widgets program, spawn to "
                                "empty window painted (floor)"),
                 QStringLiteral("psograf_bench_floor"),
                 Runs,
                 ms(fMs),
                 {},
                 times(1)});
    add(m_rows, {QStringLiteral("Start-up as a process: the program (app/psograf), spawn to "
                                "main window painted"),
                 QStringLiteral("standard content"),
                 Runs,
                 ms(pMs),
                 {},
                 times(pMs / fMs)});
    add(m_rows, {QStringLiteral("Start-up as a process at scale 2: the program with doubled "
                                "pictures, spawn to main window painted"),
                 QStringLiteral("standard content, QT_SCALE_FACTOR=2"),
                 Runs,
                 ms(s2Ms),
                 {},
                 times(s2Ms / fMs) + QStringLiteral(" (") + times(s2Ms / pMs) +
                     QStringLiteral(" vs scale 1)")});

    // The phases, each from the end of the one before.
    struct Phase {
        const char* what;
        const char* key;
        const char* floorKey; // nullptr: the floor has no such phase
    };
    const Phase phases[] = {
        {"Process start to main (exec, dynamic loading, static initialisation)", "main_ns",
         "main_ns"},
        {"QApplication constructed (platform plugin)", "qapp_ns", "qapp_ns"},
        {"Main window built (translations; small pictures decoded until the other core has "
         "read the font configuration; Program, while that core decodes the pictures)",
         "construct_ns", nullptr},
        {"Start-up load (the catalogue read, pictures put in place; the windows but the main "
         "one wait for the first paint)",
         "load_ns", nullptr},
        {"&nbsp;&nbsp;of it: pictures decoded or waited for", "pictures_ns", nullptr},
        {"Shown and first paint", "paint_ns", nullptr},
        {"Spawn to main window painted", "total_ns", "shown_ns"},
    };
    m_phases = QStringLiteral("| Start-up phase (medians of %1 runs) | Program, scale 1 | Program, "
                              "scale 2 | Floor |\n|---|---:|---:|---:|\n")
                   .arg(Runs);
    double floorRest = medianOf(floors, "shown_ns", 1e-6);
    for (const Phase& phase : phases) {
        QString floorCell;
        if (phase.floorKey) {
            const double f = medianOf(floors, phase.floorKey, 1e-6);
            floorCell = ms(f);
            if (qstrcmp(phase.floorKey, "shown_ns") != 0) floorRest -= f;
        } else if (qstrcmp(phase.key, "paint_ns") == 0) {
            floorCell = ms(floorRest) + QStringLiteral(" (window made, shown, painted)");
        }
        m_phases += QStringLiteral("| %1 | %2 | %3 | %4 |\n")
                        .arg(QString::fromUtf8(phase.what), ms(medianOf(programs, phase.key, 1e-6)),
                             ms(medianOf(programs2, phase.key, 1e-6)), floorCell);
    }

    const double fKiB = medianOf(floors, "hwm_kib", 1), pKiB = medianOf(programs, "hwm_kib", 1),
                 p2KiB = medianOf(programs2, "hwm_kib", 1),
                 bKiB = medianOf(browsed, "browsed_hwm_kib", 1);
    add(m_memoryRows, {QStringLiteral("Peak memory (VmHWM): minimal Qt Widgets program, window "
                                      "shown (floor)"),
                       QStringLiteral("psograf_bench_floor"),
                       Runs,
                       mib(fKiB),
                       {},
                       times(1)});
    add(m_memoryRows, {QStringLiteral("Peak memory (VmHWM): the program (app/psograf), main "
                                      "window shown"),
                       QStringLiteral("standard content"),
                       Runs,
                       mib(pKiB),
                       {},
                       times(pKiB / fKiB)});
    add(m_memoryRows, {QStringLiteral("Peak memory (VmHWM): the program (app/psograf) at scale "
                                      "2, main window shown"),
                       QStringLiteral("standard content, QT_SCALE_FACTOR=2"),
                       Runs,
                       mib(p2KiB),
                       {},
                       times(p2KiB / fKiB)});
    add(m_memoryRows,
        {QStringLiteral("Peak memory (VmHWM): the program after every section's last topic "
                        "and the last breed (run by the benchmark, sounds recorded)"),
         QStringLiteral("standard content"),
         BrowseRuns,
         mib(bKiB),
         {},
         times(bKiB / fKiB)});
}

void Bench::pointerMoves() {
    progress(QStringLiteral("pointer moves"));
    constexpr int Runs = 7, Moves = 1000;
    std::unique_ptr<Program> program;
    startProgram(program);
    Form2* main = program->Form2();
    QWidget* surface = main->surface();
    QWindow* window = main->windowHandle();
    const auto moveTo = [&](QPoint client) {
        QTest::mouseMove(window, client + surface->pos());
        QCoreApplication::processEvents(); // the repaint a change asked for
    };
    const QPoint item = main->Label1->geometry().center();
    const QPoint itemA = item - QPoint(20, 0), itemB = item + QPoint(20, 0);
    const QPoint bareA = barePoint(surface), bareB = bareA + QPoint(8, 0);
    if (surface->childAt(itemA) != main->Label1 || surface->childAt(itemB) != main->Label1)
        die(QStringLiteral("the menu item is not under the pointer"));

    // Hover must work from memory: take the pictures away first.
    for (const char* folder : {"Graph", "dog"})
        QDir(m_fixture.root() + u'/' + QLatin1String(folder)).removeRecursively();
    if (QDir(m_fixture.root()).exists(QStringLiteral("Graph")))
        die(QStringLiteral("pictures still on disk"));

    struct Path {
        const char* what;
        QPoint a, b;
    };
    const Path paths[] = {
        {"Pointer moves over a menu item (Label1)", itemA, itemB},
        {"Pointer moves over the bare surface", bareA, bareB},
        {"Pointer moves alternating menu item / surface (lit and unlit every move)", itemA, bareA},
    };
    for (const Path& path : paths) {
        std::vector<double> batches;
        for (int run = 0; run <= Runs; ++run) { // the first batch warms up
            moveTo(bareB + QPoint(0, 4));
            QElapsedTimer clock;
            clock.start();
            for (int i = 0; i < Moves; ++i)
                moveTo(i % 2 ? path.b : path.a);
            if (run > 0) batches.push_back(msSince(clock));
        }
        const double batch = median(batches);
        add(m_rows, {QString::fromUtf8(path.what),
                     QStringLiteral("%1 moves, pictures deleted").arg(grouped(Moves)),
                     Runs,
                     ms(batch),
                     us(batch * 1000 / Moves) + QStringLiteral(" per move"),
                     {}});
    }

    // The moves did their work with nothing on disk.
    moveTo(main->Image1->geometry().center());
    const bool exitLit = main->Image1->pictureSource() == QStringLiteral("Graph\\CLAK.jpg");
    moveTo(itemA);
    const bool itemLit = main->Label1->fontSize() > 12;
    moveTo(bareA);
    const bool reset = main->Label1->fontSize() == 12 &&
                       main->Image1->pictureSource() == QStringLiteral("Graph\\CLNO.jpg");
    if (!exitLit || !itemLit || !reset) die(QStringLiteral("hover did not follow the pointer"));
    checkNoFailures(QStringLiteral("pointer moves"));
    add(m_rows, {QStringLiteral("Failures after the moves with Graph\\ and dog\\ deleted"),
                 QStringLiteral("%1 moves").arg(grouped(Moves * (Runs + 1) * 3 + 3)),
                 1,
                 QString::number(m_fixture.failures.size()),
                 QStringLiteral("lit and unlit states checked"),
                 {}});
    program.reset();
    bench::writeStartupPictures(m_fixture);
}

void Bench::topics() {
    struct Size {
        int mb, runs;
    };
    const Size sizes[] = {{1, 7}, {5, 5}, {10, 5}, {50, 3}};
    double openPerMb1 = 0, choosePerMb1 = 0;
    std::vector<Row> openRows, chooseRows;
    for (const Size& size : sizes) {
        progress(QStringLiteral("topic file of %1 MB").arg(size.mb));
        const bench::TopicFile file = bench::makeTopicFile(qint64(size.mb) * 1'000'000, 7);
        m_fixture.writeBytes(QStringLiteral("text\\HCD.ssu"), file.bytes);
        const double mb = double(file.bytes.size()) / 1e6;
        std::unique_ptr<Program> program;
        startProgram(program);
        Form4* reader = readerOf(*program);
        std::vector<double> opened, chosen;
        for (int run = 0; run <= size.runs; ++run) { // the first run warms up
            QElapsedTimer clock;
            clock.start();
            openSection(*program, 0);
            const double openMs = msSince(clock);
            if (reader->List1->count() != file.topics)
                die(QStringLiteral("the reader listed %1 of %2 topics")
                        .arg(reader->List1->count())
                        .arg(file.topics));
            clock.restart();
            chooseLast(reader->List1);
            const double chooseMs = msSince(clock);
            if (reader->Label1_1->text() != file.lastTitle ||
                reader->Text1->toPlainText().isEmpty())
                die(QStringLiteral("the last topic was not shown"));
            backFromReader(*program);
            if (run > 0) {
                opened.push_back(openMs);
                chosen.push_back(chooseMs);
            }
        }
        checkNoFailures(QStringLiteral("topics"));
        program.reset();
        const double o = median(opened), c = median(chosen);
        if (size.mb == 1) {
            openPerMb1 = o / mb;
            choosePerMb1 = c / mb;
        }
        const QString input =
            QStringLiteral("%1 MB, %2 topics").arg(mb, 0, 'f', 1).arg(grouped(file.topics));
        openRows.push_back({QStringLiteral("Topic reader opened: list filled, first topic "
                                           "shown"),
                            input, size.runs, ms(o), ms(o / mb) + QStringLiteral(" per MB"),
                            times((o / mb) / openPerMb1) + QStringLiteral(" per MB vs 1 MB")});
        chooseRows.push_back({QStringLiteral("Topic reader: last title chosen, its text shown"),
                              input, size.runs, ms(c), ms(c / mb) + QStringLiteral(" per MB"),
                              times((c / mb) / choosePerMb1) + QStringLiteral(" per MB vs 1 MB")});
    }
    m_rows.insert(m_rows.end(), openRows.begin(), openRows.end());
    m_rows.insert(m_rows.end(), chooseRows.begin(), chooseRows.end());
    m_fixture.writeBytes(QStringLiteral("text\\HCD.ssu"), bench::standardTopicFile(0));
}

void Bench::catalogues() {
    struct Size {
        int records, runs;
    };
    const Size sizes[] = {{1000, 7}, {10000, 5}, {100000, 3}};
    double fillPer1 = 0, choose1 = 0, start1 = 0;
    std::vector<Row> startRows, fillRows, chooseRows;
    for (const Size& size : sizes) {
        progress(QStringLiteral("catalogue of %1 breeds").arg(size.records));
        const bench::Catalogue file = bench::writeCatalogue(m_fixture, size.records);
        const QString input = QStringLiteral("%1 breeds, %2 MB")
                                  .arg(grouped(size.records))
                                  .arg(double(file.bytes.size()) / 1e6, 0, 'f', 1);
        std::unique_ptr<Program> program;
        std::vector<double> started, filled, chosen;
        for (int run = 0; run < size.runs; ++run)
            started.push_back(startProgram(program));
        Form1* catalogue = catalogueOf(*program);
        if (catalogue->List1->count() != size.records)
            die(QStringLiteral("the catalogue listed %1 breeds").arg(catalogue->List1->count()));

        // The fill alone, as start-up runs it: on a hidden catalogue window.
        for (int run = 0; run < size.runs; ++run) {
            Form1 fresh(program->values(), *program);
            QElapsedTimer clock;
            clock.start();
            fresh.initialFill();
            filled.push_back(msSince(clock));
        }

        base::guarded([&] { program->Form2()->Label6_Click(); });
        settle();
        for (int run = 0; run < size.runs; ++run) {
            catalogue->List1->programmatic([&] { catalogue->List1->setCurrentRow(0); });
            settle();
            QElapsedTimer clock;
            clock.start();
            chooseLast(catalogue->List1);
            chosen.push_back(msSince(clock));
            if (catalogue->Label1->text() != file.lastName || !catalogue->Image1->hasPicture())
                die(QStringLiteral("the last breed was not shown with its photo"));
        }
        checkNoFailures(QStringLiteral("catalogue"));
        program.reset();

        const double s = median(started), f = median(filled), c = median(chosen);
        const double perRecordF = f * 1000 / size.records;
        if (size.records == 1000) {
            start1 = s;
            fillPer1 = perRecordF;
            choose1 = c;
        }
        startRows.push_back({QStringLiteral("Start-up with the catalogue filled, main window "
                                            "painted"),
                             input,
                             size.runs,
                             ms(s),
                             {},
                             times(s / start1) + QStringLiteral(" vs 1,000 breeds")});
        fillRows.push_back({QStringLiteral("Catalogue fill alone (read, parse, list every name, "
                                           "first breed shown)"),
                            input, size.runs, ms(f), us(perRecordF) + QStringLiteral(" per breed"),
                            times(perRecordF / fillPer1) + QStringLiteral(" per breed vs 1,000")});
        // Read from where the record starts: about the same time at any size.
        chooseRows.push_back({QStringLiteral("Catalogue: last breed chosen, its text and photo "
                                             "shown"),
                              input,
                              size.runs,
                              ms(c),
                              {},
                              times(c / choose1) + QStringLiteral(" vs 1,000 breeds")});
    }
    for (const auto* rows : {&startRows, &fillRows, &chooseRows})
        m_rows.insert(m_rows.end(), rows->begin(), rows->end());
    bench::writeCatalogue(m_fixture, bench::StandardBreeds);
}

QString cpuModel() {
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (cpuinfo.open(QIODevice::ReadOnly))
        for (const QByteArray& line : cpuinfo.readAll().split('\n'))
            if (line.startsWith("model name"))
                return QString::fromLatin1(line.mid(line.indexOf(':') + 1).trimmed());
    return QStringLiteral("unknown");
}

void Bench::print(double totalSeconds) const {
    QString out;
    out += QStringLiteral("## Пёсограф benchmarks\n\n");
    out += QStringLiteral("- Date: %1\n").arg(QDateTime::currentDateTime().toString(Qt::ISODate));
    out += QStringLiteral("- Machine: %1 cores, %2; %3\n")
               .arg(QThread::idealThreadCount())
               .arg(cpuModel(), QSysInfo::prettyProductName());
    out += QStringLiteral("- Qt %1, %2 build, platform \"%3\"\n")
               .arg(QLatin1String(qVersion()), QLatin1String(PSOGRAF_BUILD_TYPE),
                    QGuiApplication::platformName());
    out += QStringLiteral("- Whole run: %1 s\n\n").arg(totalSeconds, 0, 'f', 0);
    out += QStringLiteral("| Measurement | Input | Runs | Median | Per unit | Ratio |\n");
    out += QStringLiteral("|---|---|---:|---:|---:|---:|\n");
    for (const auto* rows : {&m_rows, &m_memoryRows})
        for (const Row& r : *rows)
            out += QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 |\n")
                       .arg(r.what, r.input, QString::number(r.runs), r.median, r.perUnit, r.ratio);
    out += QStringLiteral("\n") + m_phases;
    out += QStringLiteral(
        "\nStandard content: start-up pictures at the real sizes (busy JPEGs) and at twice "
        "them (name@2x.jpg), five topic "
        "files of about 40 KB, a catalogue of 136 breeds of about 1 KB each. Sounds are "
        "recorded, not played (in the program started as a process none is asked for). Files "
        "are in the page cache. MB = 10^6 bytes. In-process figures follow one discarded "
        "warm-up; the floor window has the main window's size. Start-up as a process runs the "
        "program's own executable with PSOGRAF_STARTUP_TRACE set, which prints the phases "
        "once the main window has painted; the floor runs interleaved with it.\n");
    std::fputs(out.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

int Bench::run(bool startupOnly) {
    QElapsedTimer total;
    total.start();
    bench::writeStandardContent(m_fixture);
    startupInProcess();
    startupAsProcesses();
    if (!startupOnly) {
        pointerMoves();
        topics();
        catalogues();
    }
    print(double(total.elapsed()) / 1000);
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    bench::useHeadlessDefaults();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QStringLiteral("--run-program")) return runProgramChild(args);
    Bench bench;
    return bench.run(args.contains(QStringLiteral("--startup")));
}

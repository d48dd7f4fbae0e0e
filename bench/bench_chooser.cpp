// SPDX-License-Identifier: GPL-3.0-or-later
// «Подбор породы» benchmark: how long a changed answer takes to show in the list, on the
// shipped facts and on 100,000 breeds (the shipped rows again and again under new names).
// Every answer of every question is clicked in turn, as a reader would, then «Сбросить
// ответы»; each click is timed until the list is refilled, and until it is also laid out
// and repainted.
// The rules alone (facts::Chooser::choose) are timed on the same answers. Prints a
// Markdown table on standard output.
//
//   psograf_bench_chooser [content folder]             the shipped content by default
//   psograf_bench_chooser --families [content folder]  what three families are offered
//                                                      first, the top ten with the reasons
#include "bench/shown.h"
#include "chooser/chooserwindow.h"
#include "formats/breedchoice.h"
#include "main_window/form2.h"
#include "tests/fixture.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

[[noreturn]] void die(const QString& why) {
    std::fprintf(stderr, "psograf_bench_chooser: %s\n", qPrintable(why));
    std::exit(2);
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5))];
}

QString ms(double v) {
    return QString::number(v, 'f', v < 10 ? 2 : 1) + QStringLiteral(" ms");
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// The facts file with every breed of the shipped one, copied under new names until it holds
// this many («Акита (2)», …).
QByteArray manyBreeds(const QByteArray& shipped, int breeds) {
    QList<QByteArray> lines = shipped.split('\n');
    const QByteArray header = lines.takeFirst();
    QList<QByteArray> rows;
    for (const QByteArray& line : std::as_const(lines))
        if (line.startsWith('"')) rows << line;
    QByteArray out = header + '\n';
    out.reserve(qsizetype(breeds) * 220);
    for (int i = 0; i < breeds; ++i) {
        const QByteArray& row = rows[i % rows.size()];
        const int copy = i / int(rows.size()) + 1;
        const qsizetype nameEnd = row.indexOf('"', 1);
        out += copy == 1
                   ? row
                   : row.left(nameEnd) + " (" + QByteArray::number(copy) + ")" + row.mid(nameEnd);
        out += '\n';
    }
    return out;
}

struct Figures {
    int breeds = 0;
    std::vector<double> rules, refilled, painted;
};

Figures measure(const QString& content, const QByteArray* facts, int rounds) {
    Fixture fixture;
    for (const QString& file : QDir(content + "/text").entryList(QDir::Files)) {
        QFile in(content + "/text/" + file);
        if (!in.open(QIODevice::ReadOnly)) die("cannot read " + in.fileName());
        fixture.writeBytes("text\\" + file, in.readAll());
    }
    if (facts) fixture.writeBytes("text\\podbor.ssu", *facts);
    Program* program = fixture.start();
    if (!program) die("the program did not start");
    settle();
    program->openChooser(*program->Form2());
    settle();
    chooser::ChooserWindow* w = program->chooserWindow();
    if (!w || !w->isVisible() || w->List1->count() == 0) die("the chooser listed nothing");
    Figures figures;
    figures.breeds = int(w->table().breeds.size());
    facts::Chooser rules;
    rules.setBreeds(w->table().breeds);

    QList<QAbstractButton*> buttons;
    for (QGroupBox* group : w->groups())
        for (QAbstractButton* b : group->findChildren<QAbstractButton*>())
            if (b->text() != QStringLiteral("Не важно")) buttons << b;
    buttons << w->Command2;
    for (int round = 0; round < rounds; ++round)
        for (QAbstractButton* b : std::as_const(buttons)) {
            QElapsedTimer clock;
            clock.start();
            QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
            figures.refilled.push_back(double(clock.nsecsElapsed()) / 1e6);
            settle(); // what the click posted: the list laid out anew
            w->List1->viewport()->repaint();
            w->Label8->repaint();
            figures.painted.push_back(double(clock.nsecsElapsed()) / 1e6);
            // The same answers through the rules alone.
            const facts::Answers answers = w->answers();
            clock.restart();
            const facts::Choice choice = rules.choose(answers);
            figures.rules.push_back(double(clock.nsecsElapsed()) / 1e6);
            if (choice.fitting.isEmpty() && choice.missingOne.isEmpty() && w->List1->count() != 0)
                die("the rules and the window disagree");
        }
    if (!fixture.failures.isEmpty()) die("a failure was reported: " + fixture.failures[0].text);
    return figures;
}

// The breeds listed first for three households, as the window lists them.
int families(const QByteArray& shipped) {
    using A = facts::Answers;
    const facts::FactsTable table = facts::parseFacts(shipped);
    facts::Chooser rules;
    rules.setBreeds(table.breeds);
    A pensioner, family, runner;
    pensioner.home = A::Home::Flat;
    pensioner.walks = A::Walks::UpToHour;
    family.children = A::Children::School;
    family.cat = true;
    runner.home = A::Home::House;
    runner.walks = A::Walks::OverTwo;
    for (const auto& [who, answers] :
         {std::pair{"A pensioner in a flat who walks an hour a day", pensioner},
          std::pair{"A family with a cat and school-age children", family},
          std::pair{"A runner in a private house", runner}}) {
        const facts::Choice choice = rules.choose(answers);
        std::printf("%s: %s\n", who,
                    qPrintable(facts::countLine(choice.fitting.size(), rules.size())));
        for (qsizetype i = 0; i < std::min<qsizetype>(10, choice.fitting.size()); ++i)
            std::printf("  %lld. %s\n", static_cast<long long>(i + 1),
                        qPrintable(facts::entryText(table.breeds[choice.fitting[i].breed],
                                                    choice.fitting[i])));
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    bench::useHeadlessDefaults();
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool listFamilies = args.value(1) == QStringLiteral("--families");
    if (listFamilies) args.removeAt(1);
    const QString content = QDir(args.value(1, QStringLiteral(PSOGRAF_CONTENT_DIR))).absolutePath();
    QFile shippedFile(content + "/text/podbor.ssu");
    if (!shippedFile.open(QIODevice::ReadOnly)) die("cannot read " + shippedFile.fileName());
    const QByteArray shipped = shippedFile.readAll();
    if (listFamilies) return families(shipped);

    std::fprintf(stderr, "  shipped facts\n");
    const Figures one = measure(content, nullptr, 5);
    std::fprintf(stderr, "  100,000 breeds\n");
    const QByteArray many = manyBreeds(shipped, 100000);
    const Figures large = measure(content, &many, 3);

    QString out =
        QStringLiteral("| Breed chooser, an answer clicked | Rows of facts | Clicks | Median | "
                       "95th percentile | Slowest | Ratio of medians |\n"
                       "|---|---:|---:|---:|---:|---:|---:|\n");
    const auto row = [&](const QString& what, const Figures& f, const std::vector<double>& v,
                         const std::vector<double>& base) {
        out += QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | ×%7 |\n")
                   .arg(what, QLocale(QLocale::English).toString(f.breeds))
                   .arg(v.size())
                   .arg(ms(percentile(v, 0.5)), ms(percentile(v, 0.95)), ms(percentile(v, 1)))
                   .arg(percentile(v, 0.5) / percentile(base, 0.5), 0, 'f', 1);
    };
    for (const auto& [what, member] :
         {std::pair{QStringLiteral("Rules alone (facts::Chooser::choose)"), &Figures::rules},
          std::pair{QStringLiteral("Window: the list refilled"), &Figures::refilled},
          std::pair{QStringLiteral("Window: the list refilled, laid out and repainted"),
                    &Figures::painted}}) {
        row(what, one, one.*member, one.*member);
        row(what, large, large.*member, one.*member);
    }
    std::fputs(out.toUtf8().constData(), stdout);
    return 0;
}

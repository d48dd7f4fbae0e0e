// SPDX-License-Identifier: GPL-3.0-or-later
// Times searches over the shipped texts and over texts ten times larger (every file repeated
// with changed titles and names), copied into a temporary folder first so that edits to the
// content during a run do not disturb it. Prints medians and the ratio large / shipped.
//
//   psograf_bench_search [content folder]            the timings
//   psograf_bench_search --show QUERY [folder]       what a query finds, with passages
#include "core/contentfiles.h"
#include "search/engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const QString CatalogueLabel = QStringLiteral("Каталог пород");

QList<search::Section> sections() {
    QList<search::Section> list;
    for (const auto& s : core::content::Sections)
        list.append({s.file, s.readerTitle});
    return list;
}

QStringList contentFiles() {
    QStringList files{core::content::Catalogue, core::content::WordGroups};
    for (const auto& s : core::content::Sections)
        files.append(s.file);
    for (QString& f : files)
        f = f.section(u'\\', -1);
    return files;
}

// The file in folder whose name matches case-insensitively, as the program finds it.
QString findFile(const QDir& folder, const QString& name) {
    for (const QString& entry : folder.entryList(QDir::Files))
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return folder.filePath(entry);
    return {};
}

// Copy number k (from 2) of a file: titles and breed names get " (k)" so topics stay apart.
QByteArray renamed(const QByteArray& bytes, int k, bool catalogue) {
    const QByteArray suffix = " (" + QByteArray::number(k) + ")";
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray& line : lines) {
        if (!catalogue && line.startsWith('#')) {
            line.insert(line.endsWith('\r') ? line.size() - 1 : line.size(), suffix);
        } else if (catalogue && line.startsWith('"')) {
            const qsizetype close = line.indexOf('"', 1);
            if (close > 0) line.insert(close, suffix);
        }
    }
    return lines.join('\n');
}

bool prepare(const QString& source, const QString& target, int copies) {
    const QDir from(source + "/text");
    if (!QDir().mkpath(target + "/text")) return false;
    for (const QString& name : contentFiles()) {
        QFile in(findFile(from, name));
        if (!in.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s in %s\n", qPrintable(name), qPrintable(source));
            return false;
        }
        const QByteArray bytes = in.readAll();
        QByteArray out = bytes;
        if (!out.endsWith('\n')) out += "\r\n";
        for (int k = 2; k <= copies; ++k)
            if (name != contentFiles().at(1))
                out += renamed(bytes, k, name == contentFiles().first());
        QFile file(target + "/text/" + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) return false;
    }
    return true;
}

double medianMs(int runs, const std::function<void()>& work) {
    work(); // warm-up: page cache, stems of the query
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

int show(const QString& query, const QString& folder) {
    QDir::setCurrent(folder);
    search::Engine engine(sections(), core::content::Catalogue, CatalogueLabel,
                          core::content::WordGroups);
    const auto results = engine.find(query).results;
    std::printf("%lld results for «%s»\n", qlonglong(results.size()), qPrintable(query));
    for (const auto& r : results) {
        QString passage = r.passage;
        for (auto m = r.marks.crbegin(); m != r.marks.crend(); ++m)
            passage.insert(m->offset + m->length, u'»').insert(m->offset, u'«');
        std::printf("\n%s\n  %s\n", qPrintable(r.label), qPrintable(passage));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString query;
    if (args.size() >= 2 && args.first() == "--show") {
        query = args.at(1);
        args = args.mid(2);
    }
    const QString content =
        QDir(args.isEmpty() ? QStringLiteral(PSOGRAF_CONTENT_DIR) : args.first()).absolutePath();
    QTemporaryDir work;
    const QString standard = work.filePath("standard"), large = work.filePath("large");
    if (!prepare(content, standard, 1) || !prepare(content, large, 10)) return 1;
    if (!query.isEmpty()) return show(query, standard);
    if (qEnvironmentVariableIsSet("PROFILE_BUILD")) {
        QDir::setCurrent(large);
        for (int i = 0; i < 20; ++i) {
            QElapsedTimer t;
            t.start();
            search::Engine engine(sections(), core::content::Catalogue, CatalogueLabel,
                                  core::content::WordGroups);
            engine.refresh();
            std::printf("%.1f ms, %lld bytes\n", t.nsecsElapsed() / 1e6,
                        qlonglong(engine.indexBytes()));
        }
        return 0;
    }
    if (qEnvironmentVariableIsSet("PROFILE_QUERY")) {
        QDir::setCurrent(large);
        search::Engine engine(sections(), core::content::Catalogue, CatalogueLabel,
                              core::content::WordGroups);
        for (int i = 0; i < 50; ++i) {
            QElapsedTimer t;
            t.start();
            const auto answer = engine.find(qEnvironmentVariable("PROFILE_QUERY"));
            if (i % 10 == 0)
                std::printf("%.2f ms, %lld found\n", t.nsecsElapsed() / 1e6,
                            qlonglong(answer.found));
        }
        return 0;
    }

    const QStringList queries{"клещ",   "японск",      "Япония",         "корм щенка",
                              "собака", "пироплазмоз", "щенок прививки", "zzz"};
    const QStringList typing{"к", "кл", "кле", "клещ", "клещи"};
    struct Row {
        QString what;
        double ms[2];
        qsizetype found[2];
    };
    QList<Row> rows;
    const QString folders[2] = {standard, large};
    auto measure = [&](const QString& what, int runs, const std::function<qsizetype()>& work) {
        Row row{what, {}, {}};
        for (int f = 0; f < 2; ++f) {
            QDir::setCurrent(folders[f]);
            row.found[f] = work();
            row.ms[f] = medianMs(f == 0 ? runs : runs / 2 + 1, [&] { work(); });
        }
        rows.append(row);
    };

    // A fresh engine: nothing stemmed yet.
    measure("first search of a new engine: клещ", 21, [] {
        search::Engine engine(sections(), core::content::Catalogue, CatalogueLabel);
        return engine.find(u"клещ").results.size();
    });
    search::Engine engine(sections(), core::content::Catalogue, CatalogueLabel);
    for (const QString& q : queries)
        measure(q, 21, [&] { return engine.find(q).results.size(); });
    for (const QString& q : typing)
        measure("typing: " + q, 21, [&] { return engine.find(q).results.size(); });

    std::printf("Content: shipped %.0f KB, large %.0f KB (×10). Medians, ms.\n\n",
                folderBytes(standard) / 1e3, folderBytes(large) / 1e3);
    std::printf("%-40s %8s %8s %8s %8s %7s\n", "query", "found", "shipped", "found", "×10",
                "ratio");
    for (const Row& r : rows) {
        const QByteArray what = r.what.toUtf8();
        // Pads by characters, not bytes: Cyrillic takes two bytes in UTF-8.
        const int pad = 40 - int(r.what.size());
        std::printf("%s%*s %8lld %8.2f %8lld %8.2f %7.2f\n", what.constData(), std::max(pad, 0), "",
                    qlonglong(r.found[0]), r.ms[0], qlonglong(r.found[1]), r.ms[1],
                    r.ms[1] / r.ms[0]);
    }
    return 0;
}

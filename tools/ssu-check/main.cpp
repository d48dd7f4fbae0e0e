// SPDX-License-Identifier: GPL-3.0-or-later
// ssu-check CONTENT-FOLDER: checks the folder the program would run in and prints one
// finding a line, then a summary. Exits with 1 when there is an error.
// ssu-check --list-content | --list-sounds: prints the files the program reads by fixed
// name, one a line (for the install check).
#include "tools/ssu-check/check.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cstdio>

namespace {
void print(std::FILE* stream, const QString& line) {
    std::fputs(line.toUtf8().append('\n').constData(), stream);
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // A picture that does not decode is a finding; the decoder's own complaint is noise.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 2 && arguments[1] == QLatin1String("--list-content")) {
        for (const QString& file : ssucheck::contentFiles())
            print(stdout, file);
        return 0;
    }
    if (arguments.size() == 2 && arguments[1] == QLatin1String("--list-sounds")) {
        for (const QString& file : ssucheck::soundFiles())
            print(stdout, file);
        return 0;
    }
    if (arguments.size() != 2) {
        print(stderr,
              QStringLiteral("usage: ssu-check CONTENT-FOLDER | --list-content | --list-sounds"));
        return 2;
    }
    const QString folder = arguments[1];
    if (!QFileInfo(folder).isDir()) {
        print(stderr, QStringLiteral("ssu-check: %1: not a folder").arg(folder));
        return 2;
    }
    const QList<ssucheck::Finding> findings = ssucheck::checkContent(folder);
    for (const ssucheck::Finding& finding : findings)
        print(stdout, ssucheck::formatFinding(finding));
    print(stdout, ssucheck::formatSummary(findings));
    return ssucheck::countOf(findings, ssucheck::Severity::Error) > 0 ? 1 : 0;
}

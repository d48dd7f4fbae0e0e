// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/fixture.h"

#include <QApplication>

// The tests of the whole program, linked once: `psograf_program_tests TestMainMenu
// [QTest's options]` runs one class (ctest runs each as a test of its own); without a
// class name every class runs, one after the other.
int main(int argc, char* argv[]) {
    const QMap<QString, TestRun> tests = registeredTests();
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    const QString chosen = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (tests.contains(chosen)) {
        argv[1] = argv[0];
        return tests.value(chosen)(argc - 1, argv + 1);
    }
    if (!chosen.isEmpty() && !chosen.startsWith(u'-')) {
        qWarning("no test class %s; there are: %s", qPrintable(chosen),
                 qPrintable(tests.keys().join(u' ')));
        return 2;
    }
    int failed = 0;
    for (const TestRun run : std::as_const(tests))
        failed += run(argc, argv);
    return failed;
}

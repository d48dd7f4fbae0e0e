// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program started on a small content folder (tests/content.h), with sounds,
// failures and the end of the program recorded. The tests that use it are linked into
// one executable (tests/main.cpp), each class a ctest entry of its own.
#pragma once

#include "app/program.h"
#include "tests/content.h"

#include <QMap>
#include <QTest>
#include <QUrl>
#include <memory>

using app::Program;
using catalogue::Form1;
using dialogs::Form3;
using dialogs::Form5;
using main_window::Form2;
using topics::Form4;

class Fixture : public ContentFolder {
public:
    ~Fixture() { stop(); }

    // Starts the program on this folder; null (and the failure recorded) if start-up
    // failed.
    Program* start();
    Program* program() const { return m_program.get(); }
    void stop() { m_program.reset(); }

private:
    std::unique_ptr<Program> m_program;
};

// Records the addresses the program opens instead of opening them
// (QDesktopServices::setUrlHandler(scheme, &recorder, "open")).
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

// Registers a test class of the program's tests; tests/main.cpp runs the one named.
using TestRun = int (*)(int argc, char** argv);
bool registerTest(const char* name, TestRun run);
QMap<QString, TestRun> registeredTests();
#define PSOGRAF_TEST_MAIN(TestClass)                                                               \
    static const bool registered##TestClass = registerTest(#TestClass, [](int argc, char** argv) { \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    });

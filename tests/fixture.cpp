// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/fixture.h"

#include <QMap>

Program* Fixture::start() {
    m_program.reset();
    auto program = std::make_unique<Program>();
    if (!program->load()) return nullptr;
    program->show();
    settle();
    program->finishStartup(); // as the program does once the main window has painted
    m_program = std::move(program);
    return m_program.get();
}

static QMap<QString, TestRun>& registry() {
    static QMap<QString, TestRun> tests;
    return tests;
}

bool registerTest(const char* name, TestRun run) {
    registry().insert(QString::fromLatin1(name), run);
    return true;
}

QMap<QString, TestRun> registeredTests() {
    return registry();
}

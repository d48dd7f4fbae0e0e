// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/failure.h"

#include <QSet>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace base {

namespace {

void printReport(const RuntimeFailure& failure) {
    std::fprintf(stderr, "psograf: %s\n", qPrintable(failureMessage(failure).simplified()));
}

FailureReporter& reporter() {
    static FailureReporter r = printReport;
    return r;
}

ProgramEnder& ender() {
    static ProgramEnder e = [](int status) {
        std::fflush(nullptr);
        std::_Exit(status);
    };
    return e;
}

struct Notices {
    NoticeSink sink = [](const QString& text) {
        std::fprintf(stderr, "psograf: %s\n", qPrintable(text));
        std::fflush(stderr);
    };
    QSet<QString> said;
    std::mutex mutex; // said from any thread
};

Notices& notices() {
    static Notices n;
    return n;
}

} // namespace

NoticeSink setNoticeSink(NoticeSink sink) {
    const std::lock_guard lock(notices().mutex);
    notices().said.clear();
    return std::exchange(notices().sink, std::move(sink));
}

void noticeOnce(const QString& text) {
    Notices& n = notices();
    const std::lock_guard lock(n.mutex);
    if (n.said.contains(text)) return;
    n.said.insert(text);
    n.sink(text);
}

QString failureMessage(const RuntimeFailure& failure) {
    return QStringLiteral("Ошибка %1\n\n%2").arg(failure.number).arg(failure.text);
}

void fail(int number, const QString& text) {
    throw RuntimeFailure{number, text};
}

FailureReporter setFailureReporter(FailureReporter r) {
    return std::exchange(reporter(), std::move(r));
}

void reportFailure(const RuntimeFailure& failure) {
    reporter()(failure);
}

ProgramEnder setProgramEnder(ProgramEnder e) {
    return std::exchange(ender(), std::move(e));
}

void endProgram(int status) {
    ender()(status);
}

} // namespace base

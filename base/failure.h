// SPDX-License-Identifier: GPL-3.0-or-later
// Run-time failures: a failed step stops its handler, the failure is reported in a
// message box with its number and text, and the program goes on (or, at start-up, ends).
#pragma once

#include <QString>
#include <functional>

namespace base {

enum ErrorNumber : int {
    ErrOverflow = 6,
    ErrOutOfMemory = 7,
    ErrFileNotFound = 53,
    ErrInputPastEnd = 62,
    ErrPathAccess = 75,
    ErrPathNotFound = 76,
    ErrInvalidPicture = 481,
};

struct RuntimeFailure {
    int number;
    QString text;
};

[[noreturn]] void fail(int number, const QString& text);

QString failureMessage(const RuntimeFailure& failure);

// The one place that turns a failure into what the user sees: printed on stderr until the
// program installs its message box (useMessageBoxReports); tests install a recorder.
using FailureReporter = std::function<void(const RuntimeFailure&)>;
FailureReporter setFailureReporter(FailureReporter reporter);
void reportFailure(const RuntimeFailure& failure);

// Runs a handler's body so that no failure crosses Qt's event dispatch.
template <class F> void guarded(F&& body) {
    try {
        body();
    } catch (const RuntimeFailure& failure) {
        reportFailure(failure);
    } catch (const std::bad_alloc&) {
        reportFailure({ErrOutOfMemory, QStringLiteral("Недостаточно памяти")});
    }
}

// A problem the program goes on past (a setting that cannot be saved, the sound module that
// cannot be loaded): said once a run on standard error, however often it recurs. Tests
// install a recorder (which also forgets what was said).
using NoticeSink = std::function<void(const QString& text)>;
NoticeSink setNoticeSink(NoticeSink sink);
void noticeOnce(const QString& text);

// Ends the process at once, running nothing more. Tests install a recorder.
using ProgramEnder = std::function<void(int status)>;
ProgramEnder setProgramEnder(ProgramEnder ender);
void endProgram(int status);

} // namespace base

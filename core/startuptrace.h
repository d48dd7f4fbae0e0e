// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up phases on demand. With PSOGRAF_STARTUP_TRACE=<spawn time, ns on the monotonic
// clock> in the environment the program notes when each phase ends and, once the main
// window has painted, prints them on standard error in one line:
//
//   startup: main_ns=.. qapp_ns=.. construct_ns=.. load_ns=.. pictures_ns=.. paint_ns=..
//            total_ns=.. hwm_kib=..
//
// (each phase from the end of the one before; pictures_ns is the time the start-up thread
// spent decoding pictures or waiting for them). A value ending in ",quit" ends the program
// after printing. Without the variable nothing is noted or printed.
#pragma once

#include <QFile>

#include <chrono>
#include <functional>

class QWidget;

namespace core::startup {

enum class Phase { Main, Application, Construct, Load, Count };

// Whether the variable was set (read once).
bool tracing();
// Notes that a phase ended now.
void mark(Phase phase);
// Adds decoding time spent inside the load phase.
void addPictureTime(long long ns);
// Nanoseconds on the monotonic clock, the same in every process of the machine, as the
// spawn time is given. Inline, like the next one, so the benchmark's bare Qt program
// measures with them too without linking the program.
inline long long nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Peak resident set size of this process (VmHWM) in KiB; 0 where the system does not say.
inline long long peakResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    // /proc files report size 0: read to the end instead of asking for lines.
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// Once the window has painted for the first time (and the paint has been flushed): prints
// the trace when tracing, then quits if asked to, else calls then.
void afterFirstPaint(QWidget* window, std::function<void()> then);

} // namespace core::startup

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
// Nanoseconds on the monotonic clock, as the spawn time is given.
long long nowNs();

// Once the window has painted for the first time (and the paint has been flushed): prints
// the trace when tracing, then quits if asked to, else calls then.
void afterFirstPaint(QWidget* window, std::function<void()> then);

} // namespace core::startup

// SPDX-License-Identifier: GPL-3.0-or-later
// The reader's zoom: every window at 100, 125, 150, 175 or 200 % of the design's size, all
// at once, each keeping what it shows. Every window takes the keys (FormBase), the main
// menu's right-click menu offers the same steps. The zoom is remembered between runs in
// psograf/psograf.conf in the user's configuration folder: the one file the program
// writes, and only when the reader changes the zoom.
#pragma once

#include <QString>
#include <array>

namespace core {

class FormBase;
class PictureCache;

namespace zoom {

inline constexpr std::array<int, 5> Steps = {100, 125, 150, 175, 200};

enum class Step { Larger, Smaller, Normal };

// The zoom in effect, in percent.
int percent();

// Where a step leads from the zoom in effect, or 0 where it is not offered: past either
// end, to the zoom in effect, or to a zoom at which a window would be larger than the
// screen's available area.
int target(Step step);
// Takes the step if it is offered: every window is laid out anew, and the zoom is
// remembered. A screen reader hears the zoom then in effect («150 %», core/announce.h).
void take(Step step, PictureCache& pictures);

// Start-up, before any picture is read or window made: the remembered zoom.
void startAtRemembered();
// Once windows exist: the largest zoom, up to the one in effect, at which they all fit on
// the screen (the screen may have become smaller since the zoom was chosen); not
// remembered.
void keepOnScreen(PictureCache& pictures);

// The settings file (base/settingsfile.h), where the zoom is the key "zoom".
QString settingsFile();
// The remembered zoom: 100 when the file is missing, cannot be read, or holds anything but
// one of the steps.
int remembered();

// Every window takes part: FormBase enlists itself when made and leaves when destroyed.
void enlist(FormBase* form);
void leave(FormBase* form);

} // namespace zoom
} // namespace core

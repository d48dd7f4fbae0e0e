// SPDX-License-Identifier: GPL-3.0-or-later
// Night mode: every window dark with light text at once, each keeping what it shows (the
// colours and re-coloured pictures are core/look.h's). Every window takes the key
// (FormBase), the main menu's right-click menu has the entry. Until the reader chooses, it
// follows the desktop's preference (the freedesktop settings portal); the reader's choice
// is remembered in the settings file beside the zoom and then wins.
#pragma once

#include <QKeyCombination>
#include <QVariant>
#include <optional>

class QKeyEvent;

namespace core {

class PictureCache;

namespace night {

// Ctrl+Shift+N, in any keyboard layout.
inline constexpr QKeyCombination Key = Qt::CTRL | Qt::SHIFT | Qt::Key_N;
bool isKey(const QKeyEvent* event);

bool isOn();
// The reader's choice: every window switches, and the choice is remembered. A screen reader
// hears the mode («Ночной режим», «Дневной режим»).
void choose(bool on, PictureCache& pictures);
void toggle(PictureCache& pictures);

// Start-up, before any picture is read or window made: the reader's remembered choice, or
// day when there is none (the desktop's answer comes later, see followDesktop).
void startAtRemembered();
// The remembered choice; none when the reader never chose (or the file cannot be read).
std::optional<bool> remembered();

// Whether the program is dark: the reader's choice when there is one, else dark only when
// the desktop prefers dark (the portal's color-scheme 1; 0 is no preference, 2 prefers
// light; none when there is no session bus or no portal).
bool startsDark(std::optional<bool> chosen, std::optional<uint> desktopScheme);
// The colour scheme in a portal's answer: ReadOne gives the number in a variant, the older
// Read a variant in a variant; none for anything else.
std::optional<uint> schemeOf(const QVariant& answer);

// The desktop's preference has come (the portal's answer, or a change it signalled): the
// program follows it unless the reader has chosen, in this run or before.
void desktopAnswered(std::optional<uint> scheme, PictureCache& pictures);

// Asks the desktop without waiting for it (after the first paint): when its answer comes,
// and whenever the desktop's preference changes later, the program follows it unless the
// reader has chosen. No session bus, no portal or no answer in time: nothing changes.
void followDesktop(PictureCache& pictures);

} // namespace night
} // namespace core

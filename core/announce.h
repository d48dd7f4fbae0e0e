// SPDX-License-Identifier: GPL-3.0-or-later
// Saying something to a screen reader without moving the focus: the count of a search once
// typing pauses, a new zoom, night mode. Qt 6.4 has no announcement event of its own; what
// Orca 43 speaks unasked, wherever the focus is, is a notification that appears. So each
// message is a notification of the active window that shows itself once: nothing a mouse
// user sees or hears. A message, like an accessible name, says in words what a dash or a
// colon would make a screen reader read aloud.
#pragma once

#include <QStringList>

class QAccessibleInterface;
class QObject;

namespace core {

void announce(const QString& text);

// How long a reader's typing or answering pauses before a count is said: each key or
// click in between would cut the one before short.
inline constexpr int AnnouncePauseMs = 700;

// What was announced, oldest first (the last 20 kept): what tests read, and may empty.
QStringList& announced();

// The accessible interface of a message (the factory's, core/form.cpp), or null for any
// other object.
QAccessibleInterface* announcementAccessible(QObject* object);

} // namespace core

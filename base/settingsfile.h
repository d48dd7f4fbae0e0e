// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file, psograf.conf in the user's configuration folder: "key=value" lines
// under [General], which other lines (comments, groups, keys of other versions) may
// surround. The one place that reads and writes it.
//
// Storing a value edits the file as it is on disk at that moment, changing that one line
// and keeping every other byte, so two running copies keep each other's settings. It is
// written whole into a new file that then takes the old one's name, and only when the
// value changes. A file that cannot be read (not a regular file, too large, not text, no
// permission) or is read-only is never replaced. Nothing waits: two copies saving at once
// take turns over a lock on the folder that is given up within a few milliseconds, so a
// save that cannot have it fails. A save that fails is said once on standard error and
// the program goes on with the value in effect.
#pragma once

#include <QString>

namespace base::settings {

// The largest file this program reads as its settings: its own are a few lines long.
constexpr qint64 MaxBytes = 64 * 1024;

// The file's path; empty when there is no configuration folder (no home).
QString path();

// The value of key under [General]; a null string when the file or the key is missing or
// the file cannot be read.
QString value(const QString& key);

// Stores value under key; false when it could not be stored (said once).
bool store(const QString& key, const QString& value);

} // namespace base::settings

// SPDX-License-Identifier: GPL-3.0-or-later
// Where the user's own files go: the one place that follows the XDG base folders. An
// environment value that is not an absolute path is ignored; with no usable home at all
// there is no folder, and nothing is written.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace base {

// $XDG_CONFIG_HOME/psograf, else $HOME/.config/psograf; empty when neither is absolute.
QString userConfigDir();
// $XDG_DATA_HOME/psograf, else $HOME/.local/share/psograf; empty likewise.
QString userDataDir();

// One of the user's own files as it is on disk now. It is read only when it is a regular
// file of at most maxBytes holding UTF-8 text with no NUL byte; a missing file is readable
// and holds nothing.
struct UserFileNow {
    bool readable = false;
    bool exists = false;
    QByteArray bytes;
    QString problem; // why it is not readable, naming the file
};
// notText says what the file is not when it holds something else ("не текст настроек").
UserFileNow readUserFileNow(const QString& path, qint64 maxBytes, const QString& notText);

// What a file holds now, edited: its new bytes, or nothing when it is not a file of its kind
// (it is then left as it is).
using UserFileEdit = std::function<std::optional<QByteArray>(const QByteArray& now)>;

// Rewrites one of the user's files from what it holds at this moment, so that two running
// copies keep each other's changes. Under an exclusive lock on its folder, given up within a
// few milliseconds (so a save that cannot have it fails rather than waits), the file is read
// again, edited, and written whole into a new file that then takes the old one's name, only
// when the bytes change. A file that cannot be read, is not of its kind or is read-only is
// never replaced; a link's target is what is written. The problem, naming the file, when it
// could not be saved; empty when it was, or when nothing changed.
QString saveUserFile(const QString& path, qint64 maxBytes, const QString& notText,
                     const UserFileEdit& edit);

} // namespace base

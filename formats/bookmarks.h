// SPDX-License-Identifier: GPL-3.0-or-later
// The bookmarks file, bookmarks.txt in the user's data folder ($XDG_DATA_HOME/psograf): the
// reader's bookmarks in the order added, and the topics and breeds last read, newest first.
// UTF-8 text, one entry a line, its fields apart by a tab:
//
//   # Пёсограф: закладки и недавно прочитанные       the first line says what the file is
//   закладка  тема  Лечение собаки  Первая помощь     a topic: its section's title, its title
//   закладка  порода  Лайка                           a breed: its name
//   прочитано  тема  Физиология собаки  Зубы
//
// A tab or a backslash inside a name is written "\t" or "\\". Any other line (a comment, an
// entry of a later version) is kept as it is, where it is. Entries name topics and breeds by
// their words, so the file outlives edits of the content: an entry whose topic or breed has
// gone stays listed until the reader removes it.
//
// Every change reads the file again and edits what it holds at that moment, so two running
// copies keep each other's entries; it is written only when it changes, never over a file
// that could not be read or is not a bookmarks file (base/userfiles.h). What could not be
// read or kept is said once a run; a change that could not be kept is still shown for the
// rest of the run, and written with the next change that can be.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace bookmarks {

struct Entry {
    QString section; // the section's title as the reader shows it; empty for a breed
    QString title;   // the topic's title, or the breed's name
    bool isBreed() const { return section.isEmpty(); }
    friend bool operator==(const Entry&, const Entry&) = default;
};

enum class Group { Bookmarks, Recent };

struct Lists {
    QList<Entry> bookmarks; // in the order added, each once
    QList<Entry> recent;    // newest first, each once, at most MaxRecent
};

constexpr qsizetype MaxRecent = 20;
// The largest file read as bookmarks: thousands of entries.
constexpr qint64 MaxBytes = qint64(1) << 20;

// The format, on the file's bytes. Nothing (not a bookmarks file) unless the bytes are
// empty or begin with the first line.
std::optional<Lists> parse(const QByteArray& bytes);
// The bytes with the entry bookmarked (added at the end of the bookmarks) or not.
std::optional<QByteArray> withBookmark(const QByteArray& bytes, const Entry& entry, bool on);
// The bytes with the entry read last (first of the recent, once, the oldest beyond
// MaxRecent dropped).
std::optional<QByteArray> withRead(const QByteArray& bytes, const Entry& entry);
// The bytes without the entry in the group.
std::optional<QByteArray> without(const QByteArray& bytes, const Entry& entry, Group group);

// The file: its path (empty when there is no data folder, no home), what it holds now
// (nothing when it cannot be read), and the changes, each false when it could not be kept.
QString path();
Lists load();
bool isBookmarked(const Entry& entry);
bool setBookmarked(const Entry& entry, bool on);
bool noteRead(const Entry& entry);
bool remove(const Entry& entry, Group group);

// What could not be read or kept since last asked, each problem once a run.
QStringList takeProblems();

} // namespace bookmarks

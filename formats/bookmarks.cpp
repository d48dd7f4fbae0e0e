// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/bookmarks.h"

#include "base/failure.h"
#include "base/userfiles.h"

#include <QHash>
#include <QMutex>
#include <QSet>

namespace bookmarks {

namespace {

const QByteArray Header = QByteArrayLiteral("# Пёсограф: закладки и недавно прочитанные");
// What a later version's first line still begins with.
const QByteArray HeaderStart = QByteArrayLiteral("# Пёсограф: закладки");
const QByteArray Bom = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray BookmarkWord = QByteArrayLiteral("закладка");
const QByteArray RecentWord = QByteArrayLiteral("прочитано");
const QByteArray TopicWord = QByteArrayLiteral("тема");
const QByteArray BreedWord = QByteArrayLiteral("порода");
const QString NotBookmarks = QStringLiteral("не файл закладок");

QByteArray escaped(const QString& text) {
    QByteArray out;
    for (const char c : text.toUtf8()) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out;
}

QString unescaped(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 1 < field.size() &&
            (field[i + 1] == '\\' || field[i + 1] == 't')) {
            out += field[i + 1] == 't' ? '\t' : '\\';
            ++i;
        } else {
            out += field[i];
        }
    }
    return QString::fromUtf8(out);
}

struct Parsed {
    std::optional<Group> group; // none: a line kept as it is
    Entry entry;
};

Parsed parseLine(const QByteArray& line) {
    const QList<QByteArray> f = line.split('\t');
    Parsed p;
    if (f.size() < 3) return p;
    const std::optional<Group> group = f[0] == BookmarkWord ? std::optional(Group::Bookmarks)
                                       : f[0] == RecentWord ? std::optional(Group::Recent)
                                                            : std::nullopt;
    if (!group) return p;
    if (f[1] == TopicWord && f.size() == 4 && !f[2].isEmpty() && !f[3].isEmpty())
        p.entry = {unescaped(f[2]), unescaped(f[3])};
    else if (f[1] == BreedWord && f.size() == 3 && !f[2].isEmpty())
        p.entry = {QString(), unescaped(f[2])};
    else
        return p;
    p.group = group;
    return p;
}

QByteArray lineOf(Group group, const Entry& e) {
    const QByteArray word = group == Group::Bookmarks ? BookmarkWord : RecentWord;
    return e.isBreed()
               ? word + '\t' + BreedWord + '\t' + escaped(e.title)
               : word + '\t' + TopicWord + '\t' + escaped(e.section) + '\t' + escaped(e.title);
}

// The file's lines without their ends (CR LF or LF); the first is the header. Nothing when
// the bytes are not a bookmarks file.
std::optional<QList<QByteArray>> linesOf(const QByteArray& bytes) {
    QByteArray b = bytes.startsWith(Bom) ? bytes.mid(Bom.size()) : bytes;
    if (b.trimmed().isEmpty()) return QList<QByteArray>{Header};
    QList<QByteArray> lines = b.split('\n');
    if (b.endsWith('\n')) lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    if (!lines[0].startsWith(HeaderStart)) return std::nullopt;
    return lines;
}

QByteArray joined(const QList<QByteArray>& lines) {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + '\n';
    return out;
}

// Removes the group's lines naming the entry; where the first of them was, or -1.
qsizetype removeLines(QList<QByteArray>& lines, Group group, const Entry& entry) {
    qsizetype first = -1;
    for (qsizetype i = lines.size() - 1; i >= 1; --i) {
        const Parsed p = parseLine(lines[i]);
        if (p.group == group && p.entry == entry) {
            lines.removeAt(i);
            first = i;
        }
    }
    return first;
}

// Where the group's next line goes: a bookmark after the last bookmark, else before the
// recent; a recent entry (newest first) before the first of them, else at the end.
qsizetype placeFor(const QList<QByteArray>& lines, Group group) {
    qsizetype last = -1, firstRecent = -1;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const std::optional<Group> g = parseLine(lines[i]).group;
        if (g == Group::Recent && firstRecent < 0) firstRecent = i;
        if (g == Group::Bookmarks) last = i;
    }
    if (group == Group::Recent) return firstRecent >= 0 ? firstRecent : lines.size();
    return last >= 0 ? last + 1 : firstRecent >= 0 ? firstRecent : lines.size();
}

QSet<QString>& said() {
    static QSet<QString> set;
    return set;
}
QStringList& pending() {
    static QStringList list;
    return list;
}

void say(const QString& problem) {
    if (said().contains(problem)) return;
    said().insert(problem);
    pending().append(problem);
    base::noticeOnce(problem);
}

// The changes a file could not keep, by its path: this run still shows them, and the next
// save that succeeds writes them too. Each edit gives the same bytes when applied twice.
struct Unsaved {
    QMutex mutex;
    QHash<QString, QList<base::UserFileEdit>> edits;
};
Unsaved& unsaved() {
    static Unsaved u;
    return u;
}

std::optional<QByteArray> withUnsaved(const QList<base::UserFileEdit>& edits, QByteArray bytes) {
    for (const base::UserFileEdit& edit : edits) {
        std::optional<QByteArray> next = edit(bytes);
        if (!next) return std::nullopt;
        bytes = *next;
    }
    return bytes;
}

bool save(const base::UserFileEdit& edit) {
    const QString file = path();
    Unsaved& u = unsaved();
    QList<base::UserFileEdit> edits;
    {
        QMutexLocker lock(&u.mutex);
        edits = u.edits.value(file);
    }
    edits.append(edit);
    const QString problem =
        file.isEmpty()
            ? QStringLiteral("нет домашней папки (HOME)")
            : base::saveUserFile(file, MaxBytes, NotBookmarks,
                                 [&](const QByteArray& now) { return withUnsaved(edits, now); });
    QMutexLocker lock(&u.mutex);
    if (problem.isEmpty()) {
        u.edits.remove(file);
        return true;
    }
    u.edits[file].append(edit);
    lock.unlock();
    say(QStringLiteral("Закладки не сохранены: %1").arg(problem));
    return false;
}

} // namespace

std::optional<Lists> parse(const QByteArray& bytes) {
    const std::optional<QList<QByteArray>> lines = linesOf(bytes);
    if (!lines) return std::nullopt;
    Lists lists;
    for (qsizetype i = 1; i < lines->size(); ++i) {
        const Parsed p = parseLine(lines->at(i));
        if (!p.group) continue;
        QList<Entry>& list = *p.group == Group::Bookmarks ? lists.bookmarks : lists.recent;
        if (!list.contains(p.entry)) list.append(p.entry);
    }
    if (lists.recent.size() > MaxRecent) lists.recent.resize(MaxRecent);
    return lists;
}

std::optional<QByteArray> withBookmark(const QByteArray& bytes, const Entry& entry, bool on) {
    std::optional<QList<QByteArray>> lines = linesOf(bytes);
    if (!lines) return std::nullopt;
    if (!on) {
        removeLines(*lines, Group::Bookmarks, entry);
        return joined(*lines);
    }
    if (parse(bytes)->bookmarks.contains(entry)) return bytes; // kept where it was added
    lines->insert(placeFor(*lines, Group::Bookmarks), lineOf(Group::Bookmarks, entry));
    return joined(*lines);
}

std::optional<QByteArray> withRead(const QByteArray& bytes, const Entry& entry) {
    std::optional<QList<QByteArray>> lines = linesOf(bytes);
    if (!lines) return std::nullopt;
    if (const std::optional<Lists> now = parse(bytes); now->recent.value(0) == entry)
        return bytes; // already the last read: nothing to write
    removeLines(*lines, Group::Recent, entry);
    lines->insert(placeFor(*lines, Group::Recent), lineOf(Group::Recent, entry));
    // The oldest beyond the limit go; a line naming one already seen goes too.
    QList<Entry> seen;
    for (qsizetype i = 1; i < lines->size();) {
        const Parsed p = parseLine(lines->at(i));
        if (p.group != Group::Recent) {
            ++i;
        } else if (seen.size() >= MaxRecent || seen.contains(p.entry)) {
            lines->removeAt(i);
        } else {
            seen.append(p.entry);
            ++i;
        }
    }
    return joined(*lines);
}

std::optional<QByteArray> without(const QByteArray& bytes, const Entry& entry, Group group) {
    std::optional<QList<QByteArray>> lines = linesOf(bytes);
    if (!lines) return std::nullopt;
    if (removeLines(*lines, group, entry) < 0) return bytes;
    return joined(*lines);
}

QString path() {
    const QString dir = base::userDataDir();
    return dir.isEmpty() ? QString() : dir + QLatin1String("/bookmarks.txt");
}

Lists load() {
    const QString file = path();
    QList<base::UserFileEdit> edits;
    {
        QMutexLocker lock(&unsaved().mutex);
        edits = unsaved().edits.value(file);
    }
    base::UserFileNow now;
    if (!file.isEmpty()) now = base::readUserFileNow(file, MaxBytes, NotBookmarks);
    std::optional<Lists> lists = now.readable ? parse(now.bytes) : std::nullopt;
    if (!lists && !file.isEmpty())
        say(QStringLiteral("Закладки не прочитаны: %1")
                .arg(now.readable ? QStringLiteral("%1 %2").arg(file, NotBookmarks) : now.problem));
    if (edits.isEmpty()) return lists.value_or(Lists{});
    // What this run could not keep is shown over what the file holds, or over nothing.
    const std::optional<QByteArray> shown = withUnsaved(edits, lists ? now.bytes : QByteArray());
    return shown ? parse(*shown).value_or(Lists{}) : Lists{};
}

bool isBookmarked(const Entry& entry) {
    return load().bookmarks.contains(entry);
}

bool setBookmarked(const Entry& entry, bool on) {
    return save([entry, on](const QByteArray& now) { return withBookmark(now, entry, on); });
}

bool noteRead(const Entry& entry) {
    return save([entry](const QByteArray& now) { return withRead(now, entry); });
}

bool remove(const Entry& entry, Group group) {
    return save([entry, group](const QByteArray& now) { return without(now, entry, group); });
}

QStringList takeProblems() {
    return std::exchange(pending(), {});
}

} // namespace bookmarks

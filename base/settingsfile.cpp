// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/settingsfile.h"

#include "base/failure.h"
#include "base/text.h"
#include "base/userfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QStringDecoder>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace base::settings {

namespace {

// Another copy holds the lock only while it reads and writes a few lines.
constexpr int LockTries = 25;
constexpr int LockPauseMs = 2;

const QByteArray General = "General";

void say(const QString& problem) {
    noticeOnce(QStringLiteral("настройка не сохранена: %1").arg(problem));
}

struct Contents {
    bool readable = false;
    bool exists = false;
    QByteArray bytes;
    QString problem; // why it is not readable
};

bool isText(const QByteArray& bytes) {
    if (bytes.contains('\0')) return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(bytes);
    return !utf8.hasError();
}

// The file as it is now, read only when it is a regular file of a size this program
// writes and holds text.
Contents readNow(const QString& file) {
    Contents c;
    struct stat st = {};
    if (::stat(QFile::encodeName(file).constData(), &st) != 0) {
        c.readable = errno == ENOENT;
        c.exists = errno != ENOENT;
        c.problem = QStringLiteral("%1 не читается").arg(file);
        return c;
    }
    c.exists = true;
    if (!S_ISREG(st.st_mode)) {
        c.problem = QStringLiteral("%1 не обычный файл").arg(file);
        return c;
    }
    QByteArray bytes;
    try {
        bytes = readUserFile(file, MaxBytes);
    } catch (const RuntimeFailure& failure) {
        c.problem = failure.text;
        return c;
    }
    if (!isText(bytes)) {
        c.problem = QStringLiteral("%1 не текст настроек").arg(file);
        return c;
    }
    c.readable = true;
    c.bytes = bytes;
    return c;
}

struct Line {
    QByteArray text; // without its end
    QByteArray end;
};

QList<Line> linesOf(const QByteArray& bytes) {
    QList<Line> lines;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        qsizetype next = end;
        if (next < bytes.size() && bytes[next] == '\r') ++next;
        if (next < bytes.size() && bytes[next] == '\n') ++next;
        lines.append({bytes.mid(pos, end - pos), bytes.mid(end, next - end)});
        pos = next;
    }
    return lines;
}

// The group a line opens, or a null array.
QByteArray groupOf(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    return t.size() >= 2 && t.startsWith('[') && t.endsWith(']') ? t.mid(1, t.size() - 2).trimmed()
                                                                 : QByteArray();
}

// Whether the line sets key; its value then.
bool setsKey(const QByteArray& line, const QByteArray& key, QByteArray* value = nullptr) {
    const QByteArray t = line.trimmed();
    if (t.startsWith(';') || t.startsWith('#')) return false;
    const qsizetype eq = t.indexOf('=');
    if (eq < 0 || t.left(eq).trimmed() != key) return false;
    if (value) {
        QByteArray v = t.mid(eq + 1).trimmed();
        if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"')) v = v.mid(1, v.size() - 2);
        *value = v;
    }
    return true;
}

// Lines before any group belong to [General], as with every INI reader.
template <class F> void forGeneral(const QList<Line>& lines, F&& each) {
    bool inGeneral = true;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray group = groupOf(lines[i].text);
        if (!group.isNull())
            inGeneral = group == General;
        else if (inGeneral)
            each(i);
    }
}

QByteArray edited(const QByteArray& old, const QByteArray& key, const QByteArray& value) {
    QList<Line> lines = linesOf(old);
    const QByteArray newLine = key + '=' + value;
    const QByteArray end = old.contains("\r\n") ? "\r\n" : "\n";
    bool found = false;
    forGeneral(lines, [&](qsizetype i) {
        if (!found && setsKey(lines[i].text, key)) {
            lines[i].text = newLine;
            found = true;
        }
    });
    if (!found) {
        qsizetype header = -1;
        for (qsizetype i = 0; i < lines.size() && header < 0; ++i)
            if (groupOf(lines[i].text) == General) header = i;
        if (header < 0) {
            lines.prepend({newLine, end});
            lines.prepend({"[" + General + "]", end});
        } else {
            if (lines[header].end.isEmpty()) lines[header].end = end;
            lines.insert(header + 1, {newLine, end});
        }
    }
    QByteArray out;
    for (const Line& line : std::as_const(lines))
        out += line.text + line.end;
    return out;
}

// An exclusive lock on the settings folder for as long as it lives, taken without
// waiting for more than a few milliseconds (no file of its own that could be left behind).
class FolderLock {
public:
    explicit FolderLock(const QString& dir) {
        m_fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd < 0) return;
        for (int i = 0; i < LockTries; ++i) {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
                m_held = true;
                return;
            }
            if (errno != EWOULDBLOCK && errno != EINTR) return;
            QThread::msleep(LockPauseMs);
        }
    }
    ~FolderLock() {
        if (m_fd >= 0) ::close(m_fd); // gives up the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool held() const { return m_held; }

private:
    int m_fd = -1;
    bool m_held = false;
};

} // namespace

QString path() {
    const QString dir = userConfigDir();
    return dir.isEmpty() ? QString() : dir + QLatin1String("/psograf.conf");
}

QString value(const QString& key) {
    const QString file = path();
    if (file.isEmpty()) return {};
    const Contents c = readNow(file);
    if (!c.readable) return {};
    const QList<Line> lines = linesOf(c.bytes);
    const QByteArray k = key.toUtf8();
    QString found;
    forGeneral(lines, [&](qsizetype i) {
        QByteArray v;
        if (found.isNull() && setsKey(lines[i].text, k, &v)) found = QString::fromUtf8(v);
    });
    return found;
}

bool store(const QString& key, const QString& value) {
    const QString file = path();
    if (file.isEmpty()) {
        say(QStringLiteral("нет домашней папки (HOME)"));
        return false;
    }
    const QString dir = QFileInfo(file).path();
    if (!QDir().mkpath(dir)) {
        say(QStringLiteral("не создаётся папка %1").arg(dir));
        return false;
    }
    const FolderLock lock(dir);
    if (!lock.held()) {
        say(QStringLiteral("папка %1 занята").arg(dir));
        return false;
    }
    // Read again under the lock: what another copy saved meanwhile is kept.
    const Contents now = readNow(file);
    if (!now.readable) {
        say(now.problem);
        return false;
    }
    // A link to the file is kept: its target is what is written.
    const QString target = now.exists ? QFileInfo(file).canonicalFilePath() : file;
    if (now.exists) {
        struct stat st = {};
        if (::stat(QFile::encodeName(target).constData(), &st) != 0 || !(st.st_mode & S_IWUSR) ||
            ::access(QFile::encodeName(target).constData(), W_OK) != 0) {
            say(QStringLiteral("%1 только для чтения").arg(file));
            return false;
        }
    }
    const QByteArray bytes = edited(now.bytes, key.toUtf8(), value.toUtf8());
    if (now.exists && bytes == now.bytes) return true;
    QSaveFile out(target);
    // The flush is checked here: commit() alone renames a file cut short by a full disk.
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush() ||
        !out.commit()) {
        say(QStringLiteral("%1 не записан (%2)").arg(file, out.errorString()));
        return false;
    }
    return true;
}

} // namespace base::settings

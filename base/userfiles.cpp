// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/userfiles.h"

#include "base/failure.h"
#include "base/text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace base {

namespace {

// An absolute path from the environment, cleaned, or empty.
QString absoluteFrom(const char* variable) {
    const QString value = QFile::decodeName(qgetenv(variable));
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
}

QString userDir(const char* variable, const QString& underHome) {
    QString base = absoluteFrom(variable);
    if (base.isEmpty()) {
        const QString home = absoluteFrom("HOME");
        if (home.isEmpty()) return {};
        base = (home == QLatin1String("/") ? QString() : home) + underHome;
    }
    return (base.endsWith('/') ? base : base + '/') + QLatin1String("psograf");
}

// Another copy holds the lock only while it reads and writes a small file.
constexpr int LockTries = 25;
constexpr int LockPauseMs = 2;

bool isText(const QByteArray& bytes) {
    if (bytes.contains('\0')) return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(bytes);
    return !utf8.hasError();
}

// An exclusive lock on a folder for as long as it lives, taken without waiting for more
// than a few milliseconds (no file of its own that could be left behind).
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

QString userConfigDir() {
    return userDir("XDG_CONFIG_HOME", QStringLiteral("/.config"));
}

QString userDataDir() {
    return userDir("XDG_DATA_HOME", QStringLiteral("/.local/share"));
}

UserFileNow readUserFileNow(const QString& file, qint64 maxBytes, const QString& notText) {
    UserFileNow c;
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
        bytes = readUserFile(file, maxBytes);
    } catch (const RuntimeFailure& failure) {
        c.problem = failure.text;
        return c;
    }
    if (!isText(bytes)) {
        c.problem = QStringLiteral("%1 %2").arg(file, notText);
        return c;
    }
    c.readable = true;
    c.bytes = bytes;
    return c;
}

QString saveUserFile(const QString& file, qint64 maxBytes, const QString& notText,
                     const UserFileEdit& edit) {
    const QString dir = QFileInfo(file).path();
    if (!QDir().mkpath(dir)) return QStringLiteral("не создаётся папка %1").arg(dir);
    const FolderLock lock(dir);
    if (!lock.held()) return QStringLiteral("папка %1 занята").arg(dir);
    // Read again under the lock: what another copy saved meanwhile is kept.
    const UserFileNow now = readUserFileNow(file, maxBytes, notText);
    if (!now.readable) return now.problem;
    // A link to the file is kept: its target is what is written.
    const QString target = now.exists ? QFileInfo(file).canonicalFilePath() : file;
    if (now.exists) {
        struct stat st = {};
        if (::stat(QFile::encodeName(target).constData(), &st) != 0 || !(st.st_mode & S_IWUSR) ||
            ::access(QFile::encodeName(target).constData(), W_OK) != 0)
            return QStringLiteral("%1 только для чтения").arg(file);
    }
    const std::optional<QByteArray> bytes = edit(now.bytes);
    if (!bytes) return QStringLiteral("%1 %2").arg(file, notText);
    if (now.exists && *bytes == now.bytes) return {};
    QSaveFile out(target);
    // The flush is checked here: commit() alone renames a file cut short by a full disk.
    if (!out.open(QIODevice::WriteOnly) || out.write(*bytes) != bytes->size() || !out.flush() ||
        !out.commit())
        return QStringLiteral("%1 не записан (%2)").arg(file, out.errorString());
    return {};
}

} // namespace base

// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/text.h"

#include "base/contentpath.h"
#include "base/failure.h"

#include <QFile>
#include <QStringDecoder>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>

namespace base {

QString decodeCp1251(QByteArrayView bytes) {
    // ICU knows this code page; Qt's built-in table does not. Every byte is one character,
    // so ICU fills a table of the 256 once and the table decodes (ten times as fast).
    static const std::optional<std::array<char16_t, 256>> table = []() {
        std::optional<std::array<char16_t, 256>> bytesDecoded;
        QStringDecoder decoder("windows-1251");
        QByteArray every(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            every[i] = char(i);
        const QString decoded = decoder.decode(every);
        if (decoder.isValid() && decoded.size() == 256) {
            bytesDecoded.emplace();
            std::copy(decoded.utf16(), decoded.utf16() + 256, bytesDecoded->begin());
        }
        return bytesDecoded;
    }();
    // A Qt built without ICU has no such decoder and would give empty text without a word.
    if (!table)
        fail(ErrPathAccess, QStringLiteral("Кодировка Windows-1251 недоступна: Qt собран без ICU"));
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char byte : bytes)
        *out++ = (*table)[uchar(byte)];
    return text;
}

bool decodesTo(QByteArrayView bytes, QStringView text) {
    if (bytes.size() != text.size()) return false; // a byte is one character
    constexpr qsizetype Piece = 1 << 16;
    for (qsizetype at = 0; at < bytes.size(); at += Piece) {
        const qsizetype n = std::min(Piece, bytes.size() - at);
        if (decodeCp1251(bytes.sliced(at, n)) != text.sliced(at, n)) return false;
    }
    return true;
}

QByteArray readContentFile(const QString& contentPath, qint64 maxBytes) {
    return ContentFileReader(contentPath).readAll(maxBytes);
}

QByteArray readUserFile(const QString& path, qint64 maxBytes) {
    return ContentFileReader(path, ContentFileReader::Named::ByPath).readAll(maxBytes);
}

void failTooLarge(const QString& contentPath) {
    fail(ErrPathAccess, QStringLiteral("Файл слишком велик: %1").arg(contentPath));
}

ContentFileReader::ContentFileReader(const QString& contentPath)
    : ContentFileReader(contentPath, Named::AsContent) {}

ContentFileReader::ContentFileReader(const QString& name, Named named)
    : m_contentPath(name),
      m_file(std::make_unique<QFile>(named == Named::AsContent ? realPath(name) : name)) {
    const QString path = m_file->fileName();
    const auto noAccess = [&] {
        fail(ErrPathAccess, QStringLiteral("Нет доступа к файлу: %1").arg(m_contentPath));
    };
    const auto notFound = [&] {
        fail(ErrFileNotFound, QStringLiteral("Файл не найден: %1").arg(m_contentPath));
    };
    if (path.contains(QChar(0))) notFound();
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        // A folder on the way that may not be entered hides a file that may be there.
        if (errno == EACCES) noAccess();
        notFound();
    }
    if (!S_ISREG(st.st_mode)) notFound();
    // Unbuffered: pieces are large, and a read at an offset should not fetch more.
    if (!m_file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) noAccess();
}

ContentFileReader::~ContentFileReader() = default;

QByteArray ContentFileReader::read(qsizetype maxBytes) {
    QByteArray bytes = m_file->read(maxBytes);
    checkRead();
    return bytes;
}

QByteArray ContentFileReader::readAt(qint64 offset, qsizetype maxBytes) {
    if (!m_file->seek(offset))
        fail(ErrPathAccess, QStringLiteral("Ошибка чтения файла: %1").arg(m_contentPath));
    return read(maxBytes);
}

QByteArray ContentFileReader::readAll(qint64 maxBytes) {
    // Room for what the file holds now and a byte more, which shows whether it has grown
    // since; one that has is read on, up to the bound.
    QByteArray bytes(qsizetype(std::clamp<qint64>(m_file->size() - m_file->pos(), 0, maxBytes) + 1),
                     Qt::Uninitialized);
    qint64 filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > maxBytes) failTooLarge(m_contentPath);
            bytes.resize(qsizetype(std::min(2 * filled, maxBytes + 1)));
        }
        const qint64 got = m_file->read(bytes.data() + filled, bytes.size() - filled);
        checkRead();
        if (got <= 0) break;
        filled += got;
    }
    bytes.resize(qsizetype(filled));
    return bytes;
}

namespace {
FileStamp stampFrom(const struct stat& st) {
    return FileStamp{qint64(st.st_size),
                     qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                     qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec,
                     quint64(st.st_dev), quint64(st.st_ino)};
}
} // namespace

std::optional<FileStamp> stampOf(const QString& contentPath) {
    const QByteArray path = realPath(contentPath).toLocal8Bit();
    struct stat st;
    if (path.contains('\0') || ::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return stampFrom(st);
}

FileStamp ContentFileReader::stamp() const {
    struct stat st;
    if (::fstat(m_file->handle(), &st) != 0)
        fail(ErrPathAccess, QStringLiteral("Ошибка чтения файла: %1").arg(m_contentPath));
    return stampFrom(st);
}

void ContentFileReader::checkRead() {
    if (m_file->error() != QFileDevice::NoError)
        fail(ErrPathAccess, QStringLiteral("Ошибка чтения файла: %1").arg(m_contentPath));
}

} // namespace base

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text.h"

#include "core/contentpath.h"
#include "core/failure.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace core {

QString decodeCp1251(QByteArrayView bytes) {
    // ICU knows this code page; Qt's built-in table does not. Opening the converter costs
    // more than decoding a paragraph, so each thread keeps one (the code page has no state
    // between calls).
    thread_local QStringDecoder decoder("windows-1251");
    // A Qt built without ICU has no such decoder and would give empty text without a word.
    if (!decoder.isValid())
        fail(ErrPathAccess, QStringLiteral("Кодировка Windows-1251 недоступна: Qt собран без ICU"));
    decoder.resetState();
    return decoder.decode(bytes);
}

QByteArray readContentFile(const QString& contentPath) {
    return ContentFileReader(contentPath).readAll();
}

ContentFileReader::ContentFileReader(const QString& contentPath)
    : m_contentPath(contentPath), m_file(std::make_unique<QFile>(realPath(contentPath))) {
    const QString path = m_file->fileName();
    if (path.contains(QChar(0)) || !QFileInfo(path).isFile())
        fail(ErrFileNotFound, QStringLiteral("Файл не найден: %1").arg(contentPath));
    // Unbuffered: pieces are large, and a read at an offset should not fetch more.
    if (!m_file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        fail(ErrPathAccess, QStringLiteral("Нет доступа к файлу: %1").arg(contentPath));
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

QByteArray ContentFileReader::readAll() {
    QByteArray bytes = m_file->readAll();
    checkRead();
    return bytes;
}

void ContentFileReader::checkRead() {
    if (m_file->error() != QFileDevice::NoError)
        fail(ErrPathAccess, QStringLiteral("Ошибка чтения файла: %1").arg(m_contentPath));
}

} // namespace core

// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/catalogfile.h"

#include "core/contentfiles.h"
#include "core/text.h"

namespace catalogue {

namespace {
bool isLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}

} // namespace

void FieldReader::consumeLineEnd() {
    m_pos += core::lineEndLength(m_text, m_pos);
    ++m_line;
}

std::optional<QString> FieldReader::readField() {
    while (m_pos < m_text.size() && m_text[m_pos] == u' ')
        ++m_pos;
    if (atEnd()) return std::nullopt;

    QString value;
    qsizetype end = m_pos;
    if (m_text[m_pos] == u'"') {
        const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
        const qsizetype stop = close < 0 ? m_text.size() : close;
        value = m_text.mid(m_pos + 1, stop - m_pos - 1).toString();
        m_line += core::countLineEnds(value);
        end = close < 0 ? m_text.size() : close + 1;
        while (end < m_text.size() && m_text[end] != u',' && !isLineEnd(m_text[end]))
            ++end;
    } else {
        while (end < m_text.size() && m_text[end] != u',' && !isLineEnd(m_text[end]))
            ++end;
        QStringView raw = m_text.mid(m_pos, end - m_pos);
        while (raw.endsWith(u' '))
            raw.chop(1);
        value = raw.toString();
    }
    m_pos = end;
    if (m_pos < m_text.size()) {
        if (m_text[m_pos] == u',')
            ++m_pos;
        else
            consumeLineEnd();
    }
    return value;
}

std::optional<Record> FieldReader::readRecord() {
    auto name = readField();
    if (!name) return std::nullopt;
    auto description = readField();
    if (!description) return std::nullopt;
    auto photo = readField();
    if (!photo) return std::nullopt;
    return Record{std::move(*name), std::move(*description), std::move(*photo)};
}

QList<Record> parseRecords(QStringView text) {
    QList<Record> records;
    FieldReader reader(text);
    while (!reader.atEnd()) {
        auto record = reader.readRecord();
        if (!record) break;
        records.append(std::move(*record));
    }
    return records;
}

std::optional<QString> photoPath(const QString& photoFile) {
    if (photoFile.size() < 3) return std::nullopt;
    return core::content::PhotoFolder + photoFile.left(photoFile.size() - 3) +
           QStringLiteral("jpg");
}

QString readCatalogueFile(const QString& contentPath) {
    return core::decodeCp1251(core::readContentFile(contentPath));
}

} // namespace catalogue

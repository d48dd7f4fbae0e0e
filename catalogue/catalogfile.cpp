// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/catalogfile.h"

#include "core/contentfiles.h"
#include "core/text.h"

namespace catalogue {

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

namespace {
using ByteReader = BasicFieldReader<QByteArrayView>;

struct RawRecord {
    QByteArrayView name, description, photoFile;
};

std::optional<RawRecord> readRawRecord(ByteReader& reader) {
    RawRecord r;
    for (QByteArrayView* field : {&r.name, &r.description, &r.photoFile}) {
        const auto value = reader.readFieldView();
        if (!value) return std::nullopt;
        *field = *value;
    }
    return r;
}

// Every name decoded on its own: the slow way, for text that would not split.
QStringList parseRecordNames(QByteArrayView bytes) {
    QStringList names;
    for (const Record& r : parseRecords(core::decodeCp1251(bytes)))
        names.append(r.name);
    return names;
}

Record decoded(const RawRecord& r) {
    return {core::decodeCp1251(r.name), core::decodeCp1251(r.description),
            core::decodeCp1251(r.photoFile)};
}
} // namespace

NameScan scanNames(QByteArrayView bytes) {
    NameScan scan;
    ByteReader reader(bytes);
    // The names are decoded in one go: a byte is one character, so the decoded text
    // splits where the bytes did.
    QByteArray joined;
    QList<qsizetype> lengths;
    while (!reader.atEnd()) {
        const std::optional<RawRecord> r = readRawRecord(reader);
        if (!r) break;
        if (!scan.first) scan.first = decoded(*r);
        joined.append(r->name);
        lengths.append(r->name.size());
    }
    const QString names = core::decodeCp1251(joined);
    if (names.size() != joined.size()) return {parseRecordNames(bytes), scan.first};
    scan.names.reserve(lengths.size());
    qsizetype at = 0;
    for (const qsizetype length : lengths) {
        scan.names.append(names.sliced(at, length));
        at += length;
    }
    return scan;
}

QList<Record> recordsNamed(QByteArrayView bytes, const QString& name) {
    QList<Record> found;
    ByteReader reader(bytes);
    while (!reader.atEnd()) {
        const std::optional<RawRecord> r = readRawRecord(reader);
        if (!r) break;
        // Cheap test first: a byte is one character, so a name of another length
        // cannot be equal.
        if (r->name.size() == name.size() && core::decodeCp1251(r->name) == name)
            found.append(decoded(*r));
    }
    return found;
}

} // namespace catalogue

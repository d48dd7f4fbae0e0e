// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/catalogfile.h"

#include "core/contentfiles.h"
#include "core/text.h"

#include <algorithm>

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

Record decoded(const RawRecord& r) {
    return {core::decodeCp1251(r.name), core::decodeCp1251(r.description),
            core::decodeCp1251(r.photoFile)};
}
} // namespace

namespace {
// Every complete record, the bytes coming a piece at a time; each record's views hold
// only during the call.
template <class Each> void forEachRecord(const PieceReader& nextPiece, Each each) {
    QByteArray unread;   // from the start of the first record not read yet
    qint64 unreadAt = 0; // where unread begins in the file
    for (bool atEnd = false; !atEnd;) {
        const QByteArray piece = nextPiece();
        atEnd = piece.isEmpty();
        unread.append(piece);
        ByteReader reader(unread);
        qsizetype done = 0;
        while (!reader.atEnd()) {
            const std::optional<RawRecord> r = readRawRecord(reader);
            // A record that reaches the end of what has come may read otherwise once more
            // comes (a field or a CR LF cut in two): it is read again with the next piece.
            if (!atEnd && (!r || reader.position() >= unread.size())) break;
            if (!r) return; // an incomplete record at the end is left out
            each(*r, unreadAt + (r->description.data() - unread.constData()));
            done = reader.position();
        }
        unread.remove(0, done);
        unreadAt += done;
    }
}

PieceReader piecesOf(QByteArrayView bytes, qsizetype pieceSize) {
    return [bytes, pieceSize, at = qsizetype(0)]() mutable {
        const QByteArrayView piece = bytes.sliced(at, std::min(pieceSize, bytes.size() - at));
        at += piece.size();
        return piece.toByteArray();
    };
}

// Names gathered as bytes, decoded a batch at a time: a byte is one character, so the
// decoded text splits where the bytes did.
class NameList {
public:
    explicit NameList(QStringList& names) : m_names(names) {}
    void add(QByteArrayView name) {
        m_joined.append(name);
        m_lengths.append(name.size());
        if (m_joined.size() >= ScanPieceSize) decode();
    }
    void decode() {
        const QString decoded = core::decodeCp1251(m_joined);
        qsizetype at = 0;
        for (const qsizetype length : std::as_const(m_lengths)) {
            // Text that would not split (never in Windows-1251) is decoded name by name.
            m_names.append(decoded.size() == m_joined.size()
                               ? decoded.sliced(at, length)
                               : core::decodeCp1251(QByteArrayView(m_joined).sliced(at, length)));
            at += length;
        }
        m_joined.clear();
        m_lengths.clear();
    }

private:
    QStringList& m_names;
    QByteArray m_joined;
    QList<qsizetype> m_lengths;
};
} // namespace

NameScan scanNames(const PieceReader& nextPiece) {
    NameScan scan;
    NameList names(scan.names);
    forEachRecord(nextPiece, [&](const RawRecord& r, qint64) {
        if (!scan.first) scan.first = decoded(r);
        names.add(r.name);
    });
    names.decode();
    return scan;
}

NameScan scanNames(QByteArrayView bytes, qsizetype pieceSize) {
    return scanNames(piecesOf(bytes, pieceSize));
}

QList<Record> recordsNamed(const PieceReader& nextPiece, const QString& name) {
    QList<Record> found;
    forEachRecord(nextPiece, [&](const RawRecord& r, qint64) {
        // Cheap test first: a byte is one character, so a name of another length
        // cannot be equal.
        if (r.name.size() == name.size() && core::decodeCp1251(r.name) == name)
            found.append(decoded(r));
    });
    return found;
}

void forEachRecordBytes(const PieceReader& nextPiece,
                        const std::function<void(const RecordBytes&)>& each) {
    forEachRecord(nextPiece, [&](const RawRecord& r, qint64 descriptionOffset) {
        each({r.name, r.description, r.photoFile, descriptionOffset});
    });
}

QList<Record> recordsNamed(QByteArrayView bytes, const QString& name, qsizetype pieceSize) {
    return recordsNamed(piecesOf(bytes, pieceSize), name);
}

} // namespace catalogue

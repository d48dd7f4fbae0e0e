// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/catalogfile.h"

#include "base/contentfiles.h"
#include "base/text.h"

#include <algorithm>
#include <utility>

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
    return base::content::PhotoFolder + photoFile.left(photoFile.size() - 3) +
           QStringLiteral("jpg");
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
    return {base::decodeCp1251(r.name), base::decodeCp1251(r.description),
            base::decodeCp1251(r.photoFile)};
}
} // namespace

namespace {
// Every complete record, with where it and its description start in the bytes, the bytes
// coming a piece at a time, until each() returns false; each record's views hold only
// during the call.
template <class Each> void forEachRecord(const PieceReader& nextPiece, Each each) {
    QByteArray unread;    // from the start of the first record not read yet
    qint64 unreadAt = 0;  // where that record starts
    qsizetype readAt = 0; // how much must have come before a record still open is read again
    for (bool atEnd = false; !atEnd;) {
        const QByteArray piece = nextPiece();
        atEnd = piece.isEmpty();
        unread.append(piece);
        // A record still open is read again from its start only once what has come of it
        // has doubled, so that reading stays linear in the record's length however long.
        if (!atEnd && unread.size() < readAt) continue;
        if (unread.size() > base::MaxTextBytes) base::failTooLarge(base::content::Catalogue);
        ByteReader reader(unread);
        qsizetype done = 0;
        while (!reader.atEnd()) {
            const qsizetype start = reader.position();
            const std::optional<RawRecord> r = readRawRecord(reader);
            // A record that reaches the end of what has come may read otherwise once more
            // comes (a field or a CR LF cut in two): it is read again with the next piece.
            if (!atEnd && (!r || reader.position() >= unread.size())) break;
            if (!r) return; // an incomplete record at the end is left out
            const qint64 description = r->description.data() - unread.constData();
            if (!each(*r, unreadAt + start, unreadAt + description)) return;
            done = reader.position();
        }
        unread.remove(0, done);
        unreadAt += done;
        readAt = 2 * unread.size();
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
    void add(const QString& decodedName) {
        decode();
        m_names.append(decodedName);
    }
    void decode() {
        const QString decoded = base::decodeCp1251(m_joined);
        qsizetype at = 0;
        for (const qsizetype length : std::as_const(m_lengths)) {
            // Text that would not split (never in Windows-1251) is decoded name by name.
            m_names.append(decoded.size() == m_joined.size()
                               ? decoded.sliced(at, length)
                               : base::decodeCp1251(QByteArrayView(m_joined).sliced(at, length)));
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
    forEachRecord(nextPiece, [&](const RawRecord& r, qint64 at, qint64) {
        if (!scan.first) {
            scan.first = decoded(r);
            names.add(scan.first->name);
        } else {
            names.add(r.name);
        }
        scan.offsets.append(at);
        return true;
    });
    names.decode();
    return scan;
}

NameScan scanNames(QByteArrayView bytes, qsizetype pieceSize) {
    return scanNames(piecesOf(bytes, pieceSize));
}

QList<Record> recordsNamed(const PieceReader& nextPiece, const QString& name) {
    QList<Record> found;
    forEachRecord(nextPiece, [&](const RawRecord& r, qint64, qint64) {
        // Cheap test first: a byte is one character, so a name of another length
        // cannot be equal.
        if (r.name.size() == name.size() && base::decodeCp1251(r.name) == name)
            found.append(decoded(r));
        return true;
    });
    return found;
}

void forEachRecordBytes(const PieceReader& nextPiece,
                        const std::function<void(const RecordBytes&)>& each) {
    forEachRecord(nextPiece, [&](const RawRecord& r, qint64, qint64 descriptionOffset) {
        each({r.name, r.description, r.photoFile, descriptionOffset});
        return true;
    });
}

QList<Record> recordsNamed(QByteArrayView bytes, const QString& name, qsizetype pieceSize) {
    return recordsNamed(piecesOf(bytes, pieceSize), name);
}

std::optional<Record> firstRecord(const PieceReader& nextPiece) {
    std::optional<Record> first;
    forEachRecord(nextPiece, [&](const RawRecord& r, qint64, qint64) {
        first = decoded(r);
        return false;
    });
    return first;
}

NameScan scanFile(const QString& contentPath) {
    base::ContentFileReader file(contentPath);
    // Taken before reading: a file changed meanwhile differs from it at the next choice.
    const base::FileStamp stamp = file.stamp();
    NameScan scan = scanNames([&file] { return file.read(ScanPieceSize); });
    scan.stamp = stamp;
    return scan;
}

void BreedIndex::adopt(const NameScan& scan) {
    m_stamp = scan.stamp;
    m_names = scan.names;
    m_offsets = scan.offsets;
    m_last.clear();
}

std::optional<qint64> BreedIndex::placeOf(const QString& name) {
    if (m_last.isEmpty())
        for (qsizetype i = 0; i < m_names.size(); ++i)
            m_last.insert(m_names[i], m_offsets[i]); // a later record of the name wins
    const auto found = m_last.constFind(name);
    return found == m_last.constEnd() ? std::nullopt : std::optional<qint64>(*found);
}

namespace {
// The file from offset on, a piece of this size at a time.
PieceReader piecesFrom(base::ContentFileReader& file, qint64 offset, qsizetype size) {
    return [&file, offset, size, first = true]() mutable {
        return std::exchange(first, false) ? file.readAt(offset, size) : file.read(size);
    };
}
} // namespace

void BreedIndex::rescanIfChanged(base::ContentFileReader& file) {
    const base::FileStamp stamp = file.stamp();
    if (stamp == m_stamp) return;
    NameScan scan = scanNames(piecesFrom(file, 0, ScanPieceSize));
    scan.stamp = stamp;
    adopt(scan);
}

std::optional<Record> BreedIndex::recordAt(int number, const QString& name) {
    {
        base::ContentFileReader file(m_path);
        rescanIfChanged(file);
        if (number >= 0 && number < m_names.size() && m_names[number] == name) {
            const std::optional<Record> record =
                firstRecord(piecesFrom(file, m_offsets[number], qsizetype(64) << 10));
            if (record && record->name == name) return record;
        }
    }
    return recordNamed(name);
}

std::optional<Record> BreedIndex::recordNamed(const QString& name) {
    base::ContentFileReader file(m_path);
    const auto from = [&file](qint64 offset, qsizetype size) {
        return piecesFrom(file, offset, size);
    };
    rescanIfChanged(file);
    const std::optional<qint64> place = placeOf(name);
    if (!place) return std::nullopt;
    // A record is a kilobyte or so: read a little, more only for a longer one.
    std::optional<Record> record = firstRecord(from(*place, qsizetype(64) << 10));
    if (record && record->name == name) return record;
    // The file was changed without its stamp showing it: look the name up the whole way,
    // and scan it again at the next choice.
    m_stamp = {};
    const QList<Record> found = recordsNamed(from(0, ScanPieceSize), name);
    return found.isEmpty() ? std::nullopt : std::optional<Record>(found.last());
}

} // namespace catalogue

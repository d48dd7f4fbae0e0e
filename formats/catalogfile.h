// SPDX-License-Identifier: GPL-3.0-or-later
// The breed catalogue: records of three comma-separated fields (name, description, photo
// file name), normally one quoted record per line, Windows-1251.
//
// Fields are read sequentially and are not bound to lines: spaces before a field are
// skipped; a quoted field runs to the next quote and whatever follows it up to the comma
// or line end is dropped; an unquoted field runs to the comma or line end, without its
// trailing spaces. CR LF, CR and LF each end a line, and a blank line is one empty field.
#pragma once

#include "base/text.h"

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace catalogue {

struct Record {
    QString name;
    QString description;
    QString photoFile;
};

// Reads fields from decoded text, or from the file's bytes (one byte is one character in
// Windows-1251, and every character that shapes a record is ASCII, so both read alike).
template <class View> class BasicFieldReader {
public:
    explicit BasicFieldReader(View text) : m_text(text) {}
    bool atEnd() const { return m_pos >= m_text.size(); }
    // Where the next field begins (or the text ends).
    qsizetype position() const { return m_pos; }
    // The next field as it stands in the text, or nothing when the text ends before it.
    std::optional<View> readFieldView();
    // The line (from 1) the reader stands on.
    int line() const { return m_line; }

private:
    template <class Char> static bool isLineEnd(Char c) { return c == '\r' || c == '\n'; }
    void consumeLineEnd() {
        m_pos += base::lineEndLength(m_text, m_pos);
        ++m_line;
    }
    View m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
};

class FieldReader : public BasicFieldReader<QStringView> {
public:
    using BasicFieldReader::BasicFieldReader;
    // The next field, or nothing when the text ends before it starts.
    std::optional<QString> readField() {
        const auto field = readFieldView();
        return field ? std::optional<QString>(field->toString()) : std::nullopt;
    }
    // Three fields, or nothing when the text ends inside the record.
    std::optional<Record> readRecord();
};

template <class View> std::optional<View> BasicFieldReader<View>::readFieldView() {
    while (m_pos < m_text.size() && m_text[m_pos] == ' ')
        ++m_pos;
    if (atEnd()) return std::nullopt;

    View value;
    qsizetype end = m_pos;
    if (m_text[m_pos] == '"') {
        const qsizetype close = m_text.indexOf('"', m_pos + 1);
        const qsizetype stop = close < 0 ? m_text.size() : close;
        value = m_text.sliced(m_pos + 1, stop - m_pos - 1);
        m_line += base::countLineEnds(value);
        end = close < 0 ? m_text.size() : close + 1;
        while (end < m_text.size() && m_text[end] != ',' && !isLineEnd(m_text[end]))
            ++end;
    } else {
        while (end < m_text.size() && m_text[end] != ',' && !isLineEnd(m_text[end]))
            ++end;
        value = m_text.sliced(m_pos, end - m_pos);
        while (value.endsWith(' '))
            value.chop(1);
    }
    m_pos = end;
    if (m_pos < m_text.size()) {
        if (m_text[m_pos] == ',')
            ++m_pos;
        else
            consumeLineEnd();
    }
    return value;
}

// Every complete record in file order; an incomplete record at the end is left out.
QList<Record> parseRecords(QStringView text);

// "dog\" + the file name with its three-character extension replaced by "jpg"; nothing
// for a name too short to have one.
std::optional<QString> photoPath(const QString& photoFile);

// The same reading of the records, straight from the file's bytes, decoding only what is
// asked for: a large catalogue lists its names without decoding every description. The
// bytes come a piece at a time (the next bytes of the file, empty at its end), so a large
// catalogue needs no copy of the whole file in memory; bytes already in memory are
// handed on in pieces of pieceSize.
using PieceReader = std::function<QByteArray()>;
// How much of the file a reading holds at a time (and a record more).
constexpr qsizetype ScanPieceSize = 1 << 20;

struct NameScan {
    QStringList names;           // of every complete record, in file order
    std::optional<Record> first; // the first complete record, whole
    QList<qint64> offsets;       // where each of those records starts in the bytes
    base::FileStamp stamp;       // of the file, when it was read from one
};
NameScan scanNames(const PieceReader& nextPiece);
NameScan scanNames(QByteArrayView bytes, qsizetype pieceSize = ScanPieceSize);
// Every complete record's fields as they stand in the file's bytes, in file order, the
// bytes coming a piece at a time; the views hold only during the call.
struct RecordBytes {
    QByteArrayView name, description, photoFile;
    qint64 descriptionOffset; // where the description stands in the file
};
void forEachRecordBytes(const PieceReader& nextPiece,
                        const std::function<void(const RecordBytes&)>& each);
// Every complete record with this name, in file order.
QList<Record> recordsNamed(const PieceReader& nextPiece, const QString& name);
QList<Record> recordsNamed(QByteArrayView bytes, const QString& name,
                           qsizetype pieceSize = ScanPieceSize);
// The first complete record, for bytes read from where a record starts.
std::optional<Record> firstRecord(const PieceReader& nextPiece);

// Scans the catalogue file as the program names it ("text\FOLDOG.ssu"), a piece at a time.
NameScan scanFile(const QString& contentPath);

// A breed chosen in the list is read from where its record starts in the catalogue file
// rather than looked for from the start. The places a scan of the file found serve for as
// long as the file keeps the size and modification time it had then; a file changed since
// is scanned again first, so an edit shows at the next choice all the same.
class BreedIndex {
public:
    explicit BreedIndex(const QString& contentPath) : m_path(contentPath) {}
    // The places found by a scan of the file.
    void adopt(const NameScan& scan);
    // The last record with this name, as the file holds it now; none when it holds none.
    // Reading fails as readContentFile() does.
    std::optional<Record> recordNamed(const QString& name);
    // The record of this number (from 0, in file order) while it still has this name;
    // else the last record with the name, as recordNamed() gives it.
    std::optional<Record> recordAt(int number, const QString& name);

private:
    void rescanIfChanged(base::ContentFileReader& file);
    std::optional<qint64> placeOf(const QString& name);
    QString m_path;
    base::FileStamp m_stamp;
    QStringList m_names;
    QList<qint64> m_offsets;
    QHash<QString, qint64> m_last; // made at the first choice after a scan
};

} // namespace catalogue

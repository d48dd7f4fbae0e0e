// SPDX-License-Identifier: GPL-3.0-or-later
// The breed catalogue: records of three comma-separated fields (name, description, photo
// file name), normally one quoted record per line, Windows-1251.
//
// Fields are read sequentially and are not bound to lines: spaces before a field are
// skipped; a quoted field runs to the next quote and whatever follows it up to the comma
// or line end is dropped; an unquoted field runs to the comma or line end, without its
// trailing spaces. CR LF, CR and LF each end a line, and a blank line is one empty field.
#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace catalogue {

struct Record {
    QString name;
    QString description;
    QString photoFile;
};

class FieldReader {
public:
    explicit FieldReader(QStringView text) : m_text(text) {}
    bool atEnd() const { return m_pos >= m_text.size(); }
    // The next field, or nothing when the text ends before it starts.
    std::optional<QString> readField();
    // Three fields, or nothing when the text ends inside the record.
    std::optional<Record> readRecord();
    // The line (from 1) the reader stands on.
    int line() const { return m_line; }

private:
    void consumeLineEnd();
    QStringView m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
};

// Every complete record in file order; an incomplete record at the end is left out.
QList<Record> parseRecords(QStringView text);

// "dog\" + the file name with its three-character extension replaced by "jpg"; nothing
// for a name too short to have one.
std::optional<QString> photoPath(const QString& photoFile);

// Reads and decodes the catalogue as the program names it ("text\FOLDOG.ssu").
QString readCatalogueFile(const QString& contentPath);

} // namespace catalogue

// SPDX-License-Identifier: GPL-3.0-or-later
// What the search keeps of one content file: its documents (the topics of a section file,
// the breeds of the catalogue) and, for every word form that occurs in them, which
// documents hold it and how often. Built in one pass over the file's bytes (the catalogue
// a megabyte at a time) and stamped with the file's size, times and identity, so that a
// file changed since is read again before it is searched.
//
// Forms are the words as written, case folded (Windows-1251 bytes); a hyphenated word
// counts by its parts and written together ("ши-тцу": "ши", "тцу", "шитцу"). Each form
// carries its stem.
#pragma once

#include "base/text.h"
#include "search/words.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace search {

// A search gives way (a newer request came, the program ends) by throwing this.
struct Interrupted {};

// Which version of a file was read (base/text.h).
using base::FileStamp;
using base::stampOf;

// Where text stands in its file.
struct ByteRange {
    quint32 offset = 0;
    quint32 length = 0;
    quint32 end() const { return offset + length; }
};

// The text of one document as read back from its file, checked against what the index
// was built from.
struct DocumentText {
    QByteArray bytes;            // the file's bytes from the first range to the last
    QList<ByteRange> paragraphs; // in bytes
};

class FileIndex {
public:
    enum class Layout { Topics, Catalogue };

    // The largest file indexed: offsets are 32 bits.
    static constexpr qint64 MaxFileBytes = qint64(1) << 31;

    // Reads and indexes the file. A file that cannot be read, is too large or keeps
    // changing while it is read is a failure (base::RuntimeFailure) naming it. `stop` is
    // asked now and then: true ends the building with Interrupted.
    static std::unique_ptr<FileIndex> build(const QString& contentPath, Layout layout,
                                            Stemmer& stemmer, const std::function<bool()>& stop);

    const QString& file() const { return m_file; }
    const FileStamp& stamp() const { return m_stamp; }
    Layout layout() const { return m_layout; }

    qsizetype documentCount() const { return m_rows.size(); }
    QString title(quint32 doc) const;
    int row(quint32 doc) const { return m_rows[doc]; }
    // Words in the document's text (its title not counted).
    quint32 length(quint32 doc) const { return m_lengths[doc]; }
    quint64 totalLength() const { return m_totalLength; }
    // The document's text read from the file again (read gives the bytes at an offset, from
    // the file as it is now); nothing when the file no longer holds what was indexed.
    using ReadBytes = std::function<QByteArray(qint64 offset, qsizetype length)>;
    std::optional<DocumentText> readText(quint32 doc, const ReadBytes& read) const;

    qsizetype formCount() const { return m_formStart.size() - 1; }
    QByteArrayView form(quint32 id) const { return slice(m_forms, m_formStart, id); }
    QByteArrayView stem(quint32 id) const { return slice(m_stems, m_stemStart, id); }
    // How many documents hold the form.
    quint32 documentsWith(quint32 id) const { return m_documentsWith[id]; }
    // The forms that begin with prefix, as [first, last) of ids in byte order.
    std::pair<quint32, quint32> formsBeginning(QByteArrayView prefix) const;
    std::optional<quint32> find(QByteArrayView form) const;

    // Every document holding the form, in document order, with how often its text holds
    // it (at most 127) and whether its title does.
    template <class F> void forEachPosting(quint32 id, F each) const {
        const uchar* p = reinterpret_cast<const uchar*>(m_postings.constData()) + m_postStart[id];
        const uchar* end =
            reinterpret_cast<const uchar*>(m_postings.constData()) + m_postStart[id + 1];
        quint32 doc = 0;
        while (p < end) {
            quint32 delta = 0;
            for (int shift = 0;; shift += 7) {
                const uchar b = *p++;
                delta |= quint32(b & 0x7F) << shift;
                if (!(b & 0x80)) break;
            }
            doc += delta;
            const uchar count = *p++;
            each(doc, quint32(count >> 1), bool(count & 1));
        }
    }

    // What the index holds in memory, in bytes.
    qsizetype memoryBytes() const;

private:
    friend class IndexBuilder;
    static QByteArrayView slice(const QByteArray& blob, const QList<quint32>& start, quint32 i) {
        return QByteArrayView(blob).sliced(start[i], start[i + 1] - start[i]);
    }

    QString m_file;
    FileStamp m_stamp;
    Layout m_layout = Layout::Topics;

    QByteArray m_titles; // the documents' titles, as the file has them
    QList<quint32> m_titleStart;
    QList<qint32> m_rows;
    QList<quint32> m_lengths;
    quint64 m_totalLength = 0;
    QList<ByteRange> m_ranges; // the documents' paragraphs, one after the other
    QList<quint32> m_rangeStart;
    QList<quint64> m_checksums;

    QByteArray m_forms; // sorted
    QList<quint32> m_formStart;
    QByteArray m_stems;
    QList<quint32> m_stemStart;
    QList<quint32> m_documentsWith;
    QByteArray m_postings; // per form: (document delta, varint; count << 1 | in title)
    QList<quint32> m_postStart;
};

} // namespace search

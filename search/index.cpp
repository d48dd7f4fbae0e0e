// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/index.h"

#include "base/contentpath.h"
#include "base/failure.h"
#include "base/text.h"
#include "formats/catalogfile.h"
#include "formats/topicfile.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

namespace search {

namespace {

// Longer runs of letters are no words anyone types (and would bloat the index).
constexpr qsizetype MaxFormBytes = 48;
// A file changed while it was read is read again, this many times in all.
constexpr int ReadAttempts = 3;
constexpr qsizetype PieceBytes = 1 << 20;

// To notice that a document's text is no longer what was indexed; each paragraph chained
// to the ones before.
constexpr quint64 ChecksumStart = 1;
quint64 checksum(quint64 hash, QByteArrayView bytes) {
    return qHashBits(bytes.data(), size_t(bytes.size()), size_t(hash)) + 1;
}

[[noreturn]] void changing(const QString& contentPath) {
    base::fail(base::ErrPathAccess,
               QStringLiteral("Файл меняется во время чтения: %1").arg(contentPath));
}

} // namespace

// Gathers the documents and their words as they come, then lays the index out. Forms are
// found by a hash table of their own: this is where indexing spends its time.
class IndexBuilder {
public:
    IndexBuilder(FileIndex& index, Stemmer& stemmer)
        : m_index(index), m_stemmer(stemmer), m_fold(byteFolding()), m_slots(1024, 0) {
        m_index.m_titleStart = {0};
        m_index.m_rangeStart = {0};
        m_keyStart.push_back(0);
    }

    void beginDocument(QByteArrayView title, int row) {
        m_index.m_titles.append(title);
        m_index.m_titleStart.append(quint32(m_index.m_titles.size()));
        m_index.m_rows.append(row);
        m_length = 0;
        m_checksum = ChecksumStart;
        m_docForms.clear();
        addWords(title, true);
    }
    void addParagraph(QByteArrayView text, qint64 offset) {
        m_index.m_ranges.append({quint32(offset), quint32(text.size())});
        m_checksum = checksum(m_checksum, text);
        addWords(text, false);
    }
    void endDocument() {
        const quint32 doc = quint32(m_index.m_rows.size() - 1);
        for (const DocForm& f : m_docForms) {
            FormState& form = m_states[f.form];
            std::vector<uchar>& postings = form.postings;
            quint32 delta = doc - form.lastPosted;
            while (delta >= 0x80) {
                postings.push_back(uchar(delta | 0x80));
                delta >>= 7;
            }
            postings.push_back(uchar(delta));
            postings.push_back(uchar(std::min<quint32>(f.count, 127) << 1 | (f.inTitle ? 1 : 0)));
            form.lastPosted = doc;
            ++form.documents;
        }
        m_index.m_lengths.append(m_length);
        m_index.m_totalLength += m_length;
        m_index.m_rangeStart.append(quint32(m_index.m_ranges.size()));
        m_index.m_checksums.append(m_checksum);
    }

    // Sorts the forms, stems them and lays their postings out one after the other.
    void finish() {
        const qsizetype forms = qsizetype(m_keyStart.size()) - 1;
        const auto key = [&](quint32 id) {
            return QByteArrayView(m_keys.data() + m_keyStart[id],
                                  m_keyStart[id + 1] - m_keyStart[id]);
        };
        QList<quint32> order(forms);
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(),
                  [&](quint32 a, quint32 b) { return key(a) < key(b); });
        m_slots = {};
        m_docForms = {};

        // Every form decoded at once: a byte is one character.
        const QString text = base::decodeCp1251(QByteArrayView(m_keys.data(), m_keys.size()));
        const bool whole = text.size() == qsizetype(m_keys.size());

        qsizetype postingBytes = 0;
        for (const FormState& f : m_states)
            postingBytes += qsizetype(f.postings.size());
        FileIndex& x = m_index;
        x.m_forms.reserve(qsizetype(m_keys.size()));
        x.m_postings.reserve(postingBytes);
        x.m_formStart = {0};
        x.m_stemStart = {0};
        x.m_postStart = {0};
        x.m_formStart.reserve(forms + 1);
        x.m_stemStart.reserve(forms + 1);
        x.m_postStart.reserve(forms + 1);
        x.m_documentsWith.reserve(forms);
        for (quint32 id : std::as_const(order)) {
            x.m_forms += key(id);
            x.m_formStart.append(quint32(x.m_forms.size()));
            const QString stem =
                whole ? m_stemmer.stem(QStringView(text).sliced(m_keyStart[id], key(id).size()))
                      : m_stemmer.stem(base::decodeCp1251(key(id)));
            x.m_stems += toContentBytes(stem).value_or(key(id).toByteArray());
            x.m_stemStart.append(quint32(x.m_stems.size()));
            x.m_documentsWith.append(m_states[id].documents);
            std::vector<uchar>& postings = m_states[id].postings;
            x.m_postings.append(reinterpret_cast<const char*>(postings.data()),
                                qsizetype(postings.size()));
            x.m_postStart.append(quint32(x.m_postings.size()));
            postings = {};
        }
        x.m_stems.squeeze();
    }

private:
    struct DocForm {
        quint32 form;
        quint32 count;
        bool inTitle;
    };

    void addWords(QByteArrayView text, bool title) {
        const char* fold = m_fold.data();
        const qsizetype size = text.size();
        const char* bytes = text.data();
        char joined[MaxFormBytes];
        qsizetype joinedLength = 0;
        int parts = 0;
        quint64 joinedHash = HashStart;
        for (qsizetype i = 0; i < size;) {
            if (!fold[uchar(bytes[i])]) {
                ++i;
                continue;
            }
            // A part: its folded bytes and their hash in one pass.
            char key[MaxFormBytes];
            qsizetype length = 0;
            quint64 hash = HashStart;
            for (; i < size; ++i) {
                const char f = fold[uchar(bytes[i])];
                if (!f) {
                    // A soft hyphen between letters: the word goes on without it.
                    if (isInvisible(bytes[i]) && i + 1 < size && fold[uchar(bytes[i + 1])])
                        continue;
                    break;
                }
                if (length < MaxFormBytes) key[length] = f;
                ++length;
                hash = (hash ^ uchar(f)) * HashPrime;
                if (joinedLength < MaxFormBytes) joined[joinedLength] = f;
                ++joinedLength;
                joinedHash = (joinedHash ^ uchar(f)) * HashPrime;
            }
            if (length <= MaxFormBytes && ++parts <= Word::MaxParts)
                addKey(key, length, hash, title);
            // A hyphen between letters joins the next part to this word.
            if (i + 1 < size && isHyphen(bytes[i]) && fold[uchar(bytes[i + 1])]) {
                ++i;
                continue;
            }
            if (!title) ++m_length;
            if (parts > 1 && joinedLength <= MaxFormBytes)
                addKey(joined, joinedLength, joinedHash, title);
            joinedLength = 0;
            joinedHash = HashStart;
            parts = 0;
        }
    }

    void addKey(const char* key, qsizetype length, quint64 hash, bool title) {
        const quint32 id = idOf(key, length, hash);
        const quint32 mark = quint32(m_index.m_rows.size()); // the document's number + 1
        FormState& form = m_states[id];
        if (form.seenIn != mark) {
            form.seenIn = mark;
            form.slot = quint32(m_docForms.size());
            m_docForms.push_back({id, 0, false});
        }
        DocForm& in = m_docForms[form.slot];
        if (title)
            in.inTitle = true;
        else
            ++in.count;
    }

    quint32 idOf(const char* key, qsizetype length, quint64 hash) {
        const size_t mask = m_slots.size() - 1;
        for (size_t i = size_t(hash) & mask;; i = (i + 1) & mask) {
            const quint32 slot = m_slots[i];
            if (slot == 0) {
                const quint32 id = quint32(m_keyStart.size() - 1);
                m_keys.insert(m_keys.end(), key, key + length);
                m_keyStart.push_back(quint32(m_keys.size()));
                m_states.push_back({quint32(hash), 0, 0, 0, 0, {}});
                m_slots[i] = id + 1;
                if (2 * (id + 1) > m_slots.size()) grow();
                return id;
            }
            const quint32 id = slot - 1;
            if (m_states[id].hash == quint32(hash) &&
                m_keyStart[id + 1] - m_keyStart[id] == length &&
                std::memcmp(m_keys.data() + m_keyStart[id], key, size_t(length)) == 0)
                return id;
        }
    }

    void grow() {
        std::vector<quint32> table(m_slots.size() * 2, 0);
        const size_t mask = table.size() - 1;
        for (quint32 id = 0; id + 1 < m_keyStart.size(); ++id) {
            size_t i = m_states[id].hash & mask;
            while (table[i])
                i = (i + 1) & mask;
            table[i] = id + 1;
        }
        m_slots = std::move(table);
    }

    static constexpr quint64 HashStart = 0xCBF29CE484222325ull;
    static constexpr quint64 HashPrime = 0x100000001B3ull;

    FileIndex& m_index;
    Stemmer& m_stemmer;
    const std::array<char, 256>& m_fold;
    // Forms by number: their bytes one after the other, and what is known of each.
    std::vector<char> m_keys;
    std::vector<quint32> m_keyStart;
    struct FormState {
        quint32 hash; // of its bytes, to compare them only when it is the same
        quint32 lastPosted;
        quint32 documents;
        quint32 seenIn; // the last document holding it, + 1
        quint32 slot;   // its place in that document's forms
        std::vector<uchar> postings;
    };
    std::vector<FormState> m_states;
    std::vector<quint32> m_slots; // the hash table: form number + 1, or 0
    std::vector<DocForm> m_docForms;
    quint32 m_length = 0;
    quint64 m_checksum = ChecksumStart;
};

std::unique_ptr<FileIndex> FileIndex::build(const QString& contentPath, Layout layout,
                                            Stemmer& stemmer, const std::function<bool()>& stop) {
    for (int attempt = 0; attempt < ReadAttempts; ++attempt) {
        const std::optional<FileStamp> before = stampOf(contentPath);
        if (!before)
            base::fail(base::ErrFileNotFound,
                       QStringLiteral("Файл не найден: %1").arg(contentPath));
        if (before->size > MaxFileBytes) base::failTooLarge(contentPath);

        auto index = std::make_unique<FileIndex>();
        index->m_file = contentPath;
        index->m_stamp = *before;
        index->m_layout = layout;
        IndexBuilder builder(*index, stemmer);
        base::ContentFileReader reader(contentPath);
        // Read no further than the stamp's size: a file that grows is read again.
        qint64 unread = before->size;
        const catalogue::PieceReader nextPiece = [&] {
            if (stop && stop()) throw Interrupted{};
            QByteArray piece = reader.read(std::min<qint64>(PieceBytes, unread));
            unread = piece.isEmpty() ? 0 : unread - piece.size();
            return piece;
        };

        if (layout == Layout::Catalogue) {
            int row = 0;
            catalogue::forEachRecordBytes(nextPiece, [&](const catalogue::RecordBytes& r) {
                builder.beginDocument(r.name, row++);
                builder.addParagraph(r.description, r.descriptionOffset);
                builder.endDocument();
            });
        } else {
            QByteArray bytes;
            while (unread > 0) {
                const QByteArray piece = nextPiece();
                if (piece.isEmpty()) break;
                bytes += piece;
            }
            const QString text = base::decodeCp1251(bytes);
            if (text.size() != bytes.size()) changing(contentPath); // never in Windows-1251
            int count = 0;
            for (const topics::TopicLines& topic : topics::splitTopics(text)) {
                if (++count % 256 == 0 && stop && stop()) throw Interrupted{};
                builder.beginDocument(toContentBytes(topic.title).value_or(QByteArray()),
                                      topic.row);
                for (const topics::TopicLine& line : topic.lines)
                    builder.addParagraph(QByteArrayView(bytes).sliced(line.offset, line.length),
                                         line.offset);
                builder.endDocument();
            }
        }
        if (unread == 0 && reader.read(1).isEmpty() && stampOf(contentPath) == before) {
            builder.finish();
            return index;
        }
    }
    changing(contentPath);
}

QString FileIndex::title(quint32 doc) const {
    return base::decodeCp1251(slice(m_titles, m_titleStart, doc));
}

std::optional<DocumentText> FileIndex::readText(quint32 doc, const ReadBytes& read) const {
    const qsizetype first = m_rangeStart[doc], last = m_rangeStart[doc + 1];
    DocumentText text;
    if (first == last) return text;
    quint32 from = m_ranges[first].offset, to = 0;
    for (qsizetype i = first; i < last; ++i) {
        from = std::min(from, m_ranges[i].offset);
        to = std::max(to, m_ranges[i].end());
    }
    text.bytes = read(from, to - from);
    if (text.bytes.size() != qsizetype(to - from)) return std::nullopt;
    quint64 sum = ChecksumStart;
    for (qsizetype i = first; i < last; ++i) {
        const ByteRange r{m_ranges[i].offset - from, m_ranges[i].length};
        text.paragraphs.append(r);
        sum = checksum(sum, QByteArrayView(text.bytes).sliced(r.offset, r.length));
    }
    if (sum != m_checksums[doc]) return std::nullopt;
    return text;
}

std::pair<quint32, quint32> FileIndex::formsBeginning(QByteArrayView prefix) const {
    const qsizetype count = formCount();
    // The first form not below prefix, then the first that does not begin with it.
    qsizetype lo = 0, hi = count;
    while (lo < hi) {
        const qsizetype mid = (lo + hi) / 2;
        if (form(quint32(mid)) < prefix)
            lo = mid + 1;
        else
            hi = mid;
    }
    const qsizetype first = lo;
    hi = count;
    while (lo < hi) {
        const qsizetype mid = (lo + hi) / 2;
        if (form(quint32(mid)).startsWith(prefix))
            lo = mid + 1;
        else
            hi = mid;
    }
    return {quint32(first), quint32(lo)};
}

std::optional<quint32> FileIndex::find(QByteArrayView wanted) const {
    const auto [first, last] = formsBeginning(wanted);
    if (first < last && form(first) == wanted) return first;
    return std::nullopt;
}

qsizetype FileIndex::memoryBytes() const {
    const auto list = [](const auto& l) { return l.capacity() * qsizetype(sizeof(l[0])); };
    return m_titles.capacity() + list(m_titleStart) + list(m_rows) + list(m_lengths) +
           list(m_ranges) + list(m_rangeStart) + list(m_checksums) + m_forms.capacity() +
           list(m_formStart) + m_stems.capacity() + list(m_stemStart) + list(m_documentsWith) +
           m_postings.capacity() + list(m_postStart);
}

} // namespace search

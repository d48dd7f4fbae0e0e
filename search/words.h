// SPDX-License-Identifier: GPL-3.0-or-later
// Words as the search sees them: case folded, split out of running text, reduced to stems.
// The query is Unicode text; the content files are Windows-1251, where one byte is one
// character, and their words are read straight from the bytes, folded the same way.
#pragma once

#include "search/span.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <array>
#include <optional>
#include <type_traits>

struct sb_stemmer;

namespace search {

// Lowercase with "ё" as "е", one character for each character, so that offsets found in the
// folded text hold for the original.
QString foldCase(QStringView text);

// Letters and digits make words (and combining marks inside them, which Windows-1251 has
// none of).
bool isWordChar(QChar c);
inline bool isWordChar(char byte); // a byte of a content file
inline bool isHyphen(QChar c) {
    return c == u'-' || c == QChar(0x2010) || c == QChar(0x2011);
}
inline bool isHyphen(char byte) {
    return byte == '-';
}

// Characters that show nothing and are no break for a reader: the soft hyphen, zero-width
// spaces and joiners, the word joiner, the byte order mark. A word pasted with one inside
// is one word: they are dropped from queries, and a soft hyphen (the only one of them
// Windows-1251 has) between letters of a content file joins them as if it were not there.
inline bool isInvisible(QChar c) {
    const char16_t u = c.unicode();
    return u == 0x00AD || (u >= 0x200B && u <= 0x200D) || u == 0x2060 || u == 0xFEFF;
}
inline bool isInvisible(char byte) {
    return byte == '\xAD';
}
QString withoutInvisible(QStringView text);

// A content file's byte folded as foldCase folds its character; 0 for a byte that is no
// part of a word.
char foldByte(char byte);
// The same for every byte at once, for loops over many.
const std::array<char, 256>& byteFolding();
// Folded text (a query word) in the content files' bytes; nothing when a character has no
// byte there, and so can occur in no content file.
std::optional<QByteArray> toContentBytes(QStringView folded);
// Any text as a content file would hold it, one byte for each character (a character that
// has no byte there as a space), so that its words are read as the index reads them.
QByteArray asContentBytes(QStringView text);

// A run of letters and digits, or several joined by hyphens ("акита-ину"): then the parts
// are words too.
struct Word {
    static constexpr int MaxParts = 8; // later parts count only within the whole
    Span whole;
    std::array<Span, MaxParts> parts; // just the whole when there is no hyphen
    int partCount = 0;
    bool marked = false; // holds combining marks (stress accents)
};

// Reads the words of text in order: folded Unicode text (a query), or the bytes of a
// content file.
template <class View> class BasicWordReader {
public:
    explicit BasicWordReader(View text) : m_text(text) {}
    bool next(Word& word);

private:
    static constexpr bool Bytes = std::is_same_v<View, QByteArrayView>;
    qsizetype wordEnd(qsizetype pos, bool& marked) const;
    template <class C> bool wordChar(C c) const {
        if constexpr (Bytes)
            return m_fold[uchar(c)] != 0;
        else
            return isWordChar(c);
    }
    View m_text;
    qsizetype m_pos = 0;
    const char* m_fold = Bytes ? byteFolding().data() : nullptr;
};
using WordReader = BasicWordReader<QStringView>;
using ByteWordReader = BasicWordReader<QByteArrayView>;

// The word to compare: its folded letters without combining marks.
QString wordKey(QStringView folded, bool marked);

// The folded key of a span of content bytes, and of a hyphenated word written together
// ("ши-тцу" → "шитцу"): both as a reader types them.
QByteArray byteKey(QByteArrayView bytes);
QByteArray joinedKey(QByteArrayView bytes, const Word& word);

// Stems with Snowball: Russian for a word with Cyrillic letters, English for one with Latin
// letters; digits stay as they are; a word longer than any word of either (over 64 letters)
// stays whole. Stems are remembered (words, not files, repeat).
class Stemmer {
public:
    Stemmer();
    ~Stemmer();
    Stemmer(const Stemmer&) = delete;
    Stemmer& operator=(const Stemmer&) = delete;

    QString stem(QStringView key);

private:
    QString compute(const QString& key);
    sb_stemmer* m_russian;
    sb_stemmer* m_english;
    QHash<QString, QString> m_cache;
    qsizetype m_cacheBytes = 0;
};

// Whether a stem came from the Russian rules, which only ever cut endings: every word with
// such a stem begins with it.
bool isCyrillicStem(QStringView stem);
bool isCyrillicStem(QByteArrayView stem);

inline bool isWordChar(char byte) {
    return foldByte(byte) != 0;
}

template <class View> qsizetype BasicWordReader<View>::wordEnd(qsizetype pos, bool& marked) const {
    while (pos < m_text.size()) {
        const auto c = m_text[pos];
        if (!wordChar(c)) {
            if constexpr (Bytes) {
                // Skipped within the word, as the index skips it.
                if (isInvisible(c) && pos + 1 < m_text.size() && wordChar(m_text[pos + 1])) {
                    marked = true;
                    pos += 2;
                    continue;
                }
                break;
            } else {
                // Combining marks begin at U+0300; below that the tables need not be asked.
                if (c.unicode() < 0x0300 || !c.isMark()) break;
                marked = true;
            }
        }
        ++pos;
    }
    return pos;
}

template <class View> bool BasicWordReader<View>::next(Word& word) {
    const qsizetype size = m_text.size();
    while (m_pos < size && !wordChar(m_text[m_pos]))
        ++m_pos;
    if (m_pos >= size) return false;

    word.partCount = 0;
    word.marked = false;
    const qsizetype start = m_pos;
    for (;;) {
        const qsizetype end = wordEnd(m_pos, word.marked);
        if (word.partCount < Word::MaxParts) word.parts[word.partCount++] = {m_pos, end - m_pos};
        m_pos = end;
        if (m_pos + 1 < size && isHyphen(m_text[m_pos]) && wordChar(m_text[m_pos + 1]))
            ++m_pos;
        else
            break;
    }
    word.whole = {start, m_pos - start};
    return true;
}

} // namespace search

// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/words.h"

#include "base/text.h"

#include <libstemmer.h>

namespace search {

namespace {

bool isCyrillic(QChar c) {
    return c.unicode() >= 0x0400 && c.unicode() <= 0x052F;
}

bool isLatinLetter(QChar c) {
    return c.unicode() < 0x0250 && c.isLetter();
}

// A stem cache that only grows would keep every word of every text ever searched; it is
// bounded by what it holds, so a few very long words (a pasted text) cannot fill it either.
constexpr qsizetype CacheBytes = 16 << 20;
// No word of either language is this long: a longer one (a paste) is its own stem, as in
// the index, and costs no run of the rules (each asked several times per query).
constexpr qsizetype StemmedLetters = 64;

// Nearly all text here is Cyrillic or ASCII: those are classified and folded without the
// Unicode tables, which took most of a search's time.
bool isLetterOrDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80) return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
    if (u >= 0x0400 && u <= 0x0481) return true;
    return c.isLetterOrNumber();
}

QChar toLower(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80) return u >= 'A' && u <= 'Z' ? QChar(u + 0x20) : c;
    if (u >= 0x0410 && u <= 0x042F) return QChar(u + 0x20);
    if (u >= 0x0430 && u <= 0x045F) return c;
    if (u >= 0x0400 && u <= 0x040F) return QChar(u + 0x50);
    // QChar::toLower maps one code unit to one (surrogates stay as they are).
    return c.toLower();
}

// Each byte of a content file as a character, folded, and back.
struct ByteTables {
    std::array<char16_t, 256> chars{};
    std::array<char, 256> folded{};
    QHash<char16_t, char> bytes;
};

const ByteTables& byteTables() {
    static const ByteTables tables = [] {
        ByteTables t;
        QByteArray all(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        const QString text = base::decodeCp1251(all);
        for (int b = 0; b < 256; ++b) {
            // Every byte is one character in Windows-1251.
            t.chars[b] = text.size() == 256 ? text[b].unicode() : char16_t(b);
            t.bytes.insert(t.chars[b], char(b));
        }
        for (int b = 0; b < 256; ++b) {
            const QChar c(t.chars[b]);
            if (!isWordChar(c)) continue;
            t.folded[b] = t.bytes.value(foldCase(QStringView(&c, 1))[0].unicode(), char(b));
        }
        return t;
    }();
    return tables;
}

} // namespace

QString foldCase(QStringView text) {
    QString folded(text.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar lower = toLower(text[i]);
        out[i] = lower == QChar(0x0451) ? QChar(0x0435) : lower;
    }
    return folded;
}

bool isWordChar(QChar c) {
    return isLetterOrDigit(c);
}

char foldByte(char byte) {
    return byteTables().folded[uchar(byte)];
}

const std::array<char, 256>& byteFolding() {
    return byteTables().folded;
}

std::optional<QByteArray> toContentBytes(QStringView folded) {
    const ByteTables& t = byteTables();
    QByteArray bytes(folded.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const auto found = t.bytes.constFind(folded[i].unicode());
        if (found == t.bytes.cend()) return std::nullopt;
        bytes[i] = *found;
    }
    return bytes;
}

QByteArray asContentBytes(QStringView text) {
    const ByteTables& t = byteTables();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = text[i].unicode() < 0x80 ? char(text[i].unicode())
                                            : t.bytes.value(text[i].unicode(), ' ');
    return bytes;
}

QByteArray byteKey(QByteArrayView bytes) {
    QByteArray key;
    key.reserve(bytes.size());
    for (char b : bytes)
        if (const char f = foldByte(b)) key += f; // a soft hyphen inside is no letter
    return key;
}

QString withoutInvisible(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (!isInvisible(c)) out += c;
    return out;
}

QByteArray joinedKey(QByteArrayView bytes, const Word& word) {
    QByteArray key;
    key.reserve(word.whole.length);
    for (int i = 0; i < word.partCount; ++i)
        key += byteKey(bytes.sliced(word.parts[i].offset, word.parts[i].length));
    return key;
}

QString wordKey(QStringView folded, bool marked) {
    if (!marked) return folded.toString();
    QString key;
    key.reserve(folded.size());
    for (QChar c : folded)
        if (!c.isMark()) key += c;
    return key;
}

bool isCyrillicStem(QStringView stem) {
    for (QChar c : stem)
        if (isCyrillic(c)) return true;
    return false;
}

bool isCyrillicStem(QByteArrayView stem) {
    // Windows-1251 has its Cyrillic letters from 0x80 up, and nothing else there makes words
    // but a few signs (µ) no stem holds alone.
    for (char b : stem)
        if (uchar(b) >= 0x80 && isCyrillic(QChar(byteTables().chars[uchar(b)]))) return true;
    return false;
}

Stemmer::Stemmer()
    : m_russian(sb_stemmer_new("russian", "UTF_8")), m_english(sb_stemmer_new("english", "UTF_8")) {
}

Stemmer::~Stemmer() {
    sb_stemmer_delete(m_russian);
    sb_stemmer_delete(m_english);
}

QString Stemmer::stem(QStringView key) {
    QString word = key.toString();
    if (word.size() > StemmedLetters) return word;
    const auto found = m_cache.constFind(word);
    if (found != m_cache.cend()) return *found;
    QString stem = compute(word);
    // Each entry: both strings, their headers and the hash's node.
    const qsizetype bytes = (word.size() + stem.size()) * qsizetype(sizeof(QChar)) + 96;
    if (m_cacheBytes + bytes > CacheBytes) {
        m_cache.clear();
        m_cache.squeeze();
        m_cacheBytes = 0;
    }
    m_cacheBytes += bytes;
    m_cache.insert(std::move(word), stem);
    return stem;
}

QString Stemmer::compute(const QString& key) {
    sb_stemmer* stemmer = nullptr;
    for (QChar c : key) {
        if (isCyrillic(c)) {
            stemmer = m_russian;
            break;
        }
        if (isLatinLetter(c)) stemmer = m_english;
    }
    if (!stemmer) return key;
    const QByteArray utf8 = key.toUtf8();
    const sb_symbol* stem = sb_stemmer_stem(
        stemmer, reinterpret_cast<const sb_symbol*>(utf8.constData()), int(utf8.size()));
    const int length = sb_stemmer_length(stemmer);
    if (!stem || length <= 0) return key;
    return QString::fromUtf8(reinterpret_cast<const char*>(stem), length);
}

} // namespace search

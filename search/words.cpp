// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/words.h"

#include <libstemmer.h>

namespace search {

namespace {

bool isCyrillic(QChar c) {
    return c.unicode() >= 0x0400 && c.unicode() <= 0x052F;
}

bool isLatinLetter(QChar c) {
    return c.unicode() < 0x0250 && c.isLetter();
}

bool isHyphen(QChar c) {
    return c == u'-' || c == QChar(0x2010) || c == QChar(0x2011);
}

// A stem cache that only grows would keep every word of every text ever searched.
constexpr qsizetype CacheLimit = 200000;

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

qsizetype WordReader::wordEnd(qsizetype pos, bool& marked) const {
    while (pos < m_text.size()) {
        const QChar c = m_text[pos];
        if (!isLetterOrDigit(c)) {
            // Combining marks begin at U+0300; below that the tables need not be asked.
            if (c.unicode() < 0x0300 || !c.isMark()) break;
            marked = true;
        }
        ++pos;
    }
    return pos;
}

bool WordReader::next(Word& word) {
    const qsizetype size = m_text.size();
    while (m_pos < size && !isLetterOrDigit(m_text[m_pos]))
        ++m_pos;
    if (m_pos >= size) return false;

    word.partCount = 0;
    word.marked = false;
    const qsizetype start = m_pos;
    for (;;) {
        const qsizetype end = wordEnd(m_pos, word.marked);
        if (word.partCount < Word::MaxParts) word.parts[word.partCount++] = {m_pos, end - m_pos};
        m_pos = end;
        if (m_pos + 1 < size && isHyphen(m_text[m_pos]) && isLetterOrDigit(m_text[m_pos + 1]))
            ++m_pos;
        else
            break;
    }
    word.whole = {start, m_pos - start};
    return true;
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

Stemmer::Stemmer()
    : m_russian(sb_stemmer_new("russian", "UTF_8")), m_english(sb_stemmer_new("english", "UTF_8")) {
}

Stemmer::~Stemmer() {
    sb_stemmer_delete(m_russian);
    sb_stemmer_delete(m_english);
}

QString Stemmer::stem(QStringView key) {
    QString word = key.toString();
    const auto found = m_cache.constFind(word);
    if (found != m_cache.cend()) return *found;
    if (m_cache.size() >= CacheLimit) m_cache.clear();
    QString stem = compute(word);
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

// SPDX-License-Identifier: GPL-3.0-or-later
// Words as the search sees them: case folded, split out of running text, reduced to stems.
#pragma once

#include "search/span.h"

#include <QHash>
#include <QString>

#include <array>

struct sb_stemmer;

namespace search {

// Lowercase with "ё" as "е", one character for each character, so that offsets found in the
// folded text hold for the original.
QString foldCase(QStringView text);

// A run of letters and digits, or several joined by hyphens ("акита-ину"): then the parts
// are words too.
struct Word {
    static constexpr int MaxParts = 8; // later parts count only within the whole
    Span whole;
    std::array<Span, MaxParts> parts; // just the whole when there is no hyphen
    int partCount = 0;
    bool marked = false; // holds combining marks (stress accents)
};

// Reads the words of folded text in order.
class WordReader {
public:
    explicit WordReader(QStringView folded) : m_text(folded) {}
    bool next(Word& word);

private:
    qsizetype wordEnd(qsizetype pos, bool& marked) const;
    QStringView m_text;
    qsizetype m_pos = 0;
};

// The word to compare: its folded letters without combining marks.
QString wordKey(QStringView folded, bool marked);

// Stems with Snowball: Russian for a word with Cyrillic letters, English for one with Latin
// letters; digits stay as they are. Stems are remembered (words, not files, repeat).
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
};

// Whether a stem came from the Russian rules, which only ever cut endings: every word with
// such a stem begins with it.
bool isCyrillicStem(QStringView stem);

} // namespace search

// SPDX-License-Identifier: GPL-3.0-or-later
// The word forms a query found in one content file, in every way the search matched them
// (stems, the author's word groups, families, a Latin name read in Cyrillic, the word being
// typed as a beginning). They mark the words of a passage, and of the whole text of a topic
// or breed opened from the search: one rule for both, and no search again.
#pragma once

#include "search/span.h"
#include "search/words.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <array>

namespace search {

class FoundWords {
public:
    // A form of the file's index (folded content bytes) and the query's terms it stands for,
    // a bit each.
    void add(QByteArrayView form, quint32 terms);

    // The terms a word of content bytes stands for (its parts given, joined when there are
    // several: a hyphenated word written together); 0 for none.
    quint32 termsOf(QByteArrayView bytes, const Span* parts, int count) const;

    // Calls found(span, terms, word) for each word of content bytes that stands for terms of
    // the query, in order: a hyphenated word whole for what it stands for written together,
    // then its parts for the rest. word counts the words of bytes from 0; returns how many
    // there are.
    template <class F> int forEachFound(QByteArrayView bytes, F found) const;

    // The stretches of text (any text of the file's words, as a window shows it) that hold a
    // found word, in order and not overlapping. One pass over the text.
    QList<Span> marksIn(QStringView text) const;

private:
    QHash<QByteArray, quint32> m_terms;
    // By first byte, the lengths the forms have, so that most words need not be looked up.
    std::array<quint64, 256> m_lengths{};
};

template <class F> int FoundWords::forEachFound(QByteArrayView bytes, F found) const {
    ByteWordReader reader(bytes);
    Word word;
    int position = 0;
    while (reader.next(word)) {
        quint32 whole = 0;
        if (word.partCount > 1) {
            whole = termsOf(bytes, word.parts.data(), word.partCount);
            if (whole) found(word.whole, whole, position);
        }
        for (int i = 0; i < word.partCount; ++i)
            if (const quint32 part = termsOf(bytes, &word.parts[i], 1) & ~whole)
                found(word.parts[i], part, position);
        ++position;
    }
    return position;
}

} // namespace search

// SPDX-License-Identifier: GPL-3.0-or-later
// The piece of text a result shows, cut around its first match, with the matches marked.
#pragma once

#include "search/words.h"

#include <QList>
#include <QString>

namespace search {

struct Passage {
    QString text;
    QList<Span> marks; // in text, in order, not overlapping
};

// About this many characters are shown; a long text is cut at word boundaries around its
// first match, with "…" where it was cut. Matches are spans of text, sorted and merged.
constexpr qsizetype PassageLength = 300;

Passage cutPassage(QStringView text, const QList<Span>& matches);

// Sorts spans and joins those that overlap.
QList<Span> mergeSpans(QList<Span> spans);

// A word of a document's text that stands for a term.
struct Mark {
    Span span; // in the document's text
    int term;
    int position; // the word's place in the document
};

// Where in a document's text its passage is taken from: a topic's paragraph with the most
// terms, then the most matches (the first paragraph with text when only the title matched);
// around a breed's sentence with the most terms, then the most matches, the neighbours that
// fit. paragraphs are in text (a breed has one); byParagraph holds each one's marks.
Span passageWindow(bool breed, QStringView text, const QList<Span>& paragraphs,
                   const QList<Mark>& marks, const QList<QList<Mark>>& byParagraph, int terms);

} // namespace search

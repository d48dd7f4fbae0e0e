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

} // namespace search

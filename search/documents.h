// SPDX-License-Identifier: GPL-3.0-or-later
// What the search reads as documents: the topics of a section file, each with the lines the
// topic reader shows for it, and the sentences of a breed's description.
#pragma once

#include "search/words.h"

#include <QList>
#include <QString>

namespace search {

struct TopicLines {
    QString title;
    int row = 0;       // where the title first stands in the section's title list
    QList<Span> lines; // paragraphs, as spans of the file text
};

// One entry for every distinct title the section lists, in list order, holding the lines
// that reading the topic by its title shows, every run of it included. One pass over the
// file, however many topics it holds.
QList<TopicLines> splitTopics(QStringView text);

// Sentences end at ".", "!", "?" or "…" followed by a space and a capital letter or digit.
QList<Span> splitSentences(QStringView text);

} // namespace search

// SPDX-License-Identifier: GPL-3.0-or-later
// Where the search cuts a breed's description into sentences for its passages. A section
// file's topics come from the topic reader (formats/topicfile.h: topics::splitTopics).
#pragma once

#include "search/words.h"

#include <QList>
#include <QStringView>

namespace search {

// Sentences end at ".", "!", "?" or "…" followed by a space and a capital letter or digit.
QList<Span> splitSentences(QStringView text);

} // namespace search

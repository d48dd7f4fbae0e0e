// SPDX-License-Identifier: GPL-3.0-or-later
// The order of the results: which documents are listed (every required term, or all but
// one), in which group, and their scores (BM25 with each term's rarity, and closeness).
#pragma once

#include "search/passage.h"

#include <QList>
#include <QtGlobal>

#include <optional>

namespace search {

// Fewer documents than this holding every word: those missing one follow.
constexpr qsizetype FewFull = 5;
// A word more than this share of all documents hold (one in four) is common: a document
// missing it still ranks with those holding every word, when it holds all the rarer ones.
constexpr qsizetype CommonShare = 4;

// BM25's saturation and length norm; words in the title count thrice; an optional word (see
// search/wordgroups.h) weighs under a third; words close together gain up to half the weight
// of all but the weightiest of them.
constexpr float K1 = 1.2f;
constexpr float B = 0.75f;
constexpr float TitleWeight = 3;
constexpr float OptionalWeight = 0.3f;
constexpr float ProximityWeight = 0.5f;

// How a document holds the query, best first.
enum class Group {
    Whole,     // every required term, each as a whole word
    Beginning, // the word being typed only as the beginning of a word
    Partial,   // all required terms but one
    // Ranks with Whole: every rare required term wholly, some common one missing; or a topic
    // missing one required term whose title holds every rare one it has.
    Nearly,
};

struct Candidate {
    int file;
    quint32 doc;
    Group group;
    bool titleAll; // its title holds every required term
    float score;
    bool mentionsOnly = false; // a breed whose name holds none of the required terms
};

// Whole and Nearly first, then Beginning, then Partial. Within each, topics and breeds named
// by the query come before the breeds whose names hold none of the query's words: such a
// description mentions everything in passing, a topic that holds the question is about it.
bool ranksBefore(const Candidate& a, const Candidate& b);

// The group of a document holding present of the needed required terms, the whole ones
// among them wholly; none when it holds too few.
std::optional<Group> groupOf(int present, int needed, bool wholly);

// Which terms a document must hold, and what each weighs.
struct Weights {
    quint32 required = 0; // a bit per term
    quint32 common = 0;   // the required terms more than one document in CommonShare holds
    QList<float> idf;     // per term
};

// holding: how many documents hold each term; optional: a bit per optional term (and per
// term found nowhere). The author's optional words and words most documents hold are not
// required, unless nothing else is asked (then the words most documents hold are, and
// failing those the optional ones). Optional words weigh less, unless they are all that is
// asked.
Weights weigh(const QList<qsizetype>& holding, quint32 optional, qsizetype documents);

// A term's share of a document's score: its weight, how often it occurs (weighted), the
// document's length against the average.
float termScore(float idf, float count, float length, float averageLength);

// What closeness adds to a score: the fewest words in a row holding every term the text
// holds, weighed by all but the weightiest term (a rare word beside a common one gains
// little).
float closeness(const QList<Mark>& marks, const QList<float>& idf);

} // namespace search

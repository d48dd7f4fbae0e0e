// SPDX-License-Identifier: GPL-3.0-or-later
// Words the search takes for one another, from the author's file of word groups
// (formats/wordgroupfile.h): word families the stemmer keeps apart («хромает», «хромота»),
// everyday synonyms («подавилась», «удушье») and other names of breeds («йорк»,
// «йоркширский терьер»; «husky», «хаски»). An entry of several words finds a document only
// where all occur. A query word that is an entry of a group (by its stem) finds every entry
// of the group.
//
// The optional words are those a question holds that an answer need not: question words
// («можно», «ли», «как», «что делать»), prepositions and particles. A document missing them
// still holds the query, and they weigh less where they occur.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace search {

// Words taken for one another are a handful; a longer line is an author's slip (a paste, a
// lost line end) and would make every query holding one of its words look up all of them.
constexpr qsizetype MaxGroupEntries = 200;

struct WordGroup {
    QStringList entries;  // folded, spaces simplified
    qsizetype offset = 0; // where its line begins in the text
};

// What an author should hear about: entries that join nothing, an entry in two groups, a
// group cut at MaxGroupEntries.
struct WordGroupProblem {
    qsizetype offset = 0; // the line's start in the text
    QString message;
};

struct WordGroups {
    QList<WordGroup> groups;
    QStringList optionalWords; // folded
    QList<WordGroupProblem> problems;
};

// The groups and optional words of the file's text, folded, with what an author should
// hear about them.
WordGroups parseWordGroups(QStringView text);

} // namespace search

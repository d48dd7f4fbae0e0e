// SPDX-License-Identifier: GPL-3.0-or-later
// Words the search takes for one another, kept by the author in a content file beside the
// texts (text\slova.ssu): word families the stemmer keeps apart («хромает», «хромота»),
// everyday synonyms («подавилась», «удушье») and other names of breeds («йорк»,
// «йоркширский терьер»; «husky», «хаски»). The file is laid out as a topic file: the
// titles only sort the groups for the author; each line inside a topic is one group, its
// entries separated by commas. An entry is a word or several (then all must occur).
//
//   #Семьи слов
//   хромает, хромота, хромой
//   #Семьи слов
//
// A query word that is an entry of a group (by its stem) finds every entry of the group.
//
// One title is special: the words in the topic «Необязательные слова» are those a question
// holds that an answer need not: question words («можно», «ли», «как», «что делать»),
// prepositions and particles. A document missing them still holds the query, and they
// weigh less where they occur.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace search {

struct WordGroup {
    QStringList entries;  // folded, spaces simplified
    qsizetype offset = 0; // where its line begins in the text
};

// What an author should hear about: entries that join nothing, an entry in two groups.
struct WordGroupProblem {
    qsizetype offset = 0; // the line's start in the text
    QString message;
};

inline const QString OptionalWordsTitle = QStringLiteral("Необязательные слова");

struct WordGroups {
    QList<WordGroup> groups;
    QStringList optionalWords; // folded
    QList<WordGroupProblem> problems;
};

// Reads the groups from the file's text as the topic reader reads topics.
WordGroups parseWordGroups(QStringView text);

} // namespace search

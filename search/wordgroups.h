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
// One title is special: the words in the topic «Слова вопроса» are those a question holds
// that the answer need not («можно», «ли», «как», «что», «делать»): a document missing them
// still holds the query.
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

inline const QString QuestionWordsTitle = QStringLiteral("Слова вопроса");

struct WordGroups {
    QList<WordGroup> groups;
    QStringList questionWords; // folded
    QList<WordGroupProblem> problems;
};

// Reads the groups from the file's text as the topic reader reads topics.
WordGroups parseWordGroups(QStringView text);

} // namespace search

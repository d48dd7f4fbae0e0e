// SPDX-License-Identifier: GPL-3.0-or-later
// The author's word groups (text\slova.ssu): words the search takes for one another, kept
// beside the texts. The file is laid out as a topic file (formats/topicfile.h): the titles
// only sort the groups for the author; each line inside a topic is one group, its entries
// separated by commas. An entry is a word or several.
//
//   #Семьи слов
//   хромает, хромота, хромой
//   #Семьи слов
//
// One title is special: the topic «Необязательные слова» lists, comma-separated, the words a
// question holds that an answer need not. What the entries mean is the search's
// (search/wordgroups.h); this says only how the file holds them.
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace wordgroups {

inline const QString OptionalWordsTitle = QStringLiteral("Необязательные слова");

struct GroupLine {
    qsizetype offset = 0;       // where the line begins in the text
    QList<QStringView> entries; // as written (views into the text), split at the commas
    bool optional = false;      // a line of the optional words' topic
};

// Every line inside a topic that holds more than spaces, topic by topic in the order of the
// titles; a line inside two topics at once is given for each.
QList<GroupLine> readGroupLines(QStringView text);

} // namespace wordgroups

// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/wordgroups.h"

#include "formats/wordgroupfile.h"
#include "search/words.h"

#include <QHash>
#include <QSet>

namespace search {

WordGroups parseWordGroups(QStringView text) {
    WordGroups result;
    QHash<QString, qsizetype> seen; // an entry → the line of the group holding it
    for (const wordgroups::GroupLine& line : wordgroups::readGroupLines(text)) {
        if (line.optional) {
            for (QStringView entry : line.entries) {
                const QString word = foldCase(withoutInvisible(entry)).simplified();
                Word w;
                if (WordReader(word).next(w) && w.whole.length == word.size())
                    result.optionalWords.append(word);
                else
                    result.problems.append(
                        {line.offset, word.isEmpty()
                                          ? QStringLiteral("empty entry")
                                          : QStringLiteral("«%1» is not one word").arg(word)});
            }
            continue;
        }
        WordGroup group{{}, line.offset};
        QSet<QString> inGroup;
        for (QStringView entry : line.entries) {
            if (group.entries.size() == MaxGroupEntries) {
                result.problems.append(
                    {line.offset, QStringLiteral("a group of more than %1 entries: the rest "
                                                 "is left out")
                                      .arg(MaxGroupEntries)});
                break;
            }
            const QString words = foldCase(withoutInvisible(entry)).simplified();
            Word word;
            if (!WordReader(words).next(word)) {
                result.problems.append({line.offset, QStringLiteral("empty entry")});
                continue;
            }
            if (inGroup.contains(words)) {
                result.problems.append(
                    {line.offset, QStringLiteral("«%1» twice in one group").arg(words)});
                continue;
            }
            const auto other = seen.constFind(words);
            if (other != seen.cend() && *other != line.offset)
                result.problems.append(
                    {line.offset, QStringLiteral("«%1» is in another group too, which "
                                                 "the search joins with this one")
                                      .arg(words)});
            seen.insert(words, line.offset);
            inGroup.insert(words);
            group.entries.append(words);
        }
        if (group.entries.size() < 2)
            result.problems.append(
                {line.offset, QStringLiteral("a group of one entry joins nothing")});
        else
            result.groups.append(std::move(group));
    }
    return result;
}

} // namespace search

// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/wordgroupfile.h"

#include "formats/topicfile.h"

namespace wordgroups {

QList<GroupLine> readGroupLines(QStringView text) {
    QList<GroupLine> lines;
    for (const topics::TopicLines& topic : topics::splitTopics(text)) {
        const bool optional = topic.title == OptionalWordsTitle;
        for (const topics::TopicLine& line : topic.lines) {
            const QStringView raw = text.sliced(line.offset, line.length);
            if (raw.trimmed().isEmpty()) continue;
            lines.append({line.offset, raw.split(u','), optional});
        }
    }
    return lines;
}

} // namespace wordgroups

// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/documents.h"

#include "base/text.h"
#include "formats/topicfile.h"

#include <QHash>

namespace search {

namespace {

bool endsSentence(QChar c) {
    return c == u'.' || c == u'!' || c == u'?' || c == QChar(0x2026);
}

} // namespace

QList<TopicLines> splitTopics(QStringView text) {
    const QStringList titles = topics::scanTitles(text).titles;
    QList<TopicLines> topics;
    QHash<QString, int> byLine; // "#Title" → its entry
    for (int row = 0; row < titles.size(); ++row) {
        const QString line = u'#' + titles[row];
        if (byLine.contains(line)) continue;
        byLine.insert(line, int(topics.size()));
        topics.append({titles[row], row, {}});
    }

    // Reading a topic by title opens a run at every line equal to "#Title" and closes it at
    // the next such line, whatever other topics do meanwhile: so each topic is followed on
    // its own, and a line belongs to every topic open at it.
    QList<int> open;
    for (qsizetype pos = 0; pos < text.size();) {
        const base::LineSpan span = base::lineAt(text, pos);
        pos = span.next();
        const Span line{span.start, span.length};
        int topic = -1;
        if (line.length > 0 && text[line.offset] == u'#')
            topic = byLine.value(text.mid(line.offset, line.length).toString(), -1);
        for (int other : std::as_const(open))
            if (other != topic) topics[other].lines.append(line);
        if (topic < 0) continue;
        if (open.contains(topic))
            open.removeOne(topic);
        else
            open.append(topic);
    }
    return topics;
}

QList<Span> splitSentences(QStringView text) {
    QList<Span> sentences;
    qsizetype start = 0;
    for (qsizetype i = 0; i + 2 < text.size(); ++i) {
        if (!endsSentence(text[i]) || !text[i + 1].isSpace()) continue;
        qsizetype next = i + 1;
        while (next < text.size() && text[next].isSpace())
            ++next;
        if (next < text.size() && (text[next].isUpper() || text[next].isDigit())) {
            sentences.append({start, i + 1 - start});
            start = next;
            i = next - 1;
        }
    }
    if (start < text.size() || sentences.isEmpty()) sentences.append({start, text.size() - start});
    return sentences;
}

} // namespace search

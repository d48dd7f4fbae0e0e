// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/topicfile.h"

#include "base/text.h"

#include <QHash>
#include <QVarLengthArray>

namespace topics {

namespace {

template <class View> using LineReader = base::BasicLineReader<View>;

QString toText(QStringView line) {
    return line.toString();
}
QString toText(QByteArrayView line) {
    return base::decodeCp1251(line);
}
bool isTitleLine(QStringView line, const QString& title) {
    return line.size() == title.size() + 1 && line.startsWith(u'#') && line.sliced(1) == title;
}
bool isTitleLine(QByteArrayView line, const QString& title) {
    return line.size() == title.size() + 1 && line.startsWith('#') &&
           base::decodesTo(line.sliced(1), title);
}

// The rule of reading a topic, for the topics topicOf knows: a line it names as a topic's
// title line opens a run of that topic, and the next line equal to it closes the run (or
// the end of the text does); every line in between, other title lines included, goes to
// onLine(topic, line, offset) for every topic open at it. onClose(topic) ends each run.
template <class View, class TopicOf, class OnLine, class OnClose>
void followRuns(View text, TopicOf topicOf, OnLine onLine, OnClose onClose) {
    struct Run {
        int topic;
        View titleLine;
    };
    QVarLengthArray<Run, 4> open;
    for (qsizetype pos = 0; pos < text.size();) {
        const base::LineSpan span = base::lineAt(text, pos);
        pos = span.next();
        const View line = text.sliced(span.start, span.length);
        int closing = -1, opening = -1;
        for (qsizetype i = 0; i < open.size() && closing < 0; ++i)
            if (open[i].titleLine == line) closing = int(i);
        if (closing < 0) opening = topicOf(line);
        for (qsizetype i = 0; i < open.size(); ++i)
            if (i != closing) onLine(open[i].topic, line, span.start);
        if (closing >= 0) {
            onClose(open[closing].topic);
            open.remove(closing);
        } else if (opening >= 0) {
            open.append({opening, line});
        }
    }
    for (const Run& run : open)
        onClose(run.topic);
}

// The first topic's run alone, up to its closing line (consumed) or the end of the file.
template <class View> void readRun(LineReader<View>& lines, View titleLine, DisplayText& out) {
    while (!lines.atEnd()) {
        const View line = lines.next();
        if (line == titleLine) break;
        out.appendLine(line);
    }
    out.closeTopic();
}

template <class View> TitleScan scan(View text) {
    TitleScan scan;
    LineReader<View> lines(text);
    View lastTitleLine;
    while (!lines.atEnd()) {
        const View line = lines.next();
        if (!line.startsWith('#') || line == lastTitleLine) continue;
        lastTitleLine = line;
        scan.titles.append(toText(line.sliced(1)));
        if (!scan.hasFirstTopic) {
            DisplayText display;
            readRun(lines, line, display);
            scan.hasFirstTopic = true;
            scan.firstTitle = scan.titles.constLast();
            scan.firstText = display.take();
        }
    }
    return scan;
}

template <class View> QString read(View text, const QString& title) {
    DisplayText display;
    followRuns(
        text, [&](View line) { return isTitleLine(line, title) ? 0 : -1; },
        [&](int, View line, qsizetype) { display.appendLine(line); },
        [&](int) { display.closeTopic(); });
    return display.take();
}

} // namespace

void DisplayText::appendLine(QStringView line) {
    m_text += QLatin1String("     ");
    m_text += line;
    m_text += QLatin1String("\r\n");
}

void DisplayText::appendLine(QByteArrayView line) {
    appendLine(base::decodeCp1251(line));
}

void DisplayText::closeTopic() {
    m_text += QLatin1String("     ");
}

TitleScan scanTitles(QStringView text) {
    return scan(text);
}

TitleScan scanTitles(QByteArrayView bytes) {
    return scan(bytes);
}

QString readTopic(QStringView text, const QString& title) {
    return read(text, title);
}

QString readTopic(QByteArrayView bytes, const QString& title) {
    return read(bytes, title);
}

QList<TopicLines> splitTopics(QStringView text) {
    const QStringList titles = scanTitles(text).titles;
    QList<TopicLines> topics;
    QStringList lines;              // "#Title" for each title
    QHash<QStringView, int> byLine; // a title line → its entry (the views are into lines)
    lines.reserve(titles.size());
    for (int row = 0; row < titles.size(); ++row) {
        lines.append(u'#' + titles[row]);
        if (byLine.contains(lines.constLast())) continue;
        byLine.insert(lines.constLast(), int(topics.size()));
        topics.append({titles[row], row, {}});
    }
    followRuns(
        text, [&](QStringView line) { return line.startsWith(u'#') ? byLine.value(line, -1) : -1; },
        [&](int topic, QStringView line, qsizetype offset) {
            topics[topic].lines.append({offset, line.size()});
        },
        [](int) {});
    return topics;
}

QByteArray readTopicBytes(const QString& contentPath) {
    return base::readContentFile(contentPath);
}

} // namespace topics

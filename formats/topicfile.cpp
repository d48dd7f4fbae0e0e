// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/topicfile.h"

#include "base/text.h"

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

// Reads a topic's lines up to its closing line (consumed) or the end of the file.
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
    LineReader<View> lines(text);
    while (!lines.atEnd()) {
        // The sought line is "#" and the title; the line found stands for it.
        const View line = lines.next();
        if (isTitleLine(line, title)) readRun(lines, line, display);
    }
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

QByteArray readTopicBytes(const QString& contentPath) {
    return base::readContentFile(contentPath);
}

} // namespace topics

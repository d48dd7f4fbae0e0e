// SPDX-License-Identifier: GPL-3.0-or-later
#include "topics/topicfile.h"

#include "core/text.h"

namespace topics {

namespace {

using core::LineReader;

// Reads a topic's lines up to its closing line (consumed) or the end of the file.
void readRun(LineReader& lines, QStringView titleLine, DisplayText& out) {
    while (!lines.atEnd()) {
        const QStringView line = lines.next();
        if (line == titleLine) break;
        out.appendLine(line);
    }
    out.closeTopic();
}

} // namespace

void DisplayText::appendLine(QStringView line) {
    m_text += QLatin1String("     ");
    m_text += line;
    m_text += QLatin1String("\r\n");
}

void DisplayText::closeTopic() {
    m_text += QLatin1String("     ");
}

TitleScan scanTitles(QStringView text) {
    TitleScan scan;
    LineReader lines(text);
    QStringView lastTitleLine;
    while (!lines.atEnd()) {
        const QStringView line = lines.next();
        if (!line.startsWith(u'#') || line == lastTitleLine) continue;
        lastTitleLine = line;
        scan.titles.append(line.mid(1).toString());
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

QString readTopic(QStringView text, const QString& title) {
    const QString sought = u'#' + title;
    DisplayText display;
    LineReader lines(text);
    while (!lines.atEnd())
        if (lines.next() == sought) readRun(lines, sought, display);
    return display.take();
}

QString readTopicFile(const QString& contentPath) {
    return core::decodeCp1251(core::readContentFile(contentPath));
}

} // namespace topics

#include "topicfile.h"

#include "text.h"

namespace topics {

namespace {

// Splits text into lines on CR LF, CR or LF; the last line may lack its end.
class LineReader {
public:
    explicit LineReader(QStringView text) : m_text(text) {}
    bool atEnd() const { return m_pos >= m_text.size(); }
    QStringView next() {
        const qsizetype start = m_pos;
        qsizetype end = start;
        while (end < m_text.size() && m_text[end] != u'\r' && m_text[end] != u'\n')
            ++end;
        m_pos = end;
        if (m_pos < m_text.size() && m_text[m_pos] == u'\r') ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == u'\n' &&
            (m_pos == end || m_text[end] == u'\r'))
            ++m_pos;
        return m_text.mid(start, end - start);
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

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

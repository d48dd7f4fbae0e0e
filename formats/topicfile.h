// SPDX-License-Identifier: GPL-3.0-or-later
// Topic files: each section keeps its topics in one Windows-1251 text file.
//
//   #Title            a title line opens a topic
//   paragraph         every line inside a topic is one paragraph
//   #Title            the first line equal to the title line closes it
//
// Lines outside topics that do not begin with "#" are ignored. A line ends at CR LF, at a
// CR alone or at an LF alone. Reading a topic by its title opens a run at every line equal
// to its title line and closes it at the next such line, whatever other topics do
// meanwhile: a line belongs to every topic open at it. This file is the one place that
// says so; the window, the search and the content checker read topics through it. Nothing
// here touches a window, and nothing is cached: every use reads the file again.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace topics {

// The text a topic shows: every paragraph indented by five spaces and followed by CR LF,
// and five spaces left at the end where the closing line was cut off. A second run of the
// same title continues after those spaces.
class DisplayText {
public:
    void appendLine(QStringView line);
    void appendLine(QByteArrayView line); // a line of the file's bytes
    void closeTopic();                    // the closing line, appended and cut off again
    const QString& text() const { return m_text; }
    QString take() { return std::move(m_text); }

private:
    QString m_text;
};

struct TitleScan {
    QStringList titles; // in file order, duplicates included
    bool hasFirstTopic = false;
    QString firstTitle; // the first title line without its "#"
    QString firstText;  // display text of the first topic
};

// Lists the titles. A title line equal to the last one seen is not a title again (it
// closes that topic), so the closing lines of later topics are skipped; the first topic's
// text is read along the way. A topic cut short by the end of the file ends there.
TitleScan scanTitles(QStringView text);

// The display text of every run of the topic with this title, in file order.
QString readTopic(QStringView text, const QString& title);

// The same from the file's bytes, decoding only what is delivered (one byte is one
// character in Windows-1251, and every character that shapes a topic is ASCII): a large
// file needs no decoded copy of the whole.
TitleScan scanTitles(QByteArrayView bytes);
QString readTopic(QByteArrayView bytes, const QString& title);

// Where a line stands in the text, without its line end.
struct TopicLine {
    qsizetype offset = 0;
    qsizetype length = 0;
};

struct TopicLines {
    QString title;
    int row = 0;            // where the title first stands in scanTitles' list
    QList<TopicLine> lines; // the paragraphs readTopic shows for it, every run included
};

// One entry for every distinct title the file lists, in list order, holding the lines that
// reading the topic by its title shows. One pass over the text, however many topics.
QList<TopicLines> splitTopics(QStringView text);

// Reads the file's bytes.
QByteArray readTopicBytes(const QString& contentPath);

} // namespace topics

// SPDX-License-Identifier: GPL-3.0-or-later
// What the reader prints: a topic, a breed, or a whole section as a booklet, typeset for
// paper rather than copied from the screen. Each part is a QTextDocument laid out for the
// printer's page (serif body, headings never left at the foot of a page without what
// follows them) and starts on a new page; a booklet leads with a contents page giving each
// part's first page; every page ends in a footer with the reference's name and the page's
// number. It paints on any QPrinter: the one the print dialog set up, or a PDF file. No
// window here: the windows hand over what they show (print/dialogs.h asks the reader).
#pragma once

#include "formats/breedchoice.h"
#include "formats/catalogfile.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class QPrinter;
class QTextDocument;

namespace print {

struct Topic {
    QString section; // the section's title, as the reader shows it
    QString title;
    QString text; // as the reader shows it: a paragraph a line, indented or not
};

struct Breed {
    QString name;
    QString description;
    QImage photo;                // the largest file of the photo there is; null when none
    QList<facts::FactRow> facts; // the chooser's facts in words; empty when it has none
};

// Read from the content as the reader and the catalogue show them. A topic file that
// cannot be read fails as the reader's reading does.
Topic readTopic(const QString& section, const QString& topicFile, const QString& title);
// Every topic with these titles, in this order (the reader's list).
QList<Topic> readSection(const QString& section, const QString& topicFile,
                         const QStringList& titles);
// The photo from the catalogue's file name (at twice the screen's pixels when that file is
// there), the facts from the chooser's file; either may be missing.
Breed readBreed(const catalogue::Record& record);

// What a PDF gets and the print dialog starts from: A4 upright, 20 mm margins.
void preparePage(QPrinter& printer);

class Printout {
public:
    // Lays out for the printer's page as it is set now.
    explicit Printout(QPrinter& printer);
    ~Printout();
    Printout(const Printout&) = delete;
    Printout& operator=(const Printout&) = delete;

    void addTopic(const Topic& topic);
    void addBreed(const Breed& breed);
    // A booklet: a contents page under this title comes first, listing every part.
    void addContents(const QString& title);

    int pageCount();
    // The page (from 1) each part added starts on, contents pages counted.
    QList<int> firstPages();
    // Paints every page; false when the printer could not be started (a file that cannot
    // be written, a printer gone).
    bool print();

    // The document of a part as laid out, for checking its layout.
    const QTextDocument& part(int index) const;

private:
    std::unique_ptr<QTextDocument> newDocument() const;
    void finish(QTextDocument& document) const;
    void layOut();
    void drawFooter(class QPainter& painter, int page) const;

    QPrinter& m_printer;
    double m_dpi;
    double m_width = 0, m_bodyHeight = 0, m_footerTop = 0;
    QList<std::shared_ptr<QTextDocument>> m_parts;
    QStringList m_titles;
    QString m_contentsTitle;
    bool m_contents = false;
    std::unique_ptr<QTextDocument> m_contentsDocument;
    bool m_laidOut = false;
};

} // namespace print

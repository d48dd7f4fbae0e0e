// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/printout.h"

#include "base/contentfiles.h"
#include "base/failure.h"
#include "base/text.h"
#include "core/look.h"
#include "core/pictures.h"
#include "formats/topicfile.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <QUrl>

namespace print {

namespace {
// The reference's name, in every footer.
const QString Name = QStringLiteral("Пёсограф");

// Sizes in points. Lengths in a text format (margins, indents, an image's size) are in
// pixels of 96 to the inch, which the layout scales to the printer; the page is in the
// printer's own pixels.
constexpr double units(double points) {
    return points * 96 / 72;
}
constexpr double BodyPoints = 11;
constexpr double TitlePoints = 18;
constexpr double SubheadPoints = 13;
constexpr double SectionPoints = 10;
constexpr double FooterPoints = 9;
constexpr double IndentPoints = 14; // a paragraph's first line
// The footer's band below the text: a rule, then a line of it.
constexpr double FooterBandPoints = 28;
// The photo is printed at most this wide (mm) and never over a third of the page's height.
constexpr double PhotoWidthMm = 80;

// The body's serif: the one the reader's own text takes on the screen.
QString serif() {
    return core::installedFace(QStringLiteral("Times New Roman"));
}

QStringList paragraphs(const QString& text) {
    QStringList out;
    for (base::LineReader lines(text); !lines.atEnd();)
        if (const QString line = lines.next().trimmed().toString(); !line.isEmpty()) out << line;
    return out;
}

// A heading's block is kept on the page of the block that follows it (see keepHeadings).
void insertHeading(QTextCursor& cursor, bool first, const QString& text, double points, bool bold,
                   bool italic, double spaceAfter) {
    QTextBlockFormat block;
    block.setHeadingLevel(bold ? 1 : 2);
    block.setBottomMargin(units(spaceAfter));
    block.setAlignment(Qt::AlignLeft);
    QTextCharFormat chars;
    chars.setFontPointSize(points);
    chars.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    chars.setFontItalic(italic);
    if (first) {
        cursor.setBlockFormat(block);
        cursor.setBlockCharFormat(chars);
    } else {
        cursor.insertBlock(block, chars);
    }
    cursor.insertText(text, chars);
}

// The first line's indent is in the printer's pixels: the layout does not scale it.
void insertParagraph(QTextCursor& cursor, const QString& text, double indent) {
    QTextBlockFormat block;
    block.setAlignment(Qt::AlignJustify);
    block.setTextIndent(indent);
    block.setBottomMargin(units(4));
    block.setLineHeight(115, QTextBlockFormat::ProportionalHeight);
    QTextCharFormat chars;
    chars.setFontPointSize(BodyPoints);
    cursor.insertBlock(block, chars);
    cursor.insertText(text, chars);
}

// Where a block's first line starts and its last line ends, in the document's
// coordinates (the layout moves a line that does not fit down to the next page).
std::pair<double, double> lineSpan(const QTextDocument& document, const QTextBlock& block) {
    const QRectF box = document.documentLayout()->blockBoundingRect(block);
    const QTextLayout* layout = block.layout();
    if (!layout || layout->lineCount() == 0) return {box.top(), box.top()};
    const QTextLine last = layout->lineAt(layout->lineCount() - 1);
    return {box.top() + layout->lineAt(0).y(), box.top() + last.y() + last.height()};
}

// No heading ends a page with what it heads on the next: the heading (and a heading just
// before it on its page) starts the next page instead.
void keepHeadings(QTextDocument& document) {
    const double page = document.pageSize().height();
    const auto pageOf = [&](double y) { return int(y / page); };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlock next = block.next();
        if (block.blockFormat().headingLevel() == 0 || !next.isValid()) continue;
        const int at = pageOf(lineSpan(document, block).second - 1);
        if (at == pageOf(lineSpan(document, next).first + 1)) continue;
        QTextBlock first = block;
        while (first.previous().isValid() && first.previous().blockFormat().headingLevel() > 0 &&
               pageOf(lineSpan(document, first.previous()).first + 1) == at)
            first = first.previous();
        if (first == document.begin()) continue; // already the top of its part
        QTextBlockFormat format = first.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(first).setBlockFormat(format);
    }
}
} // namespace

Topic readTopic(const QString& section, const QString& topicFile, const QString& title) {
    return {section, title, topics::readTopic(topics::readTopicBytes(topicFile), title)};
}

QList<Topic> readSection(const QString& section, const QString& topicFile,
                         const QStringList& titles) {
    const QByteArray bytes = topics::readTopicBytes(topicFile);
    QList<Topic> out;
    for (const QString& title : titles)
        out.append({section, title, topics::readTopic(bytes, title)});
    return out;
}

Breed readBreed(const catalogue::Record& record) {
    Breed breed{record.name, record.description, {}, {}};
    if (const std::optional<QString> path = catalogue::photoPath(record.photoFile)) {
        try {
            breed.photo = core::loadPicture(*path, 2).pixmap.toImage();
        } catch (const base::RuntimeFailure&) {
            // missing or not a picture: printed without
        }
    }
    facts::FactsSource source(base::content::BreedFacts);
    source.refresh();
    for (const facts::Breed& b : source.table().breeds)
        if (b.name == record.name) {
            breed.facts = facts::factRows(b);
            break;
        }
    return breed;
}

void preparePage(QPrinter& printer) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
}

Printout::Printout(QPrinter& printer) : m_printer(printer), m_dpi(printer.resolution()) {
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    m_width = page.width();
    m_footerTop = page.height() - FooterBandPoints * m_dpi / 72;
    m_bodyHeight = m_footerTop;
}

Printout::~Printout() = default;

std::unique_ptr<QTextDocument> Printout::newDocument() const {
    auto document = std::make_unique<QTextDocument>();
    // Laid out in the printer's own pixels, its fonts measured there.
    document->documentLayout()->setPaintDevice(&m_printer);
    document->setDocumentMargin(0);
    QFont body(serif());
    body.setPointSizeF(BodyPoints);
    document->setDefaultFont(body);
    document->setPageSize(QSizeF(m_width, m_bodyHeight));
    return document;
}

void Printout::finish(QTextDocument& document) const {
    keepHeadings(document);
}

void Printout::addTopic(const Topic& topic) {
    auto document = newDocument();
    QTextCursor cursor(document.get());
    insertHeading(cursor, true, topic.section, SectionPoints, false, true, 4);
    insertHeading(cursor, false, topic.title, TitlePoints, true, false, 12);
    for (const QString& paragraph : paragraphs(topic.text))
        insertParagraph(cursor, paragraph, IndentPoints * m_dpi / 72);
    finish(*document);
    m_parts.append(std::move(document));
    m_titles << topic.title;
    m_laidOut = false;
}

void Printout::addBreed(const Breed& breed) {
    auto document = newDocument();
    QTextCursor cursor(document.get());
    insertHeading(cursor, true, QStringLiteral("Каталог пород"), SectionPoints, false, true, 4);
    insertHeading(cursor, false, breed.name, TitlePoints, true, false, 12);
    if (!breed.photo.isNull()) {
        // The photo's own pixels, scaled only by the printer.
        const QUrl name(QStringLiteral("psograf-photo"));
        document->addResource(QTextDocument::ImageResource, name, breed.photo);
        const double toUnits = 96 / m_dpi;
        double width = std::min(m_width * toUnits, PhotoWidthMm * 96 / 25.4);
        double height = width * breed.photo.height() / breed.photo.width();
        if (const double most = m_bodyHeight * toUnits / 3; height > most) {
            width *= most / height;
            height = most;
        }
        QTextImageFormat image;
        image.setName(name.toString());
        image.setWidth(width);
        image.setHeight(height);
        QTextBlockFormat block;
        block.setAlignment(Qt::AlignHCenter);
        block.setBottomMargin(units(12));
        cursor.insertBlock(block);
        cursor.insertImage(image);
    }
    for (const QString& paragraph : paragraphs(breed.description))
        insertParagraph(cursor, paragraph, IndentPoints * m_dpi / 72);
    if (!breed.facts.isEmpty()) {
        insertHeading(cursor, false, QStringLiteral("Коротко о породе"), SubheadPoints, true, false,
                      6);
        // Space above the heading, kept with it at the top of a page too.
        QTextBlockFormat above = cursor.blockFormat();
        above.setTopMargin(units(10));
        cursor.setBlockFormat(above);
        for (const facts::FactRow& row : breed.facts) {
            insertParagraph(cursor, QString(), 0);
            QTextCharFormat label;
            label.setFontPointSize(BodyPoints);
            label.setFontWeight(QFont::Bold);
            cursor.insertText(row.label + QStringLiteral(": "), label);
            label.setFontWeight(QFont::Normal);
            cursor.insertText(row.value, label);
        }
    }
    finish(*document);
    m_parts.append(std::move(document));
    m_titles << breed.name;
    m_laidOut = false;
}

void Printout::addContents(const QString& title) {
    m_contents = true;
    m_contentsTitle = title;
    m_laidOut = false;
}

void Printout::layOut() {
    if (m_laidOut) return;
    m_laidOut = true;
    m_contentsDocument.reset();
    if (!m_contents) return;
    // The contents' own length moves every part's first page: laid out until it stays.
    int contentsPages = 1;
    for (int round = 0; round < 4; ++round) {
        auto document = newDocument();
        QTextCursor cursor(document.get());
        // The reference's name stands in the footer below.
        insertHeading(cursor, true, m_contentsTitle, TitlePoints, true, false, 6);
        insertHeading(cursor, false, QStringLiteral("Содержание"), SubheadPoints, true, false, 10);
        QTextTableFormat table;
        table.setBorder(0);
        table.setBorderStyle(QTextFrameFormat::BorderStyle_None);
        table.setCellPadding(units(1));
        table.setCellSpacing(0);
        table.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        table.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 90),
                                         QTextLength(QTextLength::PercentageLength, 10)});
        QTextTable* rows = cursor.insertTable(int(m_parts.size()), 2, table);
        int page = contentsPages + 1;
        QTextCharFormat chars;
        chars.setFontPointSize(BodyPoints);
        for (int i = 0; i < m_parts.size(); ++i) {
            QTextCursor title = rows->cellAt(i, 0).firstCursorPosition();
            title.insertText(m_titles[i], chars);
            QTextCursor number = rows->cellAt(i, 1).firstCursorPosition();
            QTextBlockFormat right;
            right.setAlignment(Qt::AlignRight);
            number.setBlockFormat(right);
            number.insertText(QString::number(page), chars);
            page += m_parts[i]->pageCount();
        }
        const int pages = document->pageCount();
        m_contentsDocument = std::move(document);
        if (pages == contentsPages) break;
        contentsPages = pages;
    }
}

int Printout::pageCount() {
    layOut();
    int pages = m_contentsDocument ? m_contentsDocument->pageCount() : 0;
    for (const auto& part : std::as_const(m_parts))
        pages += part->pageCount();
    return pages;
}

QList<int> Printout::firstPages() {
    layOut();
    QList<int> out;
    int page = (m_contentsDocument ? m_contentsDocument->pageCount() : 0) + 1;
    for (const auto& part : std::as_const(m_parts)) {
        out << page;
        page += part->pageCount();
    }
    return out;
}

const QTextDocument& Printout::part(int index) const {
    return *m_parts.at(index);
}

void Printout::drawFooter(QPainter& painter, int page) const {
    painter.save();
    QFont font(serif());
    font.setPointSizeF(FooterPoints);
    painter.setFont(font);
    painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 0.5 * m_dpi / 72));
    const double rule = m_footerTop + 8 * m_dpi / 72;
    painter.drawLine(QPointF(0, rule), QPointF(m_width, rule));
    painter.setPen(Qt::black);
    const QRectF line(0, rule + 3 * m_dpi / 72, m_width, 14 * m_dpi / 72);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignTop, Name);
    painter.drawText(line, Qt::AlignRight | Qt::AlignTop, QString::number(page));
    painter.restore();
}

bool Printout::print() {
    layOut();
    QList<const QTextDocument*> documents;
    if (m_contentsDocument) documents << m_contentsDocument.get();
    for (const auto& part : std::as_const(m_parts))
        documents << part.get();
    QPainter painter;
    if (!painter.begin(&m_printer)) return false;
    int page = 0;
    for (const QTextDocument* document : std::as_const(documents)) {
        for (int p = 0; p < document->pageCount(); ++p) {
            if (page++ > 0 && !m_printer.newPage()) return false;
            painter.save();
            const QRectF body(0, p * m_bodyHeight, m_width, m_bodyHeight);
            painter.translate(0, -body.top());
            // A line moved to the top of a page may start a hair above it, and the last line
            // of a page end on its edge: each is drawn on its own page only.
            const double hair = m_dpi / 300;
            painter.setClipRect(body.adjusted(0, -hair, 0, hair));
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = body.adjusted(0, hair, 0, -hair);
            // Printed dark on light whatever the screen shows.
            context.palette.setColor(QPalette::Text, Qt::black);
            document->documentLayout()->draw(&painter, context);
            painter.restore();
            drawFooter(painter, page);
        }
    }
    return painter.end();
}

} // namespace print

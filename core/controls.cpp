// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/controls.h"

#include "base/units.h"
#include "core/look.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>

namespace core {

namespace {

void setTextColor(QWidget* w, QPalette::ColorRole role, quint32 color) {
    // Hover resets assign the same values on every pointer move: only a change repaints.
    if (w->testAttribute(Qt::WA_SetPalette) &&
        w->palette().color(QPalette::Active, role) == vbColor(color) &&
        w->palette().color(QPalette::Inactive, role) == vbColor(color) &&
        w->palette().color(QPalette::Disabled, role) == vbColor(color))
        return;
    QPalette p = w->palette();
    p.setColor(QPalette::Active, role, vbColor(color));
    p.setColor(QPalette::Inactive, role, vbColor(color));
    p.setColor(QPalette::Disabled, role, vbColor(color));
    w->setPalette(p);
}

const char* const TwipsProperty = "psografTwips";
const char* const FontProperty = "psografFont";
const char* const ColorsProperty = "psografColors"; // palette role -> design colour

} // namespace

void setDesignColor(QWidget* widget, QPalette::ColorRole role, quint32 color) {
    QVariantMap colors = widget->property(ColorsProperty).toMap();
    colors.insert(QString::number(int(role)), color);
    widget->setProperty(ColorsProperty, colors);
    setTextColor(widget, role, color);
}

void applyLook(QWidget* control) {
    if (auto* label = qobject_cast<Label*>(control)) label->applyLook();
    if (auto* line = qobject_cast<Line*>(control)) line->applyLook();
    if (auto* shape = qobject_cast<Shape*>(control)) shape->applyLook();
    const QVariantMap colors = control->property(ColorsProperty).toMap();
    for (auto it = colors.constBegin(); it != colors.constEnd(); ++it)
        setTextColor(control, QPalette::ColorRole(it.key().toInt()), it.value().toUInt());
}

void place(QWidget* widget, const QRect& twips) {
    widget->setProperty(TwipsProperty, twips);
    widget->setGeometry(base::twipsRect(twips));
}

void setDesignFont(QWidget* widget, const DesignFont& font) {
    widget->setProperty(FontProperty, QVariant::fromValue(font));
    widget->setFont(font.font());
}

void applyZoom(QWidget* control) {
    if (auto* label = qobject_cast<Label*>(control)) return label->applyZoom();
    if (auto* image = qobject_cast<Image*>(control)) return image->applyZoom();
    if (auto* line = qobject_cast<Line*>(control)) return line->applyZoom();
    if (auto* shape = qobject_cast<Shape*>(control)) return shape->applyZoom();
    if (auto* text = qobject_cast<TextBox*>(control)) return text->applyZoom();
    const QVariant font = control->property(FontProperty);
    if (font.isValid()) control->setFont(font.value<DesignFont>().font());
    const QVariant twips = control->property(TwipsProperty);
    if (twips.isValid()) control->setGeometry(base::twipsRect(twips.toRect()));
}

Label::Label(QWidget* surface, const QString& name, const QRect& twips, const QString& caption,
             const DesignFont& font, quint32 color, Qt::Alignment alignment, bool wordWrap)
    : PressableLabel(surface), m_twips(twips), m_font(font) {
    setObjectName(name);
    setGeometry(base::twipsRect(twips));
    setFont(font.font());
    setForeColor(color);
    // Text stands at the top of its box, as on the surface it was designed for.
    setAlignment(alignment | Qt::AlignTop);
    setWordWrap(wordWrap);
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
    setText(caption);
}

void Label::setForeColor(quint32 color) {
    m_color = color;
    setTextColor(this, QPalette::WindowText, color);
}

void Label::setFontSize(double points) {
    m_font.points = points;
    QFont f = font();
    if (f.pixelSize() == base::pointsToPx(points)) return;
    f.setPixelSize(base::pointsToPx(points));
    setFont(f);
    fitBox();
}

void Label::applyZoom() {
    setFont(m_font.font());
    fitBox();
}

void Label::applyLook() {
    setTextColor(this, QPalette::WindowText, m_color);
}

void Label::setText(const QString& text) {
    m_text = text;
    fitBox();
}

void Label::setGrowToFit(const TextBox* over, const QWidget* above) {
    m_over = over;
    m_above = above;
    fitBox();
}

QRect Label::hitBox() const {
    const QRect box = designBox();
    const int top = std::min(box.y(), y());
    const int bottom = std::max(box.y() + box.height(), y() + height());
    return QRect(box.x() - x(), top - y(), box.width(), bottom - top);
}

QString Label::fittingLines(int width, int maxLines) const {
    // Every character but a joining mark is at least a pixel wide, so no more than this can
    // stand in maxLines lines: the rest is never laid out.
    const qsizetype limit = qsizetype(std::max(width, 1)) * maxLines + 1;
    const bool cut = m_text.size() > limit;
    const QString head = cut ? m_text.left(limit) : m_text;

    // Wrapped as the label wraps: at spaces, a word too long for a line standing out.
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    QTextLayout asWrapped(head, font());
    asWrapped.setTextOption(option);
    asWrapped.beginLayout();
    bool fits = !cut;
    for (int i = 0; fits; ++i) {
        QTextLine line = asWrapped.createLine();
        if (!line.isValid()) break;
        line.setLineWidth(width);
        fits = i < maxLines && line.naturalTextWidth() <= width;
    }
    asWrapped.endLayout();
    if (fits) return m_text;

    // All lines but the last as they wrap, a word too long broken where the line ends;
    // the last ends in "…" where the text goes on.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QTextLayout lines(head, font());
    lines.setTextOption(option);
    lines.beginLayout();
    QStringList shown;
    qsizetype rest = 0;
    for (int i = 0; i + 1 < maxLines; ++i) {
        QTextLine line = lines.createLine();
        if (!line.isValid()) break;
        line.setLineWidth(width);
        QStringView text = QStringView(head).sliced(line.textStart(), line.textLength());
        while (text.endsWith(u' '))
            text.chop(1);
        shown << text.toString();
        rest = line.textStart() + line.textLength();
    }
    lines.endLayout();
    const QString last = head.sliced(rest);
    const QFontMetrics metrics(font());
    if (cut || metrics.horizontalAdvance(last) > width) {
        const QChar ellipsis(0x2026);
        QString elided = metrics.elidedText(last, Qt::ElideRight, width);
        if (!elided.endsWith(ellipsis))
            elided = metrics.elidedText(last, Qt::ElideRight,
                                        width - metrics.horizontalAdvance(ellipsis));
        if (!elided.endsWith(ellipsis)) elided += ellipsis;
        shown << elided;
    } else if (!last.isEmpty()) {
        shown << last;
    }
    return shown.join(u'\n');
}

void Label::fitBox() {
    QRect box = designBox();
    if (wordWrap() && m_over) {
        // As many lines as end above the text box's text.
        const int room = std::max(box.height(), m_over->textTop() - box.y());
        const auto linesHeight = [&](const QFont& f, int lines) {
            return QFontMetrics(f)
                .boundingRect(QRect(0, 0, box.width(), 10000), int(alignment() | Qt::TextWordWrap),
                              QStringLiteral("x\n").repeated(lines - 1) + u'x')
                .height();
        };
        const auto linesIn = [&](const QFont& f, int height) {
            int lines = 1;
            while (lines < 100 && linesHeight(f, lines + 1) <= height)
                ++lines;
            return lines;
        };
        int maxLines = linesIn(font(), room);
        // Zoomed, as many as at 100 % where the free space above makes up for what the
        // frame and margin below did not grow by.
        int above = 0;
        if (m_above && base::zoomFactor() != 1.0) {
            // Labels are zoomed last, in no set order: a label above is taken as the zoom
            // lays it out, one line at the top of its box.
            const auto* label = qobject_cast<const Label*>(m_above);
            const int aboveBottom =
                label ? label->designBox().y() + QFontMetrics(label->m_font.font()).height()
                      : m_above->geometry().bottom() + 1;
            above = std::max(0, box.y() - aboveBottom - base::scaledPx(2));
            QFont designSize = font();
            designSize.setPixelSize(base::pointsToPx(m_font.points, 1.0));
            const int designLines =
                linesIn(designSize, m_over->designTextTop() - base::twipsToPx(m_twips.y(), 1.0));
            while (maxLines < designLines && linesHeight(font(), maxLines + 1) <= room + above)
                ++maxLines;
        }
        const QString shown = fittingLines(box.width(), maxLines);
        const bool elided = shown.size() != m_text.size() || shown != m_text;
        QLabel::setText(shown);
        if (elided || m_elided) {
            setToolTip(elided ? boundedText(m_text) : QString());
            setAccessibleName(elided ? boundedText(m_text) : QString());
        }
        m_elided = elided;
        const int needed = heightForWidth(box.width());
        if (needed > box.height()) {
            const int up = std::clamp(needed - room, 0, above);
            box.translate(0, -up);
            box.setHeight(std::min(needed, room + up));
            // What lies below is behind it in the layout; the grown lines go in front.
            raise();
        }
    } else {
        QLabel::setText(m_text);
        const int overflow = wordWrap() ? 0 : fontMetrics().horizontalAdvance(m_text) - box.width();
        if (overflow > 0) {
            const int side = (overflow + 1) / 2 + 1;
            box.adjust(-side, 0, side, 0);
        }
    }
    if (geometry() != box) setGeometry(box);
}

BookmarkMark::BookmarkMark(QWidget* surface, const QString& name, const QRect& twips)
    : Label(surface, name, twips, QString(), designFont(QStringLiteral("MS Sans Serif"), 12, true),
            colors::Blue, Qt::AlignHCenter) {
    setPressable(true);
    setMarked(false);
}

void BookmarkMark::setMarked(bool marked) {
    m_marked = marked;
    setText(marked ? QStringLiteral("★") : QStringLiteral("☆"));
    const QString name =
        marked ? QStringLiteral("Убрать из закладок") : QStringLiteral("Добавить в закладки");
    setAccessibleName(name);
    setToolTip(name + QStringLiteral(" (Ctrl+D)"));
}

void PressableLabel::setPressable(bool pressable) {
    m_pressable = pressable;
    setFocusPolicy(pressable ? Qt::TabFocus : Qt::NoFocus);
    // Building the window may already have made the plain label's interface; drop it,
    // so the next one asked for has the new role.
    QAccessible::deleteAccessibleInterface(
        QAccessible::uniqueId(QAccessible::queryAccessibleInterface(this)));
}

void PressableLabel::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
        m_keyboardFocus = true;
        break;
    case Qt::ActiveWindowFocusReason: // back to a window: as it was
    case Qt::PopupFocusReason:
        break;
    default:
        m_keyboardFocus = false;
    }
    update();
}

void PressableLabel::focusOutEvent(QFocusEvent* event) {
    QLabel::focusOutEvent(event);
    update();
}

void PressableLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (hasKeyboardFocus()) {
        QPainter painter(this);
        paintFocusMark(painter);
    }
}

void PressableLabel::paintFocusMark(QPainter& painter) const {
    if (!hasKeyboardFocus()) return;
    const int width = std::max(1, base::scaledPx(1));
    const QRect mark = hitBox().adjusted(0, 0, -width, -width);
    QPen pen(Qt::white, width);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(mark.translated(width / 2, width / 2));
    pen.setColor(Qt::black);
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.drawRect(mark.translated(width / 2, width / 2));
}

void PressableLabel::mouseMoveEvent(QMouseEvent* event) {
    // Outside the box (a widened caption's margins) the pointer is over the surface.
    if (!hitBox().contains(event->position().toPoint())) {
        event->ignore();
        return;
    }
    event->accept();
    emit mouseMoved();
}

void PressableLabel::mousePressEvent(QMouseEvent* event) {
    if (!hitBox().contains(event->position().toPoint())) {
        event->ignore();
        return;
    }
    if (event->button() == Qt::LeftButton) m_pressed = true;
    event->accept();
}

void PressableLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    // Taken like a press, but the release after it clicks nothing.
    event->setAccepted(hitBox().contains(event->position().toPoint()));
}

void PressableLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    // A click is a left press and release both inside the control.
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       hitBox().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) m_pressed = false;
    if (click) emit clicked();
}

Image::Image(QWidget* surface, const QString& name, const QRect& twips, Sizing sizing,
             const QString& tooltip, const QString& accessibleName)
    : PressableLabel(surface), m_sizing(sizing), m_twips(twips),
      m_designSize(base::twipsRect(twips, 1).size()) {
    setObjectName(name);
    setGeometry(base::twipsRect(twips));
    // A picture that takes its own size is drawn as it is at 100 %, else filling the box.
    setScaledContents(sizing == Sizing::Stretch || base::zoomFactor() != 1);
    setToolTip(tooltip);
    setAccessibleName(accessibleName.isEmpty() ? tooltip : accessibleName);
    setMouseTracking(true);
}

void Image::setPicture(const Picture& picture) {
    if (m_source == picture.source && pixmap().cacheKey() == picture.pixmap.cacheKey()) return;
    m_source = picture.source;
    m_fitted = picture.fitted;
    setPixmap(picture.pixmap);
    if (m_sizing == Sizing::TakePictureSize && !picture.pixmap.isNull()) {
        m_designSize = picture.pixmap.deviceIndependentSize().toSize();
        resize(base::scaledSize(m_designSize));
    }
}

void Image::applyZoom() {
    setScaledContents(m_sizing == Sizing::Stretch || base::zoomFactor() != 1);
    const QRect box = base::twipsRect(m_twips);
    setGeometry(QRect(box.topLeft(),
                      m_sizing == Sizing::Stretch ? box.size() : base::scaledSize(m_designSize)));
}

void Image::clearPicture() {
    m_source.clear();
    m_fitted = QPixmap();
    setPixmap(QPixmap());
}

void Image::paintEvent(QPaintEvent* event) {
    // A stretched picture that already has the box's pixels (resampled ahead, or of that
    // size) is drawn as it is; the label would copy and resample it at the first paint.
    if (m_sizing == Sizing::Stretch) {
        const QSize device = size() * devicePixelRatio();
        const QPixmap shown = m_fitted.size() == device ? m_fitted : pixmap();
        if (!shown.isNull() && shown.size() == device) {
            QPainter painter(this);
            painter.drawPixmap(rect(), shown);
            paintFocusMark(painter);
            return;
        }
    }
    PressableLabel::paintEvent(event);
}

Line::Line(QWidget* surface, const QString& name, QPoint fromTwips, QPoint toTwips, int widthPx,
           quint32 color)
    : QWidget(surface), m_fromTwips(fromTwips), m_toTwips(toTwips), m_designWidth(widthPx),
      m_designColor(color), m_color(vbColor(color)) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    applyZoom();
}

void Line::applyZoom() {
    m_width = base::scaledPx(m_designWidth);
    const QPoint a = base::twipsPoint(m_fromTwips.x(), m_fromTwips.y());
    const QPoint b = base::twipsPoint(m_toTwips.x(), m_toTwips.y());
    // The pen's width is centred on the line; a rule ends exactly at its end points.
    const int half = m_width / 2;
    const int endMargin = a.y() == b.y() ? 0 : half;
    const QRect box(QPoint(std::min(a.x(), b.x()) - endMargin, std::min(a.y(), b.y()) - half),
                    QPoint(std::max(a.x(), b.x()) + endMargin - 1,
                           std::max(a.y(), b.y()) - half + m_width - 1));
    setGeometry(box);
    m_from = a - box.topLeft();
    m_to = b - box.topLeft();
}

void Line::applyLook() {
    m_color = vbColor(m_designColor);
    update();
}

void Line::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(m_color, m_width, Qt::SolidLine, Qt::FlatCap));
    if (m_from.y() == m_to.y()) { // a rule: fill exactly its band of pixels
        const int half = m_width / 2;
        p.fillRect(QRect(QPoint(std::min(m_from.x(), m_to.x()), m_from.y() - half),
                         QSize(std::abs(m_to.x() - m_from.x()), m_width)),
                   m_color);
        return;
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.drawLine(m_from, m_to);
}

Shape::Shape(QWidget* surface, const QString& name, const QRect& twips, int borderPx, quint32 color)
    : QWidget(surface), m_twips(twips), m_border(borderPx), m_designColor(color),
      m_color(vbColor(color)) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(base::twipsRect(twips));
}

void Shape::setSizeTwips(int width, int height) {
    m_twips.setSize(QSize(width, height >= 0 ? height : m_twips.height()));
    resize(base::twipsToPx(m_twips.width()), base::twipsToPx(m_twips.height()));
}

void Shape::applyZoom() {
    setGeometry(base::twipsRect(m_twips));
}

void Shape::applyLook() {
    m_color = vbColor(m_designColor);
    update();
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    const int b = std::min({base::scaledPx(m_border), r.width() / 2, r.height() / 2});
    p.fillRect(QRect(r.left(), r.top(), r.width(), b), m_color);
    p.fillRect(QRect(r.left(), r.bottom() - b + 1, r.width(), b), m_color);
    p.fillRect(QRect(r.left(), r.top(), b, r.height()), m_color);
    p.fillRect(QRect(r.right() - b + 1, r.top(), b, r.height()), m_color);
}

ChoiceList::ChoiceList(QWidget* surface, const QString& name, const QRect& twips,
                       const DesignFont& font, quint32 color, quint32 background)
    : QListWidget(surface) {
    setObjectName(name);
    place(this, twips);
    setDesignFont(this, font);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTextElideMode(Qt::ElideRight);
    setUniformItemSizes(true);
    setDesignColor(this, QPalette::Text, color);
    setDesignColor(this, QPalette::Base, background);
    // Assistive technology changes the selection rather than the current item.
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_programmatic && !selectedItems().isEmpty()) emit chosen();
    });
    connect(this, &QListWidget::currentRowChanged, this, &ChoiceList::describeChoice);
    describeChoice();
}

namespace {
constexpr int WholeText = Qt::UserRole;
}

void ChoiceList::addEntries(const QStringList& texts) {
    const int first = count();
    QStringList shown = texts; // shares the texts until one is cut
    QList<qsizetype> cut;
    for (qsizetype i = 0; i < texts.size(); ++i)
        if (QString bounded = boundedText(texts[i]); bounded.size() != texts[i].size()) {
            shown[i] = std::move(bounded);
            cut << i;
        }
    addItems(shown);
    for (const qsizetype i : std::as_const(cut))
        item(first + int(i))->setData(WholeText, texts[i]);
}

QString ChoiceList::entryText(int row) const {
    const QListWidgetItem* entry = item(row);
    if (!entry) return QString();
    const QVariant whole = entry->data(WholeText);
    return whole.isValid() ? whole.toString() : entry->text();
}

QString ChoiceList::selectedText() const {
    const auto items = selectedItems();
    return items.isEmpty() ? QString() : entryText(row(items.first()));
}

void ChoiceList::makeCurrent(int row) {
    const QModelIndex index = model()->index(row, 0);
    if (!index.isValid()) return;
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    programmatic([&] { selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate); });
    setAutoScroll(scrolls);
}

void ChoiceList::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // Qt's list tells assistive technology that the new current entry has the focus even
    // when the focus is elsewhere (a topic opened from the search, its text focused): a
    // screen reader then speaks the list where the keys do not go.
    if (hasFocus())
        QListWidget::currentChanged(current, previous);
    else
        QAbstractItemView::currentChanged(current, previous);
}

void ChoiceList::focusInEvent(QFocusEvent* event) {
    if (m_firstOnEntry && !currentIndex().isValid() && count() > 0) setCurrentRow(0);
    if (currentIndex().isValid()) {
        QListWidget::focusInEvent(event);
        // Qt names the list once this returns; the current entry is named after it.
        QTimer::singleShot(0, this, [this] {
            if (!hasFocus() || !currentIndex().isValid() || !QAccessible::isActive()) return;
            QAccessibleEvent focus(this, QAccessible::Focus);
            focus.setChild(currentRow());
            QAccessible::updateAccessibility(&focus);
        });
        return;
    }
    // Without a current entry Qt makes the first one current (and, on some styles,
    // selected) unless the mouse gave the focus; nothing the user did chose it, and a
    // screen reader would hear it gained and lost. So none becomes current: the list is
    // announced as having no entry chosen, and the first Down makes the first entry
    // current and chooses it.
    QFocusEvent asByMouse(event->type(), Qt::MouseFocusReason);
    QListWidget::focusInEvent(&asByMouse);
}

void ChoiceList::setHint(const QString& hint) {
    m_hint = hint;
    describeChoice();
}

void ChoiceList::describeChoice() {
    setAccessibleDescription(currentIndex().isValid() || !m_hint.isEmpty()
                                 ? m_hint
                                 : QStringLiteral("нет выбранного элемента"));
}

void ChoiceList::mouseMoveEvent(QMouseEvent* event) {
    QListWidget::mouseMoveEvent(event);
    event->accept();
}

TextBox::TextBox(QWidget* surface, const QString& name, const QRect& twips, const DesignFont& font,
                 quint32 color, quint32 background)
    : QPlainTextEdit(surface), m_twips(twips), m_font(font) {
    setObjectName(name);
    setGeometry(base::twipsRect(twips));
    setFont(font.font());
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setCursor(Qt::ArrowCursor);
    setDesignColor(this, QPalette::Text, color);
    setDesignColor(this, QPalette::Base, background);
    // The marks belong to the text they were found in; the one at the cursor stands out.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_found.isEmpty()) markFound(QList<TextSpan>());
    });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (!m_found.isEmpty()) showFound();
    });
}

int TextBox::textTop() const {
    return y() + viewport()->y() + int(document()->documentMargin());
}

int TextBox::designTextTop() const {
    return textTop() - y() + base::twipsToPx(m_twips.y(), 1.0);
}

void TextBox::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
    event->accept();
}

void TextBox::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_menuEntries) return QPlainTextEdit::contextMenuEvent(event);
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    menu->addSeparator();
    m_menuEntries(*menu);
    // A menu is a window of its own: it takes the night's palette itself.
    if (nightLook()) menu->setPalette(nightPalette());
    menu->exec(event->globalPos());
}

QString boundedText(const QString& text, qsizetype limit) {
    return text.size() <= limit ? text : text.left(limit) + QChar(0x2026);
}

// The scroll bar counts lines as wrapped: its value is the line at the top.
int TextBox::topPosition() const {
    const int top = verticalScrollBar()->value();
    const QTextBlock block = document()->findBlockByLineNumber(top);
    if (!block.isValid() || !block.layout()) return 0;
    const QTextLine line = block.layout()->lineAt(top - block.firstLineNumber());
    return block.position() + (line.isValid() ? line.textStart() : 0);
}

void TextBox::showAtTop(int position) {
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid() || !block.layout()) return;
    const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
    verticalScrollBar()->setValue(block.firstLineNumber() +
                                  (line.isValid() ? line.lineNumber() : 0));
}

namespace {
// The found words on a marker that shows on the light boxes of the day and the dark ones of
// the night alike, dark on it either way; where the cursor stands, a deeper one.
const QColor Marker(0xFF, 0xE0, 0x66);
const QColor CurrentMarker(0xFF, 0xC4, 0x6B);
const QColor OnMarker(0x1C, 0x1A, 0x12);
const QString FoundNote =
    QStringLiteral("найденные слова отмечены, F3 следующее, Shift+F3 предыдущее");
} // namespace

void TextBox::markFound(const QList<TextSpan>& places) {
    if (m_found.isEmpty()) m_description = accessibleDescription();
    const int size = document()->characterCount() - 1;
    m_found.clear();
    // In order and apart, as the search gives them.
    for (const TextSpan& place : places)
        if (place.start >= 0 && place.length > 0 && place.start + place.length <= size &&
            (m_found.isEmpty() || place.start >= m_found.last().start + m_found.last().length))
            m_found.append(place);
    setAccessibleDescription(m_found.isEmpty() ? m_description
                             : m_description.isEmpty()
                                 ? FoundNote
                                 : m_description + QStringLiteral(", ") + FoundNote);
    if (m_found.isEmpty()) {
        setExtraSelections({});
        return;
    }
    QTextCursor at(document());
    at.setPosition(m_found.first().start);
    m_current = 0; // drawn once, below
    setTextCursor(at);
    showFound(true);
    showAtTop(m_found.first().start);
}

void TextBox::markFound(const FoundPlaces& found) {
    // In the document's own text, whose places the cursor counts (a line end is one).
    markFound(found ? found(document()->toRawText()) : QList<TextSpan>());
}

bool TextBox::stepFound(bool forward) {
    const int at = textCursor().position();
    const TextSpan* next = nullptr;
    if (forward) {
        for (const TextSpan& place : m_found)
            if (place.start > at) {
                next = &place;
                break;
            }
    } else {
        // From inside a mark, back to its beginning.
        for (const TextSpan& place : m_found)
            if (place.start < at) next = &place;
    }
    if (!next) return false;
    QTextCursor cursor(document());
    cursor.setPosition(next->start);
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

void TextBox::showFound(bool again) {
    const int at = textCursor().position();
    // The mark the cursor is in, if any: only a move into or out of one changes the look.
    const auto after = std::upper_bound(m_found.cbegin(), m_found.cend(), at,
                                        [](int p, const TextSpan& s) { return p < s.start; });
    const int current = after != m_found.cbegin() && at < (after - 1)->start + (after - 1)->length
                            ? int(after - m_found.cbegin()) - 1
                            : -1;
    if (!again && current == m_current) return;
    m_current = current;
    const bool night = nightLook();
    QList<QTextEdit::ExtraSelection> marks;
    marks.reserve(m_found.size());
    for (int i = 0; i < m_found.size(); ++i) {
        const TextSpan& place = m_found[i];
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(document());
        mark.cursor.setPosition(place.start);
        mark.cursor.setPosition(place.start + place.length, QTextCursor::KeepAnchor);
        mark.format.setBackground(i == current ? CurrentMarker : Marker);
        // By day the text's own colour; at night the light text would not read on it.
        mark.format.setForeground(night ? OnMarker : palette().color(QPalette::Text));
        marks.append(mark);
    }
    setExtraSelections(marks);
}

void TextBox::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !m_found.isEmpty()) showFound(true);
}

void TextBox::applyZoom() {
    const int top = topPosition();
    setFont(m_font.font());
    setGeometry(base::twipsRect(m_twips));
    showAtTop(top);
}

void TextBox::resizeEvent(QResizeEvent* event) {
    const int top = topPosition();
    QPlainTextEdit::resizeEvent(event);
    showAtTop(top);
}

void stackFrontToBack(std::initializer_list<QWidget*> controls) {
    for (auto it = std::rbegin(controls); it != std::rend(controls); ++it)
        (*it)->raise();
}

} // namespace core

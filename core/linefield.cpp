// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/linefield.h"

#include <QAbstractSpinBox>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>
#include <QTextBoundaryFinder>
#include <QValidator>
#include <algorithm>

namespace core {

namespace {

// Offsets a reader may pass instead of a place in the text.
constexpr int AtCaret = -2;
constexpr int AtEnd = -1;

// The edges of the items a boundary of this kind divides the text into, from 0 to its
// length. Words alternate with what stands between them (spaces, punctuation), as in Qt's
// own text interfaces; a single line is one item.
QList<int> itemEdges(const QString& text, QAccessible::TextBoundaryType type) {
    const int length = int(text.size());
    QList<int> edges{0};
    if (length == 0) return edges;
    QTextBoundaryFinder::BoundaryType finderType;
    switch (type) {
    case QAccessible::CharBoundary:
        finderType = QTextBoundaryFinder::Grapheme;
        break;
    case QAccessible::WordBoundary:
        finderType = QTextBoundaryFinder::Word;
        break;
    case QAccessible::SentenceBoundary:
        finderType = QTextBoundaryFinder::Sentence;
        break;
    default:
        return {0, length};
    }
    QTextBoundaryFinder finder(finderType, text);
    // Past the last boundary the finder answers -1: the walk stops there.
    for (qsizetype at = finder.toNextBoundary(); at > 0 && at < length;
         at = finder.toNextBoundary()) {
        const bool itemEdge = finder.boundaryReasons() &
                              (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem);
        if ((type != QAccessible::WordBoundary || itemEdge) && at > edges.last()) edges << int(at);
    }
    edges << length;
    return edges;
}

class LineFieldAccessible : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
public:
    explicit LineFieldAccessible(QLineEdit* field)
        : QAccessibleWidget(field, QAccessible::EditableText) {}
    // The one-line field whose text this interface reads.
    virtual QLineEdit* field() const { return static_cast<QLineEdit*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        QString s;
        if (t == QAccessible::Value) {
            if (field()->echoMode() == QLineEdit::Normal)
                s = field()->text();
            else if (field()->echoMode() != QLineEdit::NoEcho)
                s = QString(field()->text().size(), u'*');
        }
        if (s.isEmpty()) s = QAccessibleWidget::text(t);
        if (s.isEmpty() && t == QAccessible::Description) s = field()->placeholderText();
        return s;
    }
    void setText(QAccessible::Text t, const QString& text) override {
        if (t != QAccessible::Value) {
            QAccessibleWidget::setText(t, text);
            return;
        }
        setFieldText(text);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (field()->isReadOnly())
            s.readOnly = true;
        else
            s.editable = true;
        if (field()->echoMode() != QLineEdit::Normal) s.passwordEdit = true;
        s.selectableText = true;
        return s;
    }

    // The text a reader may read: a hidden entry reads as nothing.
    QString readable() const {
        return field()->echoMode() == QLineEdit::Normal ? field()->text() : QString();
    }

    // QAccessibleTextInterface
    void selection(int index, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        if (index != 0 || !field()->hasSelectedText()) return;
        *startOffset = field()->selectionStart();
        *endOffset = field()->selectionEnd();
    }
    int selectionCount() const override { return field()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int index) override {
        if (index == 0) field()->deselect();
    }
    void setSelection(int index, int startOffset, int endOffset) override {
        if (index != 0) return;
        const int length = characterCount();
        startOffset = std::clamp(startOffset, 0, length);
        endOffset = std::clamp(endOffset, 0, length);
        field()->setSelection(startOffset, endOffset - startOffset);
    }
    int cursorPosition() const override { return field()->cursorPosition(); }
    void setCursorPosition(int position) override { field()->setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override {
        const QString all = readable();
        startOffset = std::clamp(startOffset, 0, int(all.size()));
        endOffset = std::clamp(endOffset, startOffset, int(all.size()));
        return all.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(readable().size()); }
    QRect characterRect(int offset) const override {
        const QString shown = field()->displayText();
        if (offset < 0 || offset >= shown.size()) return QRect();
        // Measured from the caret, which knows how far the text is scrolled.
        const QRect caret = field()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QFontMetrics metrics(field()->font());
        const int caretAt = std::clamp(field()->cursorPosition(), 0, int(shown.size()));
        const int x = caret.x() + metrics.horizontalAdvance(shown.left(offset)) -
                      metrics.horizontalAdvance(shown.left(caretAt));
        int width = metrics.horizontalAdvance(shown.mid(offset, 1));
        if (width == 0) width = metrics.averageCharWidth();
        QRect r(x, caret.y(), width, caret.height());
        r.moveTo(field()->mapToGlobal(r.topLeft()));
        return r;
    }
    int offsetAtPoint(const QPoint& point) const override {
        return field()->cursorPositionAt(field()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override {
        field()->setCursorPosition(endIndex);
        field()->setCursorPosition(startIndex);
    }
    // One plain run over the whole text: a reader that reads by runs reads it whole.
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        const int length = characterCount();
        if (offset == AtCaret) offset = cursorPosition();
        if (offset == AtEnd) offset = length;
        if (offset < 0 || offset > length) {
            *startOffset = *endOffset = -1;
            return QString();
        }
        *startOffset = 0;
        *endOffset = length;
        return QString();
    }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                             int* endOffset) const override {
        return item(offset, type, -1, startOffset, endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                            int* endOffset) const override {
        return item(offset, type, +1, startOffset, endOffset);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                         int* endOffset) const override {
        return item(offset, type, 0, startOffset, endOffset);
    }

    // QAccessibleEditableTextInterface: a read-only field keeps its text.
    void deleteText(int startOffset, int endOffset) override {
        replaceText(startOffset, endOffset, QString());
    }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString& text) override {
        QString all = field()->text();
        startOffset = std::clamp(startOffset, 0, int(all.size()));
        endOffset = std::clamp(endOffset, startOffset, int(all.size()));
        setFieldText(all.replace(startOffset, endOffset - startOffset, text));
    }

private:
    // The item at the offset (step 0: the one holding the character there), or the one
    // before or after it (step -1, +1). At the end of the text the word, sentence or line is
    // the last one, the character nothing. With no item before, the answer is empty at 0;
    // with none after, empty at the end.
    QString item(int offset, QAccessible::TextBoundaryType type, int step, int* startOffset,
                 int* endOffset) const {
        const QString all = readable();
        const int length = int(all.size());
        if (offset == AtCaret) offset = std::clamp(cursorPosition(), 0, length);
        if (offset == AtEnd) offset = length;
        if (offset < 0 || offset > length) {
            *startOffset = *endOffset = -1;
            return QString();
        }
        const QList<int> edges = itemEdges(all, type);
        const int items = int(edges.size()) - 1;
        int index = int(std::upper_bound(edges.begin(), edges.end(), offset) - edges.begin()) - 1;
        if (index == items && type != QAccessible::CharBoundary && items > 0) index = items - 1;
        index += step;
        if (index < 0 || index >= items) {
            *startOffset = *endOffset = index < 0 ? 0 : length;
            return QString();
        }
        *startOffset = edges[index];
        *endOffset = edges[index + 1];
        return all.mid(*startOffset, *endOffset - *startOffset);
    }

    void setFieldText(const QString& text) {
        if (field()->isReadOnly()) return;
        QString value = text;
        int at = 0;
        if (const QValidator* v = field()->validator();
            v && v->validate(value, at) != QValidator::Acceptable)
            return;
        field()->setText(value);
    }

protected:
    LineFieldAccessible(QWidget* widget, QAccessible::Role role)
        : QAccessibleWidget(widget, role) {}
};

// A spin box: its value, and its text read from its own one-line field as above (Qt 6.4's
// spin boxes read theirs through an interface of Qt's own that the factory never sees).
class SpinFieldAccessible : public LineFieldAccessible, public QAccessibleValueInterface {
public:
    explicit SpinFieldAccessible(QAbstractSpinBox* spin)
        : LineFieldAccessible(spin, QAccessible::SpinBox) {}
    QAbstractSpinBox* spin() const { return static_cast<QAbstractSpinBox*>(widget()); }
    // A spin box always has one; it makes a new one when its own is taken away.
    QLineEdit* field() const override {
        return spin()->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    }
    bool isValid() const override { return LineFieldAccessible::isValid() && field(); }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return LineFieldAccessible::interface_cast(type);
    }

    // QAccessibleValueInterface, for the spin boxes that have a number (QSpinBox,
    // QDoubleSpinBox); a date's has none.
    QVariant currentValue() const override { return spin()->property("value"); }
    void setCurrentValue(const QVariant& value) override {
        if (!spin()->isReadOnly()) spin()->setProperty("value", value);
    }
    QVariant maximumValue() const override { return spin()->property("maximum"); }
    QVariant minimumValue() const override { return spin()->property("minimum"); }
    QVariant minimumStepSize() const override { return spin()->property("singleStep"); }
};

} // namespace

QAccessibleInterface* lineFieldAccessible(QLineEdit* field) {
    return new LineFieldAccessible(field);
}

QAccessibleInterface* spinFieldAccessible(QAbstractSpinBox* spin) {
    return new SpinFieldAccessible(spin);
}

} // namespace core

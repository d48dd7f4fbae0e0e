// SPDX-License-Identifier: GPL-3.0-or-later
// The controls every window is built from, placed in twips on a window's surface.
// Labels, pictures, lists and text boxes keep pointer moves over them to themselves;
// lines and frames take no pointer input, so a move over them reaches the surface.
// Each keeps its place and font as the design gives them, so that a new zoom puts it
// where the design puts it at that size (applyZoom).
#pragma once

#include "base/units.h"
#include "core/look.h"
#include "core/navigator.h"
#include "core/pictures.h"

#include <QKeyCombination>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <functional>

class QMenu;

namespace core {

// A label or picture that reacts to the pointer: it keeps pointer moves to itself and
// reports a left click (press and release inside it).
class PressableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // A control whose click does something: assistive technology sees a push button
    // whose press action clicks it, and Tab reaches it (a click gives it no focus). Set
    // before the window is first shown.
    void setPressable(bool pressable);
    bool isPressable() const { return m_pressable; }
    // It has the focus, and the keyboard gave it (Tab, or the arrows in a window of such
    // controls): a focus mark shows, and Space or Enter press it.
    bool hasKeyboardFocus() const { return hasFocus() && m_keyboardFocus; }

    // The keys that press it (its window handles them, see FormBase::bindKeys).
    QList<QKeyCombination> keys() const { return m_keys; }
    void setKeys(const QList<QKeyCombination>& keys) { m_keys = keys; }

    // The part of the control that takes the pointer, in its own coordinates.
    virtual QRect hitBox() const { return rect(); }

public slots:
    // What a click, a key or assistive technology does: the same clicked().
    void press() { emit clicked(); }

signals:
    void clicked();
    void mouseMoved();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The second press of a double click starts no click: a double click is one click.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // A dashed frame just inside the part that takes the pointer, light and dark so that it
    // shows on any picture, while the control has the keyboard's focus.
    void paintFocusMark(QPainter& painter) const;

private:
    bool m_pressed = false;
    bool m_pressable = false;
    bool m_keyboardFocus = false;
    QList<QKeyCombination> m_keys;
};

class TextBox;

// Places any widget on a surface by its design box, or gives it a design font; either is
// kept for applyZoom. The controls below do this themselves.
void place(QWidget* widget, const QRect& twips);
void setDesignFont(QWidget* widget, const DesignFont& font);

// Gives a widget a design colour (look.h) for a role of its palette, kept for applyLook;
// the controls below do this themselves.
void setDesignColor(QWidget* widget, QPalette::ColorRole role, quint32 color);

// Puts a control (of this file, or a widget given a place or font above) where the zoom in
// effect puts it, with its font at that size.
void applyZoom(QWidget* control);
// Gives a control (or a widget given design colours above) the colours of the look in
// effect, by day or at night (core/night.h).
void applyLook(QWidget* control);

class Label : public PressableLabel {
    Q_OBJECT
public:
    Label(QWidget* surface, const QString& name, const QRect& twips, const QString& caption,
          const DesignFont& font, quint32 color, Qt::Alignment alignment, bool wordWrap = false);

    quint32 foreColor() const { return m_color; }
    void setForeColor(quint32 color);
    double fontSize() const { return m_font.points; }
    void setFontSize(double points);
    // Hides QLabel::setText so that the box follows the caption (see fitBox). text()
    // then gives what shows, fullText() what was set.
    void setText(const QString& text);
    const QString& fullText() const { return m_text; }

    // A wrapping label whose text needs more lines than its box holds grows downward over
    // the margin of the text box below it, as far as the top of that box's text; a text
    // that needs still more lines ends in "…" in the last line that fits, and the whole
    // text is its tooltip and accessible name. Only what can show is laid out, so a title
    // of megabytes costs what a title of a line does.
    // Zoomed, it shows as many lines as at 100 %: fonts grow by whole pixels while the text
    // box's frame and margin stay as they are, so where the lines need more than the room
    // down to the text, the label takes it from the free space above, below what the
    // control above shows (a label's text, another control's box).
    void setGrowToFit(const TextBox* over, const QWidget* above = nullptr);
    // The box the layout gives it, at the zoom in effect.
    QRect designBox() const { return base::twipsRect(m_twips); }
    // The box across, as tall as the label has grown.
    QRect hitBox() const override;
    void applyZoom();
    void applyLook();

private:
    // A caption wider than its box (a lit menu item) widens the label evenly on both
    // sides, so it stays centred and whole; the pointer still takes only the box.
    void fitBox();
    // The lines of m_text that fit maxLines lines of this width, the last ending in "…"
    // when the text goes on; m_text itself when it fits.
    QString fittingLines(int width, int maxLines) const;

    QRect m_twips;
    DesignFont m_font;
    quint32 m_color = 0;
    QString m_text;
    const TextBox* m_over = nullptr;
    const QWidget* m_above = nullptr;
    bool m_elided = false;
};

// The bookmark mark of a reading window, an addition in its free space: a star, hollow while
// what the window shows is not bookmarked, filled while it is. A click, or the window's key
// for it, presses it; a screen reader hears a button named by what a press does.
class BookmarkMark : public Label {
    Q_OBJECT
public:
    BookmarkMark(QWidget* surface, const QString& name, const QRect& twips);
    void setMarked(bool marked);
    bool isMarked() const { return m_marked; }

private:
    bool m_marked = false;
};

// A text cut to at most limit characters, ending in "…" where it was cut: what a tooltip,
// an accessible name or a list entry holds of a text that may be megabytes long (a
// screen reader reads the whole name, and Qt lays out the whole of what it is given).
QString boundedText(const QString& text, qsizetype limit = 4000);

class Image : public PressableLabel {
    Q_OBJECT
public:
    enum class Sizing { Stretch, TakePictureSize };
    Image(QWidget* surface, const QString& name, const QRect& twips, Sizing sizing,
          const QString& tooltip, const QString& accessibleName);

    // A picture control shows what was last assigned to it.
    void setPicture(const Picture& picture);
    // An empty picture keeps the control's size, so the frame around it stays put.
    void clearPicture();
    QString pictureSource() const { return m_source; }
    bool hasPicture() const { return !m_source.isEmpty(); }
    Picture picture() const { return Picture{m_source, pixmap(), m_fitted}; }
    // Its size at 100 %: its box, or the last picture's own size where it takes that.
    QSize designSize() const { return m_designSize; }
    void applyZoom();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Sizing m_sizing;
    QRect m_twips;
    QSize m_designSize;
    QString m_source;
    QPixmap m_fitted; // the picture resampled ahead to fill a box, maybe of this size
};

// A straight line; its width in pixels is centred on the line.
class Line : public QWidget {
    Q_OBJECT
public:
    Line(QWidget* surface, const QString& name, QPoint fromTwips, QPoint toTwips, int widthPx,
         quint32 color);
    void applyZoom();
    void applyLook();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint m_fromTwips, m_toTwips;
    int m_designWidth;
    quint32 m_designColor;
    QPoint m_from, m_to; // in this widget's coordinates
    int m_width = 0;
    QColor m_color;
};

// An unfilled rectangle whose border lies inside its box.
class Shape : public QWidget {
    Q_OBJECT
public:
    Shape(QWidget* surface, const QString& name, const QRect& twips, int borderPx, quint32 color);
    void setSizeTwips(int width, int height);
    void applyZoom();
    void applyLook();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect m_twips;
    int m_border;
    quint32 m_designColor;
    QColor m_color;
};

// A single-selection list that tells user choices (mouse, keyboard, assistive
// technology) apart from what the program does to it: filling, clearing, focusing.
// Entering it names its current entry to a screen reader, or says that there is none; the
// next Down goes on from there.
class ChoiceList : public QListWidget {
    Q_OBJECT
public:
    ChoiceList(QWidget* surface, const QString& name, const QRect& twips, const DesignFont& font,
               quint32 color, quint32 background);

    // Changes made inside this run without counting as choices.
    template <class F> void programmatic(F&& change) {
        const bool outer = m_programmatic;
        m_programmatic = true;
        change();
        m_programmatic = outer;
    }
    // Adds entries at the end. An entry shows at most boundedText() of its text; the text
    // stays whole in entryText() and selectedText().
    void addEntries(const QStringList& texts);
    QString entryText(int row) const;
    QString selectedText() const;
    // Makes an entry current without choosing it: nothing is selected, scrolled or heard,
    // and the keys go on from there once the list has the focus.
    void makeCurrent(int row);
    // Entering the list with no entry current makes the first one current (and chooses
    // it), rather than leaving none.
    void setFirstCurrentOnEntry(bool on) { m_firstOnEntry = on; }
    // What a screen reader hears with the list besides its name and entry.
    void setHint(const QString& hint);

signals:
    void chosen();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // A screen reader hears «нет выбранного элемента» with the list while no entry is
    // current, unless the list has a hint: then the hint, always.
    void describeChoice();

    bool m_programmatic = false;
    bool m_firstOnEntry = false;
    QString m_hint;
};

// A read-only, word-wrapping text box with an always visible vertical scroll bar and the
// arrow pointer.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    TextBox(QWidget* surface, const QString& name, const QRect& twips, const DesignFont& font,
            quint32 color, quint32 background);
    // Where its first line of text begins, inside its frame and margin, in its parent's
    // coordinates.
    int textTop() const;
    // The same at 100 %.
    int designTextTop() const;

    // The text at the top stays at the top when the zoom wraps it anew.
    void applyZoom();

    // Entries its right-click menu holds below the standard ones (copying, selecting all),
    // added by the window each time the menu opens.
    void setMenuEntries(std::function<void(QMenu& menu)> add) { m_menuEntries = std::move(add); }
    // What a search found in the text shown, marked (extra selections: the text itself
    // stays as it is, and so does what the mouse selects), the first place at the top and
    // the cursor on it. The marks go when the text changes or none are given.
    void markFound(const QList<TextSpan>& places);
    // The places as the search finds them in the text shown; none without a search.
    void markFound(const FoundPlaces& found);
    const QList<TextSpan>& found() const { return m_found; }
    // The cursor to the next marked place after it (or the previous one before it),
    // scrolled into view; false, and the cursor where it was, when there is none.
    bool stepFound(bool forward);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // A window laid out while hidden is resized when shown: the same text stays on top.
    void resizeEvent(QResizeEvent* event) override;
    // The marks take the colours of the night mode and of the day.
    void changeEvent(QEvent* event) override;

private:
    int topPosition() const;
    void showAtTop(int position);
    // again: whatever the cursor did (new marks, new colours).
    void showFound(bool again = false);

    QRect m_twips;
    DesignFont m_font;
    std::function<void(QMenu& menu)> m_menuEntries;
    QList<TextSpan> m_found;
    int m_current = -1;    // the mark the cursor is in
    QString m_description; // the accessible description without the marks' note
};

// Puts the controls in their stacking order: the first one listed is drawn over the rest.
void stackFrontToBack(std::initializer_list<QWidget*> controls);

} // namespace core

// SPDX-License-Identifier: GPL-3.0-or-later
// The look every window shares: no title bar, a fixed 1 px or 3 px border around the
// client area, fixed size, centred on the screen, a background picture painted once from
// the top left. A window can be "disabled" without greying: it then ignores all input.
// Everything is laid out at the reader's zoom (core/zoom.h), and again when it changes.
#pragma once

#include "core/navigator.h"
#include "core/pictures.h"
#include "core/programvalues.h"
#include "core/sound.h"
#include "core/zoom.h"

#include <QAccessible>
#include <QKeyCombination>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>

namespace core {

class Image;
class PressableLabel;
class TextBox;

struct FormLook {
    int clientWidth;  // twips
    int clientHeight; // twips
    int borderPx;     // 1: fixed single, 3: fixed dialog
    bool inTaskbar;
    quint32 backColor;
};

class FormBase : public QWidget {
    Q_OBJECT
public:
    FormBase(ProgramValues& values, Navigator& navigator, const QString& name,
             const FormLook& look);
    ~FormBase() override;

    // The client area: controls stand on it, and pointer moves over its bare parts are the
    // window's own.
    QWidget* surface() const;

    void setPicture(const Picture& picture);
    QString pictureSource() const { return m_picture.source; }

    // Shows the window in front. Becoming visible activates it once the handler that
    // showed it has returned, with or without a window manager.
    void showForm();
    void hideForm();
    void minimize();
    // Hides the window as its back button does, for a move that goes elsewhere than the
    // main window (a search result): what the back button empties is emptied here too.
    virtual void leave() { hideForm(); }

    void setFormEnabled(bool enabled);
    bool isFormEnabled() const { return m_enabled; }

    // Keeps this window above another one (for dialogs of the main window).
    void setOwner(FormBase* owner) { m_owner = owner; }

    // Entry points for the platform's events; each runs its handler under the failure guard.
    void activateNow();
    void surfaceMouseMove();

    // The back button of a reading window or of help (null elsewhere).
    Image* backButton() const { return m_backButton; }

    // What assistive technology announces the window as (its name is the accessible
    // name): a window, a dialog or an alert.
    QAccessible::Role accessibleRole() const { return m_role; }
    void setAccessibleRole(QAccessible::Role role) { m_role = role; }
    // The controls a screen reader finds in the window, in reading order (top to
    // bottom, then left to right): everything on the surface but lines and frames.
    QList<QWidget*> accessibleControls() const;

    // The window's size at a zoom.
    QSize sizeAt(double zoom) const;
    // Lays the window out at the zoom in effect, keeping what it shows; with new pictures,
    // its pictures are assigned again from the cache (or their files) at the new pixel
    // ratio. A shown window is centred again.
    void applyZoom(bool newPictures);
    // Gives the window and every control the look in effect, by day or at night
    // (core/night.h), keeping what it shows; its interface pictures are assigned again from
    // the cache, its photos stay.
    void applyLook();

protected:
    virtual void Form_Activate() {}
    virtual void Form_MouseMove() {}
    // A close request from the desktop (Alt+F4, the taskbar): the back button, where the
    // window has one.
    virtual void Form_CloseRequest();
    // What a click on the back button does (the window's ImageN_Click).
    virtual void backButtonClick() {}

    // The back button in the window's top right corner: tooltip "Вернуться в Главное
    // меню", its picture taking its own size, lit under the pointer where the window has
    // that feedback. The window's own pointer-move handler gives it the normal picture
    // again (backButtonNormal).
    enum class BackHover { Lights, Stays };
    // Escape and Alt+Left press it too.
    Image* addBackButton(const QString& name, const QRect& twips, BackHover hover);
    void backButtonNormal();

    // Keys that press a control of this window exactly as a click on it does, whichever
    // child has the focus (matched on the key, so any keyboard layout; a keypad digit
    // counts as the digit). The description names them for assistive technology
    // ("Клавиша 4"). A window that ignores input ignores these keys too.
    void bindKeys(PressableLabel* control, const QList<QKeyCombination>& keys,
                  const QString& description);
    // Ctrl+F opens the search from this window.
    void allowSearch() { m_searchable = true; }
    // F3 and Shift+F3 go to the next and previous place the search found in this text
    // (TextBox::markFound), into the text; a screen reader hears when there is none.
    void allowFoundSteps(TextBox* text) { m_foundText = text; }
    // A key none of the window's controls took; true when the window used it.
    virtual bool Form_KeyPress(const QKeyEvent*) { return false; }

    // The window's sound player. A window that makes sounds gets a new one on every
    // activation (the main window once, at start-up); the window's VIB and VIL name the
    // sound and call playSound, which plays it through this player.
    void newPlayer() { m_player = std::make_unique<waveplayer>(); }
    void playSound(const QString& relativePath);

    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent* event) override;

    ProgramValues& m_values;
    Navigator& m_navigator;

private:
    class Surface;
    class EventRouter;
    Surface* m_surface;
    Picture m_picture;
    QPixmap m_shownPicture; // m_picture at the zoom
    QColor m_backColor;
    FormLook m_look;
    bool m_enabled = true;
    bool m_wasMinimized = false; // see hideForm
    QPointer<FormBase> m_owner;
    Image* m_backButton = nullptr;
    std::unique_ptr<waveplayer> m_player;
    QAccessible::Role m_role = QAccessible::Window;
    QList<QPointer<PressableLabel>> m_keyed;
    bool m_searchable = false;
    TextBox* m_foundText = nullptr;
    void stepFound(bool forward);

    int m_wheel = 0; // the wheel's turn with Ctrl not yet taken as a zoom step

    // Arrows among the controls, and Space or Enter on the one the keyboard's focus is on.
    bool focusKey(const QKeyEvent* event);
    bool pressKey(const QKeyEvent* event);
    // The window's key and pointer rules, for an event to it or to one of its controls.
    bool windowEvent(QEvent* event);
    static std::optional<zoom::Step> zoomStepOf(const QKeyEvent* event);
    bool zoomWheel(const QWheelEvent* event);
    void centre();
    void zoomPicture();
};

} // namespace core

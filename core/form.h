// The look every window shares: no title bar, a fixed 1 px or 3 px border around the
// client area, fixed size, centred on the screen, a background picture painted once from
// the top left. A window can be "disabled" without greying: it then ignores all input.
#pragma once

#include "pictures.h"

#include <QPointer>
#include <QWidget>

namespace core {

struct WindowSet;

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
    FormBase(WindowSet& windows, const QString& name, const FormLook& look);
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

    void setFormEnabled(bool enabled);
    bool isFormEnabled() const { return m_enabled; }

    // Keeps this window above another one (for dialogs of the main window).
    void setOwner(FormBase* owner) { m_owner = owner; }

    // Entry points for the platform's events; each runs its handler under the failure guard.
    void activateNow();
    void surfaceMouseMove();

protected:
    virtual void Form_Activate() {}
    virtual void Form_MouseMove() {}
    // A close request from the desktop (Alt+F4, the taskbar). Ignored unless overridden.
    virtual void Form_CloseRequest() {}

    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    WindowSet& m_windows;

private:
    class Surface;
    Surface* m_surface;
    Picture m_picture;
    QColor m_backColor;
    int m_border;
    bool m_enabled = true;
    bool m_wasMinimized = false; // see hideForm
    QPointer<FormBase> m_owner;
};

} // namespace core

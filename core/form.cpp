// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/form.h"

#include "core/contentfiles.h"
#include "core/controls.h"
#include "core/failure.h"
#include "core/look.h"
#include "core/units.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace core {

class FormBase::Surface : public QWidget {
public:
    explicit Surface(FormBase* form) : QWidget(form), m_form(form) {
        setObjectName(QStringLiteral("surface"));
        setMouseTracking(true);
        setAutoFillBackground(false);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), m_form->m_backColor);
        if (!m_form->m_picture.isNull())
            p.drawPixmap(0, 0, m_form->m_picture.pixmap); // once, unscaled, not tiled
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        // Moves that a control let through (a line, a frame) still count when nothing
        // that takes pointer input lies under the pointer.
        if (!childAt(event->position().toPoint())) m_form->surfaceMouseMove();
        event->accept();
    }

private:
    FormBase* m_form;
};

FormBase::FormBase(ProgramValues& values, Navigator& navigator, const QString& name,
                   const FormLook& look)
    : QWidget(nullptr), m_values(values), m_navigator(navigator),
      m_backColor(vbColor(look.backColor)), m_border(look.borderPx) {
    setObjectName(name);
    Qt::WindowFlags flags = Qt::FramelessWindowHint | Qt::CustomizeWindowHint;
    flags |= look.inTaskbar ? Qt::Window : Qt::Tool;
    setWindowFlags(flags);
    setWindowTitle(QStringLiteral("Пёсограф"));
    setFont(windowDefaultFont());
    m_surface = new Surface(this);
    m_surface->setGeometry(m_border, m_border, twipsToPx(look.clientWidth),
                           twipsToPx(look.clientHeight));
    setFixedSize(m_surface->width() + 2 * m_border, m_surface->height() + 2 * m_border);
    setMouseTracking(true);
    qApp->installEventFilter(this);
}

QWidget* FormBase::surface() const {
    return m_surface;
}

FormBase::~FormBase() {
    if (qApp) qApp->removeEventFilter(this);
}

void FormBase::setPicture(const Picture& picture) {
    m_picture = picture;
    m_surface->update();
}

void FormBase::showForm() {
    const bool becomesVisible = !isVisible();
    if (becomesVisible) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        if (m_owner) {
            winId();
            m_owner->winId();
            windowHandle()->setTransientParent(m_owner->windowHandle());
        }
    }
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    if (becomesVisible)
        QMetaObject::invokeMethod(this, &FormBase::activateNow, Qt::QueuedConnection);
}

void FormBase::hideForm() {
    hide();
    // Once minimised, an X11 window keeps asking to start iconic (Qt does not reset the
    // hint when the window manager restores it), so showing it again would leave it on
    // the taskbar only. A new native window, made on the next show, starts normal.
    if (m_wasMinimized) {
        m_wasMinimized = false;
        destroy();
    }
}

void FormBase::minimize() {
    m_wasMinimized = true;
    showMinimized();
}

void FormBase::setFormEnabled(bool enabled) {
    m_enabled = enabled;
}

void FormBase::activateNow() {
    guarded([&] { Form_Activate(); });
}

void FormBase::surfaceMouseMove() {
    guarded([&] { Form_MouseMove(); });
}

Image* FormBase::addBackButton(const QString& name, const QRect& twips, BackHover hover) {
    m_backButton = new Image(m_surface, name, twips, Image::Sizing::TakePictureSize,
                             QStringLiteral("Вернуться в Главное меню"), QString());
    connect(m_backButton, &Image::clicked, this, [this] { guarded([&] { backButtonClick(); }); });
    if (hover == BackHover::Lights)
        connect(m_backButton, &Image::mouseMoved, this, [this] {
            guarded(
                [&] { m_backButton->setPicture(m_values.pictures.get(content::graph::BackLit)); });
        });
    return m_backButton;
}

void FormBase::backButtonNormal() {
    m_backButton->setPicture(m_values.pictures.get(content::graph::BackNormal));
}

void FormBase::Form_CloseRequest() {
    if (m_backButton) backButtonClick();
}

void FormBase::playSound(const QString& relativePath) {
    if (!m_player) newPlayer(); // activation normally made it; never play into nothing
    core::playSound(*m_player, relativePath);
}

void FormBase::closeEvent(QCloseEvent* event) {
    event->ignore();
    guarded([&] { Form_CloseRequest(); });
}

void FormBase::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    if (m_border <= 1) {
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        return;
    }
    // A raised dialog frame: light outside, shadow inside.
    const QPalette& pal = palette();
    const QColor rings[] = {pal.color(QPalette::Light), pal.color(QPalette::Button),
                            pal.color(QPalette::Dark)};
    for (int i = 0; i < m_border && i < 3; ++i) {
        p.setPen(rings[i]);
        p.drawRect(r.adjusted(i, i, -1 - i, -1 - i));
    }
}

bool FormBase::eventFilter(QObject* watched, QEvent* event) {
    if (m_enabled || !watched->isWidgetType()) return false;
    if (static_cast<QWidget*>(watched)->window() != this) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::HoverLeave:
    case QEvent::ToolTip:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

} // namespace core

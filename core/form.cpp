// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/form.h"

#include "base/contentfiles.h"
#include "base/failure.h"
#include "base/units.h"
#include "core/announce.h"
#include "core/controls.h"
#include "core/linefield.h"
#include "core/look.h"
#include "core/night.h"
#include "core/zoom.h"

#include <QAbstractSpinBox>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
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
        if (!m_form->m_shownPicture.isNull())
            p.drawPixmap(0, 0, m_form->m_shownPicture); // once, at the zoom, not tiled
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        // Moves that a control let through (a line, a frame, the margin of a widened
        // caption) still count when nothing that takes pointer input lies under the
        // pointer.
        const QPoint at = event->position().toPoint();
        QWidget* child = childAt(at);
        if (auto* pressable = qobject_cast<PressableLabel*>(child);
            pressable && !pressable->hitBox().contains(pressable->mapFrom(this, at)))
            child = nullptr;
        if (!child) m_form->surfaceMouseMove();
        event->accept();
    }

private:
    FormBase* m_form;
};

// One application-wide filter for all windows: each event to a widget goes to the rules of
// the window it belongs to, before the widget itself sees it.
class FormBase::EventRouter : public QObject {
public:
    using QObject::QObject;
    static void install() {
        static QPointer<EventRouter> router;
        if (router) return;
        router = new EventRouter(qApp);
        qApp->installEventFilter(router);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType()) return false;
        auto* form = qobject_cast<FormBase*>(static_cast<QWidget*>(watched)->window());
        return form && form->windowEvent(event);
    }
};

namespace {

bool isDecoration(const QObject* object) {
    return qobject_cast<const Line*>(object) || qobject_cast<const Shape*>(object);
}

FormBase* formOf(const QWidget* widget) {
    return qobject_cast<FormBase*>(widget->window());
}

// A window, named and with its role, whose children are its controls: the surface they
// stand on and the lines and frames are left out.
class FormAccessible : public QAccessibleWidget {
public:
    explicit FormAccessible(FormBase* form) : QAccessibleWidget(form, form->accessibleRole()) {}
    FormBase* form() const { return static_cast<FormBase*>(widget()); }

    QAccessible::Role role() const override { return form()->accessibleRole(); }
    int childCount() const override { return int(form()->accessibleControls().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> controls = form()->accessibleControls();
        if (index < 0 || index >= controls.size()) return nullptr;
        return QAccessible::queryAccessibleInterface(controls[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? int(form()->accessibleControls().indexOf(child->object())) : -1;
    }
};

// The surface, a line or a frame: nothing to announce. A control's parent is the
// surface in Qt's own interfaces, so the surface answers with the window's controls.
class HiddenAccessible : public QAccessibleWidget {
public:
    explicit HiddenAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::NoRole) {}
    QAccessible::State state() const override {
        QAccessible::State s;
        s.invisible = true;
        return s;
    }
    int childCount() const override {
        return isSurface() ? int(formOf(widget())->accessibleControls().size()) : 0;
    }
    QAccessibleInterface* child(int index) const override {
        if (!isSurface()) return nullptr;
        const QList<QWidget*> controls = formOf(widget())->accessibleControls();
        if (index < 0 || index >= controls.size()) return nullptr;
        return QAccessible::queryAccessibleInterface(controls[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!isSurface() || !child) return -1;
        return int(formOf(widget())->accessibleControls().indexOf(child->object()));
    }

private:
    bool isSurface() const { return formOf(widget()) && !isDecoration(widget()); }
};

// A label or picture that reacts to clicks: a push button named by its caption (or its
// accessible name, or its tooltip); pressing it clicks it once the reader's request
// has been answered. While its window ignores input, it is unavailable.
class PressableAccessible : public QAccessibleWidget {
public:
    explicit PressableAccessible(PressableLabel* label)
        : QAccessibleWidget(label, QAccessible::Button) {}
    PressableLabel* label() const { return static_cast<PressableLabel*>(widget()); }

    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(label()->window());
    }
    QString text(QAccessible::Text t) const override {
        // The keys that press it, never the tooltip again that names it.
        if (t == QAccessible::Description) return label()->accessibleDescription();
        if (t != QAccessible::Name) return QAccessibleWidget::text(t);
        for (const QString& name : {label()->accessibleName(), label()->text(), label()->toolTip()})
            if (!name.isEmpty()) return name;
        return QString();
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (!usable()) s.disabled = true;
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && usable())
            QMetaObject::invokeMethod(label(), &PressableLabel::press, Qt::QueuedConnection);
    }
    // The description names the keys in words («Клавиша Enter»); a key binding as well
    // would be said a second time after it.
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    bool usable() const {
        const FormBase* form = formOf(label());
        return !form || form->isFormEnabled();
    }
};

QAccessibleInterface* accessibleFactory(const QString&, QObject* object) {
    if (auto* form = qobject_cast<FormBase*>(object)) return new FormAccessible(form);
    // Every one-line field and spin box, in a window of the program or in one of Qt's
    // dialogs (a print dialog's).
    if (auto* field = qobject_cast<QLineEdit*>(object)) return lineFieldAccessible(field);
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(object)) return spinFieldAccessible(spin);
    if (QAccessibleInterface* message = announcementAccessible(object)) return message;
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || widget->isWindow() || !formOf(widget)) return nullptr;
    if (auto* label = qobject_cast<PressableLabel*>(object); label && label->isPressable())
        return new PressableAccessible(label);
    if (isDecoration(object) || widget == formOf(widget)->surface())
        return new HiddenAccessible(widget);
    return nullptr;
}

} // namespace

QList<QWidget*> FormBase::accessibleControls() const {
    QList<QWidget*> controls;
    for (QObject* child : m_surface->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow() && !isDecoration(w)) {
            // A label with nothing in it (no photo's note while a photo shows) says nothing.
            const auto* label = qobject_cast<const QLabel*>(w);
            if (label && label->text().isEmpty() && label->pixmap().isNull() &&
                label->accessibleName().isEmpty())
                continue;
            controls << w;
        }
    std::stable_sort(controls.begin(), controls.end(), [](const QWidget* a, const QWidget* b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    return controls;
}

FormBase::FormBase(ProgramValues& values, Navigator& navigator, const QString& name,
                   const FormLook& look)
    : QWidget(nullptr), m_values(values), m_navigator(navigator),
      m_backColor(vbColor(look.backColor)), m_look(look) {
    setObjectName(name);
    Qt::WindowFlags flags = Qt::FramelessWindowHint | Qt::CustomizeWindowHint;
    flags |= look.inTaskbar ? Qt::Window : Qt::Tool;
    setWindowFlags(flags);
    setWindowTitle(QStringLiteral("Пёсограф"));
    m_surface = new Surface(this);
    // Until a window gives one of its controls the focus, the window has it: Tab then
    // starts at the first control, and nothing shows a focus mark before the keyboard
    // moves it.
    setFocus(Qt::OtherFocusReason);
    if (nightLook()) setPalette(nightPalette());
    applyZoom(false);
    setMouseTracking(true);
    zoom::enlist(this);
    EventRouter::install();
    static const bool factory = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factory);
}

QWidget* FormBase::surface() const {
    return m_surface;
}

FormBase::~FormBase() {
    zoom::leave(this);
}

void FormBase::setPicture(const Picture& picture) {
    m_picture = picture;
    zoomPicture();
    m_surface->update();
}

void FormBase::zoomPicture() {
    // Resampled once for the zoom, so that a repaint under the pointer only copies it.
    const QPixmap& pixmap = m_picture.pixmap;
    const QSize shown = base::scaledSize(pixmap.deviceIndependentSize().toSize());
    if (pixmap.isNull() || shown == pixmap.deviceIndependentSize().toSize()) {
        m_shownPicture = pixmap;
        return;
    }
    const qreal ratio = m_surface->devicePixelRatioF();
    m_shownPicture = pixmap.scaled(shown * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_shownPicture.setDevicePixelRatio(ratio);
}

QSize FormBase::sizeAt(double zoom) const {
    const int border = 2 * base::scaledPx(m_look.borderPx, zoom);
    return QSize(base::twipsToPx(m_look.clientWidth, zoom) + border,
                 base::twipsToPx(m_look.clientHeight, zoom) + border);
}

void FormBase::applyZoom(bool newPictures) {
    setFont(windowDefaultFont().font());
    const int border = base::scaledPx(m_look.borderPx);
    m_surface->setGeometry(border, border, base::twipsToPx(m_look.clientWidth),
                           base::twipsToPx(m_look.clientHeight));
    setFixedSize(sizeAt(base::zoomFactor()));
    // Captions last: a title that grows toward a text box stops where that box now is.
    QList<QWidget*> controls;
    for (QObject* child : m_surface->children())
        if (auto* control = qobject_cast<QWidget*>(child))
            qobject_cast<Label*>(control) ? controls.append(control) : controls.prepend(control);
    for (QWidget* control : std::as_const(controls)) {
        core::applyZoom(control);
        auto* image = qobject_cast<Image*>(control);
        if (newPictures && image && image->hasPicture())
            image->setPicture(m_values.pictures.again(image->picture()));
    }
    if (newPictures) m_picture = m_values.pictures.again(m_picture);
    zoomPicture();
    update();
    if (isVisible()) centre();
}

void FormBase::applyLook() {
    // By day the palette is the application's again, as it was before any night.
    setPalette(nightLook() ? nightPalette() : QPalette());
    m_backColor = vbColor(m_look.backColor);
    for (QObject* child : m_surface->children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (!control) continue;
        core::applyLook(control);
        auto* image = qobject_cast<Image*>(control);
        if (image && image->hasPicture() && recolouredAtNight(image->pictureSource()))
            image->setPicture(m_values.pictures.again(image->picture()));
    }
    if (recolouredAtNight(m_picture.source)) m_picture = m_values.pictures.again(m_picture);
    zoomPicture();
    update();
    m_surface->update();
}

void FormBase::centre() {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void FormBase::showForm() {
    const bool becomesVisible = !isVisible();
    if (becomesVisible) {
        centre();
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
    base::guarded([&] { Form_Activate(); });
}

void FormBase::surfaceMouseMove() {
    base::guarded([&] { Form_MouseMove(); });
}

Image* FormBase::addBackButton(const QString& name, const QRect& twips, BackHover hover) {
    m_backButton = new Image(m_surface, name, twips, Image::Sizing::TakePictureSize,
                             QStringLiteral("Вернуться в Главное меню"), QString());
    connect(m_backButton, &Image::clicked, this,
            [this] { base::guarded([&] { backButtonClick(); }); });
    m_backButton->setPressable(true);
    bindKeys(m_backButton, {Qt::Key_Escape, Qt::ALT | Qt::Key_Left},
             QStringLiteral("Клавиши Escape или Alt+Стрелка влево"));
    if (hover == BackHover::Lights)
        connect(m_backButton, &Image::mouseMoved, this, [this] {
            base::guarded([&] {
                m_backButton->setPicture(m_values.pictures.get(base::content::graph::BackLit));
            });
        });
    return m_backButton;
}

void FormBase::bindKeys(PressableLabel* control, const QList<QKeyCombination>& keys,
                        const QString& description) {
    control->setKeys(keys);
    control->setAccessibleDescription(description);
    m_keyed << control;
}

std::optional<zoom::Step> FormBase::zoomStepOf(const QKeyEvent* event) {
    // Ctrl with "=" or "+" (with or without Shift, on the keypad too), "-" or "0".
    if ((event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) != Qt::ControlModifier)
        return std::nullopt;
    switch (event->key()) {
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return zoom::Step::Larger;
    case Qt::Key_Minus:
        return zoom::Step::Smaller;
    case Qt::Key_0:
        return zoom::Step::Normal;
    default:
        return std::nullopt;
    }
}

bool FormBase::zoomWheel(const QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) return false;
    // A wheel's notch is 120; a touchpad sends less at a time.
    m_wheel += event->angleDelta().y();
    for (; m_wheel >= 120; m_wheel -= 120)
        base::guarded([&] { zoom::take(zoom::Step::Larger, m_values.pictures); });
    for (; m_wheel <= -120; m_wheel += 120)
        base::guarded([&] { zoom::take(zoom::Step::Smaller, m_values.pictures); });
    return true;
}

bool FormBase::focusKey(const QKeyEvent* event) {
    auto* control = qobject_cast<PressableLabel*>(focusWidget());
    if (!control && focusWidget() && focusWidget() != this) return false;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier) return false;
    switch (event->key()) {
    // Among the controls as Tab goes, whatever the window's own keys for them.
    case Qt::Key_Down:
    case Qt::Key_Right:
        focusNextPrevChild(true);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Left:
        focusNextPrevChild(false);
        return true;
    // The control the focus mark is on, before a key of the window's (Enter on «НЕТ»
    // answers «НЕТ»).
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!control || !control->hasKeyboardFocus()) return false;
        if (!event->isAutoRepeat()) control->press();
        return true;
    default:
        return false;
    }
}

bool FormBase::focusNextPrevChild(bool next) {
    // Tab (and the arrows among buttons) go through the controls in the order of the
    // screen, as they are read, whatever order they were made in.
    QList<QWidget*> chain;
    const auto stops = [](QWidget* w) {
        return (w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled();
    };
    for (QWidget* control : accessibleControls()) {
        if (stops(control)) {
            chain << control;
            continue;
        }
        // A panel of questions: each of its controls, in the order made (Qt itself gives a
        // group of radio buttons the focus at its chosen one, the arrows moving among them).
        for (QWidget* inner : control->findChildren<QWidget*>()) {
            if (!stops(inner) || !control->isVisible()) continue;
            chain << inner;
        }
    }
    if (chain.isEmpty()) return false;
    const QWidget* now = focusWidget();
    const auto at = std::find_if(chain.begin(), chain.end(), [&](const QWidget* control) {
        return control == now || control->isAncestorOf(now);
    });
    const qsizetype count = chain.size();
    const qsizetype to = at == chain.end() ? (next ? 0 : count - 1)
                                           : (at - chain.begin() + (next ? 1 : count - 1)) % count;
    chain[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool FormBase::pressKey(const QKeyEvent* event) {
    // A held key presses once, as a click would.
    if (event->isAutoRepeat()) return false;
    const QKeyCombination pressed(event->modifiers() & ~Qt::KeypadModifier, Qt::Key(event->key()));
    for (PressableLabel* control : std::as_const(m_keyed))
        if (control && control->keys().contains(pressed)) {
            control->press();
            return true;
        }
    return false;
}

void FormBase::backButtonNormal() {
    m_backButton->setPicture(m_values.pictures.get(base::content::graph::BackNormal));
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
    base::guarded([&] { Form_CloseRequest(); });
}

// A window waiting for another (the main menu under help or the exit question, a section
// under search) that a click makes active gives the keyboard back to the one in front.
void FormBase::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || m_enabled || !isActiveWindow()) return;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* front = qobject_cast<FormBase*>(window);
        if (front && front != this && front->m_owner == this && front->isVisible()) {
            QMetaObject::invokeMethod(
                front,
                [front] {
                    front->raise();
                    front->activateWindow();
                },
                Qt::QueuedConnection);
            return;
        }
    }
}

void FormBase::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Each ring of the border as wide as the zoom makes a pixel.
    const auto ring = [&](int i, const QColor& color) {
        const int outer = base::scaledPx(i), inner = base::scaledPx(i + 1);
        const QRect r = rect().adjusted(outer, outer, -outer, -outer);
        const QRegion band = QRegion(r).subtracted(
            QRegion(r.adjusted(inner - outer, inner - outer, outer - inner, outer - inner)));
        for (const QRect& part : band)
            p.fillRect(part, color);
    };
    if (m_look.borderPx <= 1) {
        ring(0, vbColor(0x404040));
        return;
    }
    // A raised dialog frame: light outside, shadow inside.
    const QPalette& pal = palette();
    const QColor rings[] = {pal.color(QPalette::Light), pal.color(QPalette::Button),
                            pal.color(QPalette::Dark)};
    for (int i = 0; i < m_look.borderPx && i < 3; ++i)
        ring(i, rings[i]);
}

void FormBase::stepFound(bool forward) {
    if (m_foundText->found().isEmpty()) {
        announce(QStringLiteral("Нет отмеченных слов"));
        return;
    }
    m_foundText->setFocus(Qt::OtherFocusReason);
    if (!m_foundText->stepFound(forward))
        announce(forward ? QStringLiteral("Дальше отмеченных слов нет")
                         : QStringLiteral("Выше отмеченных слов нет"));
}

bool FormBase::windowEvent(QEvent* event) {
    if (m_enabled) {
        if (event->type() == QEvent::Wheel) return zoomWheel(static_cast<QWheelEvent*>(event));
        // The window's keys come before whatever child has the focus.
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (focusKey(key)) return true;
        if (pressKey(key)) return true;
        if (const std::optional<zoom::Step> step = zoomStepOf(key)) {
            base::guarded([&] { zoom::take(*step, m_values.pictures); });
            return true;
        }
        if (night::isKey(key)) {
            if (!key->isAutoRepeat()) base::guarded([&] { night::toggle(m_values.pictures); });
            return true;
        }
        if (m_searchable && key->matches(QKeySequence::Find)) {
            base::guarded([&] { m_navigator.openSearch(*this, QString()); });
            return true;
        }
        if (m_foundText && key->key() == Qt::Key_F3 &&
            (key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0) {
            base::guarded([&] { stepFound(!(key->modifiers() & Qt::ShiftModifier)); });
            return true;
        }
        bool used = false;
        base::guarded([&] { used = Form_KeyPress(key); });
        return used;
    }
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/night.h"

#include "base/settingsfile.h"
#include "core/announce.h"
#include "core/form.h"
#include "core/look.h"
#include "core/pictures.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFileInfo>
#include <QKeyEvent>
#include <QToolTip>

namespace core::night {

namespace {

const QString SettingsKey = QStringLiteral("night");

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString PortalInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString Appearance = QStringLiteral("org.freedesktop.appearance");
const QString ColorScheme = QStringLiteral("color-scheme");
// The portal answers in milliseconds; one that does not answer in this time leaves the
// program as it is.
constexpr int PortalTimeoutMs = 1500;

// Chosen by the reader during this run (the file may not have taken it).
bool chosenNow = false;

std::optional<bool> storedChoice() {
    const QString value = base::settings::value(SettingsKey);
    if (value == QLatin1String("1")) return true;
    if (value == QLatin1String("0")) return false;
    return std::nullopt;
}

void setOn(bool on, PictureCache& pictures) {
    if (on == nightLook()) return;
    // Tooltips are windows of their own, painted with their own palette.
    static const QPalette dayTips = QToolTip::palette();
    setNightLook(on);
    pictures.lookChanged();
    QToolTip::setPalette(on ? nightPalette() : dayTips);
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<FormBase*>(window)) form->applyLook();
}

// A session bus that is there to be reached: never one that would have to be started
// (D-Bus's autolaunch), which could take seconds.
bool sessionBusExpected() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QLatin1String("/bus"));
}

class PortalListener : public QObject {
    Q_OBJECT
public:
    explicit PortalListener(PictureCache& pictures) : QObject(qApp), m_pictures(pictures) {}

    void ask(const QString& method) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(PortalService, PortalPath, PortalInterface, method);
        call << Appearance << ColorScheme;
        auto* watcher = new QDBusPendingCallWatcher(
            QDBusConnection::sessionBus().asyncCall(call, PortalTimeoutMs), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, method] {
            watcher->deleteLater();
            const QDBusMessage reply = watcher->reply();
            // A portal older than ReadOne has Read only.
            if (reply.type() == QDBusMessage::ErrorMessage &&
                reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") &&
                method != QLatin1String("Read"))
                return ask(QStringLiteral("Read"));
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
            desktopAnswered(schemeOf(reply.arguments().constFirst()), m_pictures);
        });
    }

public slots:
    void settingChanged(const QString& space, const QString& key, const QDBusVariant& value) {
        if (space == Appearance && key == ColorScheme)
            desktopAnswered(schemeOf(QVariant::fromValue(value)), m_pictures);
    }

private:
    PictureCache& m_pictures;
};

} // namespace

bool isKey(const QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return modifiers == Key.keyboardModifiers() && event->key() == Key.key();
}

bool isOn() {
    return nightLook();
}

void choose(bool on, PictureCache& pictures) {
    chosenNow = true;
    setOn(on, pictures);
    // Written only when it changes, keeping every other line of the file.
    base::settings::store(SettingsKey, on ? QStringLiteral("1") : QStringLiteral("0"));
    announce(on ? QStringLiteral("Ночной режим") : QStringLiteral("Дневной режим"));
}

void toggle(PictureCache& pictures) {
    choose(!isOn(), pictures);
}

void startAtRemembered() {
    chosenNow = false;
    setNightLook(remembered().value_or(false));
}

std::optional<bool> remembered() {
    return storedChoice();
}

bool startsDark(std::optional<bool> chosen, std::optional<uint> desktopScheme) {
    if (chosen) return *chosen;
    return desktopScheme == 1u;
}

std::optional<uint> schemeOf(const QVariant& answer) {
    QVariant value = answer;
    // Read wraps the value once more; a portal never nests deeper.
    for (int i = 0; i < 3 && value.metaType() == QMetaType::fromType<QDBusVariant>(); ++i)
        value = value.value<QDBusVariant>().variant();
    if (value.metaType() != QMetaType::fromType<uint>()) return std::nullopt;
    return value.toUInt();
}

void desktopAnswered(std::optional<uint> scheme, PictureCache& pictures) {
    if (chosenNow) return;
    const std::optional<bool> chosen = storedChoice();
    if (chosen) return;
    setOn(startsDark(chosen, scheme), pictures);
}

void followDesktop(PictureCache& pictures) {
    if (!sessionBusExpected()) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    auto* listener = new PortalListener(pictures);
    bus.connect(PortalService, PortalPath, PortalInterface, QStringLiteral("SettingChanged"),
                listener, SLOT(settingChanged(QString, QString, QDBusVariant)));
    listener->ask(QStringLiteral("ReadOne"));
}

} // namespace core::night

#include "night.moc"

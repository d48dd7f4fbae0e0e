// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/userfiles.h"

#include <QDir>
#include <QFile>

namespace base {

namespace {

// An absolute path from the environment, cleaned, or empty.
QString absoluteFrom(const char* variable) {
    const QString value = QFile::decodeName(qgetenv(variable));
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
}

QString userDir(const char* variable, const QString& underHome) {
    QString base = absoluteFrom(variable);
    if (base.isEmpty()) {
        const QString home = absoluteFrom("HOME");
        if (home.isEmpty()) return {};
        base = (home == QLatin1String("/") ? QString() : home) + underHome;
    }
    return (base.endsWith('/') ? base : base + '/') + QLatin1String("psograf");
}

} // namespace

QString userConfigDir() {
    return userDir("XDG_CONFIG_HOME", QStringLiteral("/.config"));
}

QString userDataDir() {
    return userDir("XDG_DATA_HOME", QStringLiteral("/.local/share"));
}

} // namespace base

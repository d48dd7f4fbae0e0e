// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/zoom.h"

#include "base/units.h"
#include "core/form.h"
#include "core/pictures.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>

namespace core::zoom {

namespace {

const QString Key = QStringLiteral("zoom");
// The file holds one short line; anything much larger is not this program's.
constexpr qint64 MaxSettingsBytes = 64 * 1024;

int current = 100;

QList<FormBase*>& forms() {
    static QList<FormBase*> list;
    return list;
}

bool isStep(int percent) {
    return std::find(Steps.begin(), Steps.end(), percent) != Steps.end();
}

bool fits(int percent) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return true;
    const QSize room = screen->availableGeometry().size();
    return std::all_of(forms().begin(), forms().end(), [&](const FormBase* form) {
        const QSize size = form->sizeAt(percent / 100.0);
        return size.width() <= room.width() && size.height() <= room.height();
    });
}

void setPercent(int percent, PictureCache& pictures) {
    if (percent == current) return;
    const bool wasDoubled = pictureRatio() > 1;
    current = percent;
    base::detail::zoomFactor = percent / 100.0;
    // Doubled pictures are read above a ratio of 1 only: crossing it reads them anew.
    const bool newPictures = (pictureRatio() > 1) != wasDoubled;
    if (newPictures) pictures.reload(pictureRatio());
    for (FormBase* form : std::as_const(forms()))
        form->applyZoom(newPictures);
}

// The step a file holds; 0 when it is not a regular file of a size this program writes
// in the format it writes, or holds anything but a step.
int stepIn(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxSettingsBytes) return 0;
    const QSettings settings(path, QSettings::IniFormat);
    bool number = false;
    const int value = settings.value(Key).toString().toInt(&number);
    return settings.status() == QSettings::NoError && number && isStep(value) ? value : 0;
}

void remember(int percent) {
    const QString path = settingsFile();
    const QFileInfo info(path);
    // Never written through a directory, a pipe or a device that took its name.
    if (info.exists() && !info.isFile()) return;
    // QSettings reads what is there and writes it back with the zoom; a file that does
    // not hold one is replaced instead.
    if (info.exists() && !stepIn(path)) QFile::remove(path);
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(Key, percent);
    settings.sync();
}

} // namespace

int percent() {
    return current;
}

int target(Step step) {
    const auto at = std::find(Steps.begin(), Steps.end(), current);
    switch (step) {
    case Step::Larger:
        return at != Steps.end() && at + 1 != Steps.end() && fits(*(at + 1)) ? *(at + 1) : 0;
    case Step::Smaller:
        return at != Steps.begin() && at != Steps.end() ? *(at - 1) : 0;
    case Step::Normal:
        return current != Steps.front() ? Steps.front() : 0;
    }
    return 0;
}

void take(Step step, PictureCache& pictures) {
    const int to = target(step);
    if (!to) return;
    setPercent(to, pictures);
    remember(to);
}

void startAtRemembered() {
    current = remembered();
    base::detail::zoomFactor = current / 100.0;
}

void keepOnScreen(PictureCache& pictures) {
    int percent = current;
    while (percent > Steps.front() && !fits(percent))
        percent = *(std::find(Steps.begin(), Steps.end(), percent) - 1);
    setPercent(percent, pictures);
}

QString settingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1String("/psograf/psograf.conf");
}

int remembered() {
    const int step = stepIn(settingsFile());
    return step ? step : Steps.front();
}

void enlist(FormBase* form) {
    forms().append(form);
}

void leave(FormBase* form) {
    forms().removeOne(form);
}

} // namespace core::zoom

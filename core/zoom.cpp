// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/zoom.h"

#include "base/settingsfile.h"
#include "base/units.h"
#include "core/announce.h"
#include "core/form.h"
#include "core/pictures.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace core::zoom {

namespace {

const QString Key = QStringLiteral("zoom");

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

// The step the settings file holds, or 0.
int stepInSettings() {
    bool number = false;
    const int value = base::settings::value(Key).toInt(&number);
    return number && isStep(value) ? value : 0;
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
    if (to) {
        setPercent(to, pictures);
        base::settings::store(Key, QString::number(to));
    }
    // A screen reader hears the size, where the focus is; at an end, the size that stays.
    announce(QStringLiteral("%1 %").arg(current));
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
    return base::settings::path();
}

int remembered() {
    const int step = stepInSettings();
    return step ? step : Steps.front();
}

void enlist(FormBase* form) {
    forms().append(form);
}

void leave(FormBase* form) {
    forms().removeOne(form);
}

} // namespace core::zoom

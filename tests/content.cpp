// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/content.h"

#include "core/controls.h"
#include "core/sound.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <cmath>

ContentFolder::ContentFolder() {
    core::AudioChannel::setRecorder([this](const QString& p) { sounds << p; });
}

ContentFolder::~ContentFolder() {
    core::AudioChannel::setRecorder({});
}

void saveScreenshot(QWidget* window, const QString& name) {
    const QString dir = qEnvironmentVariable("PSOGRAF_SCREENSHOTS", QDir::tempPath());
    QDir().mkpath(dir);
    window->grab().save(dir + '/' + name + ".png");
}

namespace {
double relativeLuminance(const QColor& c) {
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}
double contrastOf(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
} // namespace

Contrast measuredContrast(const QImage& part) {
    QHash<QRgb, int> counts;
    for (int y = 0; y < part.height(); ++y)
        for (int x = 0; x < part.width(); ++x)
            ++counts[part.pixel(x, y) | 0xFF000000u];
    Contrast c;
    int most = 0;
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
        if (it.value() > most) {
            most = it.value();
            c.back = QColor(it.key());
        }
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
        if (const double ratio = contrastOf(QColor(it.key()), c.back); ratio > c.ratio) {
            c.ratio = ratio;
            c.text = QColor(it.key());
        }
    return c;
}

QImage shownPart(QWidget* window, QWidget* control) {
    QRect inWindow(control->mapTo(window, QPoint(0, 0)), control->size());
    if (auto* pressable = qobject_cast<core::PressableLabel*>(control)) {
        const QRect box = pressable->hitBox();
        inWindow = QRect(control->mapTo(window, box.topLeft()), box.size());
    }
    if (auto* scrolled = qobject_cast<QAbstractScrollArea*>(control)) {
        const QWidget* viewport = scrolled->viewport();
        inWindow = QRect(viewport->mapTo(window, QPoint(0, 0)), viewport->size());
    }
    if (auto* list = qobject_cast<QListWidget*>(control)) {
        inWindow = QRect();
        for (int i = 0; i < list->count() && inWindow.isNull(); ++i)
            if (const QRect entry = list->visualItemRect(list->item(i));
                !list->item(i)->isSelected() && i != list->currentRow() &&
                list->viewport()->rect().contains(entry))
                inWindow = QRect(list->viewport()->mapTo(window, entry.topLeft()), entry.size());
        if (inWindow.isNull()) return QImage();
    }
    const QImage shown = window->grab().toImage();
    const qreal ratio = shown.devicePixelRatio();
    return shown.copy(QRect(inWindow.topLeft() * ratio, inWindow.size() * ratio));
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

QStringList entries(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void clickEntry(QListWidget* list, int row) {
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
    settle();
}

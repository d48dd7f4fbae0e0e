// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/content.h"

#include "core/sound.h"

#include <QApplication>
#include <QDir>
#include <QTest>

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

// SPDX-License-Identifier: GPL-3.0-or-later
// The audio channel's player, a module of its own: Qt Multimedia and the libraries it
// brings are loaded only when the channel first needs them (core/sound.cpp loads this
// from the program directory), so start-up does not pay for them.
#include <QObject>
#include <QSoundEffect>
#include <QString>
#include <QUrl>

// Stops previous (an effect this returned before) and starts the wave file at path on a
// fresh effect owned by channel; returns the new effect.
extern "C" Q_DECL_EXPORT QObject* psograf_start_sound(QObject* channel, QObject* previous,
                                                      const QString& path) {
    if (auto* effect = qobject_cast<QSoundEffect*>(previous)) {
        effect->stop();
        effect->deleteLater();
    }
    if (path.isEmpty()) return nullptr;
    // A fresh effect for every sound: replaying one effect loses quick clicks.
    auto* effect = new QSoundEffect(channel);
    effect->setSource(QUrl::fromLocalFile(path));
    effect->play();
    return effect;
}

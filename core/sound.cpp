// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sound.h"

#include "core/contentpath.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace core {

namespace {
AudioChannel* s_channel = nullptr;
AudioChannel::Recorder s_recorder;
} // namespace

AudioChannel::AudioChannel() {
    s_channel = this;
}

AudioChannel::~AudioChannel() {
    if (s_channel == this) s_channel = nullptr;
}

AudioChannel::Recorder AudioChannel::setRecorder(Recorder recorder) {
    return std::exchange(s_recorder, std::move(recorder));
}

void AudioChannel::play(const QString& fullPath) {
    if (s_recorder)
        s_recorder(fullPath);
    else if (s_channel)
        s_channel->start(fullPath);
}

void AudioChannel::start(const QString& fullPath) {
    if (m_current) {
        m_current->stop();
        m_current->deleteLater();
    }
    const QString path = realPath(fullPath);
    if (!QFileInfo(path).isFile()) return;
    auto* effect = new QSoundEffect(this);
    effect->setSource(QUrl::fromLocalFile(path));
    effect->play();
    m_current = effect;
}

void waveplayer::play() const {
    // Only asynchronous playback exists here; the flags travel along unchanged.
    AudioChannel::play(m_filename);
}

void playSound(waveplayer& player, const QString& relativePath) {
    player.setFilename(programDirectory() + relativePath);
    player.setFlags(SoundAsyncNoDefault);
    player.play();
}

} // namespace core

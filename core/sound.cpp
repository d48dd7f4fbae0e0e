#include "sound.h"

#include "contentpath.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace core {

AudioChannel& AudioChannel::instance() {
    static AudioChannel channel;
    return channel;
}

AudioChannel::Recorder AudioChannel::setRecorder(Recorder recorder) {
    return std::exchange(m_recorder, std::move(recorder));
}

void AudioChannel::play(const QString& fullPath) {
    if (m_recorder) {
        m_recorder(fullPath);
        return;
    }
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
    AudioChannel::instance().play(m_filename);
}

void playSound(waveplayer& player, const QString& relativePath) {
    player.setFilename(programDirectory() + relativePath);
    player.setFlags(SoundAsyncNoDefault);
    player.play();
}

} // namespace core

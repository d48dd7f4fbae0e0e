// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sound.h"

#include "base/contentpath.h"
#include "base/failure.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <cerrno>
#include <future>
#include <memory>
#include <mutex>
#include <sys/stat.h>

namespace core {

namespace {
AudioChannel* s_channel = nullptr;
AudioChannel::Recorder s_recorder;

// core/soundeffect.cpp, built as the module psograf_sound.
using StartSound = QObject* (*)(QObject* channel, QObject* previous, const QString& path);

StartSound loadPlayer(const QString& directory) {
    const QString file = directory + QLatin1String("/" PSOGRAF_SOUND_MODULE);
    const auto silent = [](const QString& why) {
        base::noticeOnce(
            QStringLiteral("звуков не будет: модуль " PSOGRAF_SOUND_MODULE " %1").arg(why));
        return nullptr;
    };
    // Only a regular file is loaded: loading a FIFO would wait for a writer for ever.
    struct stat st = {};
    if (::stat(QFile::encodeName(file).constData(), &st) != 0)
        return silent(errno == ENAMETOOLONG
                          ? QStringLiteral("не найти: путь к папке программы длиннее, чем "
                                           "допускает система (%1 байт)")
                                .arg(QFile::encodeName(file).size())
                          : QStringLiteral("не найден в %1").arg(directory));
    if (!S_ISREG(st.st_mode)) return silent(QStringLiteral("в %1 не обычный файл").arg(directory));
    // Never unloaded: effects made by it may outlive any one channel. One object per file,
    // kept reachable from here for the whole run; one that failed to load is let go.
    static std::mutex lock;
    static auto* const loaded = new QHash<QString, QLibrary*>;
    const std::lock_guard hold(lock);
    if (QLibrary* library = loaded->value(file))
        return reinterpret_cast<StartSound>(library->resolve("psograf_start_sound"));
    auto library = std::make_unique<QLibrary>(file);
    const auto start = reinterpret_cast<StartSound>(library->resolve("psograf_start_sound"));
    if (!start) return silent(QStringLiteral("не загружается: %1").arg(library->errorString()));
    loaded->insert(file, library.release());
    return start;
}

// A click's sound is a few kilobytes; the player reads the whole file, so a file that is
// no regular file, or larger than any sound, stays silent.
constexpr qint64 MaxSoundBytes = qint64(16) << 20;
bool isSoundFile(const QString& path) {
    const QFileInfo file(path);
    return file.isFile() && file.size() <= MaxSoundBytes;
}

std::shared_future<StartSound>& playerLoading() {
    static std::shared_future<StartSound> loading;
    return loading;
}

StartSound player() {
    auto& loading = playerLoading();
    if (!loading.valid()) // nobody asked for it in advance: load it now
        loading =
            std::async(std::launch::deferred, loadPlayer, QCoreApplication::applicationDirPath())
                .share();
    return loading.get(); // a load on the worker is near its end by the first click
}
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

void AudioChannel::loadPlayerInBackground() {
    auto& loading = playerLoading();
    if (!loading.valid())
        loading = std::async(std::launch::async, loadPlayer, QCoreApplication::applicationDirPath())
                      .share();
}

bool AudioChannel::playerLoadsFrom(const QString& directory) {
    return loadPlayer(directory) != nullptr;
}

void AudioChannel::play(const QString& fullPath) {
    if (s_recorder)
        s_recorder(fullPath);
    else if (s_channel)
        s_channel->start(fullPath);
}

void AudioChannel::start(const QString& fullPath) {
    const QString path = base::realPath(fullPath);
    const bool exists = isSoundFile(path);
    if (!m_current && !exists) return;
    const StartSound startSound = player();
    if (!startSound) return;
    // A missing file still stops the sound playing.
    m_current = startSound(this, m_current, exists ? path : QString());
}

void waveplayer::play() const {
    // Only asynchronous playback exists here; the flags travel along unchanged.
    AudioChannel::play(m_filename);
}

void playSound(waveplayer& player, const QString& relativePath) {
    player.setFilename(base::programDirectory() + relativePath);
    player.setFlags(SoundAsyncNoDefault);
    player.play();
}

} // namespace core

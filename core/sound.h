// SPDX-License-Identifier: GPL-3.0-or-later
// Short wave sounds on clicks. Every window's player feeds one process-wide channel:
// a new sound stops the one still playing, nothing waits, and a missing file, folder or
// device is silent.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

namespace core {

// The program owns the one channel for its whole run; while none exists, sounds are
// silent.
class AudioChannel : public QObject {
    Q_OBJECT
public:
    AudioChannel();
    ~AudioChannel() override;

    // Starts the wave file at fullPath (program directory + "\Sound\..."), stopping the
    // sound still playing. Never fails.
    static void play(const QString& fullPath);

    // Tests record what would play instead of playing it.
    using Recorder = std::function<void(const QString& fullPath)>;
    static Recorder setRecorder(Recorder recorder);

    // The player (Qt Multimedia) lives in a module beside the executable, loaded on a
    // worker thread from here on, so that start-up does not wait for it; the first sound
    // loads it itself if this was not called. Without the module sounds are silent, and
    // why is said once on standard error (base::noticeOnce).
    static void loadPlayerInBackground();
    // For tests: whether the module loads from this folder (it is kept loaded).
    static bool playerLoadsFrom(const QString& directory);

private:
    void start(const QString& fullPath);
    QPointer<QObject> m_current; // the effect playing, made by the module
};

// The sound player a window owns: a file name and flags handed to the channel.
class waveplayer {
public:
    QString filename() const { return m_filename; }
    void setFilename(const QString& filename) { m_filename = filename; }
    qint32 Flags() const { return m_Flags; }
    void setFlags(qint32 flags) { m_Flags = flags; }
    void play() const;

private:
    QString m_filename;
    qint32 m_Flags = 0;
};

// Asynchronous, and silent when the file is missing.
constexpr qint32 SoundAsyncNoDefault = 3;

// The steps of every window's sound call: program directory followed directly by the
// relative path ("\Sound\check.wav"), flags, play.
void playSound(waveplayer& player, const QString& relativePath);

} // namespace core

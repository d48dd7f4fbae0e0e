// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures as the program names them ("Graph\fon.jpg"), decoded from their files.
#pragma once

#include "core/worker.h"

#include <QHash>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <functional>
#include <future>
#include <memory>
#include <vector>

namespace core {

struct Picture {
    QString source; // the content path it was read from; empty for an empty picture
    QPixmap pixmap; // at a pixel ratio above 1 it may hold twice the pixels, same logical size
    // The picture smoothly resampled to fill a box it is shown stretched in, when start-up
    // made one on another core (see PictureDecoding::start); else null.
    QPixmap fitted;
    bool isNull() const { return pixmap.isNull(); }
};

// The highest device pixel ratio of the screens (1 before there is an application).
qreal screenPixelRatio();
// The screen's pixels to a pixel of the design: the pixel ratio times the zoom.
qreal pictureRatio();

// Reads and decodes a picture file; a missing or undecodable file is a failure naming it.
// Above pixel ratio 1 the doubled picture beside it ("Graph\fon@2x.jpg", matched like every
// content name) is shown instead when it is there, decodes and has exactly twice the size;
// otherwise the file itself is. At ratio 1 no doubled file is looked for. Either way the
// picture's device-independent size is the file's own.
Picture loadPicture(const QString& contentPath, qreal pixelRatio = pictureRatio());

// A picture built into the program (":/psograf/site.png"), doubled the same way and
// re-coloured at night like an interface picture; a missing one is an empty picture.
Picture resourcePicture(const QString& path, qreal pixelRatio = pictureRatio());

// Whether a picture is re-coloured at night: every interface picture, never a photo
// (dog\).
bool recolouredAtNight(const QString& source);

// A picture's file read into memory: the file itself, and above pixel ratio 1 its doubled
// file when that is there with exactly twice the size in its header (else empty).
struct PictureFile {
    QByteArray bytes;
    QByteArray doubledBytes;
};

// Interface pictures are decoded once and then assigned from memory, so hover and the
// carousel never touch the disk. At night get() gives an interface picture re-coloured
// (core/look.h), made once from the decoded picture and kept beside it.
class PictureCache {
public:
    const Picture& get(const QString& contentPath);
    // For a picture first shown later (after the first paint): fails as get() would for a
    // missing or undecodable file, but keeps the file's bytes and decodes them only when
    // get() first asks for it.
    void check(const QString& contentPath);
    // Decoded or checked.
    bool contains(const QString& contentPath) const;
    // Reads every picture again for another pixel ratio (the zoom crossed 100 %); one that
    // can no longer be read stays as it was.
    void reload(qreal pixelRatio);
    // Night has begun or ended: at night every decoded interface picture is re-coloured now
    // (no file is read), so the next pointer move only assigns it.
    void lookChanged();
    // A shown picture at the pixel ratio in effect: from the cache, else read again (one
    // that can no longer be read stays as it was).
    Picture again(const Picture& shown);
    void clear() {
        m_pictures.clear();
        m_checked.clear();
        m_night.clear();
    }

private:
    friend class PictureDecoding;
    const Picture& dayPicture(const QString& contentPath);
    void insertDecoded(const QString& contentPath, Picture picture);
    void insertChecked(const QString& contentPath, PictureFile file);
    QHash<QString, Picture> m_pictures;
    QHash<QString, PictureFile> m_checked;
    QHash<QString, Picture> m_night; // re-coloured from m_pictures
};

// Decodes pictures on worker threads while the caller goes on with other work (start-up
// builds its windows meanwhile). finishInto() helps with what is left, waits, and puts
// every picture that decoded (or passed its check) into the cache; one that is missing or
// fails is left out, so that PictureCache::get() or check() reports it when its turn
// comes, as it always would.
class PictureDecoding {
public:
    // Starts the threads now, before there may be an application; the first of them runs
    // `first` (work that needs none), then they wait for start(). Without threads `first`
    // runs here.
    explicit PictureDecoding(int threads, const std::function<void()>& first = {});
    ~PictureDecoding();
    PictureDecoding(const PictureDecoding&) = delete;
    PictureDecoding& operator=(const PictureDecoding&) = delete;
    // The pictures, once the pixel ratio (pictureRatio()) is known; called once, on the
    // application's thread. Those in fits are also
    // resampled to fill a box of that logical size (Picture::fitted); those in later are
    // only checked, as PictureCache::check() does.
    void start(const QStringList& contentPaths, qreal pixelRatio,
               const QHash<QString, QSize>& fits = {}, const QStringList& later = {});
    // Decodes small pictures on this thread while it would otherwise wait for done.
    void helpUntil(const std::shared_future<void>& done);
    void finishInto(PictureCache& cache);

private:
    struct Work;
    std::unique_ptr<Work> m_work;
    std::vector<std::unique_ptr<WorkerThread>> m_threads;
};

} // namespace core

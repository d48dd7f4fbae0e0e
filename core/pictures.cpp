// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pictures.h"

#include "base/contentfiles.h"
#include "base/contentpath.h"
#include "base/failure.h"
#include "base/text.h"
#include "base/units.h"
#include "core/look.h"
#include "core/startuptrace.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QSet>

#include <algorithm>
#include <future>
#include <mutex>
#include <optional>
#include <vector>

namespace core {

namespace {

// "Graph\fon.jpg" -> "Graph\fon@2x.jpg", the name Qt gives a picture of twice the pixels.
QString doubledName(const QString& path) {
    const qsizetype folder = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > folder ? QString(path).insert(dot, QLatin1String("@2x"))
                        : path + QLatin1String("@2x");
}

QSize sizeInHeader(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    return QImageReader(&buffer).size();
}

// The bytes of a doubled picture for a picture of logicalSize, or none when its header
// gives another size: then the plain picture is shown (as it is when the doubled one does
// not decode), never a failure.
QByteArray ifDoubled(const QByteArray& bytes, QSize logicalSize) {
    return logicalSize.isValid() && sizeInHeader(bytes) == logicalSize * 2 ? bytes : QByteArray();
}

struct Decoded {
    Decoded(QImage decoded, qreal pixelRatio) : image(std::move(decoded)), ratio(pixelRatio) {}
    QImage image;
    qreal ratio = 1;
    QImage fitted;
    qreal screenRatio = 1; // of fitted
};

PictureFile readPicture(const QString& contentPath, qreal pixelRatio) {
    PictureFile file{base::readContentFile(contentPath, base::MaxPictureBytes), {}};
    if (pixelRatio > 1) {
        // The file itself is still read and its header gives the size the doubled one must
        // have twice of; without a valid header nothing matches and it fails below, the
        // same way at every scale. Only its pixels are not decoded. A doubled file that
        // cannot be read as a picture file (missing, no regular file, too large) is none.
        QByteArray doubled;
        try {
            doubled = base::readContentFile(doubledName(contentPath), base::MaxPictureBytes);
        } catch (const base::RuntimeFailure&) {
        }
        file.doubledBytes = ifDoubled(doubled, sizeInHeader(file.bytes));
    }
    return file;
}

[[noreturn]] void failInvalid(const QString& contentPath) {
    base::fail(base::ErrInvalidPicture,
               QStringLiteral("Неверный формат рисунка: %1").arg(contentPath));
}

Decoded decodeFile(const QString& contentPath, const PictureFile& file) {
    QImage image;
    if (!file.doubledBytes.isEmpty() && image.loadFromData(file.doubledBytes) && !image.isNull())
        return Decoded(std::move(image), 2);
    if (!image.loadFromData(file.bytes) || image.isNull()) failInvalid(contentPath);
    return Decoded(std::move(image), 1);
}

// Whether the bytes decode, tried at an eighth of the size: a JPEG decoder still reads the
// whole file (and fails where it would) but does a fraction of the work.
bool decodesSmall(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid())
        reader.setScaledSize(QSize(std::max(1, size.width() / 8), std::max(1, size.height() / 8)));
    QImage image;
    return reader.read(&image) && !image.isNull();
}

// Finds what decodeFile() would find wrong with the file, without decoding it in full; a
// doubled file that would not decode is dropped, as decodeFile() would pass over it.
void checkFile(const QString& contentPath, PictureFile& file) {
    if (!file.doubledBytes.isEmpty()) {
        if (decodesSmall(file.doubledBytes)) return;
        file.doubledBytes.clear();
    }
    if (!decodesSmall(file.bytes)) failInvalid(contentPath);
}

// Reads and decodes a picture file without making a pixmap, so it may run on any thread.
Decoded decode(const QString& contentPath, qreal pixelRatio) {
    return decodeFile(contentPath, readPicture(contentPath, pixelRatio));
}

// The picture as the night shows it; nothing to do by day or for a photo.
Picture atNight(const Picture& day) {
    if (!nightLook() || day.isNull() || !recolouredAtNight(day.source)) return day;
    const NightPicture how =
        day.source.compare(base::content::graph::BackgroundDimmed, Qt::CaseInsensitive) == 0
            ? NightPicture::Darkened
            : NightPicture::Inverted;
    QPixmap pixmap = QPixmap::fromImage(nightImage(day.pixmap.toImage(), how));
    pixmap.setDevicePixelRatio(day.pixmap.devicePixelRatio());
    return Picture{day.source, std::move(pixmap), {}};
}

Picture toPicture(const QString& source, Decoded decoded) {
    QPixmap pixmap = QPixmap::fromImage(std::move(decoded.image));
    if (decoded.ratio != 1) pixmap.setDevicePixelRatio(decoded.ratio);
    QPixmap fitted;
    if (!decoded.fitted.isNull()) {
        fitted = QPixmap::fromImage(std::move(decoded.fitted));
        fitted.setDevicePixelRatio(decoded.screenRatio);
    }
    return Picture{source, std::move(pixmap), std::move(fitted)};
}

// Decoding time for the start-up trace; nothing is timed unless it is on.
class DecodeTimer {
public:
    DecodeTimer() : m_start(startup::tracing() ? startup::nowNs() : 0) {}
    ~DecodeTimer() {
        if (m_start) startup::addPictureTime(startup::nowNs() - m_start);
    }

private:
    long long m_start;
};

} // namespace

qreal screenPixelRatio() {
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

qreal pictureRatio() {
    return screenPixelRatio() * base::zoomFactor();
}

Picture loadPicture(const QString& contentPath, qreal pixelRatio) {
    return toPicture(contentPath, decode(contentPath, pixelRatio));
}

Picture resourcePicture(const QString& path, qreal pixelRatio) {
    QImage image;
    QFile doubled(doubledName(path)); // built in: no file of the disk
    if (pixelRatio > 1 && doubled.open(QIODevice::ReadOnly) &&
        image.loadFromData(ifDoubled(doubled.readAll(), QImageReader(path).size())))
        return atNight(toPicture(path, Decoded(std::move(image), 2)));
    return atNight(Picture{path, QPixmap(path), {}});
}

bool recolouredAtNight(const QString& source) {
    const QString& photos = base::content::PhotoFolder; // "dog\"
    return !source.startsWith(photos, Qt::CaseInsensitive) &&
           !source.startsWith(QString(photos).replace(u'\\', u'/'), Qt::CaseInsensitive);
}

const Picture& PictureCache::get(const QString& contentPath) {
    const Picture& day = dayPicture(contentPath);
    if (!nightLook() || !recolouredAtNight(contentPath)) return day;
    auto night = m_night.constFind(contentPath);
    if (night == m_night.constEnd()) night = m_night.insert(contentPath, atNight(day));
    return *night;
}

void PictureCache::lookChanged() {
    if (!nightLook()) return; // kept for the next night
    for (auto it = m_pictures.constBegin(); it != m_pictures.constEnd(); ++it)
        if (recolouredAtNight(it.key()) && !m_night.contains(it.key()))
            m_night.insert(it.key(), atNight(*it));
}

const Picture& PictureCache::dayPicture(const QString& contentPath) {
    auto it = m_pictures.constFind(contentPath);
    if (it == m_pictures.constEnd()) {
        DecodeTimer timer;
        const auto checked = m_checked.constFind(contentPath);
        if (checked != m_checked.constEnd()) {
            Picture picture = toPicture(contentPath, decodeFile(contentPath, *checked));
            m_checked.erase(checked);
            it = m_pictures.insert(contentPath, std::move(picture));
        } else {
            it = m_pictures.insert(contentPath, loadPicture(contentPath));
        }
    }
    return *it;
}

void PictureCache::check(const QString& contentPath) {
    if (contains(contentPath)) return;
    DecodeTimer timer;
    PictureFile file = readPicture(contentPath, pictureRatio());
    checkFile(contentPath, file);
    m_checked.insert(contentPath, std::move(file));
}

void PictureCache::reload(qreal pixelRatio) {
    m_night.clear();
    for (auto it = m_pictures.begin(); it != m_pictures.end(); ++it) {
        try {
            *it = loadPicture(it.key(), pixelRatio);
        } catch (const base::RuntimeFailure&) {
        }
    }
    for (auto it = m_checked.begin(); it != m_checked.end(); ++it) {
        try {
            PictureFile file = readPicture(it.key(), pixelRatio);
            checkFile(it.key(), file);
            *it = std::move(file);
        } catch (const base::RuntimeFailure&) {
        }
    }
    lookChanged();
}

Picture PictureCache::again(const Picture& shown) {
    if (shown.source.isEmpty()) return shown;
    if (contains(shown.source)) return get(shown.source);
    if (shown.source.startsWith(QLatin1String(":/"))) return resourcePicture(shown.source);
    try {
        return loadPicture(shown.source);
    } catch (const base::RuntimeFailure&) {
        return shown;
    }
}

struct PictureDecoding::Work {
    // Set by start() before the threads go on; read-only after.
    QStringList paths; // read with at() only: nothing detaches it
    qreal pixelRatio = 1;
    qreal screenRatio = 1;
    QHash<QString, QSize> fits; // in the screen's pixels
    QSet<QString> later;
    std::promise<void> started;
    std::shared_future<void> ready = started.get_future().share();

    // One slot per path, each written by the thread that took the path.
    std::vector<std::optional<Decoded>> decoded;
    std::vector<std::optional<PictureFile>> checked;

    // The workers take the largest picture left and a helping caller the smallest, so that
    // all end together rather than one waiting for another's last large picture, and a
    // caller helping in a short wait is not held long.
    enum class End { Largest, Smallest };
    std::mutex mutex;
    bool planned = false;
    std::vector<qsizetype> order; // by file size, largest first; [front, back) is left
    size_t front = 0;
    size_t back = 0;

    // The next picture to decode, or -1 when none is left. Call once started.
    qsizetype take(End end) {
        const std::lock_guard lock(mutex);
        if (!planned) plan();
        if (front == back) return -1;
        return end == End::Largest ? order[front++] : order[--back];
    }

    void plan() {
        planned = true;
        std::vector<qint64> sizes;
        for (const QString& path : std::as_const(paths)) {
            sizes.push_back(QFileInfo(base::realPath(path)).size());
            order.push_back(qsizetype(order.size()));
        }
        std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            return sizes[size_t(a)] > sizes[size_t(b)];
        });
        back = order.size();
    }

    void decodeOne(qsizetype i) {
        try {
            if (later.contains(paths.at(i))) {
                PictureFile file = readPicture(paths.at(i), pixelRatio);
                checkFile(paths.at(i), file);
                checked[size_t(i)] = std::move(file);
                return;
            }
            Decoded picture = decode(paths.at(i), pixelRatio);
            const auto fit = fits.constFind(paths.at(i));
            const QSize device = fit == fits.constEnd() ? QSize() : *fit;
            if (device.isValid() && picture.image.size() != device) {
                // As a label stretching it would resample it at its first paint.
                picture.fitted =
                    picture.image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                picture.screenRatio = screenRatio;
            }
            decoded[size_t(i)] = std::move(picture);
        } catch (...) {
            // Left for PictureCache::get(), which reports it in its turn.
        }
    }

    // Takes pictures from one end until none is left.
    void run(End end) {
        ready.wait();
        for (qsizetype i; (i = take(end)) >= 0;)
            decodeOne(i);
    }

    void stop() {
        const std::lock_guard lock(mutex);
        planned = true;
        front = back;
    }
};

PictureDecoding::PictureDecoding(int threads, const std::function<void()>& first)
    : m_work(std::make_unique<Work>()) {
    if (threads < 1 && first) first();
    for (int i = 0; i < threads; ++i)
        m_threads.push_back(
            std::make_unique<WorkerThread>([work = m_work.get(), first = i == 0 ? first : nullptr] {
                if (first) first();
                work->run(Work::End::Largest);
            }));
}

void PictureDecoding::start(const QStringList& contentPaths, qreal pixelRatio,
                            const QHash<QString, QSize>& fits, const QStringList& later) {
    m_work->screenRatio = screenPixelRatio();
    for (auto it = fits.begin(); it != fits.end(); ++it)
        m_work->fits.insert(it.key(), it.value() * m_work->screenRatio);
    m_work->later = QSet<QString>(later.begin(), later.end());
    m_work->paths = contentPaths;
    m_work->paths.removeDuplicates();
    m_work->pixelRatio = pixelRatio;
    m_work->decoded.resize(size_t(m_work->paths.size()));
    m_work->checked.resize(size_t(m_work->paths.size()));
    m_work->started.set_value();
}

PictureDecoding::~PictureDecoding() {
    if (m_work->ready.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        m_work->started.set_value(); // never started: nothing to decode
    m_work->stop();
    m_threads.clear(); // joins
}

void PictureCache::insertDecoded(const QString& contentPath, Picture picture) {
    if (!contains(contentPath)) m_pictures.insert(contentPath, std::move(picture));
}

void PictureCache::insertChecked(const QString& contentPath, PictureFile file) {
    if (!contains(contentPath)) m_checked.insert(contentPath, std::move(file));
}

void PictureDecoding::helpUntil(const std::shared_future<void>& done) {
    while (done.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        const qsizetype i = m_work->take(Work::End::Smallest);
        if (i < 0) break;
        m_work->decodeOne(i);
    }
}

void PictureDecoding::finishInto(PictureCache& cache) {
    DecodeTimer timer;                // the time start-up waits for the pictures
    m_work->run(Work::End::Smallest); // this thread takes what the others have not begun
    m_threads.clear();                // joins
    // Pixmaps are made on this thread only.
    for (qsizetype i = 0; i < m_work->paths.size(); ++i) {
        if (auto& decoded = m_work->decoded[size_t(i)])
            cache.insertDecoded(m_work->paths.at(i),
                                toPicture(m_work->paths.at(i), std::move(*decoded)));
        if (auto& checked = m_work->checked[size_t(i)])
            cache.insertChecked(m_work->paths.at(i), std::move(*checked));
    }
}

bool PictureCache::contains(const QString& contentPath) const {
    return m_pictures.contains(contentPath) || m_checked.contains(contentPath);
}

} // namespace core

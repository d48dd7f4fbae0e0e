// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pictures.h"

#include "core/contentpath.h"
#include "core/failure.h"
#include "core/startuptrace.h"
#include "core/text.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>
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

// The doubled picture in file for a picture of logicalSize, or a null image when it is
// missing, undecodable or of another size: then the plain picture is shown, never a failure.
QImage doubled(const QString& file, QSize logicalSize) {
    QImageReader reader(file);
    QImage image;
    if (reader.size() != logicalSize * 2 || !reader.read(&image)) return {};
    return image;
}

struct Decoded {
    QImage image;
    qreal ratio = 1;
};

// Reads and decodes a picture file without making a pixmap, so it may run on any thread.
Decoded decode(const QString& contentPath, qreal pixelRatio) {
    const QByteArray bytes = readContentFile(contentPath);
    if (pixelRatio > 1) {
        // The file itself is still read and its header gives the size the doubled one must
        // have twice of; without a valid header nothing matches and it fails below, the
        // same way at every scale. Only its pixels are not decoded.
        QBuffer buffer;
        buffer.setData(bytes);
        QImage image = doubled(realPath(doubledName(contentPath)), QImageReader(&buffer).size());
        if (!image.isNull()) return {std::move(image), 2};
    }
    QImage image;
    if (!image.loadFromData(bytes) || image.isNull())
        fail(ErrInvalidPicture, QStringLiteral("Неверный формат рисунка: %1").arg(contentPath));
    return {std::move(image), 1};
}

Picture toPicture(const QString& source, Decoded decoded) {
    QPixmap pixmap = QPixmap::fromImage(std::move(decoded.image));
    if (decoded.ratio != 1) pixmap.setDevicePixelRatio(decoded.ratio);
    return Picture{source, std::move(pixmap)};
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

Picture loadPicture(const QString& contentPath, qreal pixelRatio) {
    return toPicture(contentPath, decode(contentPath, pixelRatio));
}

Picture resourcePicture(const QString& path, qreal pixelRatio) {
    if (pixelRatio > 1) {
        QImage image = doubled(doubledName(path), QImageReader(path).size());
        if (!image.isNull()) return toPicture(path, {std::move(image), 2});
    }
    return Picture{path, QPixmap(path)};
}

const Picture& PictureCache::get(const QString& contentPath) {
    auto it = m_pictures.constFind(contentPath);
    if (it == m_pictures.constEnd()) {
        DecodeTimer timer;
        it = m_pictures.insert(contentPath, loadPicture(contentPath));
    }
    return *it;
}

struct PictureDecoding::Work {
    QStringList paths; // read with at() only once the threads run: nothing detaches it
    qreal pixelRatio = 1;
    std::vector<std::optional<Decoded>> decoded;
    std::atomic<qsizetype> next = 0;

    // Takes pictures off the list until none is left; may run on several threads at once.
    void run() {
        for (qsizetype i; (i = next++) < paths.size();) {
            try {
                decoded[size_t(i)] = decode(paths.at(i), pixelRatio);
            } catch (...) {
                // Left for PictureCache::get(), which reports it in its turn.
            }
        }
    }
};

PictureDecoding::PictureDecoding(const QStringList& contentPaths, qreal pixelRatio, int threads)
    : m_work(std::make_unique<Work>()) {
    m_work->paths = contentPaths;
    m_work->paths.removeDuplicates();
    m_work->pixelRatio = pixelRatio;
    m_work->decoded.resize(size_t(m_work->paths.size()));
    for (int i = 0; i < threads; ++i)
        m_threads.emplace_back([work = m_work.get()] { work->run(); });
}

PictureDecoding::~PictureDecoding() {
    m_work->next = m_work->paths.size();
    for (std::thread& thread : m_threads)
        thread.join();
}

void PictureCache::insertDecoded(const QString& contentPath, Picture picture) {
    if (!m_pictures.contains(contentPath)) m_pictures.insert(contentPath, std::move(picture));
}

void PictureDecoding::finishInto(PictureCache& cache) {
    DecodeTimer timer; // the time start-up waits for the pictures
    m_work->run();     // this thread takes what the others have not begun
    for (std::thread& thread : m_threads)
        thread.join();
    m_threads.clear();
    // Pixmaps are made on this thread only.
    for (qsizetype i = 0; i < m_work->paths.size(); ++i)
        if (auto& decoded = m_work->decoded[size_t(i)])
            cache.insertDecoded(m_work->paths.at(i),
                                toPicture(m_work->paths.at(i), std::move(*decoded)));
}

bool PictureCache::contains(const QString& contentPath) const {
    return m_pictures.contains(contentPath);
}

} // namespace core

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pictures.h"

#include "core/contentpath.h"
#include "core/failure.h"
#include "core/text.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

#include <algorithm>

namespace core {

namespace {

// "Graph\fon.jpg" -> "Graph\fon@2x.jpg", the name Qt gives a picture of twice the pixels.
QString doubledName(const QString& path) {
    const qsizetype folder = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > folder ? QString(path).insert(dot, QLatin1String("@2x"))
                        : path + QLatin1String("@2x");
}

// The doubled picture in file for a picture of logicalSize, or a null pixmap when it is
// missing, undecodable or of another size: then the plain picture is shown, never a failure.
QPixmap doubled(const QString& file, QSize logicalSize) {
    QImageReader reader(file);
    QImage image;
    if (reader.size() != logicalSize * 2 || !reader.read(&image)) return {};
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(2);
    return pixmap;
}

} // namespace

qreal screenPixelRatio() {
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

Picture loadPicture(const QString& contentPath, qreal pixelRatio) {
    const QByteArray bytes = readContentFile(contentPath);
    if (pixelRatio > 1) {
        // The file itself is still read and its header gives the size the doubled one must
        // have twice of; without a valid header nothing matches and it fails below, the
        // same way at every scale. Only its pixels are not decoded.
        QBuffer buffer;
        buffer.setData(bytes);
        QPixmap pixmap = doubled(realPath(doubledName(contentPath)), QImageReader(&buffer).size());
        if (!pixmap.isNull()) return Picture{contentPath, std::move(pixmap)};
    }
    QImage image;
    if (!image.loadFromData(bytes) || image.isNull())
        fail(ErrInvalidPicture, QStringLiteral("Неверный формат рисунка: %1").arg(contentPath));
    return Picture{contentPath, QPixmap::fromImage(std::move(image))};
}

Picture resourcePicture(const QString& path, qreal pixelRatio) {
    if (pixelRatio > 1) {
        QPixmap pixmap = doubled(doubledName(path), QImageReader(path).size());
        if (!pixmap.isNull()) return Picture{path, std::move(pixmap)};
    }
    return Picture{path, QPixmap(path)};
}

const Picture& PictureCache::get(const QString& contentPath) {
    auto it = m_pictures.constFind(contentPath);
    if (it == m_pictures.constEnd()) it = m_pictures.insert(contentPath, loadPicture(contentPath));
    return *it;
}

bool PictureCache::contains(const QString& contentPath) const {
    return m_pictures.contains(contentPath);
}

} // namespace core

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pictures.h"

#include "core/contentpath.h"
#include "core/failure.h"
#include "core/text.h"

#include <QImage>

namespace core {

Picture loadPicture(const QString& contentPath) {
    const QByteArray bytes = readContentFile(contentPath);
    QImage image;
    if (!image.loadFromData(bytes) || image.isNull())
        fail(ErrInvalidPicture, QStringLiteral("Неверный формат рисунка: %1").arg(contentPath));
    return Picture{contentPath, QPixmap::fromImage(std::move(image))};
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

// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures as the program names them ("Graph\fon.jpg"), decoded from their files.
#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>

namespace core {

struct Picture {
    QString source; // the content path it was read from; empty for an empty picture
    QPixmap pixmap; // at a pixel ratio above 1 it may hold twice the pixels, same logical size
    bool isNull() const { return pixmap.isNull(); }
};

// The highest device pixel ratio of the screens (1 before there is an application).
qreal screenPixelRatio();

// Reads and decodes a picture file; a missing or undecodable file is a failure naming it.
// Above pixel ratio 1 the doubled picture beside it ("Graph\fon@2x.jpg", matched like every
// content name) is shown instead when it is there, decodes and has exactly twice the size;
// otherwise the file itself is. At ratio 1 no doubled file is looked for.
Picture loadPicture(const QString& contentPath, qreal pixelRatio = screenPixelRatio());

// A picture built into the program (":/psograf/site.png"), doubled the same way; a missing
// one is an empty picture.
Picture resourcePicture(const QString& path, qreal pixelRatio = screenPixelRatio());

// Interface pictures are decoded once and then assigned from memory, so hover and the
// carousel never touch the disk.
class PictureCache {
public:
    const Picture& get(const QString& contentPath);
    bool contains(const QString& contentPath) const;
    void clear() { m_pictures.clear(); }

private:
    QHash<QString, Picture> m_pictures;
};

} // namespace core

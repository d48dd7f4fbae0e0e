// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures as the program names them ("Graph\fon.jpg"), decoded from their files.
#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>

namespace core {

struct Picture {
    QString source; // the content path it was read from; empty for an empty picture
    QPixmap pixmap;
    bool isNull() const { return pixmap.isNull(); }
};

// Reads and decodes a picture file; a missing or undecodable file is a failure naming it.
Picture loadPicture(const QString& contentPath);

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

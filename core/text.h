// Content files are 8-bit Windows-1251 text; this is the one place that decodes them.
#pragma once

#include <QByteArray>
#include <QString>

namespace core {

QString decodeCp1251(QByteArrayView bytes);

// Reads a whole content file (path as the program names it, with "\").
// A file that is missing or cannot be read is a failure naming the file.
QByteArray readContentFile(const QString& contentPath);

} // namespace core

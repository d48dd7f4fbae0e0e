// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/contentpath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace base {

QString realPath(const QString& contentPath) {
    QString path = contentPath;
    path.replace(u'\\', u'/');
    // No file name holds NUL (a garbled catalogue can ask for one): asking the file
    // system would only print warnings.
    if (path.contains(QChar(0))) return path;
    const bool absolute = path.startsWith(u'/');
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);

    QString resolved = absolute ? QStringLiteral("/") : QString();
    bool matching = true;
    for (const QString& part : parts) {
        const QString exact = resolved + part;
        if (matching && !QFileInfo::exists(exact)) {
            const QDir dir(resolved.isEmpty() ? QStringLiteral(".") : resolved);
            const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden |
                                                      QDir::System | QDir::NoDotAndDotDot);
            auto found = std::find_if(entries.begin(), entries.end(), [&](const QString& e) {
                return e.compare(part, Qt::CaseInsensitive) == 0;
            });
            if (found != entries.end()) {
                resolved += *found + u'/';
                continue;
            }
            matching = false; // nothing below a missing folder can match
        }
        resolved += part + u'/';
    }
    if (resolved.size() > 1 && resolved.endsWith(u'/')) resolved.chop(1);
    return resolved;
}

QString programDirectory() {
    return QCoreApplication::applicationDirPath();
}

} // namespace base

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/look.h"

#include "base/units.h"

#include <QGuiApplication>
#include <QPalette>

#ifdef PSOGRAF_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace core {

QColor vbColor(quint32 value) {
    if (value & 0x80000000u) {
        switch (value & 0xFFu) {
        case 0:
            return QColor(200, 200, 200); // scroll bar: a fixed light grey
        case 15:
            return QGuiApplication::palette().color(QPalette::Button);
        case 24:
            return QGuiApplication::palette().color(QPalette::ToolTipBase);
        default:
            return QGuiApplication::palette().color(QPalette::Window);
        }
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

namespace {
// The faces the layouts name, and what stands in for them here; each has Cyrillic.
// Liberation Sans is narrower than DejaVu Sans: the lit menu items need the room.
const struct {
    const char* design;
    const char* installed;
} Substitutes[] = {
    {"MS Sans Serif", "Liberation Sans"},    {"MS Serif", "Liberation Serif"},
    {"Times New Roman", "Liberation Serif"}, {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
};
} // namespace

QString installedFace(const QString& designFace) {
    for (const auto& row : Substitutes)
        if (designFace.compare(QLatin1String(row.design), Qt::CaseInsensitive) == 0)
            return QLatin1String(row.installed);
    return designFace;
}

QFont DesignFont::font() const {
    // Named by the installed face itself: for a face that is not installed Qt would first
    // have fontconfig search for stand-ins, some half a millisecond a font at start-up.
    QFont font(installedFace(face));
    font.setPixelSize(base::pointsToPx(points));
    font.setBold(bold);
    font.setStyleHint(QFont::AnyStyle, QFont::PreferAntialias);
    return font;
}

DesignFont designFont(const QString& designFace, double points, bool bold) {
    return DesignFont{designFace, points, bold};
}

DesignFont windowDefaultFont() {
    return designFont(QStringLiteral("MS Sans Serif"), 8.25);
}

void readFontConfiguration() {
#ifdef PSOGRAF_HAVE_FONTCONFIG
    // Qt's own FcInit() later finds it loaded.
    FcInit();
#endif
}

} // namespace core

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/look.h"

#include "base/units.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

#ifdef PSOGRAF_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace core {

namespace {

bool night = false;

// Each design colour's night counterpart: the text colours light, at least 7:1 against the
// night's text boxes and their backgrounds, the boxes and window faces dark. A colour not
// listed has its lightness inverted.
const struct {
    quint32 day;
    QRgb night;
} NightColors[] = {
    {colors::Green, 0x6CD06C},      // captions, rules, frames
    {colors::LightGreen, 0xB8FFB8}, // a caption under the pointer
    {colors::DarkGreen, 0xB4E6B4},  // list entries, headings, the catalogue's text
    {colors::Blue, 0xA6BEFF},       // titles, help
    {colors::DarkBlue, 0xD0DAFF},   // the sections' text
    {0x000080, 0xFF9A9A},           // a failure named in a window
    {0x00C0C0, 0x8C8C30},           // photo frames
    {0x80FFFF, 0xA8A860},           {0xC0FFFF, 0x2A2A1C}, // the help's address field
    {0x404040, 0x8A8A8A},                                 // the thin window border
    {colors::ScrollBar, 0x2E2E2E},
};

QColor invertedLightness(const QColor& day) {
    // Lightness inverted with hue and chroma kept: each channel moves by the same amount.
    const int shift = 255 - std::max({day.red(), day.green(), day.blue()}) -
                      std::min({day.red(), day.green(), day.blue()});
    return QColor(day.red() + shift, day.green() + shift, day.blue() + shift, day.alpha());
}

QColor dayColor(quint32 value) {
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

} // namespace

QColor vbColor(quint32 value) {
    if (!night) return dayColor(value);
    for (const auto& row : NightColors)
        if (row.day == value) return QColor(row.night);
    if (value == colors::ButtonFace) return nightPalette().color(QPalette::Button);
    if (value == colors::TooltipBack) return nightPalette().color(QPalette::ToolTipBase);
    return invertedLightness(dayColor(value));
}

bool nightLook() {
    return night;
}

void setNightLook(bool on) {
    night = on;
}

QPalette nightPalette() {
    static const QPalette palette = [] {
        const QColor text(0xE8, 0xE8, 0xE8), face(0x2E, 0x2E, 0x2E), box(0x1C, 0x1A, 0x12);
        QPalette p(text, face, QColor(0x5A, 0x5A, 0x5A), QColor(0x1E, 0x1E, 0x1E),
                   QColor(0x33, 0x33, 0x33), text, Qt::white, box, face);
        p.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3A));
        p.setColor(QPalette::Midlight, QColor(0x48, 0x48, 0x48));
        p.setColor(QPalette::Shadow, QColor(0x10, 0x10, 0x10));
        p.setColor(QPalette::AlternateBase, QColor(0x26, 0x24, 0x1A));
        p.setColor(QPalette::ToolTipBase, box);
        p.setColor(QPalette::ToolTipText, text);
        p.setColor(QPalette::PlaceholderText, QColor(0xA8, 0xA8, 0xA8));
        p.setColor(QPalette::Highlight, QColor(0x3D, 0x6F, 0xB0));
        p.setColor(QPalette::HighlightedText, Qt::white);
        p.setColor(QPalette::Link, QColor(0x8F, 0xB4, 0xFF));
        p.setColor(QPalette::LinkVisited, QColor(0xC0, 0x9C, 0xFF));
        for (const QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            p.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
        return p;
    }();
    return palette;
}

QImage nightImage(const QImage& day, NightPicture how) {
    QImage image =
        day.convertToFormat(day.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            const int r = qRed(c), g = qGreen(c), b = qBlue(c);
            if (how == NightPicture::Darkened) {
                line[x] = qRgba(r * 3 / 16, g * 3 / 16, b * 3 / 16, qAlpha(c));
                continue;
            }
            const int shift = 255 - std::max({r, g, b}) - std::min({r, g, b});
            line[x] = qRgba(r + shift, g + shift, b + shift, qAlpha(c));
        }
    }
    image.setDevicePixelRatio(day.devicePixelRatio());
    return image;
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

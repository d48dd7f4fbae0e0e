// SPDX-License-Identifier: GPL-3.0-or-later
// Colours and fonts as the layouts give them, mapped to what this machine has.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QString>

namespace core {

// 0x00BBGGRR, or 0x800000nn for system colour nn (0 scroll bar, 15 button face,
// 24 tooltip background). At night (nightLook()) each design colour has its night
// counterpart: light text on dark boxes.
QColor vbColor(quint32 value);

// Night mode's look, for what is shown on the screen only: the application's own palette
// never changes, so what is printed or exported stays light. core/night.h switches it.
bool nightLook();
void setNightLook(bool on);
// The palette every window and its widgets take at night (scroll bars, fields, lists,
// selections, menus, tooltips).
QPalette nightPalette();

// How an interface picture is re-coloured at night, from the same file: its lightness
// inverted, hue and colourfulness kept (a light background becomes dark, a dark sign on a
// light button light on a dark one); a dimmed picture is darkened instead, so that it
// stays darker than the picture it dims. Photos are never re-coloured.
enum class NightPicture { Inverted, Darkened };
QImage nightImage(const QImage& day, NightPicture how);

namespace colors {
constexpr quint32 Green = 0x008000;
constexpr quint32 LightGreen = 0x00C000;
constexpr quint32 DarkGreen = 0x004000;
constexpr quint32 Blue = 0xFF0000;
constexpr quint32 DarkBlue = 0xC00000;
constexpr quint32 ScrollBar = 0x80000000;
constexpr quint32 ButtonFace = 0x8000000F;
constexpr quint32 TooltipBack = 0x80000018;
} // namespace colors

// The installed face that stands in for a face named in a layout; every one has
// Cyrillic.
QString installedFace(const QString& designFace);

// A font as a layout gives it. A control keeps it, so that it can size it again for another
// zoom.
struct DesignFont {
    QString face;
    double points = 8.25;
    bool bold = false;
    // The installed face at the zoom in effect, sized in whole pixels.
    QFont font() const;
};

DesignFont designFont(const QString& designFace, double points, bool bold = false);

// Controls without a font of their own.
DesignFont windowDefaultFont();

// Has the system's font configuration read now, on any thread and before there is an
// application: the first font Qt resolves otherwise waits for it (some 3 ms of reading
// configuration files). Nothing to do where Qt does not use fontconfig.
void readFontConfiguration();

} // namespace core

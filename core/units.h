// SPDX-License-Identifier: GPL-3.0-or-later
// Layouts are written in twips and points at 96 dots per inch; Qt scales for other screens.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cmath>

namespace core {

constexpr int TwipsPerPixel = 15;

constexpr int twipsToPx(int twips) {
    return twips / TwipsPerPixel;
}
constexpr int pxToTwips(int px) {
    return px * TwipsPerPixel;
}

// A font size in points becomes whole pixels, rounded to nearest (8.25 pt -> 11 px).
inline int pointsToPx(double points) {
    return int(std::lround(points * 96.0 / 72.0));
}

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}

constexpr QRect twipsRect(const QRect& twips) {
    return twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
}

constexpr QSize twipsSize(const QSize& twips) {
    return QSize(twipsToPx(twips.width()), twipsToPx(twips.height()));
}

constexpr QPoint twipsPoint(int x, int y) {
    return QPoint(twipsToPx(x), twipsToPx(y));
}

} // namespace core

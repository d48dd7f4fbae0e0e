// SPDX-License-Identifier: GPL-3.0-or-later
// Layouts are written in twips and points at 96 dots per inch; this is the one place they
// become pixels. Every conversion multiplies by the reader's zoom (1 as designed, see
// core/zoom.h); Qt scales for the screen on top of that.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cmath>

namespace base {

constexpr int TwipsPerPixel = 15;

namespace detail {
inline double zoomFactor = 1.0; // set by core::zoom only
} // namespace detail

// The zoom every layout is shown at: 1, 1.25, 1.5, 1.75 or 2.
inline double zoomFactor() {
    return detail::zoomFactor;
}

// Each value is rounded to the nearest whole pixel on its own; the design's values are
// whole pixels at 1.
inline int twipsToPx(int twips, double zoom = zoomFactor()) {
    return int(std::lround(twips * zoom / TwipsPerPixel));
}
// A length the design gives in pixels (a line's width, a border).
inline int scaledPx(int px, double zoom = zoomFactor()) {
    return int(std::lround(px * zoom));
}
inline QSize scaledSize(QSize px, double zoom = zoomFactor()) {
    return QSize(scaledPx(px.width(), zoom), scaledPx(px.height(), zoom));
}
// A picture's own pixels (at 1) in twips, for the rules written in twips.
constexpr int pxToTwips(int px) {
    return px * TwipsPerPixel;
}

// A font size in points becomes whole pixels, rounded to nearest (8.25 pt -> 11 px).
inline int pointsToPx(double points, double zoom = zoomFactor()) {
    return int(std::lround(points * zoom * 96.0 / 72.0));
}

inline QRect twipsRect(int left, int top, int width, int height, double zoom = zoomFactor()) {
    return QRect(twipsToPx(left, zoom), twipsToPx(top, zoom), twipsToPx(width, zoom),
                 twipsToPx(height, zoom));
}

inline QRect twipsRect(const QRect& twips, double zoom = zoomFactor()) {
    return twipsRect(twips.x(), twips.y(), twips.width(), twips.height(), zoom);
}

inline QPoint twipsPoint(int x, int y, double zoom = zoomFactor()) {
    return QPoint(twipsToPx(x, zoom), twipsToPx(y, zoom));
}

} // namespace base

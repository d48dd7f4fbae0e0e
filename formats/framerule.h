// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue's photo frame follows the photo: a photo wider than 2790 twips (186 px)
// stands in the landscape frame, any other in the portrait frame. The window sizes the
// frame by this rule; the content checker warns of a photo larger than its frame shows.
#pragma once

#include <QSize>

namespace catalogue::frame {

constexpr int PortraitMaxWidth = 2790; // twips
constexpr QSize Landscape(3495, 2655); // twips
constexpr QSize Portrait(3015, 3375);  // twips

// The frame for a photo this wide. With no photo the window asks for the width of the last
// one shown (the picture control keeps its size), so the frame stays as it was.
constexpr QSize forWidth(int photoWidthTwips) {
    return photoWidthTwips > PortraitMaxWidth ? Landscape : Portrait;
}
constexpr bool isLandscape(int photoWidthTwips) {
    return photoWidthTwips > PortraitMaxWidth;
}

// The largest photo each frame shows whole, in pixels.
constexpr QSize LandscapeMaxPhoto(217, 161);
constexpr QSize PortraitMaxPhoto(186, 209);

} // namespace catalogue::frame

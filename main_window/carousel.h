// SPDX-License-Identifier: GPL-3.0-or-later
// The carousel's arrangement table: at five counts of the main window's timer the five
// photos are assigned to the five slots anew, each one slot further along the ring
// Image3 -> Image7 -> Image6 -> Image5 -> Image4 -> Image3.
#pragma once

#include <QtGlobal>
#include <array>

namespace main_window::carousel {

constexpr int SlotCount = 5; // Image3, Image4, Image5, Image6, Image7

struct Arrangement {
    quint8 tick;
    std::array<int, 5> slotOfPhoto; // slot index (0 = Image3 ... 4 = Image7), per photo in
                                    // the order of base::content::CarouselPhotos
};

inline constexpr std::array<Arrangement, 5> Arrangements = {{
    {10, {0, 1, 2, 3, 4}},
    {20, {4, 0, 1, 2, 3}},
    {30, {3, 4, 0, 1, 2}},
    {40, {2, 3, 4, 0, 1}},
    {50, {1, 2, 3, 4, 0}},
}};

// The count after the last arrangement; the next tick starts the cycle again from 0.
constexpr quint8 CycleEnd = 50;

// The arrangement applied when the counter reaches tick, or nullptr.
constexpr const Arrangement* arrangementAt(quint8 tick) {
    for (const Arrangement& a : Arrangements)
        if (a.tick == tick) return &a;
    return nullptr;
}

} // namespace main_window::carousel

// SPDX-License-Identifier: GPL-3.0-or-later
// The values the windows hand each other, program-wide for the whole run, and the
// decoded interface pictures they share. One instance, owned by the program.
#pragma once

#include "core/pictures.h"

#include <QString>

namespace core {

struct ProgramValues {
    // The topic file of the section last chosen in the main menu ("text\kvs.ssu"); the
    // topic reader reads it on activation and on every choice. Empty at start.
    QString TopicFilePath;
    // 0 tells the topic reader to fill its list when activated; at 1 it ignores choices.
    // The main menu writes 0 on every section click; nothing writes another value.
    quint8 TopicListLoaded = 0;
    // The main window's timer count, driving the carousel; start-up sets it to 0.
    quint8 CarouselTick = 0;

    // Interface pictures, decoded once at start-up, so hover and the carousel never read
    // a file.
    PictureCache pictures;
};

} // namespace core

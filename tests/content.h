// SPDX-License-Identifier: GPL-3.0-or-later
// The content folder of tests/files.h with the sounds recorded too, and helpers for tests
// that show windows (core/tests, tests/). tests/fixture.h starts the whole program on it.
#pragma once

#include "tests/files.h"

#include <QImage>
#include <QListWidget>

class ContentFolder : public ContentFiles {
public:
    ContentFolder();
    ~ContentFolder();

    QStringList sounds; // full paths handed to the audio channel
};

// Saves a screenshot into the build folder's screenshots/ (for looking at).
void saveScreenshot(QWidget* window, const QString& name);

// Text and its background as they were drawn: the background is the colour most pixels of
// the part have, the text the pixel farthest from it in contrast (a glyph's core), and the
// ratio is WCAG's, (L1 + 0.05) / (L2 + 0.05) of their relative luminances.
struct Contrast {
    QColor text;
    QColor back;
    double ratio = 0;
};
Contrast measuredContrast(const QImage& part);
// The part of a window's rendered pixels that shows a control: a caption's box where it
// takes the pointer, a text box's viewport, a list's first entry that is neither chosen
// nor current (those are drawn in the selection's colours; null when there is none).
QImage shownPart(QWidget* window, QWidget* control);

// Lets queued activations run.
void settle();

// The texts of a list's entries, in order.
QStringList entries(const QListWidget* list);
// A user's mouse click on an entry, scrolled into view first, then settled.
void clickEntry(QListWidget* list, int row);

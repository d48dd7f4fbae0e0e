// SPDX-License-Identifier: GPL-3.0-or-later
// The content folder of tests/files.h with the sounds recorded too, and helpers for tests
// that show windows (core/tests, tests/). tests/fixture.h starts the whole program on it.
#pragma once

#include "tests/files.h"

#include <QListWidget>

class ContentFolder : public ContentFiles {
public:
    ContentFolder();
    ~ContentFolder();

    QStringList sounds; // full paths handed to the audio channel
};

// Saves a screenshot into the build folder's screenshots/ (for looking at).
void saveScreenshot(QWidget* window, const QString& name);

// Lets queued activations run.
void settle();

// The texts of a list's entries, in order.
QStringList entries(const QListWidget* list);
// A user's mouse click on an entry, scrolled into view first, then settled.
void clickEntry(QListWidget* list, int row);

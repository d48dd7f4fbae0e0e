// SPDX-License-Identifier: GPL-3.0-or-later
// How a window asks for another without knowing its class: the windows call Navigator,
// and the program that owns them all (app/) carries it out. The main window's load handler
// alone also hands start-up's results over through StartupHandoff.
#pragma once

#include "core/pictures.h"

#include <QList>
#include <QString>

#include <functional>

namespace core {

class FormBase;

// A stretch of a text: where it starts and how many UTF-16 code units it takes.
struct TextSpan {
    int start = 0;
    int length = 0;
    friend bool operator==(const TextSpan&, const TextSpan&) = default;
};
// What the search found, for the topic or breed it opens: given the text as shown there, the
// stretches that hold the query's words, in order. Empty when it is opened otherwise.
using FoundPlaces = std::function<QList<TextSpan>(const QString& text)>;

class Navigator {
public:
    virtual ~Navigator() = default;

    // Shows the topic reader with this section title; the caller has set the program-wide
    // values (topic file path, list flag) it reads once it is activated.
    virtual void openSection(const QString& readerTitle) = 0;
    virtual void openCatalogue() = 0;
    virtual void openHelp() = 0;
    virtual void openExitConfirmation() = 0;

    // Shows the main window again (from the reader and the catalogue).
    virtual void backToMenu() = 0;
    // Leaves help: the main window shown and enabled.
    virtual void closeHelp() = 0;
    // Answers "НЕТ": the main window enabled, its own background back, shown.
    virtual void closeExitConfirmation() = 0;

    // The search window: opened from a window (which it hides), left back to that window.
    // Choosing a result shows that topic or breed by the steps the menu and the user's
    // choice in the reader or the catalogue take, with what it found marked in its text.
    // Opened with nothing typed after a result was chosen, it shows that search again.
    virtual void openSearch(FormBase& from, const QString& typed) = 0;
    virtual void leaveSearch() = 0;
    // The search window with its field empty, on the bookmarks.
    virtual void openBookmarks(FormBase& from) = 0;
    virtual void showTopic(const QString& topicFile, const QString& title,
                           const FoundPlaces& found) = 0;
    virtual void showBreed(int record, const QString& name, const FoundPlaces& found) = 0;

    // «Подбор породы»: opened from a window (which it hides), left back to that window; from
    // the search window (a result), left back to the window the search was opened from. A
    // breed chosen there opens by showBreed.
    virtual void openChooser(FormBase& from) = 0;
    virtual void leaveChooser() = 0;
};

// Start-up steps the main window's load handler runs for the other windows, and only it:
// their background, their back buttons' first picture, then the catalogue's first fill
// (its file is read here, so a catalogue that cannot be read still ends start-up). The
// windows may be made later from what these handed over.
class StartupHandoff {
public:
    virtual ~StartupHandoff() = default;

    virtual void setOtherBackgrounds(const Picture& background) = 0;
    virtual void setBackButtons(const Picture& picture) = 0;
    virtual void fillCatalogue() = 0;
};

} // namespace core

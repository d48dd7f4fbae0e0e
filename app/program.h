// SPDX-License-Identifier: GPL-3.0-or-later
// The program: it owns the five windows, one instance each for the whole run, and the
// values they share, and carries out the moves between windows that they ask for.
// Start-up is the main window's load handler: it hands the other four windows their
// background and back-button picture and has the catalogue read; the windows are made
// from these once the main window has painted, or when first asked for.
#pragma once

#include "core/navigator.h"
#include "core/programvalues.h"

#include "formats/catalogfile.h"

#include <memory>
#include <optional>

namespace core {
class AudioChannel;
}
namespace main_window {
class Form2;
}
namespace topics {
class Form4;
}
namespace catalogue {
class Form1;
}
namespace dialogs {
class Form3;
class Form5;
} // namespace dialogs
namespace search {
class SearchWindow;
}
namespace chooser {
class ChooserWindow;
}

namespace app {

class Program final : public core::Navigator, public core::StartupHandoff {
public:
    Program();
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Runs the main window's load handler. A failure is reported and false returned; no
    // window has been shown then.
    bool load();
    // Shows the main window once loaded.
    void show();

    core::ProgramValues& values() { return m_values; }
    main_window::Form2* Form2() const { return m_form2.get(); }
    // The other four windows come into being once the main window has painted
    // (finishStartup), or when a move first opens one; start-up has read all they need by
    // then. Until that they are null: asking for a window never makes it.
    topics::Form4* Form4() const { return m_form4.get(); }
    catalogue::Form1* Form1() const { return m_form1.get(); }
    dialogs::Form5* Form5() const { return m_form5.get(); }
    dialogs::Form3* Form3() const { return m_form3.get(); }
    // What start-up left for after the first paint: the other windows, and the icon the
    // task bar shows (its decoding would hold the first paint back by a millisecond).
    void finishStartup();
    // Made when first opened.
    search::SearchWindow* searchWindow() const { return m_search.get(); }
    chooser::ChooserWindow* chooserWindow() const { return m_chooser.get(); }

    void openSection(const QString& readerTitle) override;
    void openCatalogue() override;
    void openHelp() override;
    void openExitConfirmation() override;
    void backToMenu() override;
    void closeHelp() override;
    void closeExitConfirmation() override;
    void openSearch(core::FormBase& from, const QString& typed) override;
    void leaveSearch() override;
    void openBookmarks(core::FormBase& from) override;
    void showTopic(const QString& topicFile, const QString& title,
                   const core::FoundPlaces& found) override;
    void showBreed(int record, const QString& name, const core::FoundPlaces& found) override;
    void openChooser(core::FormBase& from) override;
    void leaveChooser() override;
    void setOtherBackgrounds(const core::Picture& background) override;
    void setBackButtons(const core::Picture& picture) override;
    void fillCatalogue() override;

private:
    core::ProgramValues m_values;
    // Sounds stop and their effects go with the program, before the application ends.
    std::unique_ptr<core::AudioChannel> m_audio;
    // The main window is destroyed last: the dialogs stand above it.
    std::unique_ptr<main_window::Form2> m_form2;
    std::unique_ptr<topics::Form4> m_form4;
    std::unique_ptr<catalogue::Form1> m_form1;
    std::unique_ptr<dialogs::Form5> m_form5;
    std::unique_ptr<dialogs::Form3> m_form3;
    // Start-up gave these to the windows not made yet: background, back button, and the
    // catalogue as read for its first fill.
    core::Picture m_background, m_backButton;
    std::optional<catalogue::NameScan> m_catalogue;
    void ensureOthers();
    std::unique_ptr<search::SearchWindow> m_search;
    // The window the search was opened from: hidden if it is the main window, else left
    // beneath the search window without taking input.
    core::FormBase* m_searchOrigin = nullptr;

    void leaveOriginForResult();
    // The search window shown above the window it is opened from.
    void showSearch(core::FormBase& from);
    std::unique_ptr<chooser::ChooserWindow> m_chooser;
    // The window the chooser was opened from, hidden while it shows.
    core::FormBase* m_chooserOrigin = nullptr;
};

// Installs the Russian translation of Qt's own texts (context menus, standard buttons);
// false, and English texts, when it is not installed.
bool installQtTranslations();

// Prefers XWayland on a Wayland desktop, where windows cannot place themselves, unless
// the user chose a platform.
void choosePlatform();

} // namespace app

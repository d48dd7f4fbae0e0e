// SPDX-License-Identifier: GPL-3.0-or-later
// The breed catalogue: breed names in file order, the chosen breed's description, name
// and photo in a frame that follows the photo's width.
#pragma once

#include "core/controls.h"
#include "core/form.h"
#include "formats/catalogfile.h"
#include "print/dialogs.h"

namespace catalogue {

class Form1 : public core::FormBase {
    Q_OBJECT
public:
    Form1(core::ProgramValues& values, core::Navigator& navigator);
    ~Form1() override;

    // The controls by their design names (docs/NAMES.md).
    core::TextBox* Text1;    // the breed's description
    core::ChoiceList* List1; // breed names, in file order
    core::Label* Label10;    // "Нет фото"
    core::Label* Label7;     // the title
    core::Image* Image2;     // back button
    core::Shape* Shape1;     // photo frame
    core::Label* Label1;     // breed name
    core::Image* Image1;     // photo
    core::Label* Label11; // «Подбор породы», in the free space of the top row (key 7)
    // Added: whether the breed shown is bookmarked; a click or Ctrl+D changes it.
    core::BookmarkMark* Bookmark;

    // Run once at start-up: every name into the list, the first breed shown. Reading the
    // catalogue is the part that can fail; it may run before the window exists.
    static NameScan readForFill();
    void initialFill(const NameScan& scan);
    void initialFill() { initialFill(readForFill()); }
    void List1_Click();
    // What the search found, marked in the text shown (until another breed is chosen),
    // the cursor and the focus on its first place.
    void markFound(const core::FoundPlaces& found);
    void Image2_Click();
    void Label11_Click();
    // The breed shown bookmarked, or no longer.
    void Bookmark_Click();
    // What choosing a breed in the list does: the last record of the name, or the record of
    // that number (from 0) while it has that name; also for a name the list may not hold (a
    // breed found by the search in a catalogue changed since start-up).
    void choose(const QString& name, int record = -1);
    // The record a search found, for the choice of its entry that follows: of two breeds
    // of one name, the one found is opened.
    void chooseFoundNext(int record) { m_found = record; }
    // Ctrl+P and the description's right-click menu: the breed shown, with its photo and
    // facts, printed or saved as PDF (print/).
    void printBreed();
    print::Job breedJob() const;

protected:
    void Form_Activate() override;
    void Form_MouseMove() override;
    void backButtonClick() override { Image2_Click(); }
    bool Form_KeyPress(const QKeyEvent* key) override;

private:
    void showRecord(const Record& record);
    Record m_shown; // its name empty while no breed is shown
    BreedIndex m_breeds;
    int m_found = -1;
    void applyFrameRule();
    void VIB(const QString& sound);
};

} // namespace catalogue

// SPDX-License-Identifier: GPL-3.0-or-later
// The topic reader: the topics of one section in a sorted list, the chosen topic's text.
#pragma once

#include "core/controls.h"
#include "core/form.h"
#include "print/dialogs.h"

namespace topics {

class Form4 : public core::FormBase {
    Q_OBJECT
public:
    Form4(core::ProgramValues& values, core::Navigator& navigator);
    ~Form4() override;

    // The controls by their design names (docs/NAMES.md).
    core::ChoiceList* List1; // the section's topics
    core::TextBox* Text1;    // the topic's text
    core::Label* Label1_1;   // the title of the topic shown
    core::Label* Label1_0;   // the prompt
    core::Image* Image2;     // back button
    core::Label* Label7;     // section title, set by the main menu
    // Added: whether the topic shown is bookmarked; a click or Ctrl+D changes it.
    core::BookmarkMark* Bookmark;

    void List1_Click();
    // What choosing a title in the list does, for a title the list may not hold (a topic
    // found by the search in a file changed since).
    void choose(const QString& title);
    // What the search found, marked in the text shown (until another topic is chosen),
    // the cursor and the focus on its first place.
    void markFound(const core::FoundPlaces& found);
    void Image2_Click();
    // The topic shown bookmarked, or no longer.
    void Bookmark_Click();
    // The title of the topic shown; empty when none is.
    const QString& shownTitle() const { return m_shown; }
    // Ctrl+P and the text's right-click menu: the topic shown, or every topic of the section
    // in the list's order as a booklet, printed or saved as PDF (print/).
    void printTopic();
    print::Job topicJob() const;
    print::Job sectionJob() const;
    void leave() override;

protected:
    void Form_Activate() override;
    void Form_MouseMove() override;
    void backButtonClick() override { Image2_Click(); }
    bool Form_KeyPress(const QKeyEvent* key) override;

private:
    void empty(); // the list and the text go as the window is left
    void nameText(const QString& title);
    void shown(const QString& title); // the mark follows the topic shown
    QString m_shown;
    void VIB(); // the back button's sound
    void VIL(); // a topic's sound
};

} // namespace topics

// SPDX-License-Identifier: GPL-3.0-or-later
// The search window: a field, the ranked results and the passage of the highlighted
// result with the found words marked. It has the look of the other windows and leaves by
// its back button (or Escape) to the window it was opened from; choosing a result opens
// the reader or the catalogue on it.
#pragma once

#include "core/controls.h"
#include "core/form.h"
#include "search/engine.h"

#include <QLineEdit>
#include <QListWidget>

namespace search {

class SearchWindow : public core::FormBase {
    Q_OBJECT
public:
    SearchWindow(core::ProgramValues& values, core::Navigator& navigator);
    ~SearchWindow() override;

    core::Label* Label7;  // title
    core::Image* Image2;  // back button
    QLineEdit* Text1;     // the query
    QListWidget* List1;   // results
    core::TextBox* Text2; // the highlighted result's passage

    // Shown with the field holding this text (a letter typed on the main window).
    void start(const QString& typed);
    // Searches afresh for what the field holds.
    void Text1_Change();
    // The highlighted result's passage.
    void List1_Click();
    // Opens the chosen result (Enter, double-click, press).
    void List1_DblClick();
    void Image2_Click();

    const QList<Result>& results() const { return m_results; }

protected:
    void Form_Activate() override;
    void Form_MouseMove() override;
    void backButtonClick() override { Image2_Click(); }
    // From the field: Enter opens the highlighted result, Down moves into the list.
    bool Form_KeyPress(const QKeyEvent* event) override;

private:
    Engine m_engine;
    QList<Result> m_results;
};

} // namespace search

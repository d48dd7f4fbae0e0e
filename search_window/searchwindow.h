// SPDX-License-Identifier: GPL-3.0-or-later
// The search window: a field, the ranked results and the passage of the highlighted
// result with the found words marked. It has the look of the other windows and leaves by
// its back button (or Escape) to the window it was opened from; choosing a result opens
// the reader or the catalogue on it.
//
// Searching runs on a thread of its own (search/searcher.h): the field takes every key at
// once, and each key's search replaces the one before. While the reader types, the first
// result is highlighted but not made current, so a screen reader stays in the field; Down
// goes into the list on that result. Once typing pauses, a screen reader hears how many were
// found, or that nothing was.
//
// A query such as «подобрать породу» lists the breed chooser «Подбор породы» first.
//
// With the field empty the list holds the reader's bookmarks, then the topics and breeds
// last read (formats/bookmarks.h), each group under its heading; one no longer in the
// reference says so and is never opened, and Delete (or the right-click menu) removes it.
#pragma once

#include "base/text.h"
#include "core/controls.h"
#include "core/form.h"
#include "formats/bookmarks.h"
#include "print/dialogs.h"
#include "search/searcher.h"
#include "search/words.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSet>
#include <QTimer>

namespace search {

class SearchWindow : public core::FormBase {
    Q_OBJECT
public:
    SearchWindow(core::ProgramValues& values, core::Navigator& navigator);
    ~SearchWindow() override;

    core::Label* Label7;     // title
    core::Label* Label8;     // how many were found, and what was searched for
    core::Label* Label9;     // the content files that could not be read
    core::Image* Image2;     // back button
    QLineEdit* Text1;        // the query
    core::ChoiceList* List1; // results
    core::TextBox* Text2;    // the highlighted result's passage

    // Shown with the field holding this text (a letter typed on the main window).
    void start(const QString& typed);
    // Shown again on the search a result was last chosen in: its query selected, so that
    // typing replaces it, and that result chosen once the answer is there. False when no
    // result was chosen since the window was last left otherwise.
    bool startAgain();
    // Searches afresh for what the field holds; the answer comes later (answered()).
    void Text1_Change();
    // The highlighted result's passage.
    void List1_Click();
    // Opens the chosen result (Enter, double-click, press).
    void List1_DblClick();
    void Image2_Click();
    // The entry of the bookmarks or the recently read in this row removed from its group.
    void removeSaved(int row);
    // The bookmarks and recently read listed, the list's focus on the first bookmark.
    void showBookmarks();
    // Hidden, with what the last search held gone (the back button does the same).
    void leave() override;
    // Ctrl+P and the passage's right-click menu: the whole topic or breed of the result
    // highlighted (or of the bookmark or recently read entry chosen), printed or saved as
    // PDF (print/); nothing while none is.
    void printChosen();
    std::optional<print::MakeJob> chosenJob() const;

    const QList<Result>& results() const { return m_results; }
    Searcher& searcher() { return m_searcher; }

signals:
    // The answer for what the field holds is shown.
    void answerShown();

protected:
    void Form_Activate() override;
    void Form_MouseMove() override;
    void backButtonClick() override { Image2_Click(); }
    // From the field: Enter opens the highlighted result, Down moves into the list.
    bool Form_KeyPress(const QKeyEvent* event) override;

private:
    void showAnswer(const QString& query, const Answer& answer);
    // The line of what was found (Label8), and what a screen reader hears of it.
    void showFound(const QString& line);
    void sayFound();
    // The result Enter opens: the current one, or the highlighted first one.
    int chosenRow() const;
    void highlightFirst(bool on);
    QBrush partialText() const;
    void forgetAnswer();
    // Whether the file still holds the result's topic or breed.
    bool stillThere(const Result& result) const;
    // Whether the query asks for the breed chooser: it is then the first result (one with
    // no file), and opens the chooser.
    bool asksForChooser(const QString& query);
    Stemmer m_stemmer;
    QList<QSet<QString>> m_chooserStems;

    // A row of the list while the field is empty: a group's heading (no file), or an entry.
    struct Saved {
        bookmarks::Entry entry;
        bookmarks::Group group = bookmarks::Group::Bookmarks;
        QString file; // its section's topic file, or the catalogue; empty for a heading
        bool gone = false;
    };
    void listSaved();
    void openSaved(Saved saved);
    void savedMenu(const QPoint& at);
    // Whether the reference holds the entry now; its file then. A file that cannot be read
    // counts as holding it: opening it says why it cannot.
    bool inReference(const bookmarks::Entry& entry, QString* file);
    QList<Saved> m_saved;
    bool m_bookmarksFirst = false;
    QStringList m_savedProblems; // what the bookmarks file could not give or keep, said once
    // The titles (or names) of each file the entries were looked up in, as of its stamp.
    QHash<QString, std::pair<std::optional<base::FileStamp>, QStringList>> m_names;

    Searcher m_searcher;
    QList<Result> m_results;
    bool m_firstHighlighted = false;
    QString m_earlyFor; // the query of an early answer shown: more passages are coming
    QString m_gone;     // what was chosen and no longer there, until the query changes
    // The results' files as they were when the answer came: only a file changed since is
    // read again to check a result before it is opened.
    QHash<QString, std::optional<base::FileStamp>> m_stamps;
    QTimer m_searching; // says «Поиск…» when an answer is slow to come
    QTimer m_pause;     // runs while typing goes on
    QString m_foundFor; // the query whose answer Label8 gives
    bool m_said = false;
    // The query a result was opened from, and that result (its row and label), to show
    // again; the result is chosen again in the answer to that query.
    struct Chosen {
        QString query;
        int row = -1;
        QString label;
    };
    Chosen m_chosen;
    bool m_chooseAgain = false;
    void chooseAgain();
};

} // namespace search

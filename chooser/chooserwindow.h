// SPDX-License-Identifier: GPL-3.0-or-later
// «Подбор породы»: the reader's answers on the left, each question a group of radio buttons
// or check boxes; on the right the breeds that fit (formats/breedchoice.h), each with its
// reservations or its one miss, and the chosen breed's facts in words or up to three marked
// breeds side by side. The list follows every answer at once from the facts read when the
// window opens (again only when the file changed). Enter or a double click opens the
// catalogue on a breed through the navigator; the back button (Escape, Alt+Left) returns
// to the window it was opened from.
#pragma once

#include "core/controls.h"
#include "core/form.h"
#include "formats/breedchoice.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

namespace chooser {

class ChooserWindow : public core::FormBase {
    Q_OBJECT
public:
    ChooserWindow(core::ProgramValues& values, core::Navigator& navigator);
    ~ChooserWindow() override;

    core::Label* Label7;     // title
    core::Image* Image2;     // back button
    QWidget* Questions;      // the question groups, in two columns
    core::Label* Label8;     // how many fit, or what could not be read
    core::ChoiceList* List1; // «Подходящие породы»
    QPushButton* Command1;   // «Сравнить»
    QPushButton* Command2;   // «Сбросить ответы»
    core::TextBox* Text1;    // the chosen breed's facts, reservations and misses
    QTableWidget* Grid1;     // the marked breeds side by side (in Text1's place)
    core::Label* Label9;     // what a breed does not say

    // The question groups by their captions, and every answer's button by its text.
    QList<QGroupBox*> groups() const { return m_groups; }
    QAbstractButton* answer(const QString& text) const;

    // Opened: the facts read again if the file changed, the list as the answers give it.
    void start();
    // The answers as the buttons give them.
    facts::Answers answers() const;
    // Every answer back to «Не важно» (and no box checked).
    void Command2_Click();
    // The marked breeds side by side.
    void Command1_Click();
    // The chosen entry's facts.
    void List1_Click();
    // Opens the catalogue on the chosen entry's breed.
    void List1_DblClick();
    void Image2_Click();

    // The breeds listed, in order, by their index in the facts; -1 for the line between the
    // two parts.
    const QList<int>& listed() const { return m_listed; }
    // The breeds marked for comparing, by name, in the order marked.
    const QStringList& marked() const { return m_marked; }
    const facts::FactsTable& table() const { return m_source.table(); }

    // At most this many breeds side by side.
    static constexpr int MaxCompared = 3;

protected:
    void Form_Activate() override;
    void Form_MouseMove() override;
    void backButtonClick() override { Image2_Click(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* addGroup(QLayout* column, const QString& caption, const QStringList& choices,
                        bool several);
    void buildQuestions();
    // The list anew for the answers, keeping the chosen breed and the marks where they are
    // still listed.
    void refill();
    void entryChecked(QListWidgetItem* item);
    void showFacts(int breed);
    void fitGrid();
    // The line of how many fit (Label8), and what a screen reader hears of it.
    void showCount(const QString& line);
    int chosenBreed() const;

    facts::FactsSource m_source;
    facts::Chooser m_chooser;
    QList<QGroupBox*> m_groups;
    QList<int> m_listed;
    QStringList m_marked;
    QTimer m_pause;        // runs while the reader goes on answering
    bool m_filling = true; // until the window is built, and while the program sets answers
};

} // namespace chooser

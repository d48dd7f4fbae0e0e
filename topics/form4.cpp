// SPDX-License-Identifier: GPL-3.0-or-later
#include "topics/form4.h"

#include "base/contentfiles.h"
#include "base/failure.h"
#include "core/look.h"
#include "formats/bookmarks.h"
#include "formats/topicfile.h"

#include <QAccessible>
#include <QCollator>
#include <QKeyEvent>
#include <QMenu>

using namespace core;

namespace topics {

namespace {
const FormLook Look{8070, 7200, 1, true, colors::ButtonFace};
const QString Prompt = QStringLiteral("Выберите тему");
const QString TextName = QStringLiteral("Текст темы");
} // namespace

Form4::Form4(ProgramValues& values, Navigator& navigator)
    : FormBase(values, navigator, QStringLiteral("Form4"), Look) {
    allowSearch();
    QWidget* s = surface();
    List1 = new ChoiceList(s, QStringLiteral("List1"), {120, 960, 7815, 1425},
                           designFont(QStringLiteral("MS Serif"), 8.25), colors::DarkGreen,
                           colors::TooltipBack);
    Text1 = new TextBox(s, QStringLiteral("Text1"), {120, 3360, 7815, 3735},
                        designFont(QStringLiteral("Times New Roman"), 12), colors::DarkBlue,
                        colors::TooltipBack);
    Label1_1 = new Label(s, QStringLiteral("Label1(1)"), {120, 2880, 7815, 375}, Prompt,
                         designFont(QStringLiteral("MS Sans Serif"), 12, true), colors::DarkGreen,
                         Qt::AlignHCenter);
    Label1_0 = new Label(s, QStringLiteral("Label1(0)"), {960, 2520, 6135, 375}, Prompt,
                         windowDefaultFont(), colors::DarkGreen, Qt::AlignHCenter);
    Image2 = addBackButton(QStringLiteral("Image2"), {7200, 120, 750, 345}, BackHover::Lights);
    auto* rule = new Line(s, QStringLiteral("Line1(6)"), {0, 600}, {8160, 600}, 10, colors::Green);
    Label7 =
        new Label(s, QStringLiteral("Label7"), {120, 120, 6015, 375}, QString(),
                  designFont(QStringLiteral("Courier New"), 12, true), colors::Blue, Qt::AlignLeft);
    // In the free space between the section title and the back button.
    Bookmark = new BookmarkMark(s, QStringLiteral("Bookmark"), {6720, 120, 375, 345});
    bindKeys(Bookmark, {Qt::CTRL | Qt::Key_D}, QStringLiteral("Клавиши Ctrl+D"));
    stackFrontToBack({List1, Text1, Label1_1, Label1_0, Image2, rule, Label7, Bookmark});
    // A long title wraps over the top edge of the text box, down to its text (zoomed, up
    // toward the prompt where the lines need it).
    Label1_1->setWordWrap(true);
    Label1_1->setGrowToFit(Text1, Label1_0);
    List1->setAccessibleName(QStringLiteral("Темы"));
    Text1->setAccessibleName(TextName);
    Text1->setAccessibleDescription(TextName);
    setTabOrder(Text1, List1);
    allowFoundSteps(Text1);
    Text1->setFocus();

    connect(List1, &ChoiceList::chosen, this, [this] { base::guarded([&] { List1_Click(); }); });
    connect(Bookmark, &BookmarkMark::clicked, this,
            [this] { base::guarded([&] { Bookmark_Click(); }); });
    Text1->setMenuEntries([this](QMenu& menu) {
        print::addEntries(menu, this, !m_shown.isEmpty(), [this] { return topicJob(); });
        menu.addSeparator();
        print::addEntries(
            menu, this, List1->count() > 0, [this] { return sectionJob(); },
            QStringLiteral("Печать раздела…"), QStringLiteral("Сохранить раздел в PDF…"),
            QKeySequence());
    });
    shown(QString());
}

Form4::~Form4() = default;

void Form4::VIB() {
    playSound(base::content::sound::Select);
}
void Form4::VIL() {
    playSound(base::content::sound::Stat);
}

void Form4::Form_Activate() {
    newPlayer();
    if (m_values.TopicListLoaded != 0) return;
    // No topic's title stands over a list without it (the file may now hold no topics, or
    // not be readable): the heading says what it says before any topic is shown.
    Label1_1->setText(Prompt);
    shown(QString());
    const TitleScan scan = scanTitles(readTopicBytes(m_values.TopicFilePath));

    // Russian dictionary order, case-insensitive; equal titles keep their file order.
    QCollator collator(QLocale(QLocale::Russian, QLocale::Russia));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QStringList sorted = scan.titles;
    std::stable_sort(sorted.begin(), sorted.end(), [&](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    List1->programmatic([&] { List1->addEntries(sorted); });

    if (scan.hasFirstTopic) {
        nameText(scan.firstTitle);
        Text1->setPlainText(scan.firstText);
        Label1_1->setText(scan.firstTitle);
        shown(scan.firstTitle);
        backButtonNormal();
        // Shown, so current in the list too: Down goes on to the next title.
        for (int row = 0; row < List1->count(); ++row)
            if (List1->entryText(row) == scan.firstTitle) {
                List1->makeCurrent(row);
                break;
            }
    }
}

bool Form4::Form_KeyPress(const QKeyEvent* key) {
    if (key->matches(QKeySequence::Print)) {
        printTopic();
        return true;
    }
    // Enter on a title: to its text (chosen first, if it is not the one shown).
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || !List1->hasFocus() ||
        !List1->currentItem())
        return false;
    if (!List1->currentItem()->isSelected() &&
        List1->entryText(List1->currentRow()) != Label1_1->text())
        List1->setCurrentRow(List1->currentRow()); // selected, as a user's choice
    Text1->setFocus(Qt::OtherFocusReason);
    return true;
}

void Form4::List1_Click() {
    if (m_values.TopicListLoaded == 1) return;
    choose(List1->selectedText());
}

void Form4::choose(const QString& title) {
    VIL();
    Text1->clear();
    // The heading is the chosen title before the file is read, so a file that cannot be
    // read, or no longer holds the topic, leaves the title over an empty text.
    Label1_1->setText(title);
    nameText(title);
    const QString text = readTopic(readTopicBytes(m_values.TopicFilePath), title);
    Text1->setPlainText(text);
    // Read: first among the recently read (the first topic a section shows by itself is not).
    if (!text.isEmpty()) bookmarks::noteRead({Label7->fullText(), title});
    shown(title);
    // Chosen while the text has the focus (a topic opened from the search): a screen reader
    // hears the text again, by its new title.
    if (Text1->hasFocus() && QAccessible::isActive()) {
        QAccessibleEvent focus(Text1, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void Form4::markFound(const FoundPlaces& found) {
    Text1->markFound(found);
    if (!Text1->found().isEmpty()) Text1->setFocus(Qt::OtherFocusReason);
}

void Form4::shown(const QString& title) {
    m_shown = title;
    Bookmark->setVisible(!title.isEmpty());
    Bookmark->setMarked(!title.isEmpty() && bookmarks::isBookmarked({Label7->fullText(), title}));
}

void Form4::Bookmark_Click() {
    if (m_shown.isEmpty()) return;
    const bookmarks::Entry entry{Label7->fullText(), m_shown};
    bookmarks::setBookmarked(entry, !Bookmark->isMarked());
    // As the file has it now: unchanged when it could not be kept.
    Bookmark->setMarked(bookmarks::isBookmarked(entry));
}

void Form4::printTopic() {
    if (!m_shown.isEmpty()) print::printJob(this, [this] { return topicJob(); });
}

print::Job Form4::topicJob() const {
    const print::Topic topic{Label7->fullText(), m_shown, Text1->toPlainText()};
    return {m_shown, [topic](print::Printout& out) { out.addTopic(topic); }};
}

print::Job Form4::sectionJob() const {
    QStringList titles;
    for (int row = 0; row < List1->count(); ++row)
        titles << List1->entryText(row);
    const QString section = Label7->fullText();
    const QString file = m_values.TopicFilePath;
    return {section, [=](print::Printout& out) {
                for (const print::Topic& topic : print::readSection(section, file, titles))
                    out.addTopic(topic);
                out.addContents(section);
            }};
}

void Form4::Image2_Click() {
    hideForm();
    m_navigator.backToMenu();
    empty();
    VIB();
}

void Form4::leave() {
    hideForm();
    empty();
}

void Form4::empty() {
    List1->programmatic([&] { List1->clear(); });
    Text1->clear();
    Text1->setAccessibleName(TextName);
    m_shown = QString();
}

void Form4::nameText(const QString& title) {
    // The focus is in the text when a section opens: a screen reader names it by the topic
    // before it reads it.
    Text1->setAccessibleName(boundedText(title));
}

void Form4::Form_MouseMove() {
    backButtonNormal();
}

} // namespace topics

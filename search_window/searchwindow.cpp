// SPDX-License-Identifier: GPL-3.0-or-later
#include "search_window/searchwindow.h"

#include "base/contentfiles.h"
#include "base/failure.h"
#include "base/units.h"
#include "core/announce.h"
#include "core/look.h"
#include "formats/catalogfile.h"
#include "formats/topicfile.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QTextCursor>
#include <QToolButton>

using namespace core;

namespace search {

namespace {
const FormLook Look{8070, 7200, 1, true, colors::ButtonFace};
const QString Title = QStringLiteral("Поиск по справочнику");
const QString NothingFound = QStringLiteral("Ничего не найдено");
const QString CatalogueLabel = QStringLiteral("Каталог пород");
const QString Partial = QStringLiteral(" (не все слова)");
const QString BookmarksHeading = QStringLiteral("Закладки");
const QString RecentHeading = QStringLiteral("Недавно прочитанные");
const QString NotInReference = QStringLiteral("нет в справочнике");
// How long an answer may take before the window says it is searching.
constexpr int SearchingDelayMs = 150;
// The words a reader asks for the breed chooser in: a query holding every word of one of
// these, in any form the search gives the same stem, lists it first.
const char* const ChooserPhrasings[] = {"подбор породы",  "подобрать породу", "выбор породы",
                                        "выбрать породу", "подбор собаки",    "подобрать собаку"};
// A longer query is about something else (and is never stemmed twice on a key).
constexpr qsizetype ChooserQueryMax = 200;
const QString ChooserTitle = QStringLiteral("Подбор породы");
const QString ChooserPassage = QStringLiteral(
    "Двенадцать вопросов о доме, прогулках, опыте, детях и других животных, шерсти, климате, "
    "охране и лае, и породы, которые подходят под ответы, с объяснением, чем каждая подходит "
    "и чем нет.");

// The stems of a text's words, as the search stems them.
QSet<QString> stemsOf(Stemmer& stemmer, const QString& text) {
    const QString folded = foldCase(withoutInvisible(text));
    QSet<QString> stems;
    WordReader reader(folded);
    Word word;
    while (reader.next(word))
        stems.insert(stemmer.stem(
            wordKey(QStringView(folded).mid(word.whole.offset, word.whole.length), word.marked)));
    return stems;
}

QList<Section> sections() {
    QList<Section> list;
    for (const base::content::Section& s : base::content::Sections)
        list.append({s.file, s.readerTitle});
    return list;
}

QString number(qsizetype n) {
    return QLocale(QLocale::Russian).toString(qlonglong(n));
}

// «Найдено: 122 686, показаны первые 500»; partial answers counted apart; words found nowhere
// named when the others found something.
QString foundLine(const Answer& answer) {
    QString line = QStringLiteral("Найдено: %1").arg(number(answer.found));
    if (answer.partial > 0)
        line += QStringLiteral(", без одного из слов: %1").arg(number(answer.partial));
    if (answer.found + answer.partial > answer.results.size())
        line += QStringLiteral(", показаны первые %1").arg(number(answer.results.size()));
    if (!answer.searchedFor.isEmpty())
        line = QStringLiteral("Показаны результаты для: %1. %2").arg(answer.searchedFor, line);
    if (!answer.unfound.isEmpty() && !answer.results.isEmpty())
        line = QStringLiteral("Ничего не найдено по словам: %1. %2")
                   .arg(answer.unfound.join(QStringLiteral(", ")), line);
    return line;
}

// The same, as speech says it: «Найдено 17», with no colon read aloud.
QString spoken(const QString& line) {
    return QString(line).replace(QStringLiteral(": "), QStringLiteral(" "));
}
} // namespace

SearchWindow::SearchWindow(ProgramValues& values, Navigator& navigator)
    : FormBase(values, navigator, QStringLiteral("SearchWindow"), Look),
      m_searcher(sections(), base::content::Catalogue, CatalogueLabel, base::content::WordGroups) {
    for (const char* phrasing : ChooserPhrasings)
        m_chooserStems << stemsOf(m_stemmer, QString::fromUtf8(phrasing));
    QWidget* s = surface();
    setAccessibleName(Title);
    Label7 =
        new Label(s, QStringLiteral("Label7"), {120, 120, 6015, 375}, Title,
                  designFont(QStringLiteral("Courier New"), 12, true), colors::Blue, Qt::AlignLeft);
    Image2 = addBackButton(QStringLiteral("Image2"), {7200, 120, 750, 345}, BackHover::Lights);
    auto* rule = new Line(s, QStringLiteral("Line1(6)"), {0, 600}, {8160, 600}, 10, colors::Green);

    Text1 = new QLineEdit(s);
    Text1->setObjectName(QStringLiteral("Text1"));
    place(Text1, {120, 840, 7815, 375});
    setDesignFont(Text1, designFont(QStringLiteral("MS Sans Serif"), 12));
    Text1->setPlaceholderText(QStringLiteral("Слово или несколько слов"));
    Text1->setAccessibleName(QStringLiteral("Искать"));
    Text1->setAccessibleDescription(
        QStringLiteral("Результаты обновляются при вводе, Enter открывает первый, "
                       "стрелка вниз переходит к списку, Escape возвращает назад"));
    Text1->setClearButtonEnabled(true);
    if (auto* clear = Text1->findChild<QToolButton*>())
        clear->setAccessibleName(QStringLiteral("Очистить"));
    Text1->setMouseTracking(true);

    Label8 = new Label(s, QStringLiteral("Label8"), {120, 1275, 7815, 255}, QString(),
                       designFont(QStringLiteral("MS Sans Serif"), 8.25), colors::DarkGreen,
                       Qt::AlignLeft);

    List1 = new ChoiceList(s, QStringLiteral("List1"), {120, 1560, 7815, 2175},
                           designFont(QStringLiteral("MS Serif"), 9.75), colors::DarkGreen,
                           colors::TooltipBack);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded); // a long label scrolls
    List1->setAccessibleName(QStringLiteral("Результаты поиска"));
    List1->setHint(
        QStringLiteral("Enter или двойной щелчок открывает результат. При пустом поле закладки "
                       "и недавно прочитанные, Delete убирает из списка"));
    List1->setContextMenuPolicy(Qt::CustomContextMenu);
    List1->setMouseTracking(true);
    // Entering the list (Down, Tab, a click): its current entry, the first when none, is
    // what a screen reader names, after the list itself.
    List1->setFirstCurrentOnEntry(true);

    Text2 = new TextBox(s, QStringLiteral("Text2"), {120, 3840, 7815, 3000},
                        designFont(QStringLiteral("Times New Roman"), 12), colors::DarkBlue,
                        colors::TooltipBack);
    Text2->setAccessibleName(QStringLiteral("Найденный отрывок"));
    Text2->setMenuEntries([this](QMenu& menu) {
        const std::optional<print::MakeJob> job = chosenJob();
        print::addEntries(menu, this, job.has_value(), job.value_or(print::MakeJob()));
    });

    // A failure names the file here, in the window, and the search goes on.
    Label9 = new Label(s, QStringLiteral("Label9"), {120, 6885, 7815, 255}, QString(),
                       designFont(QStringLiteral("MS Sans Serif"), 8.25), 0x000080, Qt::AlignLeft);

    stackFrontToBack({Text1, Label8, List1, Text2, Label9, Image2, rule, Label7});
    setTabOrder(Text1, List1);
    setTabOrder(List1, Text2);

    m_searching.setSingleShot(true);
    m_searching.setInterval(SearchingDelayMs);
    connect(&m_searching, &QTimer::timeout, this, [this] { showFound(QStringLiteral("Поиск…")); });
    m_pause.setSingleShot(true);
    m_pause.setInterval(AnnouncePauseMs);
    connect(&m_pause, &QTimer::timeout, this, [this] { base::guarded([&] { sayFound(); }); });
    connect(&m_searcher, &Searcher::answered, this,
            [this](const QString& query, const Answer& answer) {
                base::guarded([&] { showAnswer(query, answer); });
            });
    connect(Text1, &QLineEdit::textChanged, this,
            [this] { base::guarded([&] { Text1_Change(); }); });
    connect(List1, &QListWidget::currentRowChanged, this, [this] {
        base::guarded([&] {
            if (List1->currentRow() >= 0) highlightFirst(false);
            List1_Click();
        });
    });
    connect(List1, &QListWidget::itemActivated, this,
            [this] { base::guarded([&] { List1_DblClick(); }); });
    connect(List1, &QListWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { base::guarded([&] { savedMenu(at); }); });
}

SearchWindow::~SearchWindow() = default;

void SearchWindow::start(const QString& typed) {
    m_chosen = {};
    m_chooseAgain = false;
    m_searcher.prepare();
    const bool same = Text1->text() == typed;
    Text1->setText(typed);
    if (same) Text1_Change(); // a search of the same text sees the files as they are now
    Text1->setFocus();
    Text1->end(false);
}

bool SearchWindow::startAgain() {
    if (m_chosen.query.isEmpty()) return false;
    m_searcher.prepare();
    m_chooseAgain = true;
    // Searched again, so the list is the files' as they are now.
    if (Text1->text() == m_chosen.query)
        Text1_Change();
    else
        Text1->setText(m_chosen.query);
    Text1->setFocus();
    Text1->selectAll();
    return true;
}

void SearchWindow::Form_Activate() {
    newPlayer();
    // Opened on the bookmarks: the focus on the first of them (its heading when none).
    if (std::exchange(m_bookmarksFirst, false) && !m_saved.isEmpty()) {
        List1->setFocus();
        List1->setCurrentRow(m_saved.value(1).file.isEmpty() && !m_saved.value(1).gone ? 0 : 1);
        return;
    }
    Text1->setFocus();
}

void SearchWindow::Text1_Change() {
    if (Text1->text() != m_chosen.query) m_chooseAgain = false;
    m_gone = QString();
    m_said = false;
    m_pause.start();
    if (Text1->text().trimmed().isEmpty()) {
        m_searcher.search(QString()); // any search running gives way
        m_searching.stop();
        showAnswer(Text1->text(), {});
        return;
    }
    m_searcher.search(Text1->text());
    m_searching.start();
}

// The searcher sends only the answer to the latest request, that is to what the field holds.
void SearchWindow::showAnswer(const QString& query, const Answer& answer) {
    m_searching.stop();
    const bool empty = query.trimmed().isEmpty();
    // The bookmarks listed already stay as they are, and the reader's place in them.
    if (empty && !m_saved.isEmpty()) {
        emit answerShown();
        return;
    }
    showFound(empty ? QString() : foundLine(answer));
    m_foundFor = query;
    if (!m_pause.isActive()) sayFound(); // typing paused before the answer came
    const QString unreadable = answer.unreadable.isEmpty()
                                   ? QString()
                                   : QStringLiteral("Не удалось прочитать: %1")
                                         .arg(answer.unreadable.join(QStringLiteral(", ")));
    Label9->setText(m_gone.isEmpty() ? unreadable : m_gone);
    // The rest of the passages for results listed early for this query: the list stays as
    // it is. Another query's answer is a new list even when its entries are the same.
    const bool sameList =
        !m_earlyFor.isNull() && m_earlyFor == query && answer.results.size() == m_results.size() &&
        std::equal(m_results.cbegin(), m_results.cend(), answer.results.cbegin(),
                   [](const Result& a, const Result& b) { return a.label == b.label; });
    m_earlyFor = answer.complete ? QString() : query;
    m_results = answer.results;
    if (asksForChooser(query)) {
        // The chooser first: it answers such a question better than any one topic.
        Result chooser;
        chooser.source = chooser.title = chooser.label = ChooserTitle;
        chooser.passage = ChooserPassage;
        m_results.prepend(chooser);
    }
    m_stamps.clear();
    for (const Result& r : std::as_const(m_results))
        if (!r.file.isEmpty() && !m_stamps.contains(r.file))
            m_stamps.insert(r.file, base::stampOf(r.file));
    if (sameList) {
        List1_Click();
        chooseAgain();
        emit answerShown();
        return;
    }
    List1->clear();
    m_saved.clear();
    Text2->clear();
    m_firstHighlighted = false;
    if (empty) {
        listSaved();
        emit answerShown();
        return;
    }
    // The note «Ничего не найдено» shows as an entry; Tab passes it by, as Down does.
    List1->setFocusPolicy(m_results.isEmpty() ? Qt::ClickFocus : Qt::StrongFocus);
    if (m_results.isEmpty()) {
        List1->addItem(NothingFound);
        emit answerShown();
        return;
    }
    for (const Result& r : std::as_const(m_results)) {
        auto* item = new QListWidgetItem(r.label + (r.partial ? Partial : QString()), List1);
        // Read out with a pause between the section and the title (a comma: a colon would
        // be read aloud).
        item->setData(Qt::AccessibleTextRole,
                      r.file.isEmpty()
                          ? r.title
                          : r.source + QStringLiteral(", ") + r.title +
                                (r.partial ? QStringLiteral(", не все слова") : QString()));
        if (r.partial) item->setForeground(partialText());
    }
    // The field keeps the focus: the first result is shown, not made current.
    if (List1->hasFocus())
        List1->setCurrentRow(0);
    else
        highlightFirst(true);
    chooseAgain();
    emit answerShown();
}

bool SearchWindow::asksForChooser(const QString& query) {
    if (query.size() > ChooserQueryMax) return false;
    const QSet<QString> asked = stemsOf(m_stemmer, query);
    return std::any_of(m_chooserStems.cbegin(), m_chooserStems.cend(),
                       [&](const QSet<QString>& phrasing) { return asked.contains(phrasing); });
}

// The result chosen last time made current again, the focus staying in the field: Enter
// opens it again. Of two of one label, the one in its row.
void SearchWindow::chooseAgain() {
    if (!m_chooseAgain || m_foundFor != m_chosen.query) return;
    // An early answer's list may still be made anew by the complete one.
    if (m_earlyFor.isNull()) m_chooseAgain = false;
    int row = m_chosen.row;
    if (row < 0 || row >= m_results.size() || m_results[row].label != m_chosen.label) {
        row = -1;
        for (int i = 0; i < m_results.size() && row < 0; ++i)
            if (m_results[i].label == m_chosen.label) row = i;
    }
    if (row >= 0) List1->setCurrentRow(row);
}

void SearchWindow::showFound(const QString& line) {
    Label8->setText(line);
    Label8->setAccessibleName(spoken(line));
}

// Once typing has paused, a screen reader hears what the answer to the field's text found,
// the focus staying in the field.
void SearchWindow::sayFound() {
    if (m_said || !Text1->hasFocus() || m_foundFor != Text1->text() ||
        Text1->text().trimmed().isEmpty())
        return;
    m_said = true;
    announce(m_results.isEmpty() ? NothingFound : Label8->accessibleName());
}

void SearchWindow::highlightFirst(bool on) {
    if (on == m_firstHighlighted || List1->count() == 0) return;
    m_firstHighlighted = on;
    QListWidgetItem* first = List1->item(0);
    first->setBackground(on ? List1->palette().highlight() : QBrush());
    first->setForeground(on                           ? List1->palette().highlightedText()
                         : m_results.value(0).partial ? partialText()
                                                      : QBrush());
    if (on) List1_Click();
}

// Partial answers are listed lighter.
QBrush SearchWindow::partialText() const {
    return palette().brush(QPalette::Disabled, QPalette::Text);
}

int SearchWindow::chosenRow() const {
    const int row = List1->currentRow();
    return row >= 0 ? row : (m_firstHighlighted ? 0 : -1);
}

void SearchWindow::List1_Click() {
    const int row = chosenRow();
    Text2->clear();
    if (row < 0 || row >= m_results.size()) return;
    const Result& r = m_results[row];
    Text2->setPlainText(r.passage);
    // The found words stand out as in a marked-up book: bold on a pale yellow.
    QTextCharFormat mark;
    mark.setFontWeight(QFont::Bold);
    mark.setBackground(QColor(0xFF, 0xF0, 0x9A));
    // At night too the marker stays pale, its words dark on it (by day the text's own blue).
    mark.setForeground(nightLook() ? QColor(0x1C, 0x1A, 0x12) : vbColor(colors::DarkBlue));
    for (const Span& span : r.marks) {
        QTextCursor c(Text2->document());
        c.setPosition(int(span.offset));
        c.setPosition(int(span.end()), QTextCursor::KeepAnchor);
        c.mergeCharFormat(mark);
    }
}

void SearchWindow::List1_DblClick() {
    if (!m_saved.isEmpty()) {
        if (const int row = List1->currentRow(); row >= 0 && row < m_saved.size())
            openSaved(m_saved.at(row));
        return;
    }
    const int row = chosenRow();
    if (row < 0 || row >= m_results.size()) return;
    const Result r = m_results[row];
    if (r.file.isEmpty()) {
        // «Подбор породы»: opened as a result is, back to where the search was opened from.
        const QString query = Text1->text();
        leave();
        m_chosen = {query, row, r.label};
        m_navigator.openChooser(*this);
        return;
    }
    // The file may have changed since the search: a topic or breed it no longer holds is
    // not opened empty; the window says so and searches again.
    if (!stillThere(r)) {
        m_gone =
            QStringLiteral("«%1» больше нет в %2: файл изменён после поиска").arg(r.title, r.file);
        Label9->setText(m_gone);
        m_searcher.search(Text1->text());
        m_searching.start();
        return;
    }
    const QString query = Text1->text();
    leave();
    m_chosen = {query, row, r.label};
    // The query's words marked where the reader or the catalogue shows them, as the search
    // matched them in this file.
    const core::FoundPlaces found = [words = r.found](const QString& text) {
        QList<core::TextSpan> places;
        if (words)
            for (const Span& span : words->marksIn(text))
                places.append({int(span.offset), int(span.length)});
        return places;
    };
    if (r.kind == Kind::Topic)
        m_navigator.showTopic(r.file, r.title, found);
    else
        m_navigator.showBreed(r.row, r.title, found);
}

bool SearchWindow::stillThere(const Result& r) const {
    const auto then = m_stamps.constFind(r.file);
    if (then != m_stamps.cend() && *then && base::stampOf(r.file) == *then) return true;
    try {
        if (r.kind == Kind::Topic)
            return topics::scanTitles(topics::readTopicBytes(r.file)).titles.contains(r.title);
        return catalogue::scanFile(r.file).names.contains(r.title);
    } catch (const base::RuntimeFailure&) {
        // A file that cannot be read is the reader's or the catalogue's to report on opening.
        return true;
    }
}

void SearchWindow::listSaved() {
    const bookmarks::Lists lists = bookmarks::load();
    const auto heading = [&](const QString& text, const QString& spoken) {
        auto* item = new QListWidgetItem(text, List1);
        QFont bold = List1->font();
        bold.setBold(true);
        item->setFont(bold);
        item->setData(Qt::AccessibleTextRole, spoken);
        m_saved.append(Saved());
    };
    const auto group = [&](bookmarks::Group group, const QString& title,
                           const QList<bookmarks::Entry>& entries, const QString& none) {
        heading(title, QStringLiteral("%1, %2").arg(title, number(entries.size())));
        for (const bookmarks::Entry& e : entries) {
            Saved saved{e, group, QString(), false};
            saved.gone = !inReference(e, &saved.file);
            const QString source = e.isBreed() ? CatalogueLabel : e.section;
            auto* item = new QListWidgetItem(
                boundedText(source + QStringLiteral(" › ") + e.title, 500) +
                    (saved.gone ? QStringLiteral(" — ") + NotInReference : QString()),
                List1);
            item->setData(Qt::AccessibleTextRole,
                          boundedText(source + QStringLiteral(", ") + e.title, 500) +
                              (saved.gone ? QStringLiteral(", ") + NotInReference : QString()));
            if (saved.gone) item->setForeground(partialText());
            m_saved.append(saved);
        }
        if (entries.isEmpty()) {
            new QListWidgetItem(none, List1);
            m_saved.append(Saved());
        }
    };
    group(bookmarks::Group::Bookmarks, BookmarksHeading, lists.bookmarks,
          QStringLiteral("    нет: Ctrl+D в разделе или каталоге добавляет закладку"));
    group(bookmarks::Group::Recent, RecentHeading, lists.recent, QStringLiteral("    пока ничего"));
    // What could not be read or kept, said once.
    // It stays said while the window is open (the list may be made again meanwhile).
    m_savedProblems += bookmarks::takeProblems();
    if (!m_savedProblems.isEmpty()) Label9->setText(m_savedProblems.join(QStringLiteral("; ")));
}

bool SearchWindow::inReference(const bookmarks::Entry& entry, QString* file) {
    *file = entry.isBreed() ? base::content::Catalogue : QString();
    for (const base::content::Section& s : base::content::Sections)
        if (!entry.isBreed() && s.readerTitle == entry.section) *file = s.file;
    if (file->isEmpty()) return false;
    // Each file read once for as long as it stays as it is.
    const std::optional<base::FileStamp> stamp = base::stampOf(*file);
    auto known = m_names.find(*file);
    if (known == m_names.end() || !stamp || known->first != stamp) {
        QStringList names;
        try {
            names = entry.isBreed() ? catalogue::scanFile(*file).names
                                    : topics::scanTitles(topics::readTopicBytes(*file)).titles;
        } catch (const base::RuntimeFailure&) {
            m_names.remove(*file);
            return true;
        }
        known = m_names.insert(*file, {stamp, names});
    }
    return known->second.contains(entry.title);
}

std::optional<print::MakeJob> SearchWindow::chosenJob() const {
    Kind kind = Kind::Topic;
    QString file, section, title;
    int record = -1;
    if (!m_saved.isEmpty()) {
        const int row = List1->currentRow();
        if (row < 0 || row >= m_saved.size() || m_saved[row].file.isEmpty() || m_saved[row].gone)
            return std::nullopt;
        const Saved& saved = m_saved[row];
        kind = saved.entry.isBreed() ? Kind::Breed : Kind::Topic;
        file = saved.file;
        section = saved.entry.section;
        title = saved.entry.title;
    } else {
        const int row = chosenRow();
        if (row < 0 || row >= m_results.size()) return std::nullopt;
        const Result& r = m_results[row];
        kind = r.kind;
        file = r.file;
        section = r.source;
        title = r.title;
        record = r.row;
    }
    // Read as the reader and the catalogue would show it once opened.
    return [=]() -> print::Job {
        if (kind == Kind::Topic) {
            const print::Topic topic = print::readTopic(section, file, title);
            return {title, [topic](print::Printout& out) { out.addTopic(topic); }};
        }
        catalogue::BreedIndex breeds(file);
        const std::optional<catalogue::Record> found =
            record >= 0 ? breeds.recordAt(record, title) : breeds.recordNamed(title);
        const print::Breed breed =
            print::readBreed(found.value_or(catalogue::Record{title, QString(), QString()}));
        return {title, [breed](print::Printout& out) { out.addBreed(breed); }};
    };
}

void SearchWindow::printChosen() {
    if (const std::optional<print::MakeJob> job = chosenJob()) print::printJob(this, *job);
}

void SearchWindow::openSaved(Saved saved) {          // a copy: leaving empties the list
    if (saved.file.isEmpty() && !saved.gone) return; // a heading
    QString file;
    if (saved.gone || !inReference(saved.entry, &file)) {
        Label9->setText(
            QStringLiteral("«%1» %2").arg(boundedText(saved.entry.title, 200), NotInReference));
        return;
    }
    leave();
    m_chosen = {};
    if (saved.entry.isBreed())
        m_navigator.showBreed(-1, saved.entry.title, {});
    else
        m_navigator.showTopic(file, saved.entry.title, {});
}

void SearchWindow::removeSaved(int row) {
    if (row < 0 || row >= m_saved.size() || (m_saved[row].file.isEmpty() && !m_saved[row].gone))
        return;
    bookmarks::remove(m_saved[row].entry, m_saved[row].group);
    const bool focused = List1->hasFocus();
    List1->clear();
    m_saved.clear();
    listSaved();
    // On where it was, or the last entry.
    if (focused) List1->setCurrentRow(std::min(row, List1->count() - 1));
}

void SearchWindow::showBookmarks() {
    m_bookmarksFirst = true;
    if (isActiveWindow()) Form_Activate();
}

void SearchWindow::savedMenu(const QPoint& at) {
    const int row = List1->indexAt(at).row();
    if (row < 0 || row >= m_saved.size() || (m_saved[row].file.isEmpty() && !m_saved[row].gone))
        return;
    List1->setCurrentRow(row);
    QMenu menu(this);
    QAction* open = menu.addAction(QStringLiteral("Открыть"));
    open->setEnabled(!m_saved[row].gone);
    QAction* remove = menu.addAction(m_saved[row].group == bookmarks::Group::Bookmarks
                                         ? QStringLiteral("Убрать из закладок")
                                         : QStringLiteral("Убрать из недавно прочитанных"));
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutVisibleInContextMenu(true);
    // A menu is a window of its own: it takes the night's palette itself.
    if (nightLook()) menu.setPalette(nightPalette());
    QAction* chosen = menu.exec(List1->viewport()->mapToGlobal(at));
    if (chosen == open) openSaved(m_saved.value(row));
    if (chosen == remove) removeSaved(row);
}

void SearchWindow::Image2_Click() {
    leave();
    m_chosen = {}; // left: Ctrl+F starts afresh
    m_navigator.leaveSearch();
    playSound(base::content::sound::Select);
}

void SearchWindow::leave() {
    hideForm();
    forgetAnswer();
}

// What the last search held goes; the indexes stay for the next time.
void SearchWindow::forgetAnswer() {
    m_searching.stop();
    m_pause.stop();
    m_foundFor = QString();
    m_results = {};
    m_stamps.clear();
    List1->clear();
    m_saved.clear();
    m_savedProblems.clear();
    Text2->clear();
    m_firstHighlighted = false;
    m_earlyFor = QString();
    m_searcher.release();
}

void SearchWindow::Form_MouseMove() {
    backButtonNormal();
}

// From the field: Enter opens the highlighted result, Down moves into the list.
bool SearchWindow::Form_KeyPress(const QKeyEvent* key) {
    if (key->matches(QKeySequence::Print)) {
        printChosen();
        return true;
    }
    if (key->key() == Qt::Key_Delete && List1->hasFocus() && !m_saved.isEmpty()) {
        removeSaved(List1->currentRow());
        return true;
    }
    if (!Text1->hasFocus() || !List1->count()) return false;
    // «Ничего не найдено» is no result to go to: Down says it again, the focus stays.
    if (m_results.isEmpty() && m_saved.isEmpty() && key->key() == Qt::Key_Down) {
        announce(NothingFound);
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        List1_DblClick();
        return true;
    }
    if (key->key() == Qt::Key_Down) {
        List1->setFocus(Qt::TabFocusReason);
        return true;
    }
    return false;
}

} // namespace search

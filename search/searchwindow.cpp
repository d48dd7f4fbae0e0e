// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/searchwindow.h"

#include "core/contentfiles.h"
#include "core/failure.h"
#include "core/look.h"
#include "core/units.h"

#include <QKeyEvent>
#include <QTextCursor>
#include <QToolButton>

using namespace core;

namespace search {

namespace {
const FormLook Look{8070, 7200, 1, true, colors::ButtonFace};
const QString Title = QStringLiteral("Поиск по справочнику");
const QString NothingFound = QStringLiteral("Ничего не найдено");
const QString CatalogueLabel = QStringLiteral("Каталог пород");

QList<Section> sections() {
    QList<Section> list;
    for (const content::Section& s : content::Sections)
        list.append({s.file, s.readerTitle});
    return list;
}
} // namespace

SearchWindow::SearchWindow(ProgramValues& values, Navigator& navigator)
    : FormBase(values, navigator, QStringLiteral("SearchWindow"), Look),
      m_engine(sections(), content::Catalogue, CatalogueLabel) {
    QWidget* s = surface();
    setAccessibleName(Title);
    Label7 =
        new Label(s, QStringLiteral("Label7"), {120, 120, 6015, 375}, Title,
                  designFont(QStringLiteral("Courier New"), 12, true), colors::Blue, Qt::AlignLeft);
    Image2 = addBackButton(QStringLiteral("Image2"), {7200, 120, 750, 345}, BackHover::Lights);
    auto* rule = new Line(s, QStringLiteral("Line1(6)"), {0, 600}, {8160, 600}, 10, colors::Green);

    Text1 = new QLineEdit(s);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twipsRect(120, 840, 7815, 375));
    Text1->setFont(designFont(QStringLiteral("MS Sans Serif"), 12));
    Text1->setPlaceholderText(QStringLiteral("Слово или несколько слов"));
    Text1->setAccessibleName(QStringLiteral("Искать"));
    Text1->setAccessibleDescription(
        QStringLiteral("Результаты обновляются при вводе; Enter открывает выделенный, "
                       "стрелка вниз переходит к списку, Escape возвращает назад"));
    Text1->setClearButtonEnabled(true);
    if (auto* clear = Text1->findChild<QToolButton*>())
        clear->setAccessibleName(QStringLiteral("Очистить"));
    Text1->setMouseTracking(true);

    List1 = new QListWidget(s);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twipsRect(120, 1320, 7815, 2415));
    List1->setFont(designFont(QStringLiteral("MS Serif"), 9.75));
    List1->setAccessibleName(QStringLiteral("Результаты поиска"));
    List1->setAccessibleDescription(QStringLiteral("Enter или двойной щелчок открывает результат"));
    List1->setUniformItemSizes(true);
    List1->setTextElideMode(Qt::ElideRight);
    List1->setMouseTracking(true);
    QPalette p = List1->palette();
    p.setColor(QPalette::Text, vbColor(colors::DarkGreen));
    p.setColor(QPalette::Base, vbColor(colors::TooltipBack));
    List1->setPalette(p);

    Text2 = new TextBox(s, QStringLiteral("Text2"), {120, 3840, 7815, 3255},
                        designFont(QStringLiteral("Times New Roman"), 12), colors::DarkBlue,
                        colors::TooltipBack);
    Text2->setAccessibleName(QStringLiteral("Найденный отрывок"));

    stackFrontToBack({Text1, List1, Text2, Image2, rule, Label7});
    setTabOrder(Text1, List1);
    setTabOrder(List1, Text2);

    connect(Text1, &QLineEdit::textChanged, this, [this] { guarded([&] { Text1_Change(); }); });
    connect(List1, &QListWidget::currentRowChanged, this,
            [this] { guarded([&] { List1_Click(); }); });
    connect(List1, &QListWidget::itemActivated, this,
            [this] { guarded([&] { List1_DblClick(); }); });
}

SearchWindow::~SearchWindow() = default;

void SearchWindow::start(const QString& typed) {
    Text1->setText(typed);
    Text1_Change(); // a search of the same text reads the files afresh
    Text1->setFocus();
    Text1->end(false);
}

void SearchWindow::Form_Activate() {
    newPlayer();
    Text1->setFocus();
}

void SearchWindow::Text1_Change() {
    m_results = m_engine.find(Text1->text());
    List1->clear();
    Text2->clear();
    if (Text1->text().trimmed().isEmpty()) return;
    if (m_results.isEmpty()) {
        auto* none = new QListWidgetItem(NothingFound, List1);
        none->setFlags(Qt::ItemIsEnabled);
        return;
    }
    for (const Result& r : m_results)
        List1->addItem(r.label);
    List1->setCurrentRow(0);
}

void SearchWindow::List1_Click() {
    const int row = List1->currentRow();
    Text2->clear();
    if (row < 0 || row >= m_results.size()) return;
    const Result& r = m_results[row];
    Text2->setPlainText(r.passage);
    // The found words stand out as in a marked-up book: bold on a pale yellow.
    QTextCharFormat mark;
    mark.setFontWeight(QFont::Bold);
    mark.setBackground(QColor(0xFF, 0xF0, 0x9A));
    for (const Span& span : r.marks) {
        QTextCursor c(Text2->document());
        c.setPosition(int(span.offset));
        c.setPosition(int(span.end()), QTextCursor::KeepAnchor);
        c.mergeCharFormat(mark);
    }
}

void SearchWindow::List1_DblClick() {
    const int row = List1->currentRow();
    if (row < 0 || row >= m_results.size()) return;
    const Result r = m_results[row];
    hideForm();
    if (r.kind == Kind::Topic)
        m_navigator.showTopic(r.file, r.title);
    else
        m_navigator.showBreed(r.row, r.title);
}

void SearchWindow::Image2_Click() {
    hideForm();
    m_navigator.leaveSearch();
    playSound(content::sound::Select);
}

void SearchWindow::Form_MouseMove() {
    backButtonNormal();
}

bool SearchWindow::Form_KeyPress(const QKeyEvent* key) {
    if (!Text1->hasFocus() || !List1->count()) return false;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        List1_DblClick();
        return true;
    }
    if (key->key() == Qt::Key_Down) {
        List1->setFocus();
        return true;
    }
    return false;
}

} // namespace search

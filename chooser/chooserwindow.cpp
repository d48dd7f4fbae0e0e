// SPDX-License-Identifier: GPL-3.0-or-later
#include "chooser/chooserwindow.h"

#include "base/contentfiles.h"
#include "base/failure.h"
#include "core/announce.h"
#include "core/look.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLocale>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <span>

using namespace core;

namespace chooser {

namespace {
// As wide as the main window, as tall as the catalogue: no zoom step is lost to it.
const FormLook Look{9330, 7440, 1, true, colors::ButtonFace};
const QString Title = QStringLiteral("Подбор породы");
const QString Indifferent = QStringLiteral("Не важно");
const QString MissingOneLine = QStringLiteral("Не подходит один ответ:");
// Where an answer list grows past this many entries, the rest are only counted.
constexpr int MaxListed = 1000;

struct Question {
    const char* caption;
    std::initializer_list<const char*> choices; // radio buttons after «Не важно», or boxes
    bool several;                               // check boxes
};
// In the order facts::Answers holds them; a radio group's choices in its enum's order.
const Question Questions1[] = {
    {"Где будет жить", {"В квартире", "В частном доме"}, false},
    {"Размер",
     {"Мини (до 5 кг)", "Маленькая (до 12 кг)", "Средняя (до 25 кг)", "Крупная (до 50 кг)",
      "Гигантская (больше 50 кг)"},
     true},
    {"Время на прогулки", {"До часа в день", "Один-два часа", "Больше двух часов"}, false},
    {"Опыт", {"Первая собака", "Собаки уже были"}, false},
    {"Линька", {"Почти не линяет"}, true},
};
const Question Questions2[] = {
    {"Дети", {"Маленькие дети", "Школьники", "Детей нет"}, false},
    {"Другие животные", {"Есть собака", "Есть кошка"}, true},
    {"Уход за шерстью", {"Минимальный уход"}, true},
    {"Одна дома", {"Часто остаётся одна"}, true},
    {"Климат", {"Сильные морозы", "Сильная жара"}, true},
    {"Охрана", {"Нужен сторож", "Сторож не нужен"}, false},
    {"Лай", {"Нужна тихая собака"}, true},
};
// The groups in the order made: two columns of about the same height.
enum Group {
    Home,
    Sizes,
    Walks,
    Experience,
    Shedding,
    Children,
    Pets,
    Care,
    Alone,
    Climate,
    Guard,
    Bark
};

// The fact behind each answer, by its row in facts::factRows: what a reservation or a miss
// is explained by.
const char* const AspectFacts[facts::AspectCount] = {
    "В квартире", "Размер", "Прогулки",        "Первой собакой", "С детьми", "С другими собаками",
    "С кошками",  "Линька", "Уход за шерстью", "Одна дома",      "Морозы",   "Жара",
    "Охрана",     "Лай"};

// What a breed is and is not (the section «Как выбрать собаку» says both).
const QString Caveat = QStringLiteral(
    "Порода объясняет лишь часть характера одной собаки, а «гипоаллергенные» породы тоже "
    "вызывают аллергию: познакомьтесь с самой собакой и её родителями. См. «Как выбрать "
    "собаку»: «Темперамент и уровень активности», «Аллергия и «гипоаллергенные» породы».");
const QString List974 = QStringLiteral(
    "Порода входит в перечень потенциально опасных собак (постановление Правительства России "
    "№ 974 от 29 июля 2019 года): выгуливать её без намордника и поводка нельзя нигде, кроме "
    "своей огороженной территории с предупреждающей надписью. Подробнее — в разделе «Как "
    "выбрать собаку», тема «Потенциально опасные собаки: что требует закон».");
const QString Disputed974 = QStringLiteral(
    "Формулировку перечня потенциально опасных собак (постановление Правительства России "
    "№ 974 от 29 июля 2019 года) можно прочитать так, что порода в него входит: тогда "
    "выгуливать её без намордника и поводка нельзя нигде, кроме своей огороженной территории "
    "с предупреждающей надписью. Подробнее — в разделе «Как выбрать собаку», тема "
    "«Потенциально опасные собаки: что требует закон».");

constexpr int BreedRole = Qt::UserRole + 1;

// The answers' and the list's check marks and radio circles: as much larger as the text at
// each zoom step, and at night outlined light on the dark (the style outlines them in a shade
// darker than the window, which at night is the dark it stands on).
class IndicatorStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        const int px = QProxyStyle::pixelMetric(metric, option, widget);
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
        case PM_CheckBoxLabelSpacing:
        case PM_RadioButtonLabelSpacing:
            return base::scaledPx(px);
        default:
            return px;
        }
    }
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (button && nightLook() &&
            (element == PE_IndicatorCheckBox || element == PE_IndicatorRadioButton)) {
            QStyleOptionButton light = *button;
            light.palette.setColor(QPalette::Window, NightIndicatorFrame);
            return QProxyStyle::drawPrimitive(element, &light, painter, widget);
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

private:
    // Outlined some 4:1 against the night's window face.
    static constexpr QRgb NightIndicatorFrame = 0xC8C8C8;
};

// One for every chooser window; the application's own style beneath it.
QStyle* indicatorStyle() {
    static QPointer<IndicatorStyle> style;
    if (!style) {
        style = new IndicatorStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

// «Подходят все ответы: 3 породы из 6» as speech says it, a pause where the colon stands.
QString spoken(const QString& line) {
    return QString(line).replace(QStringLiteral(": "), QStringLiteral(", "));
}

QString number(qsizetype n) {
    return QLocale(QLocale::Russian).toString(qlonglong(n));
}

// «в квартире — нет; прогулки — полтора-два часа в день, со свободным бегом»: the breed's
// fact behind each answer it fits only with a reservation, or not at all.
QString explained(const facts::Breed& breed, unsigned aspects) {
    const QList<facts::FactRow> rows = facts::factRows(breed);
    QStringList parts;
    for (int a = 0; a < facts::AspectCount; ++a) {
        if (!(aspects & (1u << a))) continue;
        QString part = facts::aspectWord(facts::Aspect(a));
        for (const facts::FactRow& row : rows)
            if (row.label == QString::fromUtf8(AspectFacts[a]))
                part = row.label.left(1).toLower() + row.label.mid(1) + QStringLiteral(" — ") +
                       row.value;
        parts << part;
    }
    return parts.join(QStringLiteral("; "));
}
} // namespace

ChooserWindow::ChooserWindow(ProgramValues& values, Navigator& navigator)
    : FormBase(values, navigator, QStringLiteral("ChooserWindow"), Look),
      m_source(base::content::BreedFacts) {
    QWidget* s = surface();
    setAccessibleName(Title);
    Label7 =
        new Label(s, QStringLiteral("Label7"), {120, 120, 6015, 375}, Title,
                  designFont(QStringLiteral("Courier New"), 12, true), colors::Blue, Qt::AlignLeft);
    Image2 = addBackButton(QStringLiteral("Image2"), {8460, 120, 750, 345}, BackHover::Lights);
    auto* rule = new Line(s, QStringLiteral("Line1(6)"), {0, 600}, {9330, 600}, 10, colors::Green);

    Questions = new QWidget(s);
    Questions->setObjectName(QStringLiteral("Questions"));
    Questions->setAccessibleName(QStringLiteral("Вопросы"));
    place(Questions, {60, 660, 5040, 6720});
    setDesignFont(Questions, designFont(QStringLiteral("MS Sans Serif"), 8.25));
    buildQuestions();

    Label8 = new Label(s, QStringLiteral("Label8"), {5160, 720, 4050, 255}, QString(),
                       designFont(QStringLiteral("MS Sans Serif"), 8.25, true), colors::DarkGreen,
                       Qt::AlignLeft);
    List1 = new ChoiceList(s, QStringLiteral("List1"), {5160, 990, 4050, 2655},
                           designFont(QStringLiteral("MS Sans Serif"), 8.25), colors::DarkGreen,
                           colors::TooltipBack);
    List1->setAccessibleName(QStringLiteral("Подходящие породы"));
    List1->setAccessibleDescription(QStringLiteral(
        "Enter или двойной щелчок открывает породу в каталоге, пробел отмечает её для сравнения"));
    List1->setMouseTracking(true);
    List1->setStyle(indicatorStyle());

    Command1 = new QPushButton(QStringLiteral("Сравнить"), s);
    Command1->setObjectName(QStringLiteral("Command1"));
    place(Command1, {5160, 3720, 1965, 345});
    setDesignFont(Command1, designFont(QStringLiteral("MS Sans Serif"), 8.25));
    Command1->setAccessibleDescription(
        QStringLiteral("Показывает рядом до трёх пород, отмеченных в списке"));
    Command2 = new QPushButton(QStringLiteral("Сбросить ответы"), s);
    Command2->setObjectName(QStringLiteral("Command2"));
    place(Command2, {7245, 3720, 1965, 345});
    setDesignFont(Command2, designFont(QStringLiteral("MS Sans Serif"), 8.25));

    Text1 = new TextBox(s, QStringLiteral("Text1"), {5160, 4140, 4050, 2340},
                        designFont(QStringLiteral("Times New Roman"), 10), colors::DarkBlue,
                        colors::TooltipBack);
    Text1->setAccessibleName(QStringLiteral("О породе"));
    Grid1 = new QTableWidget(s);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    place(Grid1, {5160, 4140, 4050, 2340});
    setDesignFont(Grid1, designFont(QStringLiteral("MS Sans Serif"), 8.25));
    setDesignColor(Grid1, QPalette::Text, colors::DarkGreen);
    setDesignColor(Grid1, QPalette::Base, colors::TooltipBack);
    Grid1->setAccessibleName(QStringLiteral("Сравнение пород"));
    Grid1->setAccessibleDescription(QStringLiteral("Различия отмечены знаком ≠"));
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setWordWrap(true);
    Grid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // A long name wraps in its column's heading rather than lose its ends.
    Grid1->horizontalHeader()->setDefaultAlignment(
        Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    Grid1->verticalHeader()->hide();
    Grid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid1->hide();
    Grid1->installEventFilter(this);

    Label9 = new Label(s, QStringLiteral("Label9"), {5160, 6540, 4050, 840}, Caveat,
                       designFont(QStringLiteral("MS Sans Serif"), 6.75), colors::DarkGreen,
                       Qt::AlignLeft, true);

    stackFrontToBack(
        {Questions, Label8, List1, Command1, Command2, Grid1, Text1, Label9, Image2, rule, Label7});

    connect(List1, &ChoiceList::chosen, this, [this] { base::guarded([&] { List1_Click(); }); });
    connect(List1, &QListWidget::itemActivated, this,
            [this] { base::guarded([&] { List1_DblClick(); }); });
    connect(List1, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { base::guarded([&] { entryChecked(item); }); });
    connect(Command1, &QPushButton::clicked, this,
            [this] { base::guarded([&] { Command1_Click(); }); });
    connect(Command2, &QPushButton::clicked, this,
            [this] { base::guarded([&] { Command2_Click(); }); });
    Command1->setEnabled(false);
    // Once the reader pauses, a screen reader hears how many fit, the focus staying put.
    m_pause.setSingleShot(true);
    m_pause.setInterval(AnnouncePauseMs);
    connect(&m_pause, &QTimer::timeout, this, [this] {
        if (isVisible()) announce(Label8->accessibleName());
    });
    m_filling = false;
}

ChooserWindow::~ChooserWindow() = default;

QGroupBox* ChooserWindow::addGroup(QLayout* column, const QString& caption,
                                   const QStringList& choices, bool several) {
    auto* group = new QGroupBox(caption, Questions);
    group->setObjectName(caption);
    auto* rows = new QVBoxLayout(group);
    rows->setContentsMargins(6, 0, 4, 2);
    rows->setSpacing(0);
    auto* exclusive = several ? nullptr : new QButtonGroup(group);
    QStringList all = choices;
    if (!several) all.prepend(Indifferent);
    for (const QString& text : all) {
        QAbstractButton* button = several
                                      ? static_cast<QAbstractButton*>(new QCheckBox(text, group))
                                      : new QRadioButton(text, group);
        button->setStyle(indicatorStyle());
        if (exclusive) exclusive->addButton(button);
        rows->addWidget(button);
        // A radio button chosen unchecks the one before first: only the one chosen counts.
        connect(button, &QAbstractButton::toggled, this, [this, several](bool on) {
            if (m_filling || !(on || several)) return;
            base::guarded([&] { refill(); });
            m_pause.start();
        });
    }
    if (exclusive) exclusive->buttons().first()->setChecked(true);
    column->addWidget(group);
    m_groups << group;
    return group;
}

void ChooserWindow::buildQuestions() {
    auto* columns = new QHBoxLayout(Questions);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(4);
    for (const std::span<const Question> part :
         {std::span<const Question>(Questions1), std::span<const Question>(Questions2)}) {
        auto* column = new QVBoxLayout;
        column->setSpacing(2);
        for (const Question& q : part) {
            QStringList choices;
            for (const char* c : q.choices)
                choices << QString::fromUtf8(c);
            addGroup(column, QString::fromUtf8(q.caption), choices, q.several);
        }
        column->addStretch(1);
        columns->addLayout(column);
    }
}

QAbstractButton* ChooserWindow::answer(const QString& text) const {
    for (QGroupBox* group : m_groups)
        for (QAbstractButton* button : group->findChildren<QAbstractButton*>())
            if (button->text() == text) return button;
    return nullptr;
}

namespace {
QList<QAbstractButton*> buttonsOf(const QGroupBox* group) {
    return group->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
}
// The chosen radio button's place, «Не важно» 0.
int chosenIn(const QGroupBox* group) {
    const QList<QAbstractButton*> buttons = buttonsOf(group);
    for (qsizetype i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked()) return int(i);
    return 0;
}
bool checkedIn(const QGroupBox* group, int i) {
    const QList<QAbstractButton*> buttons = buttonsOf(group);
    return i < buttons.size() && buttons[i]->isChecked();
}
} // namespace

facts::Answers ChooserWindow::answers() const {
    using A = facts::Answers;
    A a;
    a.home = A::Home(chosenIn(m_groups[Home]));
    for (int i = 0; i < facts::SizeCount; ++i)
        if (checkedIn(m_groups[Sizes], i)) a.sizes |= 1u << i;
    a.walks = A::Walks(chosenIn(m_groups[Walks]));
    a.experience = A::Experience(chosenIn(m_groups[Experience]));
    a.children = A::Children(chosenIn(m_groups[Children]));
    a.dog = checkedIn(m_groups[Pets], 0);
    a.cat = checkedIn(m_groups[Pets], 1);
    a.lowShedding = checkedIn(m_groups[Shedding], 0);
    a.minimalCare = checkedIn(m_groups[Care], 0);
    a.oftenAlone = checkedIn(m_groups[Alone], 0);
    a.frost = checkedIn(m_groups[Climate], 0);
    a.heat = checkedIn(m_groups[Climate], 1);
    a.guard = A::Guard(chosenIn(m_groups[Guard]));
    a.quiet = checkedIn(m_groups[Bark], 0);
    return a;
}

void ChooserWindow::start() {
    // Read when the window opens, and again only when the file changed since.
    if (m_source.refresh()) m_chooser.setBreeds(m_source.table().breeds);
    refill();
}

void ChooserWindow::Form_Activate() {
    newPlayer();
}

void ChooserWindow::Command2_Click() {
    m_filling = true;
    for (QGroupBox* group : std::as_const(m_groups)) {
        const QList<QAbstractButton*> buttons = buttonsOf(group);
        for (QAbstractButton* b : buttons)
            if (qobject_cast<QCheckBox*>(b)) b->setChecked(false);
        if (qobject_cast<QRadioButton*>(buttons.first())) buttons.first()->setChecked(true);
    }
    m_filling = false;
    refill();
}

int ChooserWindow::chosenBreed() const {
    const QListWidgetItem* item = List1->currentItem();
    return item ? item->data(BreedRole).toInt() : -1;
}

void ChooserWindow::refill() {
    const facts::FactsTable& table = m_source.table();
    const int was = chosenBreed();
    if (!m_source.failure().isEmpty() || table.empty()) {
        showCount(m_source.failure().isEmpty()
                      ? QStringLiteral("В %1 нет ни одной породы").arg(m_source.path())
                      : m_source.failure());
        List1->programmatic([&] { List1->clear(); });
        m_listed.clear();
        m_marked.clear();
        Command1->setEnabled(false);
        Text1->clear();
        return;
    }
    const facts::Choice choice = m_chooser.choose(answers());
    showCount(facts::countLine(choice.fitting.size(), m_chooser.size()));
    QStringList marked;
    m_listed.clear();
    int current = -1;
    List1->programmatic([&] {
        List1->clear();
        int shown = 0;
        const auto add = [&](const facts::Fit& fit) {
            const facts::Breed& breed = table.breeds[fit.breed];
            auto* item = new QListWidgetItem(boundedText(facts::entryText(breed, fit), 300));
            // One line an entry keeps a change of answer quick (wrapped entries are each
            // measured): where the reasons run past the list's edge, the pointer shows them.
            item->setToolTip(item->text());
            item->setData(BreedRole, fit.breed);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            const bool mark = m_marked.contains(breed.name);
            item->setCheckState(mark ? Qt::Checked : Qt::Unchecked);
            if (mark) marked << breed.name;
            if (fit.breed == was) current = List1->count();
            List1->addItem(item);
            m_listed << fit.breed;
            ++shown;
        };
        for (const facts::Fit& fit : choice.fitting)
            if (shown < MaxListed) add(fit);
        if (!choice.missingOne.isEmpty() && shown < MaxListed) {
            // A line of its own between the two parts, read but never chosen.
            auto* line = new QListWidgetItem(MissingOneLine);
            line->setFlags(Qt::NoItemFlags);
            line->setData(BreedRole, -1);
            // Bold only: its size is the list's at every zoom.
            QFont bold;
            bold.setBold(true);
            line->setFont(bold);
            List1->addItem(line);
            m_listed << -1;
            for (const facts::Fit& fit : choice.missingOne)
                if (shown < MaxListed) add(fit);
        }
        if (current >= 0) {
            List1->setCurrentRow(current);
        }
    });
    if (choice.fitting.size() + choice.missingOne.size() > MaxListed)
        showCount(Label8->fullText() +
                  QStringLiteral(", показаны первые %1").arg(number(MaxListed)));
    // Marks of breeds no longer listed go: what is compared is what can be seen marked.
    QStringList kept;
    for (const QString& name : std::as_const(m_marked))
        if (marked.contains(name)) kept << name;
    m_marked = kept;
    Command1->setEnabled(m_marked.size() >= 2);
    if (Grid1->isVisible()) {
        if (m_marked.size() >= 2)
            Command1_Click();
        else
            Grid1->hide();
    }
    showFacts(current >= 0 ? was : -1);
}

void ChooserWindow::showCount(const QString& line) {
    Label8->setText(line);
    Label8->setAccessibleName(spoken(line));
}

void ChooserWindow::entryChecked(QListWidgetItem* item) {
    if (m_filling) return;
    const int breed = item->data(BreedRole).toInt();
    if (breed < 0 || breed >= m_source.table().breeds.size()) return;
    const QString name = m_source.table().breeds[breed].name;
    const bool on = item->checkState() == Qt::Checked;
    if (on && !m_marked.contains(name)) {
        if (m_marked.size() >= MaxCompared) {
            m_filling = true;
            item->setCheckState(Qt::Unchecked);
            m_filling = false;
            showCount(QStringLiteral("Сравнить можно не больше трёх пород: снимите одну из "
                                     "отметок"));
            // Refused at once: the reader's key did nothing a screen reader would say.
            announce(Label8->accessibleName());
            return;
        }
        m_marked << name;
    }
    if (!on) m_marked.removeAll(name);
    Command1->setEnabled(m_marked.size() >= 2);
    Command1->setText(m_marked.size() >= 2 ? QStringLiteral("Сравнить (%1)").arg(m_marked.size())
                                           : QStringLiteral("Сравнить"));
    if (Grid1->isVisible()) m_marked.size() >= 2 ? Command1_Click() : Grid1->hide();
}

void ChooserWindow::List1_Click() {
    Grid1->hide();
    Text1->show();
    showFacts(chosenBreed());
}

void ChooserWindow::showFacts(int index) {
    const facts::FactsTable& table = m_source.table();
    if (index < 0 || index >= table.breeds.size()) {
        Text1->setPlainText(table.empty()
                                ? QString()
                                : QStringLiteral("Выберите породу в списке, чтобы "
                                                 "увидеть, что говорит за и против неё."));
        return;
    }
    const facts::Breed& breed = table.breeds[index];
    const facts::Fit fit = facts::judge(breed, answers());
    QStringList lines{breed.name};
    if (fit.misses) lines << QStringLiteral("Не подходит: %1.").arg(explained(breed, fit.misses));
    if (fit.reservations)
        lines << QStringLiteral("С оговорками: %1.").arg(explained(breed, fit.reservations));
    if (!fit.misses && !fit.reservations) lines << QStringLiteral("Подходит по всем ответам.");
    lines << QString();
    for (const facts::FactRow& row : facts::factRows(breed))
        lines << row.label + QStringLiteral(": ") + row.value;
    if (breed.list974 == facts::Yes::Yes) lines << QString() << List974;
    if (breed.list974 == facts::Yes::Disputed) lines << QString() << Disputed974;
    Text1->setPlainText(lines.join(u'\n'));
}

void ChooserWindow::Command1_Click() {
    const facts::FactsTable& table = m_source.table();
    QList<const facts::Breed*> breeds;
    for (const QString& name : std::as_const(m_marked))
        for (const facts::Breed& b : table.breeds)
            if (b.name == name) {
                breeds << &b;
                break;
            }
    if (breeds.size() < 2) return;
    QList<QList<facts::FactRow>> rows;
    QStringList names;
    for (const facts::Breed* b : std::as_const(breeds)) {
        rows << facts::factRows(*b);
        names << b->name;
    }
    const QList<bool> differ = facts::differingRows(rows);
    // The fact's name in the first column (marked «≠» where the breeds differ), then a
    // column for each breed.
    Grid1->clear();
    Grid1->setColumnCount(int(rows.size()) + 1);
    Grid1->setRowCount(int(rows.first().size()));
    Grid1->setHorizontalHeaderLabels(QStringList{QStringLiteral("Признак")} + names);
    QFont bold; // bold only: its size is the table's at every zoom
    bold.setBold(true);
    for (int r = 0; r < Grid1->rowCount(); ++r) {
        const QString label = rows.first()[r].label;
        auto* fact = new QTableWidgetItem(differ[r] ? QStringLiteral("≠ ") + label : label);
        if (differ[r]) fact->setFont(bold);
        Grid1->setItem(r, 0, fact);
        for (int c = 0; c < rows.size(); ++c) {
            auto* cell = new QTableWidgetItem(rows[c][r].value);
            if (differ[r]) cell->setFont(bold);
            Grid1->setItem(r, c + 1, cell);
        }
    }
    Text1->hide();
    Grid1->show();
    fitGrid();
}

void ChooserWindow::fitGrid() {
    // The headings as tall as the longest name wrapped in its column needs (a heading
    // sizes itself for one line), the rows as their facts wrapped.
    QHeaderView* headings = Grid1->horizontalHeader();
    headings->setMinimumHeight(0);
    headings->setMaximumHeight(QWIDGETSIZE_MAX);
    const int oneLine = headings->sizeHint().height();
    const QFontMetrics metrics(headings->font());
    const int margins = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, headings);
    int needed = oneLine;
    for (int c = 0; c < Grid1->columnCount(); ++c) {
        const QTableWidgetItem* heading = Grid1->horizontalHeaderItem(c);
        if (!heading) continue;
        const QRect text = metrics.boundingRect(
            QRect(0, 0, std::max(1, headings->sectionSize(c) - margins), 1 << 20),
            Qt::AlignCenter | Qt::TextWordWrap, heading->text());
        needed = std::max(needed, oneLine - metrics.height() + text.height());
    }
    headings->setFixedHeight(needed);
    Grid1->resizeRowsToContents();
}

bool ChooserWindow::eventFilter(QObject* watched, QEvent* event) {
    // A new zoom gives the table a new font: its headings and rows fitted again once it is
    // laid out at the new size.
    if (watched == Grid1 && event->type() == QEvent::FontChange)
        QMetaObject::invokeMethod(
            this,
            [this] {
                base::guarded([&] {
                    if (Grid1->isVisible()) fitGrid();
                });
            },
            Qt::QueuedConnection);
    return FormBase::eventFilter(watched, event);
}

void ChooserWindow::List1_DblClick() {
    const int breed = chosenBreed();
    if (breed < 0 || breed >= m_source.table().breeds.size()) return;
    const QString name = m_source.table().breeds[breed].name;
    hideForm();
    // As a search result opens it: the catalogue's own steps, then a choice of its entry.
    m_navigator.showBreed(-1, name, {});
}

void ChooserWindow::Image2_Click() {
    hideForm();
    m_navigator.leaveChooser();
    playSound(base::content::sound::Select);
}

void ChooserWindow::Form_MouseMove() {
    backButtonNormal();
}

} // namespace chooser

// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window/form2.h"

#include "main_window/carousel.h"

#include "base/contentfiles.h"
#include "base/failure.h"
#include "base/units.h"
#include "core/look.h"
#include "core/night.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

using namespace core;
using namespace base::content::graph;

namespace main_window {

namespace {

const FormLook Look{9330, 7080, 1, true, colors::ScrollBar};

// The carousel's slots, Image3 to Image7, each with its frame (twips); at start-up photo k
// stands in slot k.
constexpr std::array<QRect, carousel::SlotCount> PhotoBoxes = {{
    {120, 240, 2295, 1695},
    {120, 2040, 3015, 2175},
    {120, 4320, 3495, 2655},
    {3720, 4800, 3015, 2175},
    {6840, 5280, 2295, 1695},
}};

const QString Hint = QStringLiteral(
    "Клавиши от 1 до 6 открывают пункты меню, F1 справку, Escape выход, Ctrl+M сворачивает. "
    "Поиск по справочнику Ctrl+F, любая буква или меню правой кнопки мыши. Подбор породы "
    "клавиша 7. Ночной режим Ctrl+Shift+N.");

constexpr double ItemPoints = 12;
constexpr double LitItemPoints = 16;

} // namespace

Form2::Form2(ProgramValues& values, Navigator& navigator, core::StartupHandoff& startup)
    : FormBase(values, navigator, QStringLiteral("Form2"), Look), m_startup(startup) {
    // Names and descriptions in words and commas: a screen reader at its usual level reads a
    // dash or a colon aloud.
    setAccessibleName(QStringLiteral("Пёсограф, главное меню"));
    setAccessibleDescription(Hint);
    allowSearch();
    buildControls();
}

Form2::~Form2() = default;

QStringList Form2::picturesShownLater() {
    return {BackgroundDimmed, ExitLit, HelpLit, MinimiseLit, BackNormal};
}

QHash<QString, QSize> Form2::startupPhotoBoxes() {
    QHash<QString, QSize> boxes;
    for (size_t k = 0; k < base::content::CarouselPhotos.size(); ++k)
        boxes.insert(base::content::CarouselPhotos[k], base::twipsRect(PhotoBoxes[k]).size());
    return boxes;
}

void Form2::buildControls() {
    QWidget* s = surface();
    const DesignFont item = designFont(QStringLiteral("MS Sans Serif"), ItemPoints);
    const auto menuItem = [&](const char* name, QRect r, const char* caption) {
        return new Label(s, QString::fromLatin1(name), r, QString::fromUtf8(caption), item,
                         colors::Green, Qt::AlignHCenter);
    };
    const auto photo = [&](const char* name, QRect r) {
        return new Image(s, QString::fromLatin1(name), r, Image::Sizing::Stretch, QString(),
                         QStringLiteral("Фото собаки"));
    };
    const auto button = [&](const char* name, QRect r, const char* tooltip,
                            const char* accessibleName = "") {
        return new Image(s, QString::fromLatin1(name), r, Image::Sizing::Stretch,
                         QString::fromUtf8(tooltip), QString::fromUtf8(accessibleName));
    };
    const auto frame = [&](const char* name, QRect r, quint32 color) {
        return new Shape(s, QString::fromLatin1(name), r, 10, color);
    };
    const auto underline = [&](const char* name, int x1, int x2, int y) {
        return new Line(s, QString::fromLatin1(name), {x1, y}, {x2, y}, 1, colors::Green);
    };

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);

    Label7 =
        new Label(s, QStringLiteral("Label7"), {2640, 240, 3375, 375}, QStringLiteral("Пёсограф"),
                  designFont(QStringLiteral("Courier New"), 12, true), colors::Blue, Qt::AlignLeft);
    // The keys stay readable here once the window no longer says them (changeEvent).
    Label7->setAccessibleDescription(Hint);
    auto* rule =
        new Line(s, QStringLiteral("Line1(6)"), {2640, 840}, {9240, 840}, 10, colors::Green);
    auto* frame4 = frame("Shape1(4)", PhotoBoxes[4], 0x00C0C0);
    Image7 = photo("Image7", PhotoBoxes[4]);
    auto* frame3 = frame("Shape1(3)", PhotoBoxes[3], 0x80FFFF);
    Image6 = photo("Image6", PhotoBoxes[3]);
    auto* frame2 = frame("Shape1(2)", PhotoBoxes[1], 0x80FFFF);
    // Heard by what it opens; the tooltip stays the design's.
    Image2 = button("Image2", {6600, 120, 615, 540}, "Вызов меню Справка", "Справка");
    Image1 = button("Image1", {8520, 120, 615, 540}, "Выход");
    auto* line5 = underline("Line1(5)", 6120, 9240, 4560);
    auto* line4 = underline("Line1(4)", 5640, 9120, 3960);
    auto* line3 = underline("Line1(3)", 4920, 8400, 3360);
    auto* line2 = underline("Line1(2)", 4440, 7920, 2760);
    auto* line1 = underline("Line1(1)", 3720, 7200, 2160);
    auto* line0 = underline("Line1(0)", 2880, 6360, 1560);
    Label6 = menuItem("Label6", {5880, 4080, 3255, 375}, "Каталог пород");
    Label5 = menuItem("Label5", {5280, 3480, 3615, 375}, "Дрессировка собак");
    Label4 = menuItem("Label4", {4680, 2880, 3615, 375}, "Лечение собаки");
    Label3 = menuItem("Label3", {4080, 2280, 3855, 375}, "Кормление и обустройство");
    Label2 = menuItem("Label2", {2880, 1080, 3615, 375}, "Физиология собаки");
    Label1 = menuItem("Label1", {3720, 1680, 3615, 375}, "Как выбрать собаку");
    Image4 = photo("Image4", PhotoBoxes[1]);
    auto* frame0 = frame("Shape1(0)", PhotoBoxes[2], 0x00C0C0);
    auto* frame1 = frame("Shape1(1)", PhotoBoxes[0], 0x00C0C0);
    Image3 = photo("Image3", PhotoBoxes[0]);
    Image8 = button("Image8", {7560, 120, 615, 540}, "Свернуть");
    Image5 = photo("Image5", PhotoBoxes[2]);

    stackFrontToBack({Label7, rule,   frame4, Image7, frame3, Image6, frame2, Image2, Image1,
                      line5,  line4,  line3,  line2,  line1,  line0,  Label6, Label5, Label4,
                      Label3, Label2, Label1, Image4, frame0, frame1, Image3, Image8, Image5});

    const std::array<Label*, 6> items = {Label1, Label2, Label3, Label4, Label5, Label6};
    const std::array<void (Form2::*)(), 6> clicks = {&Form2::Label1_Click, &Form2::Label2_Click,
                                                     &Form2::Label3_Click, &Form2::Label4_Click,
                                                     &Form2::Label5_Click, &Form2::Label6_Click};
    // Keys 1 to 6 follow the order of the items' meaning, not their places on screen.
    for (size_t i = 0; i < items.size(); ++i) {
        Label* label = items[i];
        const auto click = clicks[i];
        connect(label, &Label::clicked, this,
                [this, click] { base::guarded([&] { (this->*click)(); }); });
        connect(label, &Label::mouseMoved, this,
                [this, label] { base::guarded([&] { light(label); }); });
        label->setPressable(true);
        bindKeys(label, {Qt::Key(Qt::Key_1 + int(i))}, QStringLiteral("Клавиша %1").arg(i + 1));
    }
    const struct {
        Image* button;
        void (Form2::*click)();
        const QString* lit;
        QList<QKeyCombination> keys;
        const char* keyNames;
    } buttons[] = {
        {Image1, &Form2::Image1_Click, &ExitLit, {Qt::Key_Escape}, "Клавиша Escape"},
        {Image2, &Form2::Image2_Click, &HelpLit, {Qt::Key_F1}, "Клавиша F1"},
        // Not the design's: a key for a reader who cannot aim at the button.
        {Image8, &Form2::Image8_Click, &MinimiseLit, {Qt::CTRL | Qt::Key_M}, "Клавиши Ctrl+M"}};
    for (const auto& b : buttons) {
        Image* image = b.button;
        const auto click = b.click;
        const QString* lit = b.lit;
        connect(image, &Image::clicked, this,
                [this, click] { base::guarded([&] { (this->*click)(); }); });
        connect(image, &Image::mouseMoved, this, [this, image, lit] {
            base::guarded([&] { image->setPicture(m_values.pictures.get(*lit)); });
        });
        image->setPressable(true);
        bindKeys(image, b.keys, QString::fromUtf8(b.keyNames));
    }
    connect(Timer1, &QTimer::timeout, this, [this] { base::guarded([&] { Timer1_Timer(); }); });
}

void Form2::Form_Load() {
    PictureCache& pictures = m_values.pictures;
    newPlayer();
    m_values.CarouselTick = 0;
    setCursor(Qt::WaitCursor);

    // The carousel's first arrangement, loaded in this order: sob133, sob141, sob148,
    // sob167, sob191.
    const auto& photos = base::content::CarouselPhotos;
    Image3->setPicture(pictures.get(photos[0]));
    Image4->setPicture(pictures.get(photos[1]));
    Image6->setPicture(pictures.get(photos[3]));
    Image7->setPicture(pictures.get(photos[4]));
    Image5->setPicture(pictures.get(photos[2]));

    // The other four windows get the same background (they are made from it later).
    setPicture(pictures.get(Background));
    m_startup.setOtherBackgrounds(pictures.get(Background));

    Image1->setPicture(pictures.get(ExitNormal));
    Image2->setPicture(pictures.get(HelpNormal));
    Image8->setPicture(pictures.get(MinimiseNormal));
    m_startup.setBackButtons(pictures.get(BackLit));

    // Check the remaining interface pictures now, so that a missing one is reported here
    // rather than at the first pointer move; they are kept in memory, so hover never reads
    // a file, and decoded when first shown.
    for (const QString& path : picturesShownLater())
        pictures.check(path);

    m_startup.fillCatalogue();

    setCursor(Qt::ArrowCursor);
    Timer1->start();
}

void Form2::VIB(const QString& sound) {
    playSound(sound);
}

void Form2::openSection(int section) {
    const base::content::Section& chosen = base::content::Sections[size_t(section)];
    hideForm();
    // Set before the reader opens: it reads them when it activates, at once or later.
    m_values.TopicFilePath = chosen.file;
    m_values.TopicListLoaded = 0;
    m_navigator.openSection(chosen.readerTitle);
    VIB(base::content::sound::Check);
}

void Form2::Label1_Click() {
    openSection(0);
}
void Form2::Label2_Click() {
    openSection(1);
}
void Form2::Label3_Click() {
    openSection(2);
}
void Form2::Label4_Click() {
    openSection(3);
}
void Form2::Label5_Click() {
    openSection(4);
}

void Form2::Label6_Click() {
    hideForm();
    m_navigator.openCatalogue();
    VIB(base::content::sound::Check);
}

void Form2::Image2_Click() {
    setFormEnabled(false);
    m_navigator.openHelp();
    VIB(base::content::sound::Check);
}

void Form2::Image8_Click() {
    minimize();
    VIB(base::content::sound::Check);
}

void Form2::Image1_Click() {
    m_navigator.openExitConfirmation();
    setFormEnabled(false);
    setPicture(m_values.pictures.get(BackgroundDimmed));
    VIB(base::content::sound::Check);
}

void Form2::light(Label* label) {
    label->setForeColor(colors::LightGreen);
    label->setFontSize(LitItemPoints);
}

void Form2::Form_MouseMove() {
    for (Label* label : {Label1, Label2, Label3, Label4, Label5, Label6}) {
        label->setForeColor(colors::Green);
        label->setFontSize(ItemPoints);
    }
    Image1->setPicture(m_values.pictures.get(ExitNormal));
    Image2->setPicture(m_values.pictures.get(HelpNormal));
    Image8->setPicture(m_values.pictures.get(MinimiseNormal));
}

void Form2::Timer1_Timer() {
    quint8& tick = m_values.CarouselTick;
    if (tick == 255)
        base::fail(base::ErrOverflow, QStringLiteral("Переполнение счётчика карусели"));
    ++tick;
    if (const carousel::Arrangement* a = carousel::arrangementAt(tick)) {
        const auto targets = photoSlots();
        for (size_t photo = 0; photo < base::content::CarouselPhotos.size(); ++photo)
            targets[size_t(a->slotOfPhoto[photo])]->setPicture(
                m_values.pictures.get(base::content::CarouselPhotos[photo]));
        if (tick == carousel::CycleEnd) tick = 0;
    }
}

bool Form2::Form_KeyPress(const QKeyEvent* event) {
    // Digits are the menu's keys (7, which has no item, the breed chooser); a letter begins
    // a search.
    if (event->key() == Qt::Key_7 && !event->isAutoRepeat() &&
        !(event->modifiers() & ~Qt::KeypadModifier)) {
        m_navigator.openChooser(*this);
        return true;
    }
    const QString text = event->text();
    if (text.size() != 1 || !text[0].isLetter()) return false;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    m_navigator.openSearch(*this, text);
    return true;
}

void Form2::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* search = menu.addAction(QStringLiteral("Поиск по справочнику…"));
    search->setShortcut(QKeySequence::Find);
    search->setShortcutVisibleInContextMenu(true);
    connect(search, &QAction::triggered, this,
            [this] { base::guarded([&] { m_navigator.openSearch(*this, QString()); }); });
    QAction* chooser = menu.addAction(QStringLiteral("Подбор породы…"));
    chooser->setShortcut(QKeySequence(Qt::Key_7));
    chooser->setShortcutVisibleInContextMenu(true);
    connect(chooser, &QAction::triggered, this,
            [this] { base::guarded([&] { m_navigator.openChooser(*this); }); });
    QAction* saved = menu.addAction(QStringLiteral("Закладки…"));
    connect(saved, &QAction::triggered, this,
            [this] { base::guarded([&] { m_navigator.openBookmarks(*this); }); });
    menu.addSeparator();
    // The zoom's steps, with the keys every window takes for them; a step that is not
    // offered (past an end, or too large for the screen) is unavailable.
    const struct {
        const char* caption;
        zoom::Step step;
        QKeyCombination key;
    } steps[] = {{"Крупнее", zoom::Step::Larger, Qt::CTRL | Qt::Key_Equal},
                 {"Мельче", zoom::Step::Smaller, Qt::CTRL | Qt::Key_Minus},
                 {"Обычный размер", zoom::Step::Normal, Qt::CTRL | Qt::Key_0}};
    for (const auto& s : steps) {
        QAction* action = menu.addAction(QString::fromUtf8(s.caption));
        action->setShortcut(QKeySequence(s.key));
        action->setShortcutVisibleInContextMenu(true);
        action->setEnabled(zoom::target(s.step) != 0);
        const zoom::Step step = s.step;
        connect(action, &QAction::triggered, this,
                [this, step] { base::guarded([&] { zoom::take(step, m_values.pictures); }); });
    }
    menu.addSeparator();
    QAction* nightMode = menu.addAction(QStringLiteral("Ночной режим"));
    nightMode->setCheckable(true);
    nightMode->setChecked(night::isOn());
    nightMode->setShortcut(QKeySequence(night::Key));
    nightMode->setShortcutVisibleInContextMenu(true);
    connect(nightMode, &QAction::toggled, this,
            [this](bool on) { base::guarded([&] { night::choose(on, m_values.pictures); }); });
    // A menu is a window of its own: it takes the night's palette itself.
    if (night::isOn()) menu.setPalette(nightPalette());
    menu.exec(event->globalPos());
}

// A screen reader says a window's description each time the window comes back (after every
// Escape from a section or the exit question): the keys are said when the menu first
// appears, and afterwards only the title holds them.
void Form2::changeEvent(QEvent* event) {
    FormBase::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() &&
        !accessibleDescription().isEmpty())
        setAccessibleDescription(QString());
}

void Form2::Form_CloseRequest() {
    // Closing the main window from the desktop ends the program; nothing else could.
    base::endProgram(0);
}

} // namespace main_window

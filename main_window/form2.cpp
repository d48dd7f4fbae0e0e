#include "form2.h"

#include "carousel.h"
#include "failure.h"
#include "form1.h"
#include "form3.h"
#include "form4.h"
#include "form5.h"
#include "look.h"
#include "windowset.h"

using namespace core;

namespace {

const FormLook Look{9330, 7080, 1, true, colors::ScrollBar};

struct Section {
    const char* file;
    const char* readerTitle;
};

// Label1 .. Label5; the training item's reader title says "собаки", not "собак".
const Section Sections[5] = {
    {"text\\HCD.ssu", "Как выбрать собаку"},       {"text\\vos.ssu", "Физиология собаки"},
    {"text\\kiv.ssu", "Кормление и обустройство"}, {"text\\kvs.ssu", "Лечение собаки"},
    {"text\\drs.ssu", "Дрессировка собаки"},
};

const QString Check = QStringLiteral("\\Sound\\check.wav");
const QString Background = QStringLiteral("Graph\\fon.jpg");
const QString BackgroundDimmed = QStringLiteral("Graph\\fonno.jpg");
const QString ExitNormal = QStringLiteral("Graph\\CLNO.jpg");
const QString ExitLit = QStringLiteral("Graph\\CLAK.jpg");
const QString HelpNormal = QStringLiteral("Graph\\qesno.jpg");
const QString HelpLit = QStringLiteral("Graph\\qesakt.jpg");
const QString MinimiseNormal = QStringLiteral("Graph\\lis.jpg");
const QString MinimiseLit = QStringLiteral("Graph\\lir.jpg");
const QString BackLit = QStringLiteral("Graph\\ARAK.jpg");
const QString BackNormal = QStringLiteral("Graph\\ARNOAK.jpg");

constexpr double ItemPoints = 12;
constexpr double LitItemPoints = 16;

} // namespace

Form2::Form2(WindowSet& windows) : FormBase(windows, QStringLiteral("Form2"), Look) {
    buildControls();
}

Form2::~Form2() = default;

void Form2::buildControls() {
    QWidget* s = surface();
    const QFont item = designFont(QStringLiteral("MS Sans Serif"), ItemPoints);
    const auto menuItem = [&](const char* name, QRect r, const char* caption) {
        return new Label(s, QString::fromLatin1(name), r, QString::fromUtf8(caption), item,
                         colors::Green, Qt::AlignHCenter);
    };
    const auto photo = [&](const char* name, QRect r) {
        return new Image(s, QString::fromLatin1(name), r, Image::Sizing::Stretch, QString(),
                         QStringLiteral("Фото собаки"));
    };
    const auto button = [&](const char* name, QRect r, const char* tooltip) {
        return new Image(s, QString::fromLatin1(name), r, Image::Sizing::Stretch,
                         QString::fromUtf8(tooltip), QString());
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
    auto* rule =
        new Line(s, QStringLiteral("Line1(6)"), {2640, 840}, {9240, 840}, 10, colors::Green);
    auto* frame4 = frame("Shape1(4)", {6840, 5280, 2295, 1695}, 0x00C0C0);
    Image7 = photo("Image7", {6840, 5280, 2295, 1695});
    auto* frame3 = frame("Shape1(3)", {3720, 4800, 3015, 2175}, 0x80FFFF);
    Image6 = photo("Image6", {3720, 4800, 3015, 2175});
    auto* frame2 = frame("Shape1(2)", {120, 2040, 3015, 2175}, 0x80FFFF);
    Image2 = button("Image2", {6600, 120, 615, 540}, "Вызов меню Справка");
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
    Image4 = photo("Image4", {120, 2040, 3015, 2175});
    auto* frame0 = frame("Shape1(0)", {120, 4320, 3495, 2655}, 0x00C0C0);
    auto* frame1 = frame("Shape1(1)", {120, 240, 2295, 1695}, 0x00C0C0);
    Image3 = photo("Image3", {120, 240, 2295, 1695});
    Image8 = button("Image8", {7560, 120, 615, 540}, "Свернуть");
    Image5 = photo("Image5", {120, 4320, 3495, 2655});

    stackFrontToBack({Label7, rule,   frame4, Image7, frame3, Image6, frame2, Image2, Image1,
                      line5,  line4,  line3,  line2,  line1,  line0,  Label6, Label5, Label4,
                      Label3, Label2, Label1, Image4, frame0, frame1, Image3, Image8, Image5});

    const std::array<Label*, 6> items = {Label1, Label2, Label3, Label4, Label5, Label6};
    const std::array<void (Form2::*)(), 6> clicks = {&Form2::Label1_Click, &Form2::Label2_Click,
                                                     &Form2::Label3_Click, &Form2::Label4_Click,
                                                     &Form2::Label5_Click, &Form2::Label6_Click};
    for (size_t i = 0; i < items.size(); ++i) {
        Label* label = items[i];
        const auto click = clicks[i];
        connect(label, &Label::clicked, this,
                [this, click] { guarded([&] { (this->*click)(); }); });
        connect(label, &Label::mouseMoved, this, [this, label] { guarded([&] { light(label); }); });
    }
    const struct {
        Image* button;
        void (Form2::*click)();
        const QString* lit;
    } buttons[] = {{Image1, &Form2::Image1_Click, &ExitLit},
                   {Image2, &Form2::Image2_Click, &HelpLit},
                   {Image8, &Form2::Image8_Click, &MinimiseLit}};
    for (const auto& b : buttons) {
        Image* image = b.button;
        const auto click = b.click;
        const QString* lit = b.lit;
        connect(image, &Image::clicked, this,
                [this, click] { guarded([&] { (this->*click)(); }); });
        connect(image, &Image::mouseMoved, this, [this, image, lit] {
            guarded([&] { image->setPicture(m_windows.pictures.get(*lit)); });
        });
    }
    connect(Timer1, &QTimer::timeout, this, [this] { guarded([&] { Timer1_Timer(); }); });
}

void Form2::Form_Load() {
    PictureCache& pictures = m_windows.pictures;
    m_player = std::make_unique<waveplayer>();
    m_windows.CarouselTick = 0;
    setCursor(Qt::WaitCursor);

    Image3->setPicture(pictures.get(QStringLiteral("dog\\sob133.jpg")));
    Image4->setPicture(pictures.get(QStringLiteral("dog\\sob141.jpg")));
    Image6->setPicture(pictures.get(QStringLiteral("dog\\sob148.jpg")));
    Image7->setPicture(pictures.get(QStringLiteral("dog\\sob167.jpg")));
    Image5->setPicture(pictures.get(QStringLiteral("dog\\sob191.jpg")));

    m_windows.Form4 = m_form4 = new Form4(m_windows);
    m_form4->setPicture(pictures.get(Background));
    setPicture(pictures.get(Background));
    m_windows.Form1 = m_form1 = new Form1(m_windows);
    m_form1->setPicture(pictures.get(Background));
    m_windows.Form5 = m_form5 = new Form5(m_windows);
    m_form5->setPicture(pictures.get(Background));
    m_windows.Form3 = m_form3 = new Form3(m_windows);
    m_form3->setPicture(pictures.get(Background));
    m_form3->setOwner(this);
    m_form5->setOwner(this);

    Image1->setPicture(pictures.get(ExitNormal));
    Image2->setPicture(pictures.get(HelpNormal));
    Image8->setPicture(pictures.get(MinimiseNormal));
    m_form1->Image2->setPicture(pictures.get(BackLit));
    m_form4->Image2->setPicture(pictures.get(BackLit));
    m_form5->Image20->setPicture(pictures.get(BackLit));

    // Decode the remaining interface pictures now, so hover never reads a file and a
    // missing one is reported here rather than at the first pointer move.
    for (const QString* path : {&BackgroundDimmed, &ExitLit, &HelpLit, &MinimiseLit, &BackNormal})
        pictures.get(*path);

    m_form1->initialFill();

    setCursor(Qt::ArrowCursor);
    Timer1->start();
}

void Form2::VIB(const QString& sound) {
    if (!m_player) m_player = std::make_unique<waveplayer>();
    playSound(*m_player, sound);
}

void Form2::openSection(int section) {
    hideForm();
    // The reader fills itself once this handler has returned; it reads what is set here.
    m_form4->showForm();
    m_form4->Label7->setText(QString::fromUtf8(Sections[section].readerTitle));
    m_windows.TopicFilePath = QString::fromLatin1(Sections[section].file);
    m_windows.TopicListLoaded = 0;
    VIB(Check);
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
    m_form1->showForm();
    VIB(Check);
}

void Form2::Image2_Click() {
    setFormEnabled(false);
    m_form5->showForm();
    VIB(Check);
}

void Form2::Image8_Click() {
    minimize();
    VIB(Check);
}

void Form2::Image1_Click() {
    m_form3->showForm();
    setFormEnabled(false);
    setPicture(m_windows.pictures.get(BackgroundDimmed));
    VIB(Check);
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
    Image1->setPicture(m_windows.pictures.get(ExitNormal));
    Image2->setPicture(m_windows.pictures.get(HelpNormal));
    Image8->setPicture(m_windows.pictures.get(MinimiseNormal));
}

void Form2::Timer1_Timer() {
    quint8& tick = m_windows.CarouselTick;
    if (tick == 255) fail(ErrOverflow, QStringLiteral("Переполнение счётчика карусели"));
    ++tick;
    if (const carousel::Arrangement* a = carousel::arrangementAt(tick)) {
        const auto targets = photoSlots();
        for (size_t photo = 0; photo < carousel::Photos.size(); ++photo)
            targets[size_t(a->slotOfPhoto[photo])]->setPicture(
                m_windows.pictures.get(QString::fromLatin1(carousel::Photos[photo])));
        if (tick == carousel::CycleEnd) tick = 0;
    }
}

void Form2::Form_CloseRequest() {
    // Closing the main window from the desktop ends the program; nothing else could.
    endProgram(0);
}

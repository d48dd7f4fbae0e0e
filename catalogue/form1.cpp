#include "form1.h"

#include "failure.h"
#include "look.h"
#include "units.h"
#include "windowset.h"

using namespace core;

namespace {
const FormLook Look{8175, 7440, 1, true, colors::ScrollBar};
const QString BackLit = QStringLiteral("Graph\\ARAK.jpg");
const QString BackNormal = QStringLiteral("Graph\\ARNOAK.jpg");

// Photos wider than this get the landscape frame.
constexpr int PortraitMaxWidth = 2790;
constexpr QSize LandscapeFrame(3495, 2655);
constexpr QSize PortraitFrame(3015, 3375);

std::optional<Picture> tryLoadPicture(const QString& path) {
    try {
        return loadPicture(path);
    } catch (const RuntimeFailure&) {
        return std::nullopt; // missing or not a picture: the breed shows "Нет фото"
    }
}
} // namespace

Form1::Form1(WindowSet& windows) : FormBase(windows, QStringLiteral("Form1"), Look) {
    QWidget* s = surface();
    Text1 = new TextBox(s, QStringLiteral("Text1"), {0, 4680, 8175, 2775},
                        designFont(QStringLiteral("Courier"), 12), colors::DarkGreen,
                        colors::TooltipBack);
    List1 = new ChoiceList(s, QStringLiteral("List1"), {120, 840, 4095, 3180},
                           designFont(QStringLiteral("MS Serif"), 8.25), colors::DarkGreen,
                           colors::TooltipBack);
    Label10 = new Label(s, QStringLiteral("Label10"), {4800, 960, 2535, 1335}, QString(),
                        designFont(QStringLiteral("Courier New"), 12, true), colors::Blue,
                        Qt::AlignHCenter, true);
    Label7 = new Label(
        s, QStringLiteral("Label7"), {120, 0, 3375, 375}, QStringLiteral("Каталог собачьих пород"),
        designFont(QStringLiteral("Courier New"), 12, true), colors::Blue, Qt::AlignLeft);
    auto* rule = new Line(s, QStringLiteral("Line1(6)"), {0, 480}, {8160, 480}, 10, colors::Green);
    Image2 =
        new Image(s, QStringLiteral("Image2"), {7200, 0, 750, 345}, Image::Sizing::TakePictureSize,
                  QStringLiteral("Вернуться в Главное меню"), QString());
    Shape1 = new Shape(s, QStringLiteral("Shape1"), {4560, 720, 3015, 3375}, 5, colors::Green);
    Label1 = new Label(s, QStringLiteral("Label1"), {120, 4320, 7935, 255}, QString(),
                       designFont(QStringLiteral("MS Sans Serif"), 8.25, true), colors::DarkGreen,
                       Qt::AlignHCenter);
    Image1 = new Image(s, QStringLiteral("Image1"), {4680, 840, 2775, 3135},
                       Image::Sizing::TakePictureSize, QString(), QStringLiteral("Фото породы"));
    stackFrontToBack({Text1, List1, Label10, Label7, rule, Image2, Shape1, Label1, Image1});
    setTabOrder(List1, Text1);
    List1->setFocus();

    connect(List1, &ChoiceList::chosen, this, [this] { guarded([&] { List1_Click(); }); });
    connect(Image2, &Image::clicked, this, [this] { guarded([&] { Image2_Click(); }); });
    connect(Image2, &Image::mouseMoved, this,
            [this] { guarded([&] { Image2->setPicture(m_windows.pictures.get(BackLit)); }); });
}

Form1::~Form1() = default;

void Form1::VIB(const QString& sound) {
    if (!m_player) m_player = std::make_unique<waveplayer>();
    playSound(*m_player, sound);
}

void Form1::initialFill() {
    const QList<catalogue::Record> records =
        catalogue::parseRecords(catalogue::readCatalogueFile(catalogue::CatalogueFile));
    QStringList names;
    names.reserve(records.size());
    for (const catalogue::Record& r : records)
        names.append(r.name);
    List1->programmatic([&] { List1->addItems(names); });
    if (!records.isEmpty()) showRecord(records.constFirst());
    applyFrameRule();
}

void Form1::showRecord(const catalogue::Record& record) {
    const std::optional<QString> path = catalogue::photoPath(record.photoFile);
    const std::optional<Picture> photo = path ? tryLoadPicture(*path) : std::nullopt;
    if (photo) {
        Label10->setText(QString());
        Image1->setPicture(*photo);
    } else {
        Label10->setText(QStringLiteral("Нет фото"));
        Image1->clearPicture();
    }
    Text1->setPlainText(record.description);
    Label1->setText(record.name);
    applyFrameRule();
}

void Form1::applyFrameRule() {
    const QSize frame =
        pxToTwips(Image1->width()) > PortraitMaxWidth ? LandscapeFrame : PortraitFrame;
    Shape1->setSizeTwips(frame.width(), frame.height());
}

void Form1::List1_Click() {
    VIB(QStringLiteral("\\Sound\\stat.wav"));
    const QString chosen = List1->selectedText();
    const QList<catalogue::Record> records =
        catalogue::parseRecords(catalogue::readCatalogueFile(catalogue::CatalogueFile));
    for (const catalogue::Record& r : records)
        if (r.name == chosen) showRecord(r);
}

void Form1::Image2_Click() {
    hideForm();
    m_windows.Form2->showForm();
    VIB(QStringLiteral("\\Sound\\select.wav"));
}

void Form1::Form_Activate() {
    m_player = std::make_unique<waveplayer>();
}

void Form1::Form_MouseMove() {
    Image2->setPicture(m_windows.pictures.get(BackNormal));
}

void Form1::Form_CloseRequest() {
    Image2_Click();
}

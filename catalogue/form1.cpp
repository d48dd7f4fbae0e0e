// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/form1.h"

#include "base/contentfiles.h"
#include "base/failure.h"
#include "base/text.h"
#include "base/units.h"
#include "core/look.h"
#include "formats/bookmarks.h"
#include "formats/framerule.h"

#include <QKeyEvent>
#include <QMenu>
#include <utility>

using namespace core;

namespace catalogue {

namespace {
const FormLook Look{8175, 7440, 1, true, colors::ScrollBar};

std::optional<Picture> tryLoadPicture(const QString& path) {
    try {
        return loadPicture(path);
    } catch (const base::RuntimeFailure&) {
        return std::nullopt; // missing or not a picture: the breed shows "Нет фото"
    }
}
} // namespace

Form1::Form1(ProgramValues& values, Navigator& navigator)
    : FormBase(values, navigator, QStringLiteral("Form1"), Look),
      m_breeds(base::content::Catalogue) {
    allowSearch();
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
    Image2 = addBackButton(QStringLiteral("Image2"), {7200, 0, 750, 345}, BackHover::Lights);
    Shape1 = new Shape(s, QStringLiteral("Shape1"), {4560, 720, 3015, 3375}, 5, colors::Green);
    Label1 = new Label(s, QStringLiteral("Label1"), {120, 4320, 7935, 255}, QString(),
                       designFont(QStringLiteral("MS Sans Serif"), 8.25, true), colors::DarkGreen,
                       Qt::AlignHCenter);
    Image1 = new Image(s, QStringLiteral("Image1"), {4680, 840, 2775, 3135},
                       Image::Sizing::TakePictureSize, QString(), QStringLiteral("Фото породы"));
    // Added beside the title, where the design has nothing.
    Label11 = new Label(
        s, QStringLiteral("Label11"), {4560, 90, 2400, 255}, QStringLiteral("Подбор породы"),
        designFont(QStringLiteral("MS Sans Serif"), 8.25, true), colors::Blue, Qt::AlignRight);
    Label11->setToolTip(QStringLiteral("Подбор породы по ответам — клавиша 7"));
    Label11->setPressable(true);
    bindKeys(Label11, {Qt::Key_7}, QStringLiteral("Клавиша 7"));
    connect(Label11, &Label::clicked, this, [this] { base::guarded([&] { Label11_Click(); }); });
    // In the free space right of the title («Подбор породы» stands by the back button).
    Bookmark = new BookmarkMark(s, QStringLiteral("Bookmark"), {3600, 0, 375, 345});
    bindKeys(Bookmark, {Qt::CTRL | Qt::Key_D}, QStringLiteral("Клавиши Ctrl+D"));
    stackFrontToBack(
        {Text1, List1, Label10, Label7, rule, Image2, Shape1, Label1, Image1, Label11, Bookmark});
    // A long name wraps over the top edge of the description, down to its text (zoomed, up
    // toward the photo's frame where the lines need it).
    Label1->setWordWrap(true);
    Label1->setGrowToFit(Text1, Shape1);
    setAccessibleName(QStringLiteral("Каталог пород"));
    List1->setAccessibleName(QStringLiteral("Породы"));
    Text1->setAccessibleName(QStringLiteral("Описание породы"));
    setTabOrder(List1, Text1);
    allowFoundSteps(Text1);
    List1->setFocus();

    connect(List1, &ChoiceList::chosen, this, [this] { base::guarded([&] { List1_Click(); }); });
    connect(Bookmark, &BookmarkMark::clicked, this,
            [this] { base::guarded([&] { Bookmark_Click(); }); });
    Bookmark->setVisible(false);
    Text1->setMenuEntries([this](QMenu& menu) {
        print::addEntries(menu, this, !m_shown.name.isEmpty(), [this] { return breedJob(); });
    });
}

Form1::~Form1() = default;

void Form1::VIB(const QString& sound) {
    playSound(sound);
}

NameScan Form1::readForFill() {
    return scanFile(base::content::Catalogue);
}

void Form1::initialFill(const NameScan& scan) {
    m_breeds.adopt(scan);
    List1->programmatic([&] { List1->addEntries(scan.names); });
    if (scan.first) {
        showRecord(*scan.first);
        // The breed shown is the list's current entry, not chosen: a screen reader entering
        // the list names it, and Down goes on to the next.
        List1->programmatic([&] { List1->setCurrentRow(0, QItemSelectionModel::NoUpdate); });
    }
    applyFrameRule();
}

void Form1::showRecord(const Record& record) {
    const std::optional<QString> path = photoPath(record.photoFile);
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
    m_shown = record;
    applyFrameRule();
    Bookmark->setVisible(!record.name.isEmpty());
    Bookmark->setMarked(!record.name.isEmpty() &&
                        bookmarks::isBookmarked({QString(), record.name}));
}

void Form1::applyFrameRule() {
    const QSize frame = frame::forWidth(base::pxToTwips(Image1->designSize().width()));
    Shape1->setSizeTwips(frame.width(), frame.height());
}

void Form1::List1_Click() {
    // An entry opens the last record of its name, unless a search found another.
    choose(List1->selectedText(), std::exchange(m_found, -1));
}

void Form1::choose(const QString& name, int record) {
    VIB(base::content::sound::Stat);
    // Shown as a breed the file does not hold until it is read, so that a file that cannot
    // be read leaves no other breed's photo and text under the chosen entry.
    showRecord({name, QString(), QString()});
    if (const std::optional<Record> found =
            record >= 0 ? m_breeds.recordAt(record, name) : m_breeds.recordNamed(name)) {
        showRecord(*found);
        bookmarks::noteRead({QString(), name});
    }
}

void Form1::markFound(const FoundPlaces& found) {
    Text1->markFound(found);
    if (!Text1->found().isEmpty()) Text1->setFocus(Qt::OtherFocusReason);
}

void Form1::Bookmark_Click() {
    const QString name = Label1->fullText();
    if (name.isEmpty()) return;
    bookmarks::setBookmarked({QString(), name}, !Bookmark->isMarked());
    // As the file has it now: unchanged when it could not be kept.
    Bookmark->setMarked(bookmarks::isBookmarked({QString(), name}));
}

void Form1::Image2_Click() {
    hideForm();
    m_navigator.backToMenu();
    VIB(base::content::sound::Select);
}

void Form1::Label11_Click() {
    m_navigator.openChooser(*this);
    VIB(base::content::sound::Check);
}

bool Form1::Form_KeyPress(const QKeyEvent* key) {
    if (!key->matches(QKeySequence::Print)) return false;
    printBreed();
    return true;
}

void Form1::printBreed() {
    if (!m_shown.name.isEmpty()) print::printJob(this, [this] { return breedJob(); });
}

print::Job Form1::breedJob() const {
    const print::Breed breed = print::readBreed(m_shown);
    return {breed.name, [breed](print::Printout& out) { out.addBreed(breed); }};
}

void Form1::Form_Activate() {
    newPlayer();
}

void Form1::Form_MouseMove() {
    backButtonNormal();
}

} // namespace catalogue

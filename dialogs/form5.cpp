// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/form5.h"

#include "base/contentfiles.h"
#include "base/failure.h"
#include "base/units.h"
#include "core/look.h"
#include "core/shellopen.h"
#include "dialogs/contacts.h"

#include <QBitmap>

using namespace core;

namespace dialogs {

namespace {
const char* const HelpText =
    "В справочнике собраны советы о том, как выбрать собаку, воспитать и дрессировать её, "
    "правильно кормить и ухаживать за ней, как помочь заболевшему питомцу, в том числе "
    "домашними и народными средствами, и как обустроить место, где живёт собака, а также "
    "много другой полезной информации. В большом каталоге пород рассказано об истории, "
    "внешнем виде и характере собак.";

const FormLook Look{6825, 5115, 3, false, colors::ButtonFace};
} // namespace

Form5::Form5(ProgramValues& values, Navigator& navigator)
    : FormBase(values, navigator, QStringLiteral("Form5"), Look) {
    QWidget* s = surface();
    Text1 = new QLineEdit(QString::fromLatin1(contacts::Email), s);
    Text1->setObjectName(QStringLiteral("Text1"));
    place(Text1, {4680, 4560, 1815, 285});
    Text1->setReadOnly(true);
    Text1->setAlignment(Qt::AlignCenter);
    setDesignFont(Text1, windowDefaultFont());
    Text1->setAccessibleName(QStringLiteral("Адрес электронной почты"));
    setDesignColor(Text1, QPalette::Text, colors::Blue);
    setDesignColor(Text1, QPalette::Base, 0xC0FFFF);
    Text1->setMouseTracking(true);

    Image2 = new Image(s, QStringLiteral("Image2"), {360, 4320, 2385, 555},
                       Image::Sizing::TakePictureSize, QString(), QStringLiteral("Сайт автора"));
    Image2->setPicture(resourcePicture(QStringLiteral(":/psograf/site.png")));
    const QPixmap hand(QStringLiteral(":/psograf/hand.png"));
    Image2->setCursor(hand.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(hand, 6, 0));

    Label3_0 = new Label(
        s, QStringLiteral("Label3(0)"), {120, 1560, 6495, 2535}, QString::fromUtf8(HelpText),
        designFont(QStringLiteral("MS Sans Serif"), 12), colors::Blue, Qt::AlignHCenter, true);
    Image20 = addBackButton(QStringLiteral("Image20"), {5880, 120, 750, 345}, BackHover::Stays);
    Label7 =
        new Label(s, QStringLiteral("Label7"), {120, 120, 4215, 375}, QStringLiteral("Справка"),
                  designFont(QStringLiteral("Courier New"), 12, true), colors::Blue, Qt::AlignLeft);
    auto* rule = new Line(s, QStringLiteral("Line1(6)"), {0, 600}, {8160, 600}, 10, colors::Green);
    Label1 = new Label(
        s, QStringLiteral("Label1"), {120, 1080, 6495, 375}, QStringLiteral("Справка"),
        designFont(QStringLiteral("MS Sans Serif"), 13.5, true), colors::Green, Qt::AlignHCenter);
    stackFrontToBack({Text1, Image2, Label3_0, Image20, Label7, rule, Label1});
    Text1->setFocus();

    connect(Image2, &Image::clicked, this, [this] { base::guarded([&] { Image2_Click(); }); });
    Image2->setPressable(true);
    setAccessibleName(QStringLiteral("Справка"));
    setAccessibleRole(QAccessible::Dialog);
}

Form5::~Form5() = default;

void Form5::VIB() {
    playSound(base::content::sound::Select);
}

void Form5::Form_Activate() {
    newPlayer();
}

void Form5::Form_MouseMove() {
    backButtonNormal();
}

void Form5::Image2_Click() {
    ShellOpen(QString::fromLatin1(contacts::WebSite));
}

void Form5::Image20_Click() {
    hideForm();
    m_navigator.closeHelp();
    VIB();
}

} // namespace dialogs

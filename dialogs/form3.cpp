// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/form3.h"

#include "base/failure.h"
#include "core/look.h"

using namespace core;

namespace dialogs {

namespace {
const FormLook Look{2805, 2145, 3, false, colors::ScrollBar};
constexpr double LitPoints = 12;
constexpr double ResetPoints = 8;
} // namespace

Form3::Form3(ProgramValues& values, Navigator& navigator)
    : FormBase(values, navigator, QStringLiteral("Form3"), Look) {
    QWidget* s = surface();
    Label3 = new Label(s, QStringLiteral("Label3"), {1920, 1680, 735, 255}, QStringLiteral("НЕТ"),
                       windowDefaultFont(), colors::Green, Qt::AlignHCenter);
    Label2 = new Label(s, QStringLiteral("Label2"), {240, 1680, 735, 255}, QStringLiteral("ДА"),
                       windowDefaultFont(), colors::Green, Qt::AlignHCenter);
    Label1 = new Label(s, QStringLiteral("Label1"), {360, 720, 2175, 615},
                       QStringLiteral("Вы действительно хотите выйти?"),
                       designFont(QStringLiteral("MS Sans Serif"), 9.75, true), colors::Green,
                       Qt::AlignHCenter, true);
    Label7 =
        new Label(s, QStringLiteral("Label7"), {120, 120, 1455, 255}, QStringLiteral("ВЫХОД..."),
                  designFont(QStringLiteral("Courier New"), 12, true), colors::Blue, Qt::AlignLeft);
    auto* rule =
        new Line(s, QStringLiteral("Line1(6)"), {-120, 480}, {2880, 480}, 10, colors::Green);
    stackFrontToBack({Label3, Label2, Label1, Label7, rule});

    connect(Label2, &Label::clicked, this, [this] { base::guarded([&] { Label2_Click(); }); });
    connect(Label3, &Label::clicked, this, [this] { base::guarded([&] { Label3_Click(); }); });
    Label2->setPressable(true);
    Label3->setPressable(true);
    bindKeys(Label2, {Qt::Key_Return, Qt::Key_Enter}, QStringLiteral("Клавиша Enter"));
    bindKeys(Label3, {Qt::Key_Escape}, QStringLiteral("Клавиша Escape"));
    // A screen reader says the question when the window appears, before Tab reaches the
    // answers: it names them and their keys too.
    Label1->setAccessibleName(
        QStringLiteral("Вы действительно хотите выйти? ДА, клавиша Enter. НЕТ, клавиша Escape."));
    setAccessibleName(QStringLiteral("Выход"));
    setAccessibleRole(QAccessible::AlertMessage);
    for (Label* choice : {Label2, Label3})
        connect(choice, &Label::mouseMoved, this, [choice] {
            choice->setForeColor(colors::LightGreen);
            choice->setFontSize(LitPoints);
        });
}

void Form3::Label2_Click() {
    base::endProgram(0);
}

void Form3::Label3_Click() {
    hideForm();
    m_navigator.closeExitConfirmation();
}

void Form3::Form_MouseMove() {
    for (Label* choice : {Label2, Label3}) {
        choice->setForeColor(colors::Green);
        choice->setFontSize(ResetPoints);
    }
}

void Form3::Form_CloseRequest() {
    Label3_Click();
}

} // namespace dialogs

// SPDX-License-Identifier: GPL-3.0-or-later
// The exit confirmation: "ДА" ends the program, "НЕТ" gives the main window back.
#pragma once

#include "core/controls.h"
#include "core/form.h"

namespace dialogs {

class Form3 : public core::FormBase {
    Q_OBJECT
public:
    Form3(core::ProgramValues& values, core::Navigator& navigator);

    // The controls by their design names (docs/NAMES.md).
    core::Label* Label3; // "НЕТ"
    core::Label* Label2; // "ДА"
    core::Label* Label1; // the question
    core::Label* Label7; // title

    void Label2_Click();
    void Label3_Click();

protected:
    void Form_MouseMove() override;
    void Form_CloseRequest() override;
};

} // namespace dialogs

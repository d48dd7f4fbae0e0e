// SPDX-License-Identifier: GPL-3.0-or-later
// The help window: what the reference holds, and the author's contacts.
#pragma once

#include "core/controls.h"
#include "core/form.h"

#include <QLineEdit>

namespace dialogs {

class Form5 : public core::FormBase {
    Q_OBJECT
public:
    Form5(core::ProgramValues& values, core::Navigator& navigator);
    ~Form5() override;

    // The controls by their design names (docs/NAMES.md).
    QLineEdit* Text1;      // e-mail address, selectable, not editable
    core::Image* Image2;   // the web site's picture
    core::Label* Label3_0; // the help paragraph
    core::Image* Image20;  // back button
    core::Label* Label7;   // the title
    core::Label* Label1;   // the heading

    void Image2_Click();
    void Image20_Click();

protected:
    void Form_Activate() override;
    void Form_MouseMove() override;
    void backButtonClick() override { Image20_Click(); }

private:
    void VIB(); // the back button's sound
};

} // namespace dialogs

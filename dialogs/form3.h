// The exit confirmation: "ДА" ends the program, "НЕТ" gives the main window back.
#pragma once

#include "controls.h"
#include "form.h"

class Form3 : public core::FormBase {
    Q_OBJECT
public:
    explicit Form3(core::WindowSet& windows);

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

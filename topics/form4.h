// The topic reader: the topics of one section in a sorted list, the chosen topic's text.
#pragma once

#include "controls.h"
#include "form.h"
#include "sound.h"

#include <memory>

class Form4 : public core::FormBase {
    Q_OBJECT
public:
    explicit Form4(core::WindowSet& windows);
    ~Form4() override;

    core::ChoiceList* List1;
    core::TextBox* Text1;
    core::Label* Label1_1; // the title of the topic shown
    core::Label* Label1_0; // the prompt
    core::Image* Image2;   // back button
    core::Label* Label7;   // section title, set by the main menu

    const core::waveplayer* player() const { return m_player.get(); }

    void List1_Click();
    void Image2_Click();

protected:
    void Form_Activate() override;
    void Form_MouseMove() override;
    void Form_CloseRequest() override;

private:
    void VIB();
    void VIL();
    void play(const QString& sound);

    std::unique_ptr<core::waveplayer> m_player;
};

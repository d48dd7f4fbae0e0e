// The help window: what the reference holds, and the author's contacts.
#pragma once

#include "controls.h"
#include "form.h"
#include "sound.h"

#include <QLineEdit>
#include <memory>

class Form5 : public core::FormBase {
    Q_OBJECT
public:
    explicit Form5(core::WindowSet& windows);
    ~Form5() override;

    QLineEdit* Text1;      // e-mail address, selectable, not editable
    core::Image* Image2;   // the web site's picture
    core::Label* Label3_0; // the help paragraph
    core::Image* Image20;  // back button
    core::Label* Label7;
    core::Label* Label1;

    const core::waveplayer* player() const { return m_player.get(); }

    void Image2_Click();
    void Image20_Click();

protected:
    void Form_Activate() override;
    void Form_MouseMove() override;
    void Form_CloseRequest() override;

private:
    void VIB();
    std::unique_ptr<core::waveplayer> m_player;
};

// The help paragraph.
extern const char* const HelpText;

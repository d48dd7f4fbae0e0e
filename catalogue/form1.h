// The breed catalogue: breed names in file order, the chosen breed's description, name
// and photo in a frame that follows the photo's width.
#pragma once

#include "catalogfile.h"
#include "controls.h"
#include "form.h"
#include "sound.h"

#include <memory>

class Form1 : public core::FormBase {
    Q_OBJECT
public:
    explicit Form1(core::WindowSet& windows);
    ~Form1() override;

    core::TextBox* Text1;
    core::ChoiceList* List1;
    core::Label* Label10; // "Нет фото"
    core::Label* Label7;
    core::Image* Image2; // back button
    core::Shape* Shape1; // photo frame
    core::Label* Label1; // breed name
    core::Image* Image1; // photo

    const core::waveplayer* player() const { return m_player.get(); }

    // Run once at start-up: every name into the list, the first breed shown.
    void initialFill();
    void List1_Click();
    void Image2_Click();

protected:
    void Form_Activate() override;
    void Form_MouseMove() override;
    void Form_CloseRequest() override;

private:
    void showRecord(const catalogue::Record& record);
    void applyFrameRule();
    void VIB(const QString& sound);

    std::unique_ptr<core::waveplayer> m_player;
};

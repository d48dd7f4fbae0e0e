// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the menu of five reading sections and the catalogue, three picture
// buttons (help, minimise, exit) and the carousel of five dog photos.
#pragma once

#include "core/controls.h"
#include "core/form.h"

#include <QHash>
#include <QTimer>
#include <array>

namespace main_window {

class Form2 : public core::FormBase {
    Q_OBJECT
public:
    Form2(core::ProgramValues& values, core::Navigator& navigator, core::StartupHandoff& startup);
    ~Form2() override;

    // Start-up: everything the program needs before the main window is shown. A failure
    // stops it at that step and is thrown to the caller.
    void Form_Load();
    // The size of the box each carousel photo is first shown stretched in.
    static QHash<QString, QSize> startupPhotoBoxes();
    // The interface pictures start-up only checks (shown on hover or for the exit).
    static QStringList picturesShownLater();

    // The controls by their design names (docs/NAMES.md). Menu items, keys 1 to 6 in the
    // order of their captions' meaning, not of their places on the screen:
    core::Label* Label1; // «Как выбрать собаку»
    core::Label* Label2; // «Физиология собаки»
    core::Label* Label3; // «Кормление и обустройство»
    core::Label* Label4; // «Лечение собаки»
    core::Label* Label5; // «Дрессировка собак»
    core::Label* Label6; // «Каталог пород»
    core::Label* Label7; // the title
    core::Image* Image1; // exit button (Escape)
    core::Image* Image2; // help button (F1)
    core::Image* Image8; // minimise button
    // The carousel's slots: small top left, medium left, large bottom left, medium bottom,
    // small bottom right; Timer1 moves the photos along them.
    core::Image *Image3, *Image4, *Image5, *Image6, *Image7;
    QTimer* Timer1;
    std::array<core::Image*, 5> photoSlots() const {
        return {Image3, Image4, Image5, Image6, Image7};
    }

    // Section i of base::content::Sections, as its menu item opens it (Label1..Label5).
    void openSection(int section);
    void Label1_Click();
    void Label2_Click();
    void Label3_Click();
    void Label4_Click();
    void Label5_Click();
    void Label6_Click();
    void Image1_Click();
    void Image2_Click();
    void Image8_Click();
    void Timer1_Timer();

protected:
    void Form_MouseMove() override;
    // A letter typed here starts a search with it; a right click offers the search.
    bool Form_KeyPress(const QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void Form_CloseRequest() override;
    void changeEvent(QEvent* event) override;

private:
    core::StartupHandoff& m_startup;
    void buildControls();
    void light(core::Label* label);
    void VIB(const QString& sound);
};

} // namespace main_window

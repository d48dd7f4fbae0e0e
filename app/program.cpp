// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program.h"

#include "catalogue/form1.h"
#include "core/contentfiles.h"
#include "core/failure.h"
#include "core/sound.h"
#include "dialogs/form3.h"
#include "dialogs/form5.h"
#include "main_window/form2.h"
#include "topics/form4.h"

#include <QGuiApplication>
#include <QIcon>

static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace app {

Program::Program() : m_audio(std::make_unique<core::AudioChannel>()) {
    initResources();
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/psograf/icon.png")));
    m_form2 = std::make_unique<main_window::Form2>(m_values, *this);
}

Program::~Program() = default;

bool Program::load() {
    try {
        m_form2->Form_Load();
        return true;
    } catch (const core::RuntimeFailure& failure) {
        core::reportFailure(failure);
        return false;
    }
}

void Program::show() {
    m_form2->showForm();
}

void Program::openSection(const QString& readerTitle) {
    m_form4->showForm();
    m_form4->Label7->setText(readerTitle);
}

void Program::openCatalogue() {
    m_form1->showForm();
}

void Program::openHelp() {
    m_form5->showForm();
}

void Program::openExitConfirmation() {
    m_form3->showForm();
}

void Program::backToMenu() {
    m_form2->showForm();
}

void Program::closeHelp() {
    m_form2->showForm();
    m_form2->setFormEnabled(true);
}

void Program::closeExitConfirmation() {
    m_form2->setFormEnabled(true);
    m_form2->setPicture(m_values.pictures.get(core::content::graph::Background));
    m_form2->showForm();
}

void Program::setOtherBackgrounds(const core::Picture& background) {
    m_form4 = std::make_unique<topics::Form4>(m_values, *this);
    m_form4->setPicture(background);
    m_form1 = std::make_unique<catalogue::Form1>(m_values, *this);
    m_form1->setPicture(background);
    m_form5 = std::make_unique<dialogs::Form5>(m_values, *this);
    m_form5->setPicture(background);
    m_form3 = std::make_unique<dialogs::Form3>(m_values, *this);
    m_form3->setPicture(background);
    m_form3->setOwner(m_form2.get());
    m_form5->setOwner(m_form2.get());
}

void Program::setBackButtons(const core::Picture& picture) {
    for (core::FormBase* form :
         std::initializer_list<core::FormBase*>{m_form1.get(), m_form4.get(), m_form5.get()})
        form->backButton()->setPicture(picture);
}

void Program::fillCatalogue() {
    m_form1->initialFill();
}

void choosePlatform() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return;
    const bool wayland =
        qgetenv("XDG_SESSION_TYPE") == "wayland" || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (wayland && !qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace app

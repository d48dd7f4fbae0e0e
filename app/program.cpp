#include "program.h"

#include "failure.h"
#include "form.h"
#include "form2.h"

#include <QGuiApplication>
#include <QIcon>

static void initResources() {
    Q_INIT_RESOURCE(resources);
}

Program::Program() {
    initResources();
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/psograf/icon.png")));
    windows.Form2 = form2 = new Form2(windows);
}

Program::~Program() {
    for (core::FormBase* form :
         {windows.Form1, windows.Form3, windows.Form4, windows.Form5, windows.Form2})
        delete form;
}

bool Program::load() {
    try {
        form2->Form_Load();
        return true;
    } catch (const core::RuntimeFailure& failure) {
        core::reportFailure(failure);
        return false;
    }
}

void Program::show() {
    form2->showForm();
}

void choosePlatform() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return;
    const bool wayland =
        qgetenv("XDG_SESSION_TYPE") == "wayland" || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (wayland && !qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "xcb");
}

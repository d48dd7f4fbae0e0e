// The program's start-up order: the main window, whose load handler creates the other
// four windows and everything they need, then the main window shown.
#pragma once

#include "windowset.h"

class Form2;

class Program {
public:
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Runs the main window's load handler. A failure is reported and false returned; no
    // window has been shown then.
    bool load();
    // Shows the main window once loaded.
    void show();

    core::WindowSet windows;
    Form2* form2;
};

// Prefers XWayland on a Wayland desktop, where windows cannot place themselves, unless
// the user chose a platform.
void choosePlatform();

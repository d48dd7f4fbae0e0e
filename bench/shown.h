// SPDX-License-Identifier: GPL-3.0-or-later
// What the benchmark and its minimal Qt program share: a clock both processes read, the
// peak resident size, and waiting until a window is really on the screen (exposed and
// painted), so every start-up figure stops at the same point; and the headless settings
// every benchmark of the windows runs under.
#pragma once

#include "core/startuptrace.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace bench {

// The clock and the peak memory the program's own start-up trace reads.
using core::startup::nowNs;
using core::startup::peakResidentKiB;

// Watches a top-level widget from before it is shown until it is exposed and has painted.
class ShownWatch : public QObject {
public:
    explicit ShownWatch(QWidget* window) : m_window(window) { window->installEventFilter(this); }
    ~ShownWatch() override {
        if (m_window) m_window->removeEventFilter(this);
    }

    // Runs events until the window is on the screen; false after the time limit.
    bool wait(int limitMs = 30000) {
        QElapsedTimer clock;
        clock.start();
        while (!shown()) {
            if (clock.elapsed() > limitMs) return false;
            QCoreApplication::processEvents();
        }
        return true;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) m_painted = true;
        return false;
    }

private:
    bool shown() const {
        return m_painted && m_window && m_window->windowHandle() &&
               m_window->windowHandle()->isExposed();
    }
    QPointer<QWidget> m_window;
    bool m_painted = false;
};

// The figures are for a headless run at 96 DPI, like the tests; an explicit choice wins.
// Before the QApplication is made.
inline void useHeadlessDefaults() {
    const std::pair<const char*, const char*> defaults[] = {{"QT_QPA_PLATFORM", "offscreen"},
                                                            {"QT_SCALE_FACTOR", "1"},
                                                            {"QT_FONT_DPI", "96"},
                                                            {"QT_ENABLE_HIGHDPI_SCALING", "0"}};
    for (const auto& [name, value] : defaults)
        if (qEnvironmentVariableIsEmpty(name)) qputenv(name, value);
}

} // namespace bench

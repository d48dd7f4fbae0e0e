// SPDX-License-Identifier: GPL-3.0-or-later
// What the benchmark and its minimal Qt program share: a clock both processes read, the
// peak resident size, and waiting until a window is really on the screen (exposed and
// painted), so every start-up figure stops at the same point.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <chrono>

namespace bench {

// Nanoseconds on the monotonic clock; the same clock in every process of this machine, so
// a parent can hand its reading to a child.
inline qint64 monotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Peak resident set size of this process (VmHWM) in KiB; 0 where the system does not say.
inline qint64 peakResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    // /proc files report size 0: read to the end instead of asking for lines.
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

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

} // namespace bench

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/startuptrace.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace core::startup {

namespace {

struct Trace {
    bool on = false;
    bool quit = false;
    long long spawned = 0;
    std::array<long long, size_t(Phase::Count)> ends{};
    long long pictures = 0;
};

const Trace& readVariable(Trace& t) {
    if (const char* value = std::getenv("PSOGRAF_STARTUP_TRACE"); value && *value) {
        t.on = true;
        t.spawned = std::atoll(value);
        t.quit = std::strstr(value, ",quit") != nullptr;
    }
    return t;
}

Trace& trace() {
    static Trace t;
    static const bool read = (readVariable(t), true);
    (void)read;
    return t;
}

void print() {
    const Trace& t = trace();
    const auto& e = t.ends;
    const long long painted = nowNs();
    const auto since = [](long long end, long long start) {
        return end && start ? end - start : 0;
    };
    std::fprintf(stderr,
                 "startup: main_ns=%lld qapp_ns=%lld construct_ns=%lld load_ns=%lld "
                 "pictures_ns=%lld paint_ns=%lld total_ns=%lld hwm_kib=%lld\n",
                 since(e[0], t.spawned), since(e[1], e[0]), since(e[2], e[1]), since(e[3], e[2]),
                 t.pictures, since(painted, e[3]), since(painted, t.spawned), peakResidentKiB());
    std::fflush(stderr);
}

// Waits for the first paint event, then lets it finish (and reach the screen) before
// calling back.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* window, std::function<void()> then)
        : QObject(window), m_window(window), m_then(std::move(then)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QMetaObject::invokeMethod(this, &FirstPaint::painted, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void painted() {
        if (m_window->windowHandle() && !m_window->windowHandle()->isExposed()) {
            m_seen = false; // not on the screen yet: wait for the next paint
            return;
        }
        m_window->removeEventFilter(this);
        deleteLater();
        if (tracing()) print();
        if (tracing() && trace().quit)
            QCoreApplication::exit(0); // and nothing more is started
        else if (m_then)
            m_then();
    }
    QWidget* m_window;
    std::function<void()> m_then;
    bool m_seen = false;
};

} // namespace

bool tracing() {
    return trace().on;
}

void mark(Phase phase) {
    if (tracing()) trace().ends[size_t(phase)] = nowNs();
}

void addPictureTime(long long ns) {
    trace().pictures += ns;
}

void afterFirstPaint(QWidget* window, std::function<void()> then) {
    new FirstPaint(window, std::move(then));
}

} // namespace core::startup

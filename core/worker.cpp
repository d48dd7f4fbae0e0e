// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/worker.h"

#include <thread>

#ifdef __linux__
#include <pthread.h>
#include <sched.h>
#endif

namespace core {

struct WorkerThread::Thread {
    std::function<void()> work;
#ifdef __linux__
    pthread_t handle{};
    cpu_set_t allowed{};
    bool widen = false;  // set before the thread starts: it was started on the other cores
    bool placed = false; // made with pthread_create (read by the making thread only)
#endif
    std::thread fallback;
    bool joined = false;
};

void* WorkerThread::run(void* data) {
    auto* thread = static_cast<Thread*>(data);
#ifdef __linux__
    // Started on the other cores only; from here on it may run anywhere it could before.
    if (thread->widen)
        pthread_setaffinity_np(pthread_self(), sizeof thread->allowed, &thread->allowed);
#endif
    thread->work();
    return nullptr;
}

WorkerThread::WorkerThread(std::function<void()> work) : m_thread(std::make_unique<Thread>()) {
    m_thread->work = std::move(work);
#ifdef __linux__
    cpu_set_t others;
    const int current = sched_getcpu();
    if (current >= 0 && sched_getaffinity(0, sizeof m_thread->allowed, &m_thread->allowed) == 0) {
        others = m_thread->allowed;
        CPU_CLR(current, &others);
        pthread_attr_t attributes;
        if (CPU_COUNT(&others) > 0 && pthread_attr_init(&attributes) == 0) {
            m_thread->widen = pthread_attr_setaffinity_np(&attributes, sizeof others, &others) == 0;
            if (m_thread->widen)
                m_thread->placed =
                    pthread_create(&m_thread->handle, &attributes, &run, m_thread.get()) == 0;
            pthread_attr_destroy(&attributes);
        }
    }
    if (m_thread->placed) return;
#endif
    m_thread->fallback = std::thread(&WorkerThread::run, m_thread.get());
}

WorkerThread::~WorkerThread() {
    join();
}

void WorkerThread::join() {
    if (m_thread->joined) return;
    m_thread->joined = true;
#ifdef __linux__
    if (m_thread->placed) {
        pthread_join(m_thread->handle, nullptr);
        return;
    }
#endif
    m_thread->fallback.join();
}

} // namespace core

// SPDX-License-Identifier: GPL-3.0-or-later
// A thread for start-up work that must run beside the busy main thread at once.
#pragma once

#include <functional>
#include <memory>

namespace core {

// A new thread is queued on the core of the thread that made it; while that one stays
// busy, as the main thread is all through start-up, the new one can wait milliseconds for
// the scheduler to move it. This one starts on another core the process may use (when
// there is one) and may then run on any of them. Joined when destroyed.
class WorkerThread {
public:
    explicit WorkerThread(std::function<void()> work);
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Waits until the work has returned; later calls return at once.
    void join();

private:
    struct Thread;
    static void* run(void* thread);
    std::unique_ptr<Thread> m_thread;
};

} // namespace core

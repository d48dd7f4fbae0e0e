// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/searcher.h"

#include "base/failure.h"

#include <QMetaObject>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace search {

Searcher::Searcher(QList<Section> sections, QString catalogueFile, QString catalogueLabel,
                   QString groupsFile)
    : m_engine(std::move(sections), std::move(catalogueFile), std::move(catalogueLabel),
               std::move(groupsFile)),
      m_thread([this] { run(); }) {}

Searcher::~Searcher() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void Searcher::prepare() {
    std::lock_guard lock(m_mutex);
    if (m_job == Job::None) m_job = Job::Prepare;
    m_wake.notify_one();
}

void Searcher::search(const QString& query) {
    {
        std::lock_guard lock(m_mutex);
        m_job = Job::Search;
        m_query = query;
        ++m_latest;
    }
    m_wake.notify_one();
}

void Searcher::release() {
    {
        std::lock_guard lock(m_mutex);
        m_job = Job::Release;
        ++m_latest;
    }
    m_wake.notify_one();
}

void Searcher::setBeforeAnswer(std::function<void(const QString&)> hook) {
    std::lock_guard lock(m_mutex);
    m_beforeAnswer = std::move(hook);
}

void Searcher::run() {
    for (;;) {
        Job job;
        QString query;
        quint64 mine;
        std::function<void(const QString&)> beforeAnswer;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_stopping || m_job != Job::None; });
            if (m_stopping) return;
            job = std::exchange(m_job, Job::None);
            query = m_query;
            mine = m_latest;
            beforeAnswer = m_beforeAnswer;
        }
        const Yield yield{&m_latest, mine, &m_stopping};
        try {
            switch (job) {
            case Job::None:
                break;
            case Job::Prepare:
                m_engine.refresh(yield);
                break;
            case Job::Search: {
                const auto send = [&](const Answer& answer) {
                    if (beforeAnswer) beforeAnswer(query);
                    QMetaObject::invokeMethod(
                        this,
                        [this, mine, query, answer] {
                            // Only the latest request's answer is shown.
                            if (mine == m_latest) emit answered(query, answer);
                        },
                        Qt::QueuedConnection);
                };
                send(m_engine.find(query, yield, send));
                break;
            }
            case Job::Release:
                m_engine.release();
#if defined(__GLIBC__)
                // Freed memory goes back to the system, not only to the heap.
                malloc_trim(0);
#endif
                break;
            }
        } catch (const Interrupted&) {
            // A newer request, or the end: its answer would not be shown anyway.
        } catch (const base::RuntimeFailure&) {
            // Files that cannot be read are named in answers; nothing else fails here.
        } catch (const std::bad_alloc&) {
            // The search is too large for memory now; the next request tries again.
            m_engine.release();
        }
        m_indexBytes = m_engine.indexBytes();
    }
}

} // namespace search

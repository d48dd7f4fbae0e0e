// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the search engine on a thread of its own, so that the window's thread never waits
// for it. Each request replaces the one before: a search still running gives way to it,
// and an answer is delivered only while its request is the latest, so an older answer
// never shows over a newer one.
#pragma once

#include "search/engine.h"

#include <QObject>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace search {

class Searcher : public QObject {
    Q_OBJECT
public:
    Searcher(QList<Section> sections, QString catalogueFile, QString catalogueLabel,
             QString groupsFile);
    ~Searcher() override;

    // Reads and indexes the files ahead of the first search.
    void prepare();
    // Searches for query; answered() follows unless another request comes first.
    void search(const QString& query);
    // Drops any request and gives back the memory of the searches; the indexes stay.
    void release();

    // The indexes' memory after the last request, in bytes.
    qsizetype indexBytes() const { return m_indexBytes; }

    // For tests: runs on the search thread after each search, before its answer is sent.
    void setBeforeAnswer(std::function<void(const QString& query)> hook);

signals:
    // With many results, an early answer (not complete) comes first.
    void answered(const QString& query, const search::Answer& answer);

private:
    enum class Job { None, Prepare, Search, Release };
    void run();

    Engine m_engine;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    Job m_job = Job::None;
    QString m_query;
    std::atomic<quint64> m_latest{0};
    std::atomic<bool> m_stopping{false};
    std::atomic<qsizetype> m_indexBytes{0};
    std::function<void(const QString&)> m_beforeAnswer;
    std::thread m_thread;
};

} // namespace search

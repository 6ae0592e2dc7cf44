// SPDX-License-Identifier: MIT
#include "band_workers.h"

namespace nconvert {

BandWorkers::BandWorkers(int threads, int slack)
    : m_threads(threads < 2 ? 1 : threads + 1), m_slack(slack) {
    if (threads < 2)
        return;
    m_workers.reserve(std::size_t(threads));
    for (int i = 0; i < threads; ++i)
        m_workers.emplace_back(&BandWorkers::work, this, i);
}

BandWorkers::~BandWorkers() {
    {
        std::lock_guard guard(m_lock);
        m_stop = true;
        m_changed.notify_all();
    }
    for (std::thread& worker : m_workers)
        worker.join();
}

void BandWorkers::submit(std::function<void(int)> job) {
    ++m_pending;
    if (m_workers.empty()) {
        job(0);
        return;
    }
    std::lock_guard guard(m_lock);
    m_jobs.emplace_back();
    m_jobs.back().run = std::move(job);
    m_changed.notify_all();
}

void BandWorkers::collect() {
    if (m_pending == 0)
        return;
    --m_pending;
    if (m_workers.empty())
        return;
    std::unique_lock guard(m_lock);
    while (!m_jobs.front().done) {
        if (m_next < m_jobs.size())
            run(m_jobs[m_next++], m_threads - 1, guard);
        else
            m_changed.wait(guard);
    }
    const std::exception_ptr failure = m_jobs.front().failure;
    m_jobs.pop_front();
    --m_next;
    if (failure)
        std::rethrow_exception(failure);
}

void BandWorkers::work(int thread) {
    std::unique_lock guard(m_lock);
    for (;;) {
        m_changed.wait(guard, [this] { return m_stop || m_next < m_jobs.size(); });
        if (m_stop)
            return;
        run(m_jobs[m_next++], thread, guard);
    }
}

void BandWorkers::run(Job& job, int thread, std::unique_lock<std::mutex>& guard) {
    // A deque keeps its elements in place while others are added or collected.
    guard.unlock();
    try {
        job.run(thread);
    } catch (...) {
        job.failure = std::current_exception();
    }
    guard.lock();
    job.done = true;
    m_changed.notify_all();
}

} // namespace nconvert

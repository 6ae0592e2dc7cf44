// SPDX-License-Identifier: MIT
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace nconvert {

/// A few threads that run an encoder's bands while the encoder hands them back in the order
/// they were given. A job is called with the number of the thread running it (0 to threads()
/// - 1), so that each thread may keep state of its own. With fewer than two threads there are
/// none: a job runs at once, inside submit().
class BandWorkers {
public:
    explicit BandWorkers(int threads);
    /// Waits for the jobs already running; the ones not yet started are dropped.
    ~BandWorkers();
    BandWorkers(const BandWorkers&) = delete;
    BandWorkers& operator=(const BandWorkers&) = delete;

    int threads() const { return m_threads; }
    /// Jobs submitted and not yet collected.
    std::size_t pending() const { return m_pending; }
    /// Jobs an encoder should keep in flight, beyond which it collects before submitting more.
    std::size_t depth() const { return m_workers.empty() ? 1 : m_workers.size() * 2; }

    void submit(std::function<void(int)> job);
    /// Waits for the oldest job not yet collected; rethrows what it threw. (An inline job
    /// throws out of submit() itself.)
    void collect();

private:
    struct Job {
        std::function<void(int)> run;
        bool done = false;
        std::exception_ptr failure;
    };

    void work(int thread);

    const int m_threads;
    std::size_t m_pending = 0;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs; // not yet collected, oldest first
    std::size_t m_next = 0; // the first job in m_jobs no thread has taken
    bool m_stop = false;
    std::vector<std::thread> m_workers;
};

} // namespace nconvert

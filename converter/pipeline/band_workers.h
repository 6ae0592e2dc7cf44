// SPDX-License-Identifier: MIT
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace nconvert {

/// A few threads that run an encoder's bands while the encoder hands them back in the order
/// they were given. A job is called with the number of the thread running it (0 to threads()
/// - 1, the encoder's own thread counted as the last), so that each thread may keep state of
/// its own. With fewer than two threads there are none: a job runs at once, inside submit().
class BandWorkers {
public:
    /// `slack`: jobs in flight beyond two a worker (see depth()).
    explicit BandWorkers(int threads, int slack = 4);
    /// Waits for the jobs already running; the ones not yet started are dropped.
    ~BandWorkers();
    BandWorkers(const BandWorkers&) = delete;
    BandWorkers& operator=(const BandWorkers&) = delete;

    int threads() const { return m_threads; }
    /// Jobs submitted and not yet collected.
    std::size_t pending() const { return m_pending; }
    /// Jobs an encoder should keep in flight, beyond which it collects before submitting more:
    /// two a worker, and the slack, so that a worker held up by the reader or the resampler
    /// (they share the cores) does not leave the others waiting.
    std::size_t depth() const {
        return m_workers.empty() ? 1 : m_workers.size() * 2 + std::size_t(m_slack);
    }

    void submit(std::function<void(int)> job);
    /// Waits for the oldest job not yet collected, meanwhile running jobs no worker has taken
    /// yet (as the last thread, threads() - 1); rethrows what the oldest threw. (An inline job
    /// throws out of submit() itself.)
    void collect();

private:
    struct Job {
        std::function<void(int)> run;
        bool done = false;
        std::exception_ptr failure;
    };

    void work(int thread);
    // Runs `job` unlocked, as `thread`; `guard` is held again on return.
    void run(Job& job, int thread, std::unique_lock<std::mutex>& guard);

    const int m_threads;
    const int m_slack;
    std::size_t m_pending = 0;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs; // not yet collected, oldest first
    std::size_t m_next = 0; // the first job in m_jobs no thread has taken
    bool m_stop = false;
    std::vector<std::thread> m_workers;
};

/// An encoder's bytes for one band, left uninitialised until written: a band is filled once
/// and reused, so clearing it would be a pass over every byte for nothing.
struct BandBuffer {
    std::unique_ptr<unsigned char[]> data;
    std::size_t size = 0; // bytes written so far, where the encoder counts them here
    std::size_t capacity = 0;
    void reserve(std::size_t bytes) {
        if (bytes <= capacity)
            return;
        data = std::make_unique_for_overwrite<unsigned char[]>(bytes);
        capacity = bytes;
    }
};

/// An encoder's bands on BandWorkers: handed out to fill, coded on a worker, passed back to the
/// encoder oldest first to be written, then reused (fresh pages cost more here than coding
/// them). At most depth() bands are in flight.
template <class Band> class BandQueue {
public:
    explicit BandQueue(int threads, int slack = 4) : m_workers(threads, slack) {}

    int threads() const { return m_workers.threads(); }

    /// A band to fill: a written one, with what it holds, or a new one when none is left.
    std::unique_ptr<Band> take() {
        if (m_spare.empty())
            return std::make_unique<Band>();
        std::unique_ptr<Band> band = std::move(m_spare.back());
        m_spare.pop_back();
        return band;
    }

    /// Runs `code(band, thread)` on a worker; while too many bands are in flight, passes the
    /// oldest to `write`. False once `write` has returned false.
    template <class Code, class Write>
    bool submit(std::unique_ptr<Band> band, Code code, Write& write) {
        Band* job = band.get();
        m_inFlight.push_back(std::move(band));
        m_workers.submit([job, code](int thread) { code(*job, thread); });
        bool ok = true;
        while (ok && m_workers.pending() >= m_workers.depth())
            ok = collect(write);
        return ok;
    }

    /// Passes every band still in flight to `write`, in order.
    template <class Write> bool drain(Write& write) {
        bool ok = true;
        while (ok && m_workers.pending() > 0)
            ok = collect(write);
        return ok;
    }

private:
    template <class Write> bool collect(Write& write) {
        m_workers.collect();
        std::unique_ptr<Band> band = std::move(m_inFlight.front());
        m_inFlight.pop_front();
        const bool ok = write(*band);
        m_spare.push_back(std::move(band));
        return ok;
    }

    std::deque<std::unique_ptr<Band>> m_inFlight;
    std::vector<std::unique_ptr<Band>> m_spare;
    // Last, so that it is destroyed first: its threads may still be working on the bands.
    BandWorkers m_workers;
};

} // namespace nconvert

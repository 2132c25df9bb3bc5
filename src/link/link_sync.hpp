// The link's synchronisation: a signal of count 0..1 and a lock, both with timed waits.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace kelpira::link {

// A signal of count 0..1 between two threads. Unlike std::binary_semaphore, releasing a signal
// that is already set is harmless (it stays set once), which a late answer racing a new
// transaction can do.
//
// A waiter spins a little before it sleeps: the other side of a transaction usually answers
// within that time, and a hand-off then costs neither side a sleep and a wake. The sleep is
// C++20's atomic wait; a wait with a time-out sleeps on the same word through the futex the
// atomic wait is built on, since the standard's atomic wait has no time-out.
class Signal {
  public:
    void release();
    // Takes the signal if it is set; never waits.
    bool try_acquire();
    // Waits until the signal is set, then takes it; returns at once once interrupted.
    void acquire();
    // False on time-out or interruption.
    bool try_acquire_for(std::chrono::milliseconds timeout);
    // Makes every wait return at once, for good; used when the link closes.
    void interrupt();

  private:
    static constexpr std::uint32_t kSet = 1;
    static constexpr std::uint32_t kInterrupted = 2;

    void wake_all();

    std::atomic<std::uint32_t> state_{0};
    std::atomic<std::uint32_t> timed_sleepers_{0};
};

// A mutex with a timed lock. std::timed_mutex would do, but its timed wait is invisible to
// ThreadSanitizer, which then reports every unlock as wrong; this one is built on a plain mutex.
class TimedLock {
  public:
    void lock() {
        std::unique_lock lk(m_);
        cv_.wait(lk, [&] { return !held_; });
        held_ = true;
    }
    bool try_lock_for(std::chrono::milliseconds timeout) {
        std::unique_lock lk(m_);
        if (!cv_.wait_for(lk, timeout, [&] { return !held_; })) {
            return false;
        }
        held_ = true;
        return true;
    }
    void unlock() {
        {
            std::lock_guard lk(m_);
            held_ = false;
        }
        cv_.notify_one();
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    bool held_ = false;
};

}  // namespace kelpira::link

// The link's synchronisation: a signal of count 0..1 and a lock, both with timed waits.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace kelpira::link {

// Unlike std::binary_semaphore, releasing a signal that is already set is harmless (it stays
// set once), which a late answer racing a new transaction can do.
class Signal {
  public:
    void release() {
        {
            std::lock_guard lk(m_);
            set_ = true;
        }
        cv_.notify_one();
    }
    // Takes the signal if it is set; never waits.
    bool try_acquire() {
        std::lock_guard lk(m_);
        return take();
    }
    void acquire() {
        std::unique_lock lk(m_);
        cv_.wait(lk, [&] { return set_ || interrupted_; });
        take();
    }
    // False on time-out or interruption.
    bool try_acquire_for(std::chrono::milliseconds timeout) {
        std::unique_lock lk(m_);
        cv_.wait_for(lk, timeout, [&] { return set_ || interrupted_; });
        return take();
    }
    // Makes every wait return at once until reset(); used when the link closes.
    void interrupt() {
        {
            std::lock_guard lk(m_);
            interrupted_ = true;
        }
        cv_.notify_all();
    }

  private:
    bool take() {
        if (interrupted_ || !set_) {
            return false;
        }
        set_ = false;
        return true;
    }

    std::mutex m_;
    std::condition_variable cv_;
    bool set_ = false;
    bool interrupted_ = false;
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

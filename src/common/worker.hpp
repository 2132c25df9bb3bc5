// The worker pattern every background thread of the program follows: a stop flag, a wake
// semaphore of count 0..1, a bounded wait when stopping, and shared ownership of the data.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <semaphore>
#include <thread>

namespace kelpira::common {

// What the worker's body sees. Shared by the owner and the thread, so it stays valid for as
// long as either of them needs it, even when the owner has given up waiting.
class WorkerControl {
  public:
    // True once the owner asked the worker to stop; the body should return soon after.
    bool stop_requested() const { return stop_.load(std::memory_order_acquire); }

    // Sleeps until woken, stopped, or `timeout` passes. Returns stop_requested().
    bool wait(std::chrono::milliseconds timeout);

    // Wakes a waiting body, or the next wait() call. Wakes coalesce: several before a wait
    // count as one, so the semaphore never holds more than 1.
    void wake();

    // Asks the body to stop and wakes it.
    void request_stop();

  private:
    friend class Worker;
    std::atomic<bool> stop_{false};
    std::atomic<bool> wake_pending_{false};
    std::binary_semaphore wake_{0};
    std::binary_semaphore finished_{0};
};

// Runs `body` on its own thread from construction. The body must reach any data it uses
// through values or shared pointers it captured: a body that overstays the stop wait is
// left running on its own and may still touch that data after the Worker is gone.
class Worker {
  public:
    using Body = std::function<void(WorkerControl&)>;

    static constexpr std::chrono::milliseconds kDefaultStopWait{2000};

    explicit Worker(Body body);
    ~Worker();  // stop(kDefaultStopWait)

    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void wake() { control_->wake(); }

    // Sets the stop flag and wakes the body without waiting for it.
    void request_stop() { control_->request_stop(); }

    // Sets the stop flag, wakes the body and waits at most `wait` for it to return. Returns
    // true when the thread has ended (or had ended already); false when it overstayed and
    // was let go. Once let go, later calls only report finished() without waiting.
    bool stop(std::chrono::milliseconds wait = kDefaultStopWait);

    // True once the body has returned. Does not block.
    bool finished() const { return done_->load(std::memory_order_acquire); }

    // Waits at most `wait` for the body to return without asking it to stop, and joins the
    // thread when it did. Returns finished().
    bool wait_finished(std::chrono::milliseconds wait);

  private:
    std::shared_ptr<WorkerControl> control_;
    std::shared_ptr<std::atomic<bool>> done_;
    std::thread thread_;
};

}  // namespace kelpira::common

// The worker pattern: thread start, coalesced wakes, and the bounded stop wait.
#include "common/worker.hpp"

#include <utility>

namespace kelpira::common {

bool WorkerControl::wait(std::chrono::milliseconds timeout) {
    if (wake_.try_acquire_for(timeout)) {
        // Clearing the flag after taking the count lets the next wake() release again; an
        // exchange (not a plain store) also makes what the waker wrote before waking visible.
        wake_pending_.exchange(false, std::memory_order_acq_rel);
    }
    return stop_requested();
}

void WorkerControl::wake() {
    // Only the caller that turns the flag from false to true releases, so the semaphore's
    // count never exceeds 1 (releasing a full binary semaphore is undefined).
    if (!wake_pending_.exchange(true, std::memory_order_acq_rel)) {
        wake_.release();
    }
}

void WorkerControl::request_stop() {
    stop_.store(true, std::memory_order_release);
    wake();
}

Worker::Worker(Body body)
    : control_(std::make_shared<WorkerControl>()), done_(std::make_shared<std::atomic<bool>>()) {
    // The thread holds its own references: it never depends on this object staying alive.
    thread_ = std::thread([control = control_, done = done_, run = std::move(body)]() {
        run(*control);
        done->store(true, std::memory_order_release);
        control->finished_.release();
    });
}

Worker::~Worker() {
    stop();
}

bool Worker::wait_finished(std::chrono::milliseconds wait) {
    if (!thread_.joinable()) {
        return finished();
    }
    if (control_->finished_.try_acquire_for(wait)) {
        thread_.join();  // the body has returned; only the thread's exit remains
    }
    return finished();
}

bool Worker::stop(std::chrono::milliseconds wait) {
    control_->request_stop();
    if (!thread_.joinable()) {
        return finished();
    }
    if (wait_finished(wait)) {
        return true;
    }
    // Overstayed: let it go. It keeps the control block and its own captures alive.
    thread_.detach();
    return false;
}

}  // namespace kelpira::common

// The one way a worker thread hands work to the UI: each call is queued to the receiver's
// thread and dropped once the receiver has closed the hand-off, so a worker that outlives a
// window never touches it.
#pragma once

#include <QMetaObject>
#include <QObject>
#include <functional>
#include <memory>
#include <mutex>

namespace kelpira::ui {

// A cheap handle: copies share one state, so a worker keeps its copy for as long as it runs.
// The receiver makes it, and calls close() on its own thread before it goes away (its
// destructor); posting never waits for the receiver's thread.
template <typename Receiver>
class Handoff {
  public:
    explicit Handoff(Receiver* receiver) : state_(std::make_shared<State>(receiver)) {}

    // Any thread: `call(receiver)` runs on the receiver's thread, unless the hand-off is closed
    // by then.
    void post(std::function<void(Receiver&)> call) const {
        std::lock_guard lock(state_->mutex);
        if (state_->receiver == nullptr) {
            return;
        }
        // Checked again on delivery: close() may come between queueing and delivery.
        QMetaObject::invokeMethod(
            state_->receiver,
            [state = state_, call = std::move(call)] {
                Receiver* receiver = state->current();
                if (receiver != nullptr) {
                    call(*receiver);
                }
            },
            Qt::QueuedConnection);
    }

    // The receiver's thread: nothing posted, or queued and not yet delivered, reaches the
    // receiver after this.
    void close() const {
        std::lock_guard lock(state_->mutex);
        state_->receiver = nullptr;
    }

  private:
    struct State {
        explicit State(Receiver* r) : receiver(r) {}
        Receiver* current() {
            std::lock_guard lock(mutex);
            return receiver;
        }
        std::mutex mutex;
        Receiver* receiver;
    };
    std::shared_ptr<State> state_;
};

}  // namespace kelpira::ui

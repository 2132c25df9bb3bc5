// The worker-to-UI hand-off: a call posted from a thread that has already ended still arrives,
// on the receiver's thread; nothing arrives once the receiver is gone.
#include "ui/common/handoff.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <thread>

#include "support/qt_application.hpp"

namespace kelpira::ui {
namespace {

// A receiver that closes its hand-off as it goes, as every window does.
class Receiver : public QObject {
  public:
    ~Receiver() override { handoff.close(); }
    Handoff<Receiver> handoff{this};
    std::thread::id ran_on;
    int calls = 0;
};

// Each delivered call counts in the receiver and in `delivered`, which outlives the receiver.
void post_from_a_thread(const Handoff<Receiver>& handoff, int* delivered = nullptr) {
    std::thread([handoff, delivered] {
        handoff.post([delivered](Receiver& r) {
            r.ran_on = std::this_thread::get_id();
            ++r.calls;
            if (delivered != nullptr) {
                ++*delivered;
            }
        });
    }).join();
}

TEST(Handoff, DeliversOnTheReceiversThreadAfterTheSenderEnded) {
    testing::test_application();
    Receiver receiver;
    post_from_a_thread(receiver.handoff);
    EXPECT_EQ(receiver.calls, 0);  // queued, never run on the sender's thread
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(receiver.calls, 1);
    EXPECT_EQ(receiver.ran_on, std::this_thread::get_id());
}

TEST(Handoff, NothingArrivesOnceClosedNorOnceTheReceiverIsGone) {
    testing::test_application();
    auto receiver = std::make_unique<Receiver>();
    const Handoff<Receiver> kept = receiver->handoff;  // what a worker still holds
    post_from_a_thread(kept);                          // queued before the close
    receiver->handoff.close();
    post_from_a_thread(kept);  // posted after it
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(receiver->calls, 0);

    // A receiver's destructor closes it: the calls would otherwise touch freed memory.
    receiver = std::make_unique<Receiver>();
    const Handoff<Receiver> kept_too = receiver->handoff;
    int delivered = 0;
    post_from_a_thread(kept_too, &delivered);
    receiver.reset();
    post_from_a_thread(kept_too, &delivered);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(delivered, 0);
}

}  // namespace
}  // namespace kelpira::ui

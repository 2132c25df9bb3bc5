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

void post_from_a_thread(const Handoff<Receiver>& handoff) {
    std::thread([handoff] {
        handoff.post([](Receiver& r) {
            r.ran_on = std::this_thread::get_id();
            ++r.calls;
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
    post_from_a_thread(kept_too);
    receiver.reset();
    post_from_a_thread(kept_too);
    QCoreApplication::sendPostedEvents();
}

}  // namespace
}  // namespace kelpira::ui

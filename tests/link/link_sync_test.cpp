// The link's signal: a count of at most 1, waits that end on release, time-out or interrupt.
#include "link/link_sync.hpp"

#include <gtest/gtest.h>

#include <latch>
#include <thread>

namespace kelpira::link {
namespace {

using std::chrono::milliseconds;

TEST(Signal, ReleasingASetSignalKeepsOneCount) {
    Signal s;
    EXPECT_FALSE(s.try_acquire());
    s.release();
    s.release();
    EXPECT_TRUE(s.try_acquire());
    EXPECT_FALSE(s.try_acquire());
    EXPECT_FALSE(s.try_acquire_for(milliseconds(1)));  // nothing left: times out
    s.release();
    EXPECT_TRUE(s.try_acquire_for(milliseconds(0)));
}

TEST(Signal, AWaiterOnAnotherThreadTakesEachRelease) {
    Signal request;
    Signal answer;
    constexpr int kRounds = 2000;
    std::thread partner([&] {
        for (int i = 0; i < kRounds; ++i) {
            request.acquire();
            answer.release();
        }
    });
    int answered = 0;
    for (int i = 0; i < kRounds; ++i) {
        request.release();
        answered += answer.try_acquire_for(milliseconds(60000)) ? 1 : 0;
    }
    partner.join();
    EXPECT_EQ(answered, kRounds);
    EXPECT_FALSE(request.try_acquire());
}

TEST(Signal, InterruptEndsEveryWaitForGood) {
    Signal s;
    std::latch started(2);
    bool timed_result = true;
    std::thread timed([&] {
        started.count_down();
        timed_result = s.try_acquire_for(milliseconds(60000));
    });
    std::thread untimed([&] {
        started.count_down();
        s.acquire();
    });
    started.wait();
    s.interrupt();
    timed.join();
    untimed.join();
    EXPECT_FALSE(timed_result);
    s.release();
    EXPECT_FALSE(s.try_acquire());
    EXPECT_FALSE(s.try_acquire_for(milliseconds(60000)));
}

}  // namespace
}  // namespace kelpira::link

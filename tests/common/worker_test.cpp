// The worker pattern: stopping, coalesced wakes, no lost wake, and a worker that overstays.
#include "common/worker.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <semaphore>
#include <thread>
#include <vector>

namespace kelpira::common {
namespace {

using namespace std::chrono_literals;

TEST(Worker, StopEndsAWaitingBodyAndReportsIt) {
    std::atomic<int> loops{0};
    Worker worker([&loops](WorkerControl& control) {
        while (!control.wait(10s)) {
            ++loops;
        }
    });
    EXPECT_TRUE(worker.stop(10s));
    EXPECT_TRUE(worker.finished());
    EXPECT_TRUE(worker.stop(0ms));  // a second stop only reports
}

TEST(Worker, WaitFinishedJoinsABodyThatEndsOnItsOwn) {
    auto result = std::make_shared<int>(0);
    Worker worker([result](WorkerControl&) { *result = 42; });
    EXPECT_TRUE(worker.wait_finished(10s));
    EXPECT_EQ(*result, 42);  // joined, so the write is visible
}

TEST(Worker, WakesBeforeAWaitCoalesceIntoOne) {
    std::binary_semaphore woken_twice{0};
    auto control = std::make_shared<WorkerControl>();
    for (int i = 0; i < 5; ++i) {
        control->wake();  // more than one release of a binary semaphore would be undefined
    }
    EXPECT_FALSE(control->wait(10s));  // returns at once: a wake is pending
    // Nothing pending any more: this wait can only end by its time-out.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(control->wait(20ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);
    control->request_stop();
    EXPECT_TRUE(control->wait(10s));
}

TEST(Worker, NoWakeIsLostBetweenManyWakers) {
    constexpr int kWakers = 4;
    constexpr int kPerWaker = 2000;
    auto produced = std::make_shared<std::atomic<int>>(0);
    auto seen = std::make_shared<std::atomic<int>>(0);
    Worker worker([produced, seen](WorkerControl& control) {
        // Each wake means "look at the counter"; the last look must see the final count.
        while (!control.wait(std::chrono::hours(1)) || seen->load() != produced->load()) {
            seen->store(produced->load());
        }
    });
    std::vector<std::thread> wakers;
    for (int w = 0; w < kWakers; ++w) {
        wakers.emplace_back([&worker, produced] {
            for (int i = 0; i < kPerWaker; ++i) {
                produced->fetch_add(1);
                worker.wake();
            }
        });
    }
    for (auto& t : wakers) {
        t.join();
    }
    // The body catches up driven only by the wakes already given (its own wait is an hour);
    // a lost wake shows as this deadline passing.
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (seen->load() != kWakers * kPerWaker) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "a wake was lost";
        std::this_thread::yield();
    }
    EXPECT_TRUE(worker.stop(10s));
    EXPECT_EQ(seen->load(), kWakers * kPerWaker);
}

TEST(Worker, DataOutlivesAWorkerThatOverstaysItsStopWait) {
    struct Shared {
        std::binary_semaphore release_body{0};
        std::binary_semaphore body_done{0};
        std::vector<int> data = std::vector<int>(1000, 1);
        int sum = 0;
    };
    auto shared = std::make_shared<Shared>();
    {
        Worker worker([shared](WorkerControl& control) {
            shared->release_body.acquire();  // a blocking call that ignores the stop flag
            for (int v : shared->data) {
                shared->sum += v;
            }
            EXPECT_TRUE(control.stop_requested());
            shared->body_done.release();
        });
        EXPECT_FALSE(worker.stop(1ms));
        EXPECT_FALSE(worker.finished());
    }  // the Worker is gone; the body still runs on its own
    std::weak_ptr<Shared> watch = shared;
    auto* raw = shared.get();
    shared.reset();  // the owner's reference is gone too; only the body's remains
    ASSERT_FALSE(watch.expired());
    raw->release_body.release();
    ASSERT_TRUE(raw->body_done.try_acquire_for(30s));
    // The body's capture is released when its thread ends; wait for that without sleeping.
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!watch.expired()) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the body's capture is kept";
        std::this_thread::yield();
    }
}

}  // namespace
}  // namespace kelpira::common

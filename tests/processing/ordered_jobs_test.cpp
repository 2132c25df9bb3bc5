// Tasks on several threads handed over in order, with few of them ahead of the hand-over.
#include "processing/ordered_jobs.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <latch>
#include <mutex>
#include <semaphore>
#include <thread>
#include <vector>

namespace {

using kelpira::processing::run_ordered;

TEST(OrderedJobs, LaterTasksFinishingFirstAreStillHandedOverInOrder) {
    // Task 0 waits until task 1 has finished: the hand-over must wait for task 0.
    std::binary_semaphore one_done{0};
    std::mutex mutex;
    std::vector<std::size_t> finished;
    std::vector<std::size_t> delivered;
    const bool all = run_ordered(
        6, 3, 6,
        [&](std::size_t i, const std::atomic<bool>&) {
            if (i == 0) {
                one_done.acquire();
            }
            const std::lock_guard lock(mutex);
            finished.push_back(i);
            if (i == 1) {
                one_done.release();
            }
        },
        [&](std::size_t i) {
            delivered.push_back(i);
            return true;
        });
    EXPECT_TRUE(all);
    EXPECT_EQ(delivered, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_LT(std::find(finished.begin(), finished.end(), 1),
              std::find(finished.begin(), finished.end(), 0));
}

TEST(OrderedJobs, NoTaskStartsMoreThanTheWindowAheadOfTheHandOver) {
    // Task 0 is held until every task the window lets start has started.
    constexpr std::size_t kWindow = 3;
    std::latch window_started{kWindow - 1};
    std::mutex mutex;
    std::size_t delivered = 0;
    std::size_t furthest_ahead = 0;
    run_ordered(
        40, 4, kWindow,
        [&](std::size_t i, const std::atomic<bool>&) {
            {
                const std::lock_guard lock(mutex);
                furthest_ahead = std::max(furthest_ahead, i - delivered);
            }
            if (i == 0) {
                window_started.wait();
            } else if (i < kWindow) {
                window_started.count_down();
            }
        },
        [&](std::size_t) {
            const std::lock_guard lock(mutex);
            ++delivered;
            return true;
        });
    EXPECT_EQ(delivered, 40u);
    EXPECT_EQ(furthest_ahead, kWindow - 1);
}

TEST(OrderedJobs, ARefusedHandOverStopsTheRunAndTellsTheRunningTasks) {
    // Task 2 runs until it is told to give up; the hand-over of task 1 is refused.
    std::atomic<int> started{0};
    std::atomic<bool> task_two_gave_up{false};
    std::vector<std::size_t> delivered;
    const bool all = run_ordered(
        100, 2, 2,
        [&](std::size_t i, const std::atomic<bool>& give_up) {
            ++started;
            if (i == 2) {
                while (!give_up.load()) {
                    std::this_thread::yield();
                }
                task_two_gave_up = true;
            }
        },
        [&](std::size_t i) {
            delivered.push_back(i);
            return i != 1;
        });
    EXPECT_FALSE(all);
    EXPECT_EQ(delivered, (std::vector<std::size_t>{0, 1}));
    EXPECT_LE(started.load(), 4);
    EXPECT_TRUE(task_two_gave_up || started.load() == 2);
}

TEST(OrderedJobs, OneJobRunsInTheCallingThread) {
    const auto caller = std::this_thread::get_id();
    std::vector<std::size_t> order;
    run_ordered(
        3, 1, 1,
        [&](std::size_t i, const std::atomic<bool>&) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            order.push_back(i);
        },
        [&](std::size_t i) {
            order.push_back(100 + i);
            return true;
        });
    EXPECT_EQ(order, (std::vector<std::size_t>{0, 100, 1, 101, 2, 102}));
}

}  // namespace

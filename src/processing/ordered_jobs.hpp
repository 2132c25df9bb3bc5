// Work on many files at once whose results must come out in the order the files were given:
// worker threads take the next task while the calling thread hands the finished ones over in
// order. Few tasks run ahead of the oldest one not yet handed over, so only a few tasks'
// results are ever held at once.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>

namespace kelpira::processing {

// Runs `task(i, give_up)` for every i in 0..count-1 on `jobs` threads (in the calling thread
// alone for one job) and calls `deliver(i)` on the calling thread for each finished task, in
// order of i. No task starts more than `window` places after the oldest one not delivered.
// When `deliver` returns false, no further task starts, `give_up` is set for the running ones,
// and the call returns false once they have ended; otherwise it returns true after the last
// delivery. Every worker has ended when the call returns.
using OrderedTask = std::function<void(std::size_t index, const std::atomic<bool>& give_up)>;
using OrderedDelivery = std::function<bool(std::size_t index)>;

bool run_ordered(std::size_t count, unsigned jobs, std::size_t window, const OrderedTask& task,
                 const OrderedDelivery& deliver);

}  // namespace kelpira::processing

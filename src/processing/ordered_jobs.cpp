// Worker threads taking tasks in order, and the in-order hand-over.
#include "processing/ordered_jobs.hpp"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "common/worker.hpp"

namespace kelpira::processing {

namespace {

// Shared by the workers and the calling thread; the workers reach it through a shared
// pointer, as the worker pattern asks.
struct Board {
    Board(std::size_t n, std::size_t w, const OrderedTask& t)
        : count(n), window(std::max<std::size_t>(w, 1)), task(t), done(n, 0) {}

    const std::size_t count;
    const std::size_t window;
    const OrderedTask& task;  // outlives every worker: run_ordered waits for them all
    std::atomic<bool> give_up{false};

    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0;       // the next task to start
    std::size_t delivered = 0;  // tasks handed over so far
    std::size_t running = 0;    // workers that have not returned yet
    std::vector<char> done;

    // The next task a worker may start, or count when it should return.
    std::size_t claim() {
        std::unique_lock lock(mutex);
        changed.wait(lock,
                     [&] { return give_up.load() || next == count || next < delivered + window; });
        if (give_up.load() || next == count) {
            return count;
        }
        return next++;
    }

    void finish(std::size_t i) {
        {
            const std::lock_guard lock(mutex);
            done[i] = 1;
        }
        changed.notify_all();
    }

    void leave() {
        {
            const std::lock_guard lock(mutex);
            --running;
        }
        changed.notify_all();
    }
};

bool run_inline(std::size_t count, const OrderedTask& task, const OrderedDelivery& deliver) {
    const std::atomic<bool> never{false};
    for (std::size_t i = 0; i < count; ++i) {
        task(i, never);
        if (!deliver(i)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool run_ordered(std::size_t count, unsigned jobs, std::size_t window, const OrderedTask& task,
                 const OrderedDelivery& deliver) {
    jobs = static_cast<unsigned>(std::min<std::size_t>(jobs, count));
    if (jobs <= 1) {
        return run_inline(count, task, deliver);
    }
    auto board = std::make_shared<Board>(count, window, task);
    board->running = jobs;
    std::vector<std::unique_ptr<common::Worker>> workers;
    for (unsigned j = 0; j < jobs; ++j) {
        workers.push_back(std::make_unique<common::Worker>([board](common::WorkerControl&) {
            for (std::size_t i; (i = board->claim()) < board->count;) {
                board->task(i, board->give_up);
                board->finish(i);
            }
            board->leave();
        }));
    }
    bool all = true;
    for (std::size_t i = 0; i < count && all; ++i) {
        {
            std::unique_lock lock(board->mutex);
            board->changed.wait(lock, [&] { return board->done[i] != 0; });
        }
        all = deliver(i);
        {
            const std::lock_guard lock(board->mutex);
            board->delivered = i + 1;
            if (!all) {
                board->give_up = true;
            }
        }
        board->changed.notify_all();
    }
    // The tasks use the caller's data: every worker returns before this call does.
    std::unique_lock lock(board->mutex);
    board->changed.wait(lock, [&] { return board->running == 0; });
    return all;
}

}  // namespace kelpira::processing

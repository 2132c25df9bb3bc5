// The signal's spin, atomic wait and timed futex sleep.
#include "link/link_sync.hpp"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <ctime>
#include <thread>

namespace kelpira::link {

namespace {

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t) &&
                  std::atomic<std::uint32_t>::is_always_lock_free,
              "the futex sleeps on the atomic's own word");

// A waiter looks a few times with a pause between looks, then a few times more yielding the
// processor (on a busy machine the thread it waits for may need it), then sleeps: a round trip
// to a device that answers at once usually ends within the looks.
constexpr int kPausedLooks = 16;
constexpr int kYieldedLooks = 12;

void cpu_relax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

// Looks until `ready`, the looks are used up, or `deadline` has passed.
template <typename Ready>
bool spin_until(Ready ready, std::chrono::steady_clock::time_point deadline) {
    for (int look = 0; look < kPausedLooks + kYieldedLooks; ++look) {
        if (ready()) {
            return true;
        }
        if (look < kPausedLooks) {
            cpu_relax();
        } else if (std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        } else {
            return false;
        }
    }
    return ready();
}

std::uint32_t* futex_word(std::atomic<std::uint32_t>& word) {
    return reinterpret_cast<std::uint32_t*>(&word);
}

// Sleeps while the word holds `expected`, at most `timeout`; wakes early, spuriously too.
void futex_wait_for(std::atomic<std::uint32_t>& word, std::uint32_t expected,
                    std::chrono::nanoseconds timeout) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout);
    timespec ts{};
    ts.tv_sec = static_cast<std::time_t>(seconds.count());
    ts.tv_nsec = static_cast<long>((timeout - seconds).count());
    ::syscall(SYS_futex, futex_word(word), FUTEX_WAIT_PRIVATE, expected, &ts, nullptr, 0);
}

void futex_wake_all(std::atomic<std::uint32_t>& word) {
    ::syscall(SYS_futex, futex_word(word), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}

}  // namespace

void Signal::wake_all() {
    state_.notify_all();
    // Seen after the state change (both sequentially consistent): a timed sleeper that counted
    // itself before it looked at the state either saw the change or is woken here.
    if (timed_sleepers_.load() > 0) {
        futex_wake_all(state_);
    }
}

void Signal::release() {
    if ((state_.fetch_or(kSet) & kSet) == 0) {
        wake_all();
    }
}

bool Signal::try_acquire() {
    std::uint32_t seen = state_.load(std::memory_order_acquire);
    while (seen == kSet) {
        if (state_.compare_exchange_weak(seen, 0, std::memory_order_acq_rel,
                                         std::memory_order_acquire)) {
            return true;
        }
    }
    return false;
}

void Signal::acquire() {
    spin_until([this] { return state_.load(std::memory_order_acquire) != 0; },
               std::chrono::steady_clock::time_point::max());
    for (;;) {
        const std::uint32_t seen = state_.load();
        if ((seen & kInterrupted) != 0 || try_acquire()) {
            return;
        }
        if (seen == 0) {
            state_.wait(0);
        }
    }
}

bool Signal::try_acquire_for(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    spin_until([this] { return state_.load(std::memory_order_acquire) != 0; }, deadline);
    for (;;) {
        const std::uint32_t seen = state_.load();
        if ((seen & kInterrupted) != 0) {
            return false;
        }
        if (try_acquire()) {
            return true;
        }
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::nanoseconds::zero()) {
            return false;
        }
        if (seen == 0) {
            timed_sleepers_.fetch_add(1);
            if (state_.load() == 0) {
                futex_wait_for(state_, 0, left);
            }
            timed_sleepers_.fetch_sub(1);
        }
    }
}

void Signal::interrupt() {
    state_.fetch_or(kInterrupted);
    wake_all();
}

}  // namespace kelpira::link

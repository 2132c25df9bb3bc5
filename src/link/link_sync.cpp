// The signal's spin, atomic wait and timed futex sleep.
#include "link/link_sync.hpp"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <ctime>

namespace kelpira::link {

namespace {

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t) &&
                  std::atomic<std::uint32_t>::is_always_lock_free,
              "the futex sleeps on the atomic's own word");

// How long a waiter looks before it sleeps: a round trip through the I/O thread to a device
// that answers at once takes a few microseconds, a sleep and a wake several times that.
constexpr auto kSpinTime = std::chrono::microseconds(50);

void cpu_relax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

// Looks until `ready` or the spin time (or `deadline`, if sooner) has passed.
template <typename Ready>
bool spin_until(Ready ready, std::chrono::steady_clock::time_point deadline) {
    const auto end = std::min(std::chrono::steady_clock::now() + kSpinTime, deadline);
    do {
        if (ready()) {
            return true;
        }
        cpu_relax();
    } while (std::chrono::steady_clock::now() < end);
    return false;
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

// The signal handlers of kelpira-process.
#include "processing/batch_interrupt.hpp"

#include <signal.h>

#include <atomic>
#include <cstdlib>

namespace kelpira::processing {

namespace {

std::atomic<int> g_signal{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

extern "C" void stop_batch_on_signal(int signal) {
    g_signal.store(signal);
}

}  // namespace

void install_interrupt_handlers() {
    struct sigaction sa {};
    sa.sa_handler = stop_batch_on_signal;
    sigemptyset(&sa.sa_mask);
    // No SA_RESTART: a blocking read of standard input returns, so the run notices.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &sa, nullptr);
    }
}

bool interrupt_requested() {
    return g_signal.load() != 0;
}

void end_by_interrupt_signal() {
    const int signal = g_signal.load();
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    sigaction(signal, &sa, nullptr);
    ::raise(signal);
    std::_Exit(128 + signal);
}

}  // namespace kelpira::processing

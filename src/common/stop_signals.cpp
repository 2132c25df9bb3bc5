// The stop signals' handler and the scope that installs it.
#include "common/stop_signals.hpp"

#include <atomic>
#include <cstdlib>

namespace kelpira::common {

namespace {

std::atomic<int> g_signal{0};
std::atomic<void (*)(int)> g_also{nullptr};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");
static_assert(std::atomic<void (*)(int)>::is_always_lock_free, "read in a signal handler");

extern "C" void record_stop_signal(int signal) {
    g_signal.store(signal);
    if (const auto also = g_also.load(); also != nullptr) {
        also(signal);
    }
}

}  // namespace

StopSignalScope::StopSignalScope(std::initializer_list<int> signals, void (*also)(int)) {
    g_also.store(also);
    struct sigaction sa {};
    sa.sa_handler = record_stop_signal;
    sigemptyset(&sa.sa_mask);
    for (const int signal : signals) {
        struct sigaction before {};
        sigaction(signal, &sa, &before);
        saved_.emplace_back(signal, before);
    }
}

StopSignalScope::~StopSignalScope() {
    for (const auto& [signal, before] : saved_) {
        sigaction(signal, &before, nullptr);
    }
    g_also.store(nullptr);
}

SignalBlock::SignalBlock(std::initializer_list<int> signals) {
    sigemptyset(&set_);
    for (const int signal : signals) {
        sigaddset(&set_, signal);
    }
    pthread_sigmask(SIG_BLOCK, &set_, nullptr);
}

void SignalBlock::unblock() {
    if (blocked_) {
        blocked_ = false;
        pthread_sigmask(SIG_UNBLOCK, &set_, nullptr);
    }
}

bool interrupted() {
    return g_signal.load() != 0;
}

int interrupting_signal() {
    return g_signal.load();
}

void clear_interrupted() {
    g_signal.store(0);
}

void end_by_interrupting_signal() {
    const int signal = g_signal.load();
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    sigaction(signal, &sa, nullptr);
    ::raise(signal);
    std::_Exit(128 + signal);
}

void ignore_broken_pipes() {
    struct sigaction sa {};
    sa.sa_handler = SIG_IGN;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGPIPE, &sa, nullptr);
}

}  // namespace kelpira::common

// The stop-signal scope: a signal inside it is recorded instead of ending the program, the
// hook runs, and the handler found before comes back when it ends.
#include "common/stop_signals.hpp"

#include <gtest/gtest.h>

#include <atomic>

namespace kelpira::common {
namespace {

std::atomic<int> g_hooked{0};
std::atomic<int> g_before{0};

extern "C" void hook(int signal) {
    g_hooked.store(signal);
}
extern "C" void handler_before(int signal) {
    g_before.store(signal);
}

TEST(StopSignals, HeldOffInsideTheScopeAndGivenBackAfter) {
    struct sigaction sa {};
    sa.sa_handler = handler_before;
    sigemptyset(&sa.sa_mask);
    struct sigaction original {};
    ASSERT_EQ(sigaction(SIGQUIT, &sa, &original), 0);
    {
        const StopSignalScope scope(kStopSignals, hook);
        clear_interrupted();
        EXPECT_FALSE(interrupted());
        ASSERT_EQ(::raise(SIGQUIT), 0);  // its default action would end the test program
        EXPECT_TRUE(interrupted());
        EXPECT_EQ(interrupting_signal(), SIGQUIT);
        EXPECT_EQ(g_hooked.load(), SIGQUIT);
        EXPECT_EQ(g_before.load(), 0);
        clear_interrupted();
    }
    ASSERT_EQ(::raise(SIGQUIT), 0);
    EXPECT_EQ(g_before.load(), SIGQUIT);
    EXPECT_FALSE(interrupted());
    sigaction(SIGQUIT, &original, nullptr);
}

TEST(StopSignals, ASignalBlockedMeanwhileArrivesWhenUnblocked) {
    const StopSignalScope scope({SIGTERM});
    clear_interrupted();
    SignalBlock block({SIGTERM});
    ASSERT_EQ(::raise(SIGTERM), 0);
    EXPECT_FALSE(interrupted());
    block.unblock();
    EXPECT_EQ(interrupting_signal(), SIGTERM);
    clear_interrupted();
}

}  // namespace
}  // namespace kelpira::common

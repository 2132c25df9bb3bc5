// The programs' one way with the signals that end a program half-way: SIGINT (Ctrl+C),
// SIGTERM, SIGHUP (terminal closed) and SIGQUIT (Ctrl+\). While a StopSignalScope lives, they
// are recorded instead (the program stops its work where it is, or refuses to), and the
// program asks interrupted() where it can stop.
#pragma once

#include <signal.h>

#include <initializer_list>
#include <utility>
#include <vector>

namespace kelpira::common {

inline constexpr std::initializer_list<int> kStopSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Catches `signals` for as long as it lives and gives back the handlers it found when it
// ends; one scope at a time. No SA_RESTART: a blocking read returns, so the program notices.
// `also`, when given, runs in the handler after the signal is recorded: it must be
// async-signal-safe.
class StopSignalScope {
  public:
    explicit StopSignalScope(std::initializer_list<int> signals = kStopSignals,
                             void (*also)(int) = nullptr);
    ~StopSignalScope();

    StopSignalScope(const StopSignalScope&) = delete;
    StopSignalScope& operator=(const StopSignalScope&) = delete;

  private:
    std::vector<std::pair<int, struct sigaction>> saved_;
};

// Blocks `signals` in this thread, and in the threads it starts meanwhile, which keep the block
// for good: those threads never see them. Once unblocked, one that came meanwhile is handled
// here.
class SignalBlock {
  public:
    explicit SignalBlock(std::initializer_list<int> signals);
    ~SignalBlock() { unblock(); }
    void unblock();

    SignalBlock(const SignalBlock&) = delete;
    SignalBlock& operator=(const SignalBlock&) = delete;

  private:
    sigset_t set_;
    bool blocked_ = true;
};

// True once a caught signal came (since clear_interrupted); the last such signal, 0 when none.
bool interrupted();
int interrupting_signal();
void clear_interrupted();

// Ends the program by the signal that interrupted it, its default action restored, as a shell
// that runs it in a loop expects.
[[noreturn]] void end_by_interrupting_signal();

// A message to a pipe whose reader went must not end the program half-way through its work.
void ignore_broken_pipes();

}  // namespace kelpira::common

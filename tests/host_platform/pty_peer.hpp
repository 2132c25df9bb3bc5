// The far end of a pseudo-terminal pair, scripted by a test: the simulator opens the line's
// path as its serial port; the test reads what it sends and answers.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "common/worker.hpp"
#include "host_platform/platform_simulator_controller.hpp"
#include "host_platform/result_rows.hpp"

namespace kelpira::testing {

// How long a scripted peer waits for the simulator; only ever reached when something is broken.
inline constexpr std::chrono::seconds kPeerDeadline{10};

class PtyPeer {
  public:
    PtyPeer() {
        fd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(fd_, 0);
        // A program the test starts must not hold this end too: hang_up() would not be seen.
        ::fcntl(fd_, F_SETFD, FD_CLOEXEC);
        EXPECT_EQ(::grantpt(fd_), 0);
        EXPECT_EQ(::unlockpt(fd_), 0);
        path_ = ::ptsname(fd_);
    }
    ~PtyPeer() { hang_up(); }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& path() const { return path_; }
    int fd() const { return fd_; }

    // Exactly `n` bytes from the simulator, each within kPeerDeadline.
    std::string read(std::size_t n) {
        std::string got;
        while (got.size() < n) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(std::chrono::milliseconds(kPeerDeadline).count())) !=
                1) {
                ADD_FAILURE() << "nothing more came after \"" << got << "\"";
                return got;
            }
            char buf[256];
            const ssize_t r = ::read(fd_, buf, std::min(sizeof buf, n - got.size()));
            if (r <= 0) {
                ADD_FAILURE() << "the line closed after \"" << got << "\"";
                return got;
            }
            got.append(buf, static_cast<std::size_t>(r));
        }
        return got;
    }
    // As many bytes as `expected` has, to compare with it.
    std::string read_like(const std::string& expected) { return read(expected.size()); }
    // Reads through the next `terminator`.
    std::string read_line(const std::string& terminator = "\r") {
        std::string got;
        while (!got.ends_with(terminator)) {
            const std::string c = read(1);
            if (c.empty()) {
                break;
            }
            got += c;
        }
        return got;
    }
    void write(const std::string& text) {
        ASSERT_EQ(::write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    // Waits until nothing holds the simulator's side of the line open any more, dropping what
    // it still sent. Hangs (and the test times out) while something does.
    bool wait_hang_up() {
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(std::chrono::milliseconds(kPeerDeadline).count())) !=
                1) {
                return false;
            }
            if ((p.revents & POLLHUP) != 0) {
                return true;
            }
            char buf[256];
            if (::read(fd_, buf, sizeof buf) < 0) {
                return false;
            }
        }
    }

    // The sensor's end goes away, as a cable pulled out: the simulator's reads fail.
    void hang_up() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

  private:
    int fd_ = -1;
    std::string path_;
};

// The pauses of a session, released by the test one at a time per interval, so that each step
// of an exchange happens when the test says. release_all() turns them back into real waits on
// the stop signal, which end at once when the session stops.
class Stepper {
  public:
    bool pause(common::WorkerControl& control, std::chrono::milliseconds interval) {
        std::unique_lock lock(m_);
        ++arrived_[interval.count()];
        cv_.notify_all();
        cv_.wait(lock, [&] { return free_ || grants_[interval.count()] > 0; });
        if (free_) {
            lock.unlock();
            return control.wait(interval);
        }
        --grants_[interval.count()];
        return control.stop_requested();
    }
    host_platform::Pause hook() {
        return
            [this](common::WorkerControl& c, std::chrono::milliseconds i) { return pause(c, i); };
    }
    void step(std::chrono::milliseconds interval) {
        std::lock_guard lock(m_);
        ++grants_[interval.count()];
        cv_.notify_all();
    }
    // Waits until `n` pauses of `interval` have begun in all.
    void await(std::chrono::milliseconds interval, int n) {
        std::unique_lock lock(m_);
        if (!cv_.wait_for(lock, kPeerDeadline, [&] { return arrived_[interval.count()] >= n; })) {
            ADD_FAILURE() << "pause " << n << " of " << interval.count() << " ms never began";
        }
    }
    void release_all() {
        std::lock_guard lock(m_);
        free_ = true;
        cv_.notify_all();
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    std::map<long long, int> arrived_;
    std::map<long long, int> grants_;
    bool free_ = false;
};

// What a session reported, from its threads.
class EventLog {
  public:
    host_platform::SimulatorEvents events() {
        return {[this](const std::string& t) { add([&] { statuses_.push_back(t); }); },
                [this] { add([&] { ++clears_; }); },
                [this](const host_platform::ResultRow& r) { add([&] { rows_.push_back(r); }); },
                [this](std::uint64_t s, bool complete) {
                    add([&] {
                        finished_.push_back(s);
                        complete_.push_back(complete);
                    });
                }};
    }
    // The status texts once there are at least `n`.
    std::vector<std::string> statuses(std::size_t n) {
        return when([&] { return statuses_.size() >= n; }, statuses_);
    }
    std::vector<host_platform::ResultRow> rows(std::size_t n) {
        return when([&] { return rows_.size() >= n; }, rows_);
    }
    std::vector<std::uint64_t> finished(std::size_t n) {
        return when([&] { return finished_.size() >= n; }, finished_);
    }
    // Whether each finished download ended at the sensor's silence.
    std::vector<bool> complete() {
        std::lock_guard lock(m_);
        return complete_;
    }
    int clears() {
        std::lock_guard lock(m_);
        return clears_;
    }

  private:
    template <typename F>
    void add(F f) {
        std::lock_guard lock(m_);
        f();
        cv_.notify_all();
    }
    // What was reported once `ready` holds; with a failure, what there is by the deadline.
    template <typename Pred, typename T>
    T when(Pred ready, const T& what) {
        std::unique_lock lock(m_);
        if (!cv_.wait_for(lock, kPeerDeadline, ready)) {
            ADD_FAILURE() << "the session did not report enough in time";
        }
        return what;
    }

    std::mutex m_;
    std::condition_variable cv_;
    std::vector<std::string> statuses_;
    std::vector<host_platform::ResultRow> rows_;
    std::vector<std::uint64_t> finished_;
    std::vector<bool> complete_;
    int clears_ = 0;
};

// A fixed clock: 9 December 2026, 01:02:03 local, 1700000000 seconds UTC.
inline host_platform::PlatformClock fixed_clock() {
    return {[] { return host_platform::LocalTime{9, 12, 2026, 1, 2, 3}; },
            [] { return std::int64_t{1700000000}; }};
}

}  // namespace kelpira::testing

// The Seaglider and BRIDGES exchanges.
#include "host_platform/glider_exchange.hpp"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "common/visible_text.hpp"
#include "host_platform/printf_text.hpp"
#include "host_platform/reply_scan.hpp"

namespace kelpira::host_platform {

namespace {

// The status thread and the sampling thread take turns on the port.
constexpr std::chrono::milliseconds kLockWait{500};
// What the status line prints when the lock's wait runs out: the number a timed-out wait
// returns on the platform the simulator was first written for.
constexpr int kWaitTimeout = 258;
// How long stopping waits for the sampling thread.
constexpr std::chrono::milliseconds kSamplerStopWait{50};

// The port lock: a mutex whose wait gives up after a while. Built on a condition variable, so
// that every tool that checks threads sees the hand-over.
class PortLock {
  public:
    bool try_lock_for(std::chrono::milliseconds wait) {
        std::unique_lock lock(m_);
        if (!free_.wait_for(lock, wait, [this] { return !held_; })) {
            return false;
        }
        held_ = true;
        return true;
    }
    void unlock() {
        {
            std::lock_guard lock(m_);
            held_ = false;
        }
        free_.notify_one();
    }

  private:
    std::mutex m_;
    std::condition_variable free_;
    bool held_ = false;
};

std::chrono::milliseconds seconds(std::int32_t s) {
    return std::chrono::milliseconds(std::int64_t{s} * 1000);
}

void sample_once(const Session& s, PortLock& lock) {
    Reply reply;
    {
        std::unique_lock held(lock, kLockWait);
        if (!held.owns_lock()) {
            s.status(printf_text("Wait on Mutex failed (%d)", kWaitTimeout));
            return;
        }
        s.port->purge_input();
        s.send("sample\r");
        reply = read_until(*s.port, "\r");
    }
    if (reply.status != ReadStatus::ok) {
        s.status(printf_text("RS232 read error (%d)", static_cast<int>(reply.status)));
        return;
    }
    std::string_view text = reply_body(reply, "\r");
    if (text.starts_with("SC>")) {
        text.remove_prefix(3);
    }
    const auto f = scan_reply(text, "%d,%d,%d,%d,%d");
    if (f.size() != 5) {
        s.status("Invalid response (" + common::visible_text(reply_body(reply, "\r")) + ")");
        return;
    }
    s.add_row(sample_row({std::get<std::int32_t>(f[0]), std::get<std::int32_t>(f[1]),
                          std::get<std::int32_t>(f[2]), std::get<std::int32_t>(f[3]),
                          std::get<std::int32_t>(f[4])}));
}

void run_sampling(common::WorkerControl& control, const Session& s,
                  const std::shared_ptr<PortLock>& lock) {
    s.clear_rows();
    while (!s.pause(control, seconds(s.sim.sample_interval))) {
        sample_once(s, *lock);
    }
}

}  // namespace

DiveModel first_dive_state(const SimulatorSettings& sim) {
    return {std::int64_t{sim.min_depth} * 100 - std::int64_t{sim.update_interval} * sim.dive_rate,
            false};
}

DiveModel next_dive_state(const DiveModel& now, const SimulatorSettings& sim) {
    DiveModel next = now;
    if (!now.climbing) {
        next.depth_cm = now.depth_cm + std::int64_t{sim.update_interval} * sim.dive_rate;
        if (next.depth_cm > std::int64_t{sim.max_depth} * 100) {
            next = {now.depth_cm, true};
        }
    } else {
        next.depth_cm = now.depth_cm - std::int64_t{sim.update_interval} * sim.climb_rate;
        if (next.depth_cm < std::int64_t{sim.min_depth} * 100) {
            next = {now.depth_cm, false};
        }
    }
    return next;
}

std::string status_sentence(const DiveModel& state, const SimulatorSettings& sim) {
    return printf_text("status=%c,%.2f,%d,%d,%d\r", state.climbing ? 'b' : 'a',
                       static_cast<double>(state.depth_cm) / 100.0, sim.p1, sim.p2, sim.p3);
}

void run_glider_simulation(common::WorkerControl& control, const Session& s) {
    const LocalTime t = s.clock.local_now();
    s.send("\r\r");
    s.port->purge_input();
    s.send(printf_text("\r\rclock-set=%d,%d,%d,%d,%d,%d\r", t.day, t.month, t.year, t.hour,
                       t.minute, t.second));
    s.port->purge_input();
    s.send(printf_text("\r\rstart=%04d\r", s.sim.dive_number));
    s.port->purge_input();

    auto lock = std::make_shared<PortLock>();
    std::unique_ptr<common::Worker> sampler;
    if (s.sim.enable_sampling) {
        sampler = std::make_unique<common::Worker>(
            [s, lock](common::WorkerControl& c) { run_sampling(c, s, lock); });
    }
    DiveModel now = first_dive_state(s.sim);
    while (!control.stop_requested()) {
        const DiveModel next = next_dive_state(now, s.sim);
        {
            std::unique_lock held(*lock, kLockWait);
            if (held.owns_lock()) {
                s.port->purge_input();
                s.send(status_sentence(next, s.sim));
                held.unlock();
                s.status(printf_text("Depth: %.2f, Direction: %s",
                                     static_cast<double>(next.depth_cm) / 100.0,
                                     next.climbing ? "climb" : "dive"));
            } else {
                s.status(printf_text("Wait on Mutex failed (%d)", kWaitTimeout));
            }
        }
        if (s.pause(control, seconds(s.sim.update_interval))) {
            break;
        }
        now = next;
    }
    if (sampler) {
        sampler->request_stop();
        s.port->cancel();
        sampler->stop(kSamplerStopWait);
    }
}

std::string download_end_text(std::size_t results, ReadStatus ended) {
    if (ended == ReadStatus::timed_out) {
        return printf_text("Download ended, results received: %zu (nothing more within %d ms)",
                           results, static_cast<int>(kSerialTimeout.count()));
    }
    return printf_text("RS232 read error (%d): download stopped, results received: %zu",
                       static_cast<int>(ended), results);
}

void run_glider_download(common::WorkerControl& control, const Session& s) {
    s.clear_rows();
    s.send("\r\r");
    s.port->purge_input();
    s.send("\r\rdownload=1\r");
    std::size_t results = 0;
    ReadStatus ended = ReadStatus::ok;
    while (!control.stop_requested()) {
        const Reply reply = read_until(*s.port, "\r");
        if (reply.status != ReadStatus::ok) {
            ended = reply.status;
            break;
        }
        const auto f = scan_reply(reply.text, " %u,%u,%lf,%lf,%lf,%u,%u,%d,%d,%d,%lf");
        if (f.size() != 11) {
            continue;
        }
        DownloadLine line;
        line.dive_number = std::get<std::uint32_t>(f[0]);
        line.time = std::get<std::uint32_t>(f[1]);
        line.depth = std::get<double>(f[2]);
        line.value = std::get<double>(f[3]);
        line.std_dev = std::get<double>(f[4]);
        line.validity = std::get<std::uint32_t>(f[5]);
        line.direction = std::get<std::uint32_t>(f[6]);
        line.p1 = std::get<std::int32_t>(f[7]);
        line.p2 = std::get<std::int32_t>(f[8]);
        line.p3 = std::get<std::int32_t>(f[9]);
        line.supply = std::get<double>(f[10]);
        s.add_row(download_row(line));
        ++results;
    }
    // A download the user stopped says nothing more.
    if (control.stop_requested()) {
        return;
    }
    s.status(download_end_text(results, ended));
    if (s.events.download_finished) {
        s.events.download_finished(s.number, ended == ReadStatus::timed_out);
    }
}

}  // namespace kelpira::host_platform

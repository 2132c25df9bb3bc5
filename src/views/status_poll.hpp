// StatusPoll: once a second while connected, the sensor's supply and temperature, its mode and
// newest live sample, and its host platform's values; link health and mode go to the main
// window, distinct samples to the live history.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "common/worker.hpp"
#include "link/sensor_link.hpp"
#include "records/live_sample.hpp"
#include "records/platform_state.hpp"
#include "records/power_status.hpp"
#include "views/live_history.hpp"

namespace kelpira::views {

// What the poll tells the main window. Both run on the poll thread and must never block:
// the UI turns each into a queued call. They are not called once poll_stop() has begun,
// except for a report already under way.
struct StatusReports {
    // The link answered GET_LIVE_STATUS (or not); `power` is this cycle's power status, by
    // value, so the next cycle cannot change it under the reader.
    std::function<void(bool answered, const records::PowerStatus& power)> link_status;
    // The sensor's mode; kModeIdle means not running, anything else running.
    std::function<void(records::SensorMode mode)> sensor_mode;
};

// The poll's stores, shared by the poll thread and its readers; whoever holds a reference
// keeps them alive, so a thread that outstays poll_stop() never writes to freed memory.
class PollData {
  public:
    LiveHistory history;

    records::PowerStatus power_status() const;
    records::PlatformState platform_state() const;
    void set_power_status(const records::PowerStatus& p);
    void set_platform_state(const records::PlatformState& p);

  private:
    mutable std::mutex mutex_;  // the two stores; the history has its own lock
    records::PowerStatus power_;
    records::PlatformState platform_;
};

// What one poll thread remembers between cycles.
struct PollCycleState {
    std::optional<std::uint32_t> last_counter;  // of the last sample stored by this thread
};

// One cycle: GET_POWER_STATUS, GET_LIVE_STATUS, GET_PLATFORM_STATE, then the sample if it is
// new. Returns early, reporting nothing more, once `stop_requested` says so.
void run_poll_cycle(link::SensorLink& link, PollData& data, PollCycleState& state,
                    const StatusReports& reports, const std::function<bool()>& stop_requested);

// Started and stopped by the UI thread; readers on any thread.
class StatusPoll {
  public:
    static constexpr std::chrono::milliseconds kPeriod{1000};  // from the end of one cycle
    static constexpr std::chrono::milliseconds kStopWait{100};

    // The link must outlive this object.
    explicit StatusPoll(link::SensorLink& link);
    // Stops the poll and waits for any thread that outstayed its stop.
    ~StatusPoll();
    StatusPoll(const StatusPoll&) = delete;
    StatusPoll& operator=(const StatusPoll&) = delete;

    // Empties the stores and the history and starts polling; does nothing when running.
    void poll_start(StatusReports reports);
    // Stops polling and releases the history; nothing when not running. The main window
    // closes the link first, so the thread ends at once; one still blocked in a transaction
    // after kStopWait is let go with its own reference to the stores.
    void poll_stop();
    // Empties the history; the poll keeps running.
    void clear_history();

    bool running() const;
    // The history while the poll runs, else nullptr. Fetch it afresh on every pass: after a
    // stop and a start it is another one.
    std::shared_ptr<const LiveHistory> history() const;
    // This cycle's stores; all zero while the commands fail or the poll is stopped.
    records::PowerStatus power_status() const;
    records::PlatformState platform_state() const;

  private:
    link::SensorLink& link_;
    mutable std::mutex mutex_;  // the members below
    std::shared_ptr<PollData> data_;
    std::unique_ptr<common::Worker> worker_;
    std::vector<std::unique_ptr<common::Worker>> let_go_;  // stopped, but not yet ended
};

}  // namespace kelpira::views

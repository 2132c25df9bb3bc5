// The status poll cycle and its worker thread.
#include "views/status_poll.hpp"

#include <utility>

#include "link/board_commands.hpp"
#include "link/command_exchange.hpp"
#include "link/platform_commands.hpp"

namespace kelpira::views {

records::PowerStatus PollData::power_status() const {
    std::lock_guard lk(mutex_);
    return power_;
}

records::PlatformState PollData::platform_state() const {
    std::lock_guard lk(mutex_);
    return platform_;
}

void PollData::set_power_status(const records::PowerStatus& p) {
    std::lock_guard lk(mutex_);
    power_ = p;
}

void PollData::set_platform_state(const records::PlatformState& p) {
    std::lock_guard lk(mutex_);
    platform_ = p;
}

void run_poll_cycle(link::SensorLink& link, PollData& data, PollCycleState& state,
                    const StatusReports& reports, const std::function<bool()>& stop_requested) {
    link::RecordBytes<records::PowerStatus::size> power_bytes{};
    const records::PowerStatus power =
        link::get_power_status(link, power_bytes) == link::kResultSuccess
            ? records::decode_power_status(power_bytes)
            : records::PowerStatus{};
    data.set_power_status(power);
    if (stop_requested()) {
        return;
    }

    // Not through the wrapper: on result 6 the answer still carries the mode.
    link::SensorCommand live = link::make_request(link::CommandCode::GET_LIVE_STATUS, {});
    const link::CommandResult r = link::transact_folded(link, live);
    if (stop_requested()) {
        return;
    }
    const records::LiveStatus status = records::decode_live_status(live.payload());
    if (r == link::kResultSuccess || r == link::kResultLowVoltage) {
        if (reports.link_status) {
            reports.link_status(true, power);
        }
        if (reports.sensor_mode) {
            reports.sensor_mode(status.mode);
        }
    } else if (r == link::kResultNoExchange && reports.link_status) {
        reports.link_status(false, power);
    }

    link::RecordBytes<records::PlatformState::size> platform_bytes{};
    data.set_platform_state(link::get_platform_state(link, platform_bytes) == link::kResultSuccess
                                ? records::decode_platform_state(platform_bytes)
                                : records::PlatformState{});
    if (stop_requested()) {
        return;
    }

    if (r == link::kResultSuccess && state.last_counter != status.sample.counter) {
        data.history.append(status.sample);
        state.last_counter = status.sample.counter;
    }
}

StatusPoll::StatusPoll(link::SensorLink& link) : link_(link) {}

StatusPoll::~StatusPoll() {
    poll_stop();
    std::lock_guard lk(mutex_);
    // A thread let go is at most in a transaction, which ends within the link's time-out
    // for the lock and again for the answer; it must not outlive the link it uses.
    const auto bound = 2 * link_.timeout() + std::chrono::milliseconds(1000);
    for (auto& w : let_go_) {
        w->wait_finished(bound);
    }
    let_go_.clear();
}

void StatusPoll::poll_start(StatusReports reports) {
    std::lock_guard lk(mutex_);
    if (worker_) {
        return;
    }
    std::erase_if(let_go_,
                  [](const auto& w) { return w->wait_finished(std::chrono::milliseconds(0)); });
    data_ = std::make_shared<PollData>();
    worker_ = std::make_unique<common::Worker>(
        [link = &link_, data = data_, reports = std::move(reports)](common::WorkerControl& ctl) {
            PollCycleState state;
            const auto stop_requested = [&ctl] { return ctl.stop_requested(); };
            while (!ctl.stop_requested()) {
                run_poll_cycle(*link, *data, state, reports, stop_requested);
                if (ctl.wait(kPeriod)) {
                    break;
                }
            }
        });
}

void StatusPoll::poll_stop() {
    std::lock_guard lk(mutex_);
    if (!worker_) {
        return;
    }
    worker_->request_stop();
    if (!worker_->wait_finished(kStopWait)) {
        let_go_.push_back(std::move(worker_));
    }
    worker_.reset();
    data_->history.clear();
    data_.reset();
}

void StatusPoll::clear_history() {
    std::lock_guard lk(mutex_);
    if (data_) {
        data_->history.clear();
    }
}

bool StatusPoll::running() const {
    std::lock_guard lk(mutex_);
    return worker_ != nullptr;
}

std::shared_ptr<const LiveHistory> StatusPoll::history() const {
    std::lock_guard lk(mutex_);
    if (!data_) {
        return nullptr;
    }
    return std::shared_ptr<const LiveHistory>(data_, &data_->history);
}

records::PowerStatus StatusPoll::power_status() const {
    std::lock_guard lk(mutex_);
    return data_ ? data_->power_status() : records::PowerStatus{};
}

records::PlatformState StatusPoll::platform_state() const {
    std::lock_guard lk(mutex_);
    return data_ ? data_->platform_state() : records::PlatformState{};
}

}  // namespace kelpira::views

// VirtualSensor: decoding a request, dispatching it by code, logging and faults.
#include "virtual_sensor/virtual_sensor.hpp"

#include <algorithm>

#include "link/command_catalogue.hpp"
#include "virtual_sensor/command_table.hpp"
#include "virtual_sensor/config_store.hpp"
#include "virtual_sensor/identity_handlers.hpp"
#include "virtual_sensor/program_run.hpp"
#include "virtual_sensor/run_control_handlers.hpp"
#include "virtual_sensor/sensor_log.hpp"
#include "virtual_sensor/stored_results.hpp"

namespace kelpira::virtual_sensor {

VirtualSensor::VirtualSensor(VirtualSensorOptions options, SensorClock clock)
    : clock_(std::move(clock)) {
    state_.identification = initial_identification(options);
    state_.options = std::move(options);
    fill_config_defaults(state_);
    if (!state_.options.empty_program) {
        state_.program = default_program(state_.options.chemistry);
    }
    state_.started = clock_();
    state_.rtc_offset = std::chrono::duration<double>(state_.options.clock_offset_s);
    state_.rtc_set = state_.started;
    state_.stores = initial_stores(
        static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::seconds>(state_.started.time_since_epoch())
                .count()),
        state_.options.supply_mv);
    add_stored_results(state_, state_.options.stored_results, state_.started);
}

void VirtualSensor::edit_state(const std::function<void(SensorState&)>& edit) {
    std::lock_guard lk(mutex_);
    edit(state_);
}

void VirtualSensor::edit_state_now(const std::function<void(SensorState&, TimePoint)>& edit) {
    std::lock_guard lk(mutex_);
    const TimePoint now = clock_();
    advance_run(state_, now);
    edit(state_, now);
}

std::vector<link::InProcessReport> VirtualSensor::handle(const link::Report& request) {
    const link::SensorCommand req{request};
    link::SensorCommand answer;
    std::optional<Fault> fault;
    std::function<void()> host_call;  // a hook, called once the lock is released
    {
        std::lock_guard lk(mutex_);
        const auto payload = req.payload();
        const std::size_t stated = std::min<std::size_t>(req.length(), link::kMaxPayload);
        if (log_.size() == kLogCapacity) {
            log_.pop_front();
        }
        log_.push_back({req.code(), {payload.begin(), payload.begin() + stated}});
        fault = faults_.take(req.code());

        if (fault && fault->kind == FaultKind::removed) {
            host_call = hooks_.on_remove;
        } else {
            const TimePoint now = clock_();
            advance_run(state_, now);
            Exchange x{state_, req.code(), req.length(), payload, answer.payload(), now};
            x.unterminated_text = fault && fault->kind == FaultKind::unterminated_text;
            const CommandEntry* entry = find_command(x.code);
            const bool known =
                entry != nullptr &&
                (entry->in_bootloader || state_.options.running == RunningCode::firmware);
            if (known) {
                entry->handler(x);
            } else {
                x.result = link::kResultUnknownCommand;
            }
            std::copy_n(request.begin(), 4, answer.bytes.begin());  // report id, code, sequence
            answer.bytes[4] = x.result;
            answer.set_length(x.response_length);
            if (x.restart) {
                record_restart(state_, records::kResetExternal, now);
                host_call = hooks_.on_restart;
            }
            if (x.code == link::code_value(link::CommandCode::MOUNT_AS_DRIVE) &&
                x.result == link::kResultSuccess && hooks_.on_mount) {
                host_call = [mount = hooks_.on_mount,
                             folder = state_.options.run.storage.value_or("")] { mount(folder); };
            }
        }
    }
    // A removed device answers nothing; a restarting one hands its host the answer first.
    auto out = spoil_answer(answer.bytes, fault);
    if (host_call) {
        host_call();
    }
    return out;
}

void VirtualSensor::set_hooks(DeviceHooks hooks) {
    std::lock_guard lk(mutex_);
    hooks_ = std::move(hooks);
}

void VirtualSensor::tick() {
    std::lock_guard lk(mutex_);
    advance_run(state_, clock_());
}

void VirtualSensor::restart(std::uint16_t reset_cause) {
    std::lock_guard lk(mutex_);
    const TimePoint now = clock_();
    advance_run(state_, now);
    stop_run(state_, "State machine stopped by reset");
    record_restart(state_, reset_cause, now);
    start_at_power_up(state_, now);
}

void VirtualSensor::inject(std::uint16_t code, Fault fault, std::optional<unsigned> times,
                           unsigned skip) {
    std::lock_guard lk(mutex_);
    faults_.add(code, fault, times, skip);
}

void VirtualSensor::inject_next(Fault fault, unsigned count, unsigned skip) {
    std::lock_guard lk(mutex_);
    faults_.add_next(fault, count, skip);
}

void VirtualSensor::clear_faults() {
    std::lock_guard lk(mutex_);
    faults_.clear();
}

std::vector<LoggedCommand> VirtualSensor::log() const {
    std::lock_guard lk(mutex_);
    return {log_.begin(), log_.end()};
}

std::vector<std::uint16_t> VirtualSensor::logged_codes() const {
    std::lock_guard lk(mutex_);
    std::vector<std::uint16_t> codes;
    codes.reserve(log_.size());
    for (const auto& c : log_) {
        codes.push_back(c.code);
    }
    return codes;
}

void VirtualSensor::clear_log() {
    std::lock_guard lk(mutex_);
    log_.clear();
}

RunningCode VirtualSensor::running() const {
    std::lock_guard lk(mutex_);
    return state_.options.running;
}

std::string VirtualSensor::hardware_id() const {
    std::lock_guard lk(mutex_);
    return state_.options.hardware_id;
}

std::optional<std::vector<std::uint8_t>> VirtualSensor::record(std::uint16_t get_code) const {
    std::lock_guard lk(mutex_);
    const auto it = state_.records.find(get_code);
    if (it == state_.records.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace kelpira::virtual_sensor

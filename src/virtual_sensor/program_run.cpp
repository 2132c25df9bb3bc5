// The emulated sensor's run of its stored program, sample by sample in sensor time.
#include "virtual_sensor/program_run.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "link/command_catalogue.hpp"
#include "records/chemistry_config.hpp"
#include "virtual_sensor/live_status.hpp"
#include "virtual_sensor/measurement_schedule.hpp"
#include "virtual_sensor/output_store.hpp"
#include "virtual_sensor/sensor_clock.hpp"
#include "virtual_sensor/sensor_log.hpp"
#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

namespace {

using statemachine::StateRecord;
using std::chrono::duration;
using std::chrono::duration_cast;
using std::chrono::milliseconds;

records::ChemistryConfig chemistry_config(const SensorState& s) {
    return records::decode_chemistry_config(
        s.records.at(link::code_value(link::CommandCode::GET_CHEMISTRY_CONFIG)));
}

std::span<const std::uint8_t> params_of(const SensorState& s, records::ChemistryType c) {
    const auto it = s.processing_params.find(records::code_of(c));
    if (it == s.processing_params.end()) {
        return {};
    }
    return it->second;
}

bool light_on(const StateRecord& r) {
    return r.photodiode_power != 0 &&
           std::any_of(r.led_drive.begin(), r.led_drive.end(), [](auto d) { return d != 0; });
}

// How long a state lasts: its delay, or until the next scheduled measurement; a pump that
// stops on time, or whose Hall stop times out, keeps the state until it stops.
double state_seconds(const SensorState& s, const StateRecord& r, std::uint8_t index,
                     const StepMemory& walk, TimePoint entered) {
    double seconds = r.delay_s;
    if (r.delay_mode == statemachine::kDelaySchedule) {
        const std::int64_t now = sensor_seconds(s, entered);
        seconds = static_cast<double>(std::max<std::int64_t>(0, next_measurement(s, now) - now));
    }
    const bool pump_stops_on_time = r.pump_on != 0 && r.pump_stop_mode == statemachine::kStopOnTime;
    const bool pump_times_out = r.pump_on != 0 && r.pump_stop_mode == statemachine::kStopOnHall &&
                                walk.pump_timeout_state == index;
    if (pump_stops_on_time || pump_times_out) {
        seconds = std::max(seconds, static_cast<double>(r.pump_timeout_s));
    }
    return seconds;
}

std::uint16_t counts(double volts) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(volts * 65536.0 / 5.0), 0L, 65535L));
}

// A platform value as the raw file writes it ("%.3f"), so the model sees what processing
// reads back.
float as_written(float v) {
    return static_cast<float>(std::round(static_cast<double>(v) * 1000.0) / 1000.0);
}

TimePoint due(const ProgramRun& run, std::uint64_t sample) {
    return run.started + milliseconds(static_cast<std::int64_t>(sample * run.interval_ms));
}

void end_run(SensorState& s, records::SensorMode mode) {
    auto& run = s.run;
    if (const auto record = finish_processing(run.processing)) {
        store_output(s, *record);
    }
    if (run.file) {
        run.file->flush();
        run.file.reset();
    }
    run.active = false;
    s.mode = mode;
}

// Enters state `index` at `when`. False when the run ended there: an idle or hibernating
// state, or a state the program does not have.
bool enter_state(SensorState& s, std::uint8_t index, TimePoint when) {
    auto& run = s.run;
    const auto record = program_state(s, index);
    if (!record) {
        log_line(s, kTaskSampler, records::kSeverityError, "sm_enter_state", 212,
                 "Invalid state reference " + std::to_string(index));
        end_run(s, records::kModeIdle);
        return false;
    }
    run.state = index;
    run.state_entered = when;
    run.first_of_state = true;
    if (stops_program(*record)) {
        log_line(s, kTaskSampler, records::kSeverityInfo, "sm_enter_state", 219,
                 "State machine stopped at state " + std::to_string(index));
        end_run(s, record->power_mode);
        return false;
    }
    run.state_seconds = state_seconds(s, *record, index, run.walk, when);
    s.mode = record->power_mode;
    log_line(s, kTaskSampler, records::kSeverityDebug, "sm_enter_state", 226,
             "Entered state " + std::to_string(index));
    return true;
}

void take_sample(SensorState& s, TimePoint when, const StateRecord& record) {
    auto& run = s.run;
    records::LiveSample sample = sensor_sample(s, when);
    sample.counter = static_cast<std::uint32_t>(run.samples + 1);
    sample.state = run.state;
    sample.platform_salinity = as_written(sample.platform_salinity);
    sample.platform_temperature = as_written(sample.platform_temperature);
    sample.platform_do = as_written(sample.platform_do);
    sample.platform_depth = as_written(sample.platform_depth);

    SampleMoment m;
    m.counter = sample.counter;
    m.state = run.state;
    m.entered_state = run.first_of_state;
    m.seconds_in_state = duration<double>(when - run.state_entered).count();
    m.state_seconds = run.state_seconds;
    m.light_on = light_on(record);
    m.cell_temperature = sample.temperature_mc / 1000.0;
    m.platform_salinity = sample.platform_salinity;
    m.platform_temperature = sample.platform_temperature;
    ChannelVolts background{};
    for (std::size_t c = 0; c < background.size(); ++c) {
        background[c] = sample.channel[c] * 5.0 / 65536.0;
    }
    const auto volts = model_channels(run.model, s.options.run.target, run.memory, m, background);
    for (std::size_t c = 0; c < volts.size(); ++c) {
        sample.channel[c] = counts(volts[c]);
    }
    run.first_of_state = false;

    const std::string row = raw_file_row(sample);
    if (run.file) {
        run.file->append(row);
    }
    if (const auto output = process_sample(run.processing, sample)) {
        store_output(s, *output);
    }
    run.last_sample = sample;
    ++run.samples;
}

}  // namespace

std::optional<StateRecord> program_state(const SensorState& s, std::uint8_t index) {
    if (index >= s.program.state_count) {
        return std::nullopt;
    }
    return s.program.states[index];
}

TimePoint sample_true_time(const ProgramRun& run, std::uint32_t counter) {
    return due(run, counter == 0 ? 0 : counter - 1);
}

void start_run(SensorState& s, TimePoint now, std::uint8_t start_state) {
    auto& run = s.run;
    const auto chemistry = chemistry_config(s);
    ++s.runs_started;
    run = ProgramRun{};
    run.active = true;
    run.started = now;
    // A sample interval of 0 would owe endless samples; the sensor then samples each second.
    run.interval_ms =
        chemistry.sample_interval_ms == 0
            ? 1000
            : std::max<std::uint32_t>(kShortestIntervalMs, chemistry.sample_interval_ms);

    run.model.chemistry = chemistry.chemistry;
    const auto params = params_of(s, chemistry.chemistry);
    if (records::is_nutrient(chemistry.chemistry) &&
        params.size() >= records::NutrientParams::size) {
        run.model.nutrient = records::decode_nutrient_params(params);
    }
    if (chemistry.chemistry == records::ChemistryType::ph) {
        run.model.ph = records::decode_ph_params(params);
    }
    if (chemistry.chemistry == records::ChemistryType::ta) {
        run.model.ta = records::decode_ta_params(params);
    }
    if (chemistry.chemistry == records::ChemistryType::dic) {
        run.model.dic = records::decode_dic_params(params);
    }
    for (std::size_t t = 0; t < run.model.thermistors.size(); ++t) {
        run.model.thermistors[t] = records::decode_thermistor_config(s.thermistors[t]);
    }
    run.walk.pump_timeout_state = s.options.run.pump_timeout_state;

    auto& p = run.processing;
    p.chemistry = chemistry.chemistry;
    p.nutrient = run.model.nutrient;
    p.ph = run.model.ph;
    p.ta = run.model.ta;
    p.dic = run.model.dic;
    p.interval_ms = run.interval_ms;
    p.thermistors = run.model.thermistors;
    reset_processing(p, start_state);

    if (s.options.run.storage) {
        RawHeaderSource header;
        header.sensor_name = s.options.name;
        header.chemistry = chemistry.chemistry;
        header.sample_interval_ms = run.interval_ms;  // the pace of the rows, not the stored 0
        header.params = params;
        header.thermistors = run.model.thermistors;
        // Numbered on from the files of earlier sessions, which stay as they are.
        const std::filesystem::path storage = *s.options.run.storage;
        s.runs_started = std::max(s.runs_started, highest_raw_file_number(storage) + 1);
        run.file =
            std::make_unique<RawFileWriter>(storage, s.runs_started, raw_file_header(header));
        s.runs_started = run.file->run();
        if (!run.file->ok()) {
            log_line(s, kTaskStorage, records::kSeverityError, "storage_open", 88,
                     "Cannot write " + run.file->path().filename().string());
        }
    }
    log_line(s, kTaskSampler, records::kSeverityInfo, "sm_start", 64,
             "State machine started at state " + std::to_string(start_state));
    enter_state(s, start_state, now);
}

void advance_run(SensorState& s, TimePoint now) {
    auto& run = s.run;
    while (run.active && due(run, run.samples) <= now) {
        const TimePoint when = due(run, run.samples);
        int changes = 0;
        auto state_end = [&] {
            return run.state_entered +
                   duration_cast<TimePoint::duration>(duration<double>(run.state_seconds));
        };
        while (run.active && state_end() <= when) {
            if (++changes > kMaxStatesPerSample) {
                log_line(s, kTaskSampler, records::kSeverityError, "sm_step", 140,
                         "State machine loops without delay");
                end_run(s, records::kModeIdle);
                break;
            }
            const auto left = program_state(s, run.state);
            const TimePoint at = state_end();
            const std::uint8_t next = state_after(*left, run.state, run.walk);
            enter_state(s, next, at);
        }
        if (!run.active) {
            break;
        }
        take_sample(s, when, *program_state(s, run.state));
    }
    if (run.file) {
        run.file->flush();
    }
}

void stop_run(SensorState& s, const std::string& why) {
    if (s.run.active) {
        log_line(s, kTaskSampler, records::kSeverityInfo, "sm_stop", 171, why);
        end_run(s, records::kModeIdle);
    }
    s.mode = records::kModeIdle;
}

}  // namespace kelpira::virtual_sensor

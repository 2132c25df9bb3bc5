// The firmware's answers shared by its platform protocols.
#include "virtual_sensor/platform_exchange.hpp"

#include <cmath>
#include <cstdio>

#include "link/command_catalogue.hpp"
#include "records/chemistry_config.hpp"
#include "virtual_sensor/live_status.hpp"
#include "virtual_sensor/program_run.hpp"
#include "virtual_sensor/sensor_clock.hpp"
#include "virtual_sensor/sensor_log.hpp"

namespace kelpira::virtual_sensor {

namespace {

std::int32_t thousandths(double v) {
    return static_cast<std::int32_t>(std::lround(v * 1000));
}

}  // namespace

Measurement current_measurement(const SensorState& state, TimePoint now) {
    Measurement m;
    m.temperature_mc = sensor_sample(state, now).temperature_mc;
    const auto& results = state.stores.outputs.entries;
    if (!results.empty()) {
        const auto& r = results.back();
        m.time = r.sensor_time;
        m.value_milli = thousandths(r.value);
        m.valid = r.validity == records::kValidityGood;
        return m;
    }
    m.time = static_cast<std::uint32_t>(sensor_seconds(state, now));
    const auto& target = state.options.run.target;
    m.value_milli = thousandths(state.options.chemistry == records::ChemistryType::ph
                                    ? target.ph
                                    : target.concentration_um);
    return m;
}

std::vector<std::string> download_lines(const SensorState& state) {
    std::vector<std::string> lines;
    const double supply_v = state.options.supply_mv / 1000.0;
    for (const auto& r : state.stores.outputs.entries) {
        char line[160];
        std::snprintf(line, sizeof line, "%u,%u,%.3f,%.3f,%.3f,%u,%u,%ld,%ld,%ld,%.1f\r",
                      unsigned{r.dive_number}, r.sensor_time, static_cast<double>(r.platform_depth),
                      r.value, 0.0, unsigned{r.validity}, unsigned{r.platform_direction},
                      std::lround(r.p1), std::lround(r.p2), std::lround(r.p3), supply_v);
        lines.emplace_back(line);
    }
    return lines;
}

void set_sensor_seconds(SensorState& state, TimePoint now, std::int64_t seconds) {
    set_sensor_clock(state, now, seconds);
}

bool set_sensor_date(SensorState& state, TimePoint now, const common::UtcFields& date) {
    const std::int64_t seconds = common::utc_seconds(date);
    const auto back = common::utc_fields(seconds);
    if (back.year != date.year || back.month != date.month || back.day != date.day ||
        back.hour != date.hour || back.minute != date.minute || back.second != date.second) {
        return false;
    }
    set_sensor_seconds(state, now, seconds);
    return true;
}

void start_deployment(SensorState& state, TimePoint now) {
    if (state.run.active || supply_mv(state, sample_counter(state, now)) < kLowSupplyMv) {
        return;
    }
    const auto config = records::decode_chemistry_config(
        state.records.at(link::code_value(link::CommandCode::GET_CHEMISTRY_CONFIG)));
    std::uint8_t start = config.start_auto_deployment;
    if (start == records::kStateDisabled) {
        start = config.start_manual_deployment;
    }
    if (start == records::kStateDisabled || !program_state(state, start)) {
        return;
    }
    log_line(state, kTaskSampler, records::kSeverityInfo, "platform_start", 58,
             "Deployment started by the host platform");
    start_run(state, now, start);
}

}  // namespace kelpira::virtual_sensor

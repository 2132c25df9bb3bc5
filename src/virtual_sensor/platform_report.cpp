// Laying a host platform's report over the model's platform values.
#include "virtual_sensor/platform_report.hpp"

namespace kelpira::virtual_sensor {

void apply_platform_report(const PlatformReport& report, records::LiveSample& sample) {
    sample.platform_valid = 1;
    sample.platform_depth = report.depth;
    sample.platform_time = report.time;
    sample.platform_salinity = report.salinity.value_or(sample.platform_salinity);
    sample.platform_temperature = report.temperature.value_or(sample.platform_temperature);
}

void apply_platform_report(const PlatformReport& report, records::PlatformState& state) {
    state.depth = report.depth;
    state.direction = report.direction.value_or(state.direction);
    state.salinity = report.salinity.value_or(state.salinity);
    state.temperature = report.temperature.value_or(state.temperature);
    state.p1 = report.p1;
    state.p2 = report.p2;
    state.p3 = report.p3;
}

}  // namespace kelpira::virtual_sensor

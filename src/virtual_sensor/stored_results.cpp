// Stored results made up at start-up.
#include "virtual_sensor/stored_results.hpp"

#include <limits>

#include "virtual_sensor/sensor_clock.hpp"
#include "virtual_sensor/sensor_log.hpp"

namespace kelpira::virtual_sensor {

void add_stored_results(SensorState& state, unsigned count, TimePoint now) {
    constexpr std::int64_t kSpacingS = 600;
    constexpr unsigned kPerDive = 10;  // five on the way down, five on the way up
    const std::int64_t last = sensor_seconds(state, now);
    const auto& target = state.options.run.target;
    const double value =
        state.options.chemistry == records::ChemistryType::ph ? target.ph : target.concentration_um;
    for (unsigned i = 0; i < count; ++i) {
        const unsigned step = i % kPerDive;
        const bool down = step < kPerDive / 2;
        records::OutputRecord r;
        r.dive_number = static_cast<std::uint16_t>(i / kPerDive + 1);
        r.sensor_time = static_cast<std::uint32_t>(last - (count - 1 - i) * kSpacingS);
        r.platform_time = r.sensor_time;
        r.platform_salinity = 35.1f;
        r.platform_temperature = 12.5f;
        r.platform_depth = static_cast<float>(down ? 5 + step * 22.5 : 95 - (step - 5) * 22.5);
        r.value = value + 0.01 * (i % 5);
        r.validity = i % 7 == 6 ? records::kValidityBad : records::kValidityGood;
        if (r.validity == records::kValidityBad && state.options.failed_results) {
            r.value = std::numeric_limits<double>::quiet_NaN();
        }
        r.platform_direction = down ? records::kDirectionDiving : records::kDirectionClimbing;
        store_output(state, r);
    }
}

}  // namespace kelpira::virtual_sensor

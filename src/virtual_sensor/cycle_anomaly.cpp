// The modelled water from cycle to cycle.
#include "virtual_sensor/cycle_anomaly.hpp"

#include <cmath>
#include <numbers>

namespace kelpira::virtual_sensor {

bool stuck_in(const CycleAnomaly& a, std::uint32_t cycle) {
    return a.stuck_from != 0 && cycle >= a.stuck_from && cycle - a.stuck_from < a.stuck_cycles;
}

double cycle_value(const CycleAnomaly& a, double base, std::uint32_t cycle) {
    const std::uint32_t c = stuck_in(a, cycle) ? a.stuck_from : cycle;
    const double phase = 2 * std::numbers::pi * static_cast<double>(c % kTideCycles) / kTideCycles;
    double value = base + a.tide * std::sin(phase);
    if (a.spike_cycle != 0 && c == a.spike_cycle) {
        value += a.spike_size;
    }
    return value;
}

}  // namespace kelpira::virtual_sensor

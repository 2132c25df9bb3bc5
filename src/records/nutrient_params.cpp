// Packing of the nutrient processing parameters and the conversion to and from the
// legacy 23-byte layout.
#include "records/nutrient_params.hpp"

#include <algorithm>

#include "records/chemistry_fields.hpp"

namespace kelpira::records {

NutrientParams decode_nutrient_params(std::span<const std::uint8_t> data) {
    return decode_record<NutrientParams>(data);
}

std::array<std::uint8_t, NutrientParams::size> encode(const NutrientParams& p) {
    return encode_record(p);
}

NutrientParams nutrient_params_from_legacy(std::span<const std::uint8_t> legacy) {
    std::array<std::uint8_t, NutrientParams::legacy_size> bytes{};
    std::copy_n(legacy.begin(), std::min(legacy.size(), bytes.size()), bytes.begin());
    NutrientParams p = decode_record<NutrientParams>(bytes);
    p.layout = 1;
    if (p.output_channel > 3) {
        p.output_channel = 0;
    }
    p.measure_medium = 0;
    p.measure_short = 1;
    p.measure_long = 2;
    p.monitor_medium = kNoMonitor;
    p.monitor_short = kNoMonitor;
    p.monitor_long = kNoMonitor;
    // Output channel 3 names none of the three channels, so its monitor goes nowhere.
    if (p.output_monitored != 0 && p.output_channel <= 2) {
        monitor_input(p, static_cast<NutrientChannel>(p.output_channel)) = p.output_monitor;
    }
    return p;
}

std::array<std::uint8_t, NutrientParams::legacy_size> encode_legacy(const NutrientParams& p) {
    const auto current = encode_record(p);
    std::array<std::uint8_t, NutrientParams::legacy_size> out{};
    std::copy_n(current.begin(), out.size(), out.begin());
    out[0] = 0;  // the legacy layout
    return out;
}

void update_output_monitor(NutrientParams& p) {
    p.output_monitor = p.output_channel <= 2
                           ? monitor_input(p, static_cast<NutrientChannel>(p.output_channel))
                           : kNoMonitor;
    p.output_monitored = p.output_monitor != kNoMonitor ? 1 : 0;
}

std::uint8_t measure_input(const NutrientParams& p, NutrientChannel c) {
    switch (c) {
        case NutrientChannel::medium:
            return p.measure_medium;
        case NutrientChannel::short_path:
            return p.measure_short;
        case NutrientChannel::long_path:
            return p.measure_long;
    }
    return p.measure_medium;
}

std::uint8_t& monitor_input(NutrientParams& p, NutrientChannel c) {
    switch (c) {
        case NutrientChannel::medium:
            return p.monitor_medium;
        case NutrientChannel::short_path:
            return p.monitor_short;
        case NutrientChannel::long_path:
            return p.monitor_long;
    }
    return p.monitor_medium;
}

// The read-only form picks the same field; it never writes through the reference.
std::uint8_t monitor_input(const NutrientParams& p, NutrientChannel c) {
    return monitor_input(const_cast<NutrientParams&>(p), c);
}

}  // namespace kelpira::records

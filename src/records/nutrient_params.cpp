// Packing of the nutrient processing parameters and the conversion to and from the
// legacy 23-byte layout.
#include "records/nutrient_params.hpp"

#include <algorithm>

#include "common/bytes.hpp"

namespace kelpira::records {

namespace {

// Bytes 0..22, shared by both layouts.
void read_common(common::ByteReader& r, NutrientParams& p) {
    p.layout = r.u8();
    p.sensor_version = r.u8();
    p.output_channel = r.u8();
    p.sample_intake_state = r.u8();
    p.sample_measurement_state = r.u8();
    p.blank_measurement_state = r.u8();
    p.standard1_state = r.u8();
    p.standard2_state = r.u8();
    p.standard1_nmol = r.u32();
    p.standard2_nmol = r.u32();
    p.standard_adjustment = r.u8();
    p.processing_trigger = r.u8();
    p.optical_correction = r.u8();
    p.optical_sample_state = r.u8();
    p.optical_blank_state = r.u8();
    p.output_monitored = r.u8();
    p.output_monitor = r.u8();
}

void write_common(common::ByteWriter& w, const NutrientParams& p, std::uint8_t layout) {
    w.u8(layout);
    w.u8(p.sensor_version);
    w.u8(p.output_channel);
    w.u8(p.sample_intake_state);
    w.u8(p.sample_measurement_state);
    w.u8(p.blank_measurement_state);
    w.u8(p.standard1_state);
    w.u8(p.standard2_state);
    w.u32(p.standard1_nmol);
    w.u32(p.standard2_nmol);
    w.u8(p.standard_adjustment);
    w.u8(p.processing_trigger);
    w.u8(p.optical_correction);
    w.u8(p.optical_sample_state);
    w.u8(p.optical_blank_state);
    w.u8(p.output_monitored);
    w.u8(p.output_monitor);
}

}  // namespace

NutrientParams decode_nutrient_params(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    NutrientParams p;
    read_common(r, p);
    p.measure_medium = r.u8();
    p.measure_short = r.u8();
    p.measure_long = r.u8();
    p.monitor_medium = r.u8();
    p.monitor_short = r.u8();
    p.monitor_long = r.u8();
    return p;
}

std::array<std::uint8_t, NutrientParams::size> encode(const NutrientParams& p) {
    std::array<std::uint8_t, NutrientParams::size> out{};
    common::ByteWriter w(out);
    write_common(w, p, p.layout);
    w.u8(p.measure_medium);
    w.u8(p.measure_short);
    w.u8(p.measure_long);
    w.u8(p.monitor_medium);
    w.u8(p.monitor_short);
    w.u8(p.monitor_long);
    return out;
}

NutrientParams nutrient_params_from_legacy(std::span<const std::uint8_t> legacy) {
    std::array<std::uint8_t, NutrientParams::legacy_size> bytes{};
    std::copy_n(legacy.begin(), std::min(legacy.size(), bytes.size()), bytes.begin());
    common::ByteReader r(bytes);
    NutrientParams p;
    read_common(r, p);
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
    std::array<std::uint8_t, NutrientParams::legacy_size> out{};
    common::ByteWriter w(out);
    write_common(w, p, 0);
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

// Limits, defaults per platform type and enabling of the simulator's form.
#include "host_platform/simulator_settings.hpp"

#include <algorithm>

namespace kelpira::host_platform {

std::uint16_t clamp_dive_number(std::int64_t typed) {
    return static_cast<std::uint16_t>(std::clamp<std::int64_t>(typed, 0, 65535));
}

std::int32_t clamp_interval(std::int64_t typed) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(typed, kMinInterval, kMaxInterval));
}

std::uint8_t clamp_slave_address(std::int64_t typed) {
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(typed, 0, 255));
}

void choose_platform_type(PlatformType type, SimulatorSettings& sim, SerialSettings& serial) {
    sim.platform_type = type;
    if (type == PlatformType::sense_ocean) {
        serial.line = {19200, 8, Parity::even, StopBits::one};
        serial.slave_address = 71;
    } else {
        serial.line = {9600, 8, Parity::none, StopBits::one};
        serial.slave_address = 0;
    }
    const bool glider = type == PlatformType::seaglider || type == PlatformType::bridges ||
                        type == PlatformType::slocum_glider;
    choose_direction(glider ? Direction::alternating : Direction::fixed, sim);
    sim.enable_sampling = type == PlatformType::bridges;
}

void choose_direction(Direction direction, SimulatorSettings& sim) {
    sim.direction = direction;
    if (direction == Direction::surfaced) {
        sim.min_depth = 0;
    }
}

std::string_view serial_group_caption(PlatformType type) {
    switch (type) {
        case PlatformType::none:
            return "Serial Communication Parameters";
        case PlatformType::sense_ocean:
            return "RS485 Communication Parameters";
        default:
            return "RS232 Communication Parameters";
    }
}

bool has_simulation(PlatformType type) {
    return type == PlatformType::seaglider || type == PlatformType::bridges ||
           type == PlatformType::eti;
}

bool has_download(PlatformType type) {
    return type == PlatformType::seaglider || type == PlatformType::bridges;
}

FormEnabling form_enabling(const SimulatorSettings& sim, const SerialSettings& serial,
                           bool running) {
    FormEnabling e;
    if (running) {
        e.stop = true;
        return e;
    }
    const PlatformType t = sim.platform_type;
    const bool any = t != PlatformType::none;
    const bool glider = t == PlatformType::seaglider || t == PlatformType::bridges;
    e.platform_type = true;
    e.dive_number = glider || t == PlatformType::slocum_glider;
    e.p_values = e.dive_number;
    e.direction = any && t != PlatformType::storm_logger;
    const Direction d = sim.direction;
    e.min_depth = e.direction && d != Direction::surfaced;
    e.max_depth = e.direction && (d == Direction::diving || d == Direction::climbing ||
                                  d == Direction::alternating);
    e.dive_rate = e.max_depth;
    e.climb_rate = e.max_depth;
    e.salinity = t == PlatformType::eti || t == PlatformType::slocum_glider ||
                 t == PlatformType::sense_ocean;
    e.temperature = e.salinity;
    e.update_interval = any;
    e.serial_port = any;
    e.override_settings = any;
    e.line_settings = any && serial.override_settings;
    e.slave_address = e.line_settings && t == PlatformType::sense_ocean;
    e.enable_sampling = glider;
    e.sample_interval = any && (!glider || sim.enable_sampling);
    e.start = has_simulation(t);
    e.download = has_download(t);
    return e;
}

}  // namespace kelpira::host_platform

// Showing the platform records in their dialogs' controls and rebuilding them from there.
#include "config/platform_controls.hpp"

#include "config/typed_fields.hpp"

namespace kelpira::config {

namespace {

constexpr std::size_t kRealChars = 23;
constexpr std::uint32_t kHubFirstAddress = 64;
constexpr std::uint32_t kHubLastAddress = 71;

std::string real_text(float value) {
    return fixed_text(value, 3);
}

float real(const std::string& text) {
    return typed_real(std::string_view(text).substr(0, kRealChars));
}

template <typename T>
T shown(std::span<const PlatformListEntry> table, std::uint32_t stored) {
    return static_cast<T>(shown_value(table, stored));
}

template <typename T>
T shown(std::span<const std::uint32_t> values, std::uint32_t stored) {
    return static_cast<T>(shown_value(values, stored));
}

}  // namespace

PlatformDefaultsControls show_platform_defaults(const PlatformDefaults& r) {
    PlatformDefaultsControls c;
    c.dive_number = std::to_string(r.dive_number);
    c.salinity_psu = real_text(r.salinity_psu);
    c.temperature_c = real_text(r.temperature_c);
    c.oxygen_ml_l = real_text(r.oxygen_ml_l);
    c.depth_m = real_text(r.depth_m);
    c.direction = shown<std::uint8_t>(kDirections, r.direction);
    c.time_offset_s = std::to_string(r.time_offset_s);
    c.p1 = std::to_string(r.p1);
    c.p2 = std::to_string(r.p2);
    c.p3 = std::to_string(r.p3);
    return c;
}

PlatformDefaults read_platform_defaults(const PlatformDefaultsControls& c) {
    PlatformDefaults r;
    r.reserved0 = 1;
    r.dive_number = static_cast<std::uint16_t>(typed_unsigned(c.dive_number));
    r.salinity_psu = real(c.salinity_psu);
    r.temperature_c = real(c.temperature_c);
    r.oxygen_ml_l = real(c.oxygen_ml_l);
    r.depth_m = real(c.depth_m);
    r.direction = c.direction;
    r.time_offset_s = typed_signed(c.time_offset_s);
    r.p1 = typed_signed(c.p1);
    r.p2 = typed_signed(c.p2);
    r.p3 = typed_signed(c.p3);
    return r;
}

namespace {

// The four line settings both serial interfaces share, shown through their lists.
template <class Controls, class Record, class Bauds>
void show_line(Controls& c, const Record& r, const Bauds& bauds) {
    c.baud = shown<std::uint32_t>(bauds, r.baud);
    c.parity = shown<std::uint8_t>(kParities, r.parity);
    c.data_bits = shown<std::uint8_t>(kDataBits, r.data_bits);
    c.stop_bits = shown<std::uint8_t>(kStopBits, r.stop_bits);
}

template <class Record, class Controls>
void read_line(Record& r, const Controls& c) {
    r.reserved0 = 0;
    r.baud = c.baud;
    r.parity = c.parity;
    r.data_bits = c.data_bits;
    r.stop_bits = c.stop_bits;
}

}  // namespace

Rs232Controls show_rs232(const Rs232Config& r) {
    Rs232Controls c;
    show_line(c, r, kRs232BaudRates);
    c.protocol = r.protocol;
    c.mode = r.mode;
    c.protocols = rs232_protocol_choices(r.protocol);
    c.modes = rs232_mode_choices(r.mode);
    return c;
}

Rs232Config read_rs232(const Rs232Controls& c) {
    Rs232Config r;
    read_line(r, c);
    r.protocol = c.protocol;
    r.mode = c.mode;
    return r;
}

Rs485Controls show_rs485(const Rs485Config& r) {
    Rs485Controls c;
    show_line(c, r, kRs485BaudRates);
    c.protocol = r.protocol;
    c.protocols = rs485_protocol_choices(r.protocol);
    c.slave_address = std::to_string(r.slave_address);
    c.poll_rate_s = std::to_string(r.poll_rate_s);
    return c;
}

Rs485Config read_rs485(const Rs485Controls& c) {
    Rs485Config r;
    read_line(r, c);
    r.protocol = c.protocol;
    r.slave_address = static_cast<std::uint8_t>(typed_unsigned(c.slave_address));
    r.poll_rate_s = typed_unsigned(c.poll_rate_s);
    return r;
}

void rs232_platform_chosen(Rs232Controls& c, std::uint32_t protocol) {
    if (protocol == c.protocol) {
        return;
    }
    c.protocol = protocol;
    c.baud = 9600;
    c.data_bits = 8;
    c.stop_bits = 1;
    c.parity = kParityNone;
}

bool rs232_mode_enabled(const Rs232Controls& c) {
    return c.protocol != kRs232GenericStreaming;
}

void rs485_platform_chosen(Rs485Controls& c, std::uint32_t protocol) {
    if (protocol == c.protocol) {
        return;
    }
    c.protocol = protocol;
    const bool hub = protocol == kRs485SenseOceanHub;
    c.baud = hub ? 19200 : kRs485BaudRates.front();
    c.parity = hub ? kParityEven : kParityNone;
    c.slave_address = hub ? std::to_string(kHubFirstAddress) : "0";
    c.poll_rate_s = hub ? "300" : "0";
}

bool rs485_address_red(const Rs485Controls& c) {
    if (c.protocol != kRs485SenseOceanHub) {
        return false;
    }
    const std::uint32_t address = typed_unsigned(c.slave_address);
    return address < kHubFirstAddress || address > kHubLastAddress;
}

}  // namespace kelpira::config

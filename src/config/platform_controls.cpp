// Showing the platform records in their dialogs' controls and rebuilding them from there.
#include "config/platform_controls.hpp"

#include "common/number_text.hpp"

#include <limits>

namespace kelpira::config {

namespace {

using common::field_signed_value;
using common::field_unsigned_value;
using common::show_value;

constexpr std::uint32_t kHubFirstAddress = 64;
constexpr std::uint32_t kHubLastAddress = 71;

void show_real(PlatformField& field, float value) {
    show_value(field, value, common::field_text(value, 3));
}

template <typename T>
void show_integer(PlatformField& field, T value) {
    show_value(field, value, std::to_string(value));
}

template <typename T>
T unsigned_of(const PlatformField& field) {
    return static_cast<T>(field_unsigned_value(field, 0, std::numeric_limits<T>::max()));
}

}  // namespace

PlatformDefaultsControls show_platform_defaults(const records::PlatformDefaults& r) {
    PlatformDefaultsControls c;
    show_integer(c.dive_number, r.dive_number);
    show_real(c.salinity_psu, r.salinity_psu);
    show_real(c.temperature_c, r.temperature_c);
    show_real(c.oxygen_ml_l, r.oxygen_ml_l);
    show_real(c.depth_m, r.depth_m);
    c.direction = r.direction;
    show_integer(c.time_offset_s, r.time_offset_s);
    show_integer(c.p1, r.p1);
    show_integer(c.p2, r.p2);
    show_integer(c.p3, r.p3);
    return c;
}

records::PlatformDefaults read_platform_defaults(const PlatformDefaultsControls& c) {
    records::PlatformDefaults r;
    r.reserved0 = 1;
    r.dive_number = unsigned_of<std::uint16_t>(c.dive_number);
    r.salinity_psu = common::field_f32(c.salinity_psu);
    r.temperature_c = common::field_f32(c.temperature_c);
    r.oxygen_ml_l = common::field_f32(c.oxygen_ml_l);
    r.depth_m = common::field_f32(c.depth_m);
    r.direction = c.direction;
    r.time_offset_s = field_signed_value(c.time_offset_s);
    r.p1 = field_signed_value(c.p1);
    r.p2 = field_signed_value(c.p2);
    r.p3 = field_signed_value(c.p3);
    return r;
}

namespace {

// The four line settings both serial interfaces share, kept as stored.
template <class Controls, class Record>
void show_line(Controls& c, const Record& r) {
    c.baud = r.baud;
    c.parity = r.parity;
    c.data_bits = r.data_bits;
    c.stop_bits = r.stop_bits;
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

Rs232Controls show_rs232(const records::Rs232Config& r) {
    Rs232Controls c;
    show_line(c, r);
    c.protocol = r.protocol;
    c.mode = r.mode;
    c.protocols = rs232_protocol_choices(r.protocol);
    c.modes = rs232_mode_choices(r.mode);
    return c;
}

records::Rs232Config read_rs232(const Rs232Controls& c) {
    records::Rs232Config r;
    read_line(r, c);
    r.protocol = c.protocol;
    r.mode = c.mode;
    return r;
}

Rs485Controls show_rs485(const records::Rs485Config& r) {
    Rs485Controls c;
    show_line(c, r);
    c.protocol = r.protocol;
    c.protocols = rs485_protocol_choices(r.protocol);
    show_integer(c.slave_address, r.slave_address);
    show_integer(c.poll_rate_s, r.poll_rate_s);
    return c;
}

records::Rs485Config read_rs485(const Rs485Controls& c) {
    records::Rs485Config r;
    read_line(r, c);
    r.protocol = c.protocol;
    r.slave_address = unsigned_of<std::uint8_t>(c.slave_address);
    r.poll_rate_s = unsigned_of<std::uint32_t>(c.poll_rate_s);
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
    c.parity = records::kParityNone;
}

bool rs232_mode_enabled(const Rs232Controls& c) {
    return c.protocol != records::kRs232GenericStreaming;
}

void rs485_platform_chosen(Rs485Controls& c, std::uint32_t protocol) {
    if (protocol == c.protocol) {
        return;
    }
    c.protocol = protocol;
    const bool hub = protocol == records::kRs485SenseOceanHub;
    c.baud = hub ? 19200 : kRs485BaudRates.front();
    c.parity = hub ? records::kParityEven : records::kParityNone;
    c.slave_address.text = hub ? std::to_string(kHubFirstAddress) : "0";
    c.poll_rate_s.text = hub ? "300" : "0";
}

bool rs485_address_red(const Rs485Controls& c) {
    if (c.protocol != records::kRs485SenseOceanHub) {
        return false;
    }
    const std::uint32_t address = field_unsigned_value(c.slave_address, 0, 255);
    return address < kHubFirstAddress || address > kHubLastAddress;
}

}  // namespace kelpira::config

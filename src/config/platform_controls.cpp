// Showing the platform records in their dialogs' controls and rebuilding them from there.
#include "config/platform_controls.hpp"

#include "records/record_form.hpp"

namespace kelpira::config {

namespace {

using common::field_unsigned_value;

constexpr std::uint32_t kHubFirstAddress = 64;
constexpr std::uint32_t kHubLastAddress = 71;

// A record's field in its typed control, in the row's format.
template <typename Rec>
void show_row(const Rec& record, const records::Field<Rec>& row, PlatformField& control) {
    records::show_field(control, row.spec, row.get(record, 0));
}

// The row's value of the typed control: its limits and format, the shown bits when untouched.
template <typename Rec>
void read_row(const PlatformField& control, const records::Field<Rec>& row, Rec& record) {
    row.set(record, 0, records::field_bits(control, row.spec, row.type));
}

using records::PlatformDefaults;
using records::row_of;
using records::Rs485Config;

// The typed controls of "Configure Platform Defaults", each with its field's row.
struct PlatformDefaultsField {
    PlatformField PlatformDefaultsControls::*control;
    const records::Field<PlatformDefaults>& row;
};

const PlatformDefaultsField kPlatformDefaultsFields[] = {
    {&PlatformDefaultsControls::dive_number, row_of<PlatformDefaults>("dive_number")},
    {&PlatformDefaultsControls::salinity_psu, row_of<PlatformDefaults>("salinity_psu")},
    {&PlatformDefaultsControls::temperature_c, row_of<PlatformDefaults>("temperature_c")},
    {&PlatformDefaultsControls::oxygen_ml_l, row_of<PlatformDefaults>("oxygen_ml_l")},
    {&PlatformDefaultsControls::depth_m, row_of<PlatformDefaults>("depth_m")},
    {&PlatformDefaultsControls::time_offset_s, row_of<PlatformDefaults>("time_offset_s")},
    {&PlatformDefaultsControls::p1, row_of<PlatformDefaults>("p1")},
    {&PlatformDefaultsControls::p2, row_of<PlatformDefaults>("p2")},
    {&PlatformDefaultsControls::p3, row_of<PlatformDefaults>("p3")},
};

constexpr const auto& kSlaveAddressRow = row_of<Rs485Config>("slave_address");
constexpr const auto& kPollRateRow = row_of<Rs485Config>("poll_rate_s");

}  // namespace

PlatformDefaultsControls show_platform_defaults(const PlatformDefaults& r) {
    PlatformDefaultsControls c;
    for (const auto& f : kPlatformDefaultsFields) {
        show_row(r, f.row, c.*f.control);
    }
    c.direction = r.direction;
    return c;
}

PlatformDefaults read_platform_defaults(const PlatformDefaultsControls& c) {
    PlatformDefaults r;
    r.reserved0 = 1;
    for (const auto& f : kPlatformDefaultsFields) {
        read_row(c.*f.control, f.row, r);
    }
    r.direction = c.direction;
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
    show_row(r, kSlaveAddressRow, c.slave_address);
    show_row(r, kPollRateRow, c.poll_rate_s);
    return c;
}

records::Rs485Config read_rs485(const Rs485Controls& c) {
    records::Rs485Config r;
    read_line(r, c);
    r.protocol = c.protocol;
    read_row(c.slave_address, kSlaveAddressRow, r);
    read_row(c.poll_rate_s, kPollRateRow, r);
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
    c.baud = hub ? 19200 : records::kRs485BaudRates.front().value;
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

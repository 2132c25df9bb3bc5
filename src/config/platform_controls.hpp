// The controls of "Configure Platform Defaults", "Configure RS232" and "Configure RS485" as
// plain data, and the rules between them and the three records: showing a record, rebuilding
// it from the controls, the presets a "Platform" change applies, enabling and red entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/form.hpp"
#include "config/platform_lists.hpp"
#include "records/platform_records.hpp"

namespace kelpira::config {

using PlatformField = common::FormControl;

// Typed fields keep their text and the stored value they show; lists keep the value of the
// selected entry, also a stored value no entry offers (the list shows it as an extra entry).
struct PlatformDefaultsControls {
    PlatformField dive_number;
    PlatformField salinity_psu;
    PlatformField temperature_c;
    PlatformField oxygen_ml_l;
    PlatformField depth_m;
    std::uint8_t direction = records::kDirectionUnknown;
    PlatformField time_offset_s;
    PlatformField p1;
    PlatformField p2;
    PlatformField p3;
};

struct Rs232Controls {
    std::uint32_t baud = 9600;
    std::uint8_t parity = records::kParityNone;
    std::uint8_t data_bits = 8;
    std::uint8_t stop_bits = 1;
    std::uint32_t protocol = records::kRs232None;
    std::uint8_t mode = records::kRs232ModeNormal;
    std::vector<ListChoice> protocols;  // the "Platform" list's entries
    std::vector<ListChoice> modes;      // the "Mode" list's entries
};

struct Rs485Controls {
    std::uint32_t baud = 9600;
    std::uint8_t parity = records::kParityNone;
    std::uint8_t data_bits = 8;
    std::uint8_t stop_bits = 1;
    std::uint32_t protocol = records::kRs485None;
    PlatformField slave_address;
    PlatformField poll_rate_s;
    std::vector<ListChoice> protocols;  // the "Platform" list's entries
};

// Showing: every list keeps the stored value, also one it does not offer (the protocol and
// mode lists gain an entry for it here, the others in the dialog); unsigned numbers "%u", the
// time offset and P1..P3 signed, floats "%.3f".
PlatformDefaultsControls show_platform_defaults(const records::PlatformDefaults& record);
Rs232Controls show_rs232(const records::Rs232Config& record);
Rs485Controls show_rs485(const records::Rs485Config& record);

// Rebuilding: the record is cleared (reserved0 1 for the platform defaults, 0 for the
// interfaces); lists give their value; an unedited field gives the stored value exactly;
// typed integers are read unsigned and limited to their field (a dive number of 70000 is
// stored as 65535), the time offset and P1..P3 signed; typed floats are the decimal at the
// start of the first 23 characters (0.0 without one).
records::PlatformDefaults read_platform_defaults(const PlatformDefaultsControls& controls);
records::Rs232Config read_rs232(const Rs232Controls& controls);
records::Rs485Config read_rs485(const Rs485Controls& controls);

// An RS232 "Platform" entry picked. Another protocol than the one shown resets the line to
// 9600 baud, 8 data bits, 1 stop bit, parity None; the mode stays as it is.
void rs232_platform_chosen(Rs232Controls& controls, std::uint32_t protocol);
// The "Mode" list is enabled unless the protocol is Generic Streaming.
bool rs232_mode_enabled(const Rs232Controls& controls);

// An RS485 "Platform" entry picked. Another protocol than the one shown presets the line:
// SenseOCEAN Hub 19200 baud, parity Even, address 64, poll rate 300 s; any other 9600 baud,
// parity None, address 0, poll rate 0. Data and stop bits stay as they are.
void rs485_platform_chosen(Rs485Controls& controls, std::uint32_t protocol);
// A SenseOCEAN Hub listens to addresses 64..71: any other typed address is drawn in red.
bool rs485_address_red(const Rs485Controls& controls);

}  // namespace kelpira::config

// The report's sections about the host platform and the sensor's serial interfaces.
#include "link/platform_commands.hpp"
#include "records/platform_fields.hpp"
#include "report/report_sections.hpp"

namespace kelpira::report {

namespace {

using link::kResultSuccess;

}  // namespace

void rs232_section(link::SensorLink& link, Lines& out) {
    link::RecordBytes<link::kRs232ConfigSize> bytes{};
    const auto rc = link::get_rs232_config(link, bytes);
    if (rc != kResultSuccess) {
        out.push_back(with_status("unable to read RS232 configuration from sensor", rc));
        return;
    }
    const auto c = records::decode_rs232_config(bytes);
    for (const auto* name : {"baud", "data_bits", "stop_bits", "parity", "protocol", "mode"}) {
        out.push_back(field_line(c, name));
    }
}

void rs485_section(link::SensorLink& link, Lines& out) {
    link::RecordBytes<link::kRs485ConfigSize> bytes{};
    const auto rc = link::get_rs485_config(link, bytes);
    if (rc != kResultSuccess) {
        out.push_back(with_status("unable to read RS485 configuration from sensor", rc));
        return;
    }
    const auto c = records::decode_rs485_config(bytes);
    for (const auto* name :
         {"baud", "data_bits", "stop_bits", "parity", "protocol", "slave_address", "poll_rate_s"}) {
        out.push_back(field_line(c, name));
    }
}

void platform_section(link::SensorLink& link, Lines& out) {
    link::RecordBytes<link::kPlatformDefaultsSize> bytes{};
    const auto rc = link::get_platform_defaults(link, bytes);
    if (rc != kResultSuccess) {
        out.push_back(
            with_status("unable to read platform defaults configuration from sensor", rc));
        return;
    }
    const auto p = records::decode_platform_defaults(bytes);
    for (const auto* name : {"dive_number", "salinity_psu", "temperature_c", "oxygen_ml_l",
                             "depth_m", "direction", "time_offset_s", "p1", "p2", "p3"}) {
        out.push_back(field_line(p, name));
    }
}

}  // namespace kelpira::report

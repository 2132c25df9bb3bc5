// The report's sections about the host platform and the sensor's serial interfaces.
#include "config/platform_lists.hpp"
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
    out.push_back(field_line(c, "baud"));
    out.push_back(field_line(c, "data_bits"));
    out.push_back(field_line(c, "stop_bits"));
    out.push_back(config::parity_report_text(c.parity));
    out.push_back(config::rs232_protocol_report_text(c.protocol));
    out.push_back(config::rs232_mode_report_text(c.mode));
}

void rs485_section(link::SensorLink& link, Lines& out) {
    link::RecordBytes<link::kRs485ConfigSize> bytes{};
    const auto rc = link::get_rs485_config(link, bytes);
    if (rc != kResultSuccess) {
        out.push_back(with_status("unable to read RS485 configuration from sensor", rc));
        return;
    }
    const auto c = records::decode_rs485_config(bytes);
    out.push_back(field_line(c, "baud"));
    out.push_back(field_line(c, "data_bits"));
    out.push_back(field_line(c, "stop_bits"));
    out.push_back(config::parity_report_text(c.parity));
    out.push_back(config::rs485_protocol_report_text(c.protocol));
    out.push_back(field_line(c, "slave_address"));
    out.push_back(field_line(c, "poll_rate_s"));
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
    for (const auto* name :
         {"dive_number", "salinity_psu", "temperature_c", "oxygen_ml_l", "depth_m"}) {
        out.push_back(field_line(p, name));
    }
    out.push_back(config::direction_report_text(p.direction));
    for (const auto* name : {"time_offset_s", "p1", "p2", "p3"}) {
        out.push_back(field_line(p, name));
    }
}

}  // namespace kelpira::report

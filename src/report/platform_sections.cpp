// The report's sections about the host platform and the sensor's serial interfaces.
#include "config/platform_lists.hpp"
#include "link/platform_commands.hpp"
#include "records/platform_records.hpp"
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
    out.push_back("Baud Rate: " + num(c.baud));
    out.push_back("Data Bits: " + num(c.data_bits));
    out.push_back("Stop Bits: " + num(c.stop_bits));
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
    out.push_back("Baud Rate: " + num(c.baud));
    out.push_back("Data Bits: " + num(c.data_bits));
    out.push_back("Stop Bits: " + num(c.stop_bits));
    out.push_back(config::parity_report_text(c.parity));
    out.push_back(config::rs485_protocol_report_text(c.protocol));
    out.push_back("Slave Address: " + num(c.slave_address));
    out.push_back("Poll Rate (s): " + num(c.poll_rate_s));
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
    out.push_back("Dive Number: " + num(p.dive_number));
    out.push_back("Salinity (PSU): " + fixed(p.salinity_psu, 3));
    out.push_back("Temperature (C): " + fixed(p.temperature_c, 3));
    out.push_back("Dissolved Oxygen (ml/l): " + fixed(p.oxygen_ml_l, 3));
    out.push_back("Depth (m): " + fixed(p.depth_m, 3));
    out.push_back(config::direction_report_text(p.direction));
    out.push_back("Time Offset (s): " + num(p.time_offset_s));
    out.push_back("P1: " + num(p.p1));
    out.push_back("P2: " + num(p.p2));
    out.push_back("P3: " + num(p.p3));
}

}  // namespace kelpira::report

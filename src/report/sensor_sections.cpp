// The report's sections about the sensor itself: identification, time, chemistry, optics with
// valves and pump, thermistors, and software.
#include <string>
#include <vector>

#include "common/time_text.hpp"
#include "common/visible_text.hpp"
#include "link/actuator_commands.hpp"
#include "link/device_types.hpp"
#include "link/firmware_releases.hpp"
#include "link/identity_commands.hpp"
#include "link/identity_fields.hpp"
#include "records/actuator_fields.hpp"
#include "records/chemistry_transfer.hpp"
#include "report/report_sections.hpp"

namespace kelpira::report {

namespace {

using link::kResultSuccess;

std::string two(int v) {
    return v < 10 ? "0" + num(v) : num(v);
}

// "dd/mm/yyyy hh:mm:ss" of a UTC time.
std::string date_time_text(std::int64_t seconds) {
    const auto f = common::utc_fields(seconds);
    std::string year = num(f.year);
    year.insert(0, year.size() < 4 ? 4 - year.size() : 0, '0');
    return two(f.day) + "/" + two(f.month) + "/" + year + " " + two(f.hour) + ":" + two(f.minute) +
           ":" + two(f.second);
}

void pump_lines(const records::PumpValveDefaults& p, Lines& out) {
    for (const auto* name :
         {"current_ma", "step_period_us", "microstepping", "direction", "stop_condition",
          "hall_limit_inject", "hall_limit_withdraw", "timeout_s", "valve_spike_ms"}) {
        out.push_back(field_line(p, name));
    }
}

void dic_lines(link::SensorLink& link, Lines& out) {
    link::RecordBytes<link::kDicConductivityConfigSize> bytes{};
    const auto rc = link::get_dic_config(link, bytes);
    if (rc != kResultSuccess) {
        out.push_back(with_status("unable to read DIC configuration from sensor", rc));
        return;
    }
    const auto d = records::decode_dic_conductivity_config(bytes);
    out.push_back(field_line(d, "frequency_khz"));
    out.push_back(field_line(d, "excitation_pct"));
    out.push_back(field_line(d, "rxgain"));
    out.push_back(field_line(d, "offset_v"));
}

}  // namespace

void identification_section(link::SensorLink& link, ConfigReport& report) {
    link::DeviceInfo info;
    link::SensorIdentification id;
    if (link::get_device_info(link, info) != kResultSuccess ||
        link::get_sensor_identification(link, id) != kResultSuccess) {
        report.lines.emplace_back("unable to read DEVICE state/configuration from sensor");
        return;
    }
    report.lines.push_back("Sensor Device: " + link::DeviceTypeName(info.device_type));
    // The name is text, shown with its bytes made visible.
    const auto& name = *records::find_field<link::SensorIdentification>("name");
    report.lines.push_back(std::string(report_caption(name.spec)) + ": " +
                           common::visible_text(id.name));
    report.lines.push_back(field_line(id, "serial_number"));
    report.lines.push_back(field_line(id, "board_serial_number"));
    report.lines.push_back("Bootloader Version: " + num(info.bootloader_version));
    report.name = common::visible_text(id.name.substr(0, kReportNameMax));
}

void time_section(link::SensorLink& link, std::int64_t pc_utc, Lines& out) {
    out.push_back("PC time now: " + date_time_text(pc_utc) + " UTC");
    sensor_time_line(link, out);
}

ChemistryRead chemistry_section(link::SensorLink& link, Lines& out) {
    records::ChemistryConfig c;
    const auto rc = records::get_chemistry_config(link, c);
    if (rc != kResultSuccess) {
        out.push_back(with_status("unable to read chemistry configuration from sensor", rc));
        return std::nullopt;
    }
    out.push_back(records::chemistry_report_text(c.chemistry));
    const std::size_t length = records::processing_record_length(c.chemistry);
    if (length == 0) {
        return c;
    }
    out.push_back(field_line(c, "sample_interval_ms"));
    out.push_back(field_line(c, "multiplexer"));
    std::vector<std::uint8_t> params(length);
    const auto prc = records::get_processing_params(link, c.chemistry, params);
    if (prc != kResultSuccess) {
        out.push_back(
            with_status("unable to read chemistry processing parameters from sensor", prc));
    } else {
        processing_param_lines(c.chemistry, params, out);
    }
    // A start state is its number, or "disabled" for 255 (records::kStateDisabled). The report
    // lists the four start states of the operation views; the Special ones are not listed.
    for (const auto* name : {"start_auto_deployment", "start_manual_priming",
                             "start_manual_flushing", "start_manual_deployment"}) {
        const auto& f = *records::find_field<records::ChemistryConfig>(name);
        out.push_back(std::string(report_caption(f.spec)) + ": " +
                      state_text(static_cast<std::uint8_t>(f.get(c, 0))));
    }
    return c;
}

void optics_section(link::SensorLink& link, const ChemistryRead& chemistry, Lines& out) {
    const bool ammonia = chemistry && chemistry->chemistry == records::ChemistryType::ammonia;
    const bool dic = chemistry && chemistry->chemistry == records::ChemistryType::dic;
    link::RecordBytes<link::kOpticsDefaultsSize> optics_bytes{};
    link::RecordBytes<link::kPmtConfigSize> pmt_bytes{};
    link::RecordBytes<link::kPumpValveDefaultsSize> pump_bytes{};
    auto rc = link::get_optics_defaults(link, optics_bytes);
    if (rc == kResultSuccess && ammonia) {
        rc = link::get_pmt_config(link, pmt_bytes);
    }
    if (rc == kResultSuccess) {
        rc = link::get_pump_valve_defaults(link, pump_bytes);
    }
    if (rc != kResultSuccess) {
        out.push_back(with_status(
            "unable to read optics, valves and pump defaults configuration from sensor", rc));
    } else {
        const auto optics = records::decode_optics_defaults(optics_bytes);
        const auto pump = records::decode_pump_valve_defaults(pump_bytes);
        element_lines(optics, "led_current_ua", out);
        out.push_back(field_line(optics, "photodiode_power"));
        out.push_back(field_line(pump, "hall_power"));
        if (ammonia) {
            const auto pmt = records::decode_pmt_config(pmt_bytes);
            out.push_back(field_line(pmt, "instrument"));
            out.push_back(field_line(pmt, "control_v"));
        }
        pump_lines(pump, out);
    }
    if (dic) {
        dic_lines(link, out);
    }
}

void thermistors_section(link::SensorLink& link, Lines& out) {
    for (std::uint8_t i = 0; i < 3; ++i) {
        records::ThermistorConfig t;
        const auto rc = records::get_thermistor_config(link, i, t);
        if (rc != kResultSuccess) {
            out.push_back(with_status(
                "unable to read thermistor " + num(i) + " configuration from sensor", rc));
            continue;
        }
        out.push_back("Thermistor " + num(i) + ": input channel=" + num(t.input_channel) +
                      ", temperature(C)=" + fixed(t.a3, 5) + " volt^3 + " + fixed(t.a2, 5) +
                      " volt^2 + " + fixed(t.a1, 5) + " volt + " + fixed(t.a0, 5));
    }
}

void software_section(link::SensorLink& link, Lines& out) {
    link::FirmwareVersion version;
    const auto rc = link::get_firmware_version(link, version);
    if (rc != kResultSuccess) {
        out.push_back(with_status("unable to read SOFTWARE configuration from sensor", rc));
        return;
    }
    out.emplace_back("GUI Version: " + std::string(link::kGuiVersion));
    out.push_back("Firmware Version: " + common::visible_text(version.text));
}

}  // namespace kelpira::report

// The configuration report: the sections in their order, framed by separator lines.
#include "report/config_report.hpp"

#include <algorithm>

#include "report/report_sections.hpp"

namespace kelpira::report {

namespace {

const std::string kSeparator(72, '=');

// Appends one section: title, separator, its lines and, unless it is the last, a separator.
template <typename Fill>
void section(ConfigReport& report, const char* title, bool last, Fill fill) {
    report.lines.emplace_back(title);
    report.lines.push_back(kSeparator);
    fill(report.lines);
    if (!last) {
        report.lines.push_back(kSeparator);
    }
}

}  // namespace

ConfigReport build_config_report(link::SensorLink& link, std::int64_t pc_utc) {
    ConfigReport r;
    r.lines.push_back(kSeparator);
    section(r, "SENSOR IDENTIFICATION:", false, [&](Lines&) { identification_section(link, r); });
    section(r, "TIME CONFIGURATION:", false, [&](Lines& out) { time_section(link, pc_utc, out); });
    ChemistryRead chemistry;
    section(r, "CHEMISTRY CONFIGURATION:", false,
            [&](Lines& out) { chemistry = chemistry_section(link, out); });
    section(r, "OPTICS, VALVES & PUMP DEFAULTS CONFIGURATION:", false,
            [&](Lines& out) { optics_section(link, chemistry, out); });
    section(r, "THERMISTORS CONFIGURATION:", false,
            [&](Lines& out) { thermistors_section(link, out); });
    section(r, "RS232 CONFIGURATION:", false, [&](Lines& out) { rs232_section(link, out); });
    section(r, "RS485 CONFIGURATION:", false, [&](Lines& out) { rs485_section(link, out); });
    section(r, "PLATFORM DEFAULTS CONFIGURATION:", false,
            [&](Lines& out) { platform_section(link, out); });
    section(r, "SCHEDULE CONFIGURATION:", false, [&](Lines& out) { schedule_section(link, out); });
    section(r, "SOFTWARE CONFIGURATION:", true, [&](Lines& out) { software_section(link, out); });
    return r;
}

std::string default_report_file_name(const ConfigReport& report) {
    return file_name_stem(report) + "_config.log";
}

std::string file_name_stem(const ConfigReport& report) {
    std::string stem = report.name;
    std::replace(stem.begin(), stem.end(), '/', '_');
    return stem;
}

}  // namespace kelpira::report

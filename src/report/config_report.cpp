// The configuration report: the sections in their order, framed by separator lines.
#include "report/config_report.hpp"

#include <algorithm>
#include <span>

#include "link/closed_link.hpp"
#include "report/report_sections.hpp"

namespace kelpira::report {

namespace {

const std::string kSeparator(72, '=');

bool lost_exchange(const std::string& line) {
    return line.starts_with(kReportErrorLead) && line.ends_with("(status=14)");
}

// The link the sections read through. Two sections in a row that found no sensor to answer
// them mean it has gone (one lost answer does not): the sections after them read through the
// closed link, so each still shows its error line but none waits out the time-out again.
struct Reading {
    link::SensorLink* link;
    int lost_in_a_row = 0;
};

// Appends one section: title, separator, its lines and, unless it is the last, a separator.
template <typename Fill>
void section(ConfigReport& report, Reading& reading, const char* title, bool last, Fill fill) {
    report.lines.emplace_back(title);
    report.lines.push_back(kSeparator);
    const auto first = report.lines.size();
    fill(*reading.link, report.lines);
    const auto added = std::span(report.lines).subspan(first);
    report.failed_reads += static_cast<std::size_t>(
        std::count_if(added.begin(), added.end(),
                      [](const std::string& line) { return line.starts_with(kReportErrorLead); }));
    if (!std::any_of(added.begin(), added.end(), lost_exchange)) {
        reading.lost_in_a_row = 0;
    } else if (++reading.lost_in_a_row == 2) {
        reading.link = &link::closed_link();
    }
    if (!last) {
        report.lines.push_back(kSeparator);
    }
}

}  // namespace

ConfigReport build_config_report(link::SensorLink& sensor_link, std::int64_t pc_utc) {
    ConfigReport r;
    Reading on{&sensor_link};
    r.lines.push_back(kSeparator);
    section(r, on, "SENSOR IDENTIFICATION:", false,
            [&](link::SensorLink& l, Lines&) { identification_section(l, r); });
    section(r, on, "TIME CONFIGURATION:", false,
            [&](link::SensorLink& l, Lines& out) { time_section(l, pc_utc, out); });
    ChemistryRead chemistry;
    section(r, on, "CHEMISTRY CONFIGURATION:", false,
            [&](link::SensorLink& l, Lines& out) { chemistry = chemistry_section(l, out); });
    section(r, on, "OPTICS, VALVES & PUMP DEFAULTS CONFIGURATION:", false,
            [&](link::SensorLink& l, Lines& out) { optics_section(l, chemistry, out); });
    section(r, on, "THERMISTORS CONFIGURATION:", false,
            [&](link::SensorLink& l, Lines& out) { thermistors_section(l, out); });
    section(r, on, "RS232 CONFIGURATION:", false,
            [&](link::SensorLink& l, Lines& out) { rs232_section(l, out); });
    section(r, on, "RS485 CONFIGURATION:", false,
            [&](link::SensorLink& l, Lines& out) { rs485_section(l, out); });
    section(r, on, "PLATFORM DEFAULTS CONFIGURATION:", false,
            [&](link::SensorLink& l, Lines& out) { platform_section(l, out); });
    section(r, on, "SCHEDULE CONFIGURATION:", false,
            [&](link::SensorLink& l, Lines& out) { schedule_section(l, out); });
    section(r, on, "SOFTWARE CONFIGURATION:", true,
            [&](link::SensorLink& l, Lines& out) { software_section(l, out); });
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

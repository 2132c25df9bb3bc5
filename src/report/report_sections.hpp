// The sections of the configuration report, each reading its records and adding its lines.
// Used by config_report.cpp only.
#pragma once

#include <optional>
#include <span>

#include "link/sensor_link.hpp"
#include "records/chemistry_config.hpp"
#include "records/field_table.hpp"
#include "report/config_report.hpp"
#include "report/report_lines.hpp"

namespace kelpira::report {

// The chemistry record, when it could be read: the optics section depends on it.
using ChemistryRead = std::optional<records::ChemistryConfig>;

void identification_section(link::SensorLink& link, ConfigReport& report);
void time_section(link::SensorLink& link, std::int64_t pc_utc, Lines& out);
// "Sensor time now: ..." or the clock's error line.
void sensor_time_line(link::SensorLink& link, Lines& out);
ChemistryRead chemistry_section(link::SensorLink& link, Lines& out);
void optics_section(link::SensorLink& link, const ChemistryRead& chemistry, Lines& out);
void thermistors_section(link::SensorLink& link, Lines& out);
void rs232_section(link::SensorLink& link, Lines& out);
void rs485_section(link::SensorLink& link, Lines& out);
void platform_section(link::SensorLink& link, Lines& out);
void schedule_section(link::SensorLink& link, Lines& out);
void software_section(link::SensorLink& link, Lines& out);

// A field's value as the report writes it: in its row's format, a list's or a check box's by
// its word (records/field_words.hpp), a numbered list's by its entry's text where it has one;
// `number` writes a list's value as a number.
std::string value_text(const records::FieldSpec& s, std::uint32_t bits, bool number);

// The report's caption where the row gives one, else the dialogs'.
inline std::string_view report_caption(const records::FieldSpec& s) {
    return s.report.empty() ? s.caption : s.report;
}

// "<caption>: <value>" of the field `name`.
template <records::TableRecord Rec>
std::string field_line(const Rec& r, std::string_view name, bool number = false) {
    const auto& f = *records::find_field<Rec>(name);
    return std::string(report_caption(f.spec)) + ": " + value_text(f.spec, f.get(r, 0), number);
}

// The field_line of each element of the array field `name`, "%1" in its caption the index.
template <records::TableRecord Rec>
void element_lines(const Rec& r, std::string_view name, Lines& out) {
    const auto& f = *records::find_field<Rec>(name);
    for (std::size_t i = 0; i < f.count; ++i) {
        std::string caption(report_caption(f.spec));
        if (const auto at = caption.find("%1"); at != std::string::npos) {
            caption.replace(at, 2, num(static_cast<std::int64_t>(i)));
        }
        out.push_back(caption + ": " + value_text(f.spec, f.get(r, i), false));
    }
}

// The processing-parameter lines of a chemistry in the table (none for Ammonia).
void processing_param_lines(records::ChemistryType chemistry, std::span<const std::uint8_t> record,
                            Lines& out);

}  // namespace kelpira::report

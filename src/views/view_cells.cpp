// Column tables and cell texts of the raw output, processed output and diagnostics lists,
// the restart log and the task table.
#include "views/view_cells.hpp"

#include <cstdarg>
#include <cstdio>

#include "common/time_text.hpp"

namespace kelpira::views {

namespace {

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

std::string format(const char* pattern, ...) {
    char buffer[256];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(buffer, sizeof buffer, pattern, args);
    va_end(args);
    return buffer;
}

std::string milli_one_decimal(std::int32_t milli) {
    return format("%.1f", milli / 1000.0);
}

std::string three_decimals(double v) {
    return format("%.3f", v);
}

}  // namespace

std::vector<ViewColumn> raw_output_columns() {
    std::vector<ViewColumn> columns{{"Counter", 10}, {"State", 5}};
    for (int n = 0; n < 8; ++n) {
        columns.push_back({format("Ch %d", n), 9});
    }
    const std::vector<ViewColumn> rest{
        {"Temp (°C)", 9},
        {"Voltage (V)", 9},
        {"Hall (I)", 9},
        {"Hall (W)", 9},
        {"Sensor Timestamp", 20},
        {"Platform Salinity (PSU)", 15},
        {"Platform Temp (°C)", 15},
        {"Platform DO (ml/l)", 15},
        {"Platform Depth (m)", 15},
        {"Platform Timestamp", 20},
    };
    columns.insert(columns.end(), rest.begin(), rest.end());
    return columns;
}

std::string channel_volts_text(std::uint16_t counts) {
    return format("%.5f", counts * 5.0 / 65536.0);
}

std::vector<std::string> raw_output_cells(const records::LiveSample& s) {
    std::vector<std::string> cells{format("%u", s.counter), format("%u", unsigned{s.state})};
    for (const auto counts : s.channel) {
        cells.push_back(channel_volts_text(counts));
    }
    cells.push_back(milli_one_decimal(s.temperature_mc));
    cells.push_back(milli_one_decimal(s.voltage_mv));
    cells.push_back(format("%u", unsigned{s.hall_i}));
    cells.push_back(format("%u", unsigned{s.hall_w}));
    cells.push_back(common::utc_time_text(s.sensor_time));
    if (s.platform_valid == 0) {
        cells.insert(cells.end(), 5, "n/a");
    } else {
        cells.push_back(three_decimals(s.platform_salinity));
        cells.push_back(three_decimals(s.platform_temperature));
        cells.push_back(three_decimals(s.platform_do));
        cells.push_back(three_decimals(s.platform_depth));
        cells.push_back(common::utc_time_text(s.platform_time));
    }
    return cells;
}

std::vector<ViewColumn> processed_output_columns() {
    return {
        {"Dive Number", 10},
        {"Sensor Timestamp", 15},
        {"Platform Timestamp", 15},
        {"Value", 10},
        {"Validity", 10},
        {"Platform Depth (m)", 15},
        {"Platform Direction", 15},
        {"Platform Salinity (PSU)", 15},
        {"Platform Temperature (°C)", 20},
        {"P1", 15},
        {"P2", 15},
        {"P3", 15},
    };
}

namespace {

// Titles of columns 3, 9, 10 and 11 by chemistry; an empty title leaves the column as it is.
struct ChemistryTitles {
    records::ChemistryType chemistry;
    std::array<const char*, 4> titles;
};

constexpr const char* kNutrientP[3] = {"Medium (uM)", "Short (uM)", "Long (uM)"};

constexpr std::array<ChemistryTitles, 10> kChemistryTitles{{
    {records::ChemistryType::generic, {"Generic Value", "", "", ""}},
    {records::ChemistryType::nitrate,
     {"Nitrate (uM)", kNutrientP[0], kNutrientP[1], kNutrientP[2]}},
    {records::ChemistryType::phosphate,
     {"Phosphate (uM)", kNutrientP[0], kNutrientP[1], kNutrientP[2]}},
    {records::ChemistryType::silicate,
     {"Silicate (uM)", kNutrientP[0], kNutrientP[1], kNutrientP[2]}},
    {records::ChemistryType::ph, {"pH", "Platform DO (ml/l)", "r", "Thermistor t (degC)"}},
    {records::ChemistryType::nitrite,
     {"Nitrite (uM)", kNutrientP[0], kNutrientP[1], kNutrientP[2]}},
    {records::ChemistryType::iron, {"Iron (uM)", kNutrientP[0], kNutrientP[1], kNutrientP[2]}},
    {records::ChemistryType::ta,
     {"TA (umol/kg)", "Absorbance LED1", "Absorbance LED2", "Temperature (C)"}},
    {records::ChemistryType::dic,
     {"DIC (umol/kg)", "Sample Step (V)", "CRM Step (V)", "Temperature (C)"}},
    {records::ChemistryType::ammonia, {"Ammonia (?\?\?)", "", "", ""}},
}};

constexpr std::array<std::size_t, 4> kTitledColumns{3, 9, 10, 11};
constexpr int kTitledWidth = 15;

}  // namespace

void title_processed_columns(std::vector<ViewColumn>& columns, records::ChemistryType chemistry) {
    std::array<const char*, 4> titles{"Unknown Value", "", "", ""};
    for (const auto& entry : kChemistryTitles) {
        if (entry.chemistry == chemistry) {
            titles = entry.titles;
        }
    }
    for (std::size_t i = 0; i < kTitledColumns.size(); ++i) {
        if (*titles[i] != '\0' && kTitledColumns[i] < columns.size()) {
            columns[kTitledColumns[i]] = {titles[i], kTitledWidth};
        }
    }
    if (chemistry == records::ChemistryType::dic && !columns.empty()) {
        columns[0] = {"Meas State", 10};
    }
}

std::string validity_text(std::uint8_t validity) {
    switch (validity) {
        case records::kValidityGood:
            return "good";
        case records::kValidityBad:
            return "bad";
        default:
            return "unknown";
    }
}

std::string direction_text(std::uint8_t direction) {
    switch (direction) {
        case records::kDirectionSurfaced:
            return "surfaced";
        case records::kDirectionDiving:
            return "diving";
        case records::kDirectionClimbing:
            return "climbing";
        case records::kDirectionHovering:
            return "hovering";
        default:
            return "unknown";
    }
}

std::vector<std::string> processed_output_cells(const records::OutputRecord& r) {
    return {
        format("%u", unsigned{r.dive_number}),
        common::utc_time_text(r.sensor_time),
        common::utc_time_text(r.platform_time),
        three_decimals(r.value),
        validity_text(r.validity),
        three_decimals(r.platform_depth),
        direction_text(r.platform_direction),
        three_decimals(r.platform_salinity),
        three_decimals(r.platform_temperature),
        three_decimals(r.p1),
        three_decimals(r.p2),
        three_decimals(r.p3),
    };
}

std::vector<ViewColumn> diagnostics_columns() {
    return {{"Counter", 10},  {"Task ID", 7}, {"Severity", 7},
            {"Function", 25}, {"Line", 10},   {"Message", 80}};
}

std::string severity_text(std::uint8_t severity) {
    switch (severity) {
        case records::kSeverityError:
            return "E";
        case records::kSeverityInfo:
            return "I";
        case records::kSeverityDebug:
            return "D";
        default:
            return "?";
    }
}

ViewRow diagnostics_row(const records::DiagnosticsEntry& e) {
    ViewRow row;
    // The counter is shown as a signed number, as the sensor's own log prints it.
    row.cells = {format("%08d", static_cast<int>(e.counter)),
                 format("%02d", int{e.task_id}),
                 severity_text(e.severity),
                 e.function,
                 format("%d", e.line),
                 e.message};
    if (e.message.find("Restarted after reset") != std::string::npos) {
        row.colour = kBlue;
    } else if (e.severity == records::kSeverityError) {
        row.colour = kRed;
    }
    return row;
}

std::vector<ViewColumn> restart_log_columns() {
    return {{"Counter", 10},
            {"RTC Time", 15},
            {"Reset Cause", 15},
            {"Supply Voltage", 15},
            {"USB Connected", 15}};
}

std::string reset_cause_text(std::uint16_t cause) {
    const char* meaning = "see datasheet";
    switch (cause) {
        case records::kResetClockChanged:
            meaning = "RTC time changed";
            break;
        case records::kResetPowerOn:
            meaning = "Power On Reset";
            break;
        case records::kResetExternal:
            meaning = "External Reset";
            break;
        case records::kResetWatchdog:
            meaning = "WDT reset";
            break;
        default:
            break;
    }
    return format("%u (%s)", unsigned{cause}, meaning);
}

std::vector<std::string> restart_log_cells(const records::RestartLogEntry& e) {
    return {format("%u", e.counter), common::utc_time_text(e.rtc_time),
            reset_cause_text(e.reset_cause), format("%.1fV", e.supply_decivolts / 10.0),
            e.usb_connected != 0 ? "yes" : "no"};
}

TaskTexts task_texts(const records::TaskDetails& t) {
    // Unsigned arithmetic as the sensor's addresses are: a stack top above its end wraps.
    const std::uint32_t used = t.stack_end - t.stack_top + 1;
    const std::uint32_t size = t.stack_end - t.stack_start + 1;
    return {t.name,
            format("%X", t.stack_start),
            format("%X", t.stack_end),
            format("%X", t.stack_top),
            format("%u/%u", used, size),
            t.active != 0 ? "Active" : "Inactive"};
}

std::vector<std::string> column_titles(const std::vector<ViewColumn>& columns) {
    std::vector<std::string> titles;
    titles.reserve(columns.size());
    for (const auto& c : columns) {
        titles.push_back(c.title);
    }
    return titles;
}

}  // namespace kelpira::views

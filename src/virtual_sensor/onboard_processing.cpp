// The emulated sensor's own processing of the rows it writes.
#include "virtual_sensor/onboard_processing.hpp"

#include "processing/raw_header.hpp"
#include "processing/raw_row_scan.hpp"

namespace kelpira::virtual_sensor {

namespace {

using records::ChemistryType;

processing::RawChemistry raw_chemistry(ChemistryType c) {
    return c == ChemistryType::ph ? processing::RawChemistry::ph
                                  : processing::RawChemistry::nutrient;
}

// The platform's direction from its depth now and at the previous row.
std::uint8_t direction(double depth, double previous) {
    constexpr double kStill = 0.001;  // metres between rows
    if (depth > previous + kStill) {
        return records::kDirectionDiving;
    }
    if (depth < previous - kStill) {
        return records::kDirectionClimbing;
    }
    return records::kDirectionHovering;
}

records::OutputRecord from_nutrient(const processing::NutrientResult& r) {
    records::OutputRecord o;
    o.sensor_time = r.sensor_time;
    o.platform_time = r.platform_time;
    o.platform_salinity = r.salinity;
    o.platform_temperature = r.temperature;
    o.platform_depth = r.depth;
    o.value = r.output_value;
    o.validity = r.validity == 1 ? records::kValidityGood : records::kValidityBad;
    o.p1 = r.medium;
    o.p2 = r.short_path;
    o.p3 = r.long_path;
    return o;
}

records::OutputRecord from_ph(const processing::PhResult& r, const processing::RawRow& row) {
    records::OutputRecord o;
    o.sensor_time = r.time;
    o.platform_time = row.platform_time;
    o.platform_salinity = r.salinity;
    o.platform_temperature = r.temperature;
    o.platform_depth = static_cast<float>(row.depth);
    o.value = r.ph;
    o.validity = r.valid == 1 ? records::kValidityGood : records::kValidityBad;
    o.p1 = r.oxygen;
    o.p2 = static_cast<float>(r.r);
    o.p3 = static_cast<float>(r.thermistor_temperature);
    return o;
}

// `heading`: the platform's direction as the row was taken.
std::optional<records::OutputRecord> feed(OnboardProcessing& p, const processing::RawRow& row,
                                          std::uint8_t heading) {
    std::optional<records::OutputRecord> out;
    if (records::is_nutrient(p.chemistry)) {
        if (const auto r = p.nutrient_engine.feed(p.chemistry, p.nutrient, row)) {
            out = from_nutrient(*r);
        }
    } else if (p.chemistry == ChemistryType::ph) {
        if (const auto r = p.ph_engine.feed(p.ph, row, p.interval_ms, p.thermistors)) {
            out = from_ph(*r, row);
        }
    } else {
        if (row.state == p.cycle_state && p.cycle_rows > 0) {
            out = records::OutputRecord{};
            out->sensor_time = row.sensor_time;
            out->platform_time = row.platform_time;
            out->platform_salinity = static_cast<float>(row.salinity);
            out->platform_temperature = static_cast<float>(row.temperature);
            out->platform_depth = static_cast<float>(row.depth);
            out->value = p.cycle_sum / p.cycle_rows;
            out->validity = records::kValidityGood;
            p.cycle_sum = 0;
            p.cycle_rows = 0;
        }
        if (row.state != 255) {
            p.cycle_sum += row.channels[0];
            ++p.cycle_rows;
        }
    }
    if (out) {
        out->dive_number = ++p.dive_number;
        out->platform_direction = heading;
    }
    return out;
}

}  // namespace

void reset_processing(OnboardProcessing& p, std::uint8_t start_state) {
    p.nutrient_engine.reset();
    p.ph_engine.reset();
    p.cycle_state = start_state;
    p.cycle_sum = 0;
    p.cycle_rows = 0;
    p.dive_number = 0;
    p.last_depth = 0;
    p.last_direction = records::kDirectionHovering;
}

std::optional<records::OutputRecord> process_row(OnboardProcessing& p, std::string_view row_text) {
    if (!row_text.empty() && row_text.back() == '\n') {
        row_text.remove_suffix(1);
    }
    processing::RawRow row;
    if (!processing::parse_row(row_text, raw_chemistry(p.chemistry), row)) {
        return std::nullopt;
    }
    const std::uint8_t heading = direction(row.depth, p.last_depth);
    auto out = feed(p, row, heading);
    p.last_depth = row.depth;
    p.last_direction = heading;
    return out;
}

std::optional<records::OutputRecord> finish_processing(OnboardProcessing& p) {
    auto row = processing::closing_row();
    row.depth = p.last_depth;
    return feed(p, row, p.last_direction);
}

}  // namespace kelpira::virtual_sensor

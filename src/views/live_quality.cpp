// The processed output views' flags: the series of a chemistry's results and the flag each
// result shows.
#include "views/live_quality.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace kelpira::views {

namespace {

struct ChemistryKind {
    records::ChemistryType chemistry;
    std::string_view kind;  // as a parameters file names it
    bool nutrient;
};

constexpr std::array<ChemistryKind, 9> kKinds{{
    {records::ChemistryType::nitrate, "nitrate", true},
    {records::ChemistryType::nitrite, "nitrite", true},
    {records::ChemistryType::phosphate, "phosphate", true},
    {records::ChemistryType::silicate, "silicate", true},
    {records::ChemistryType::iron, "iron", true},
    {records::ChemistryType::ammonia, "ammonia", true},
    {records::ChemistryType::ph, "pH", false},
    {records::ChemistryType::ta, "TA", false},
    {records::ChemistryType::dic, "DIC", false},
}};

quality::Flag unflagged(double value) {
    return std::isfinite(value) ? quality::Flag::not_evaluated : quality::Flag::missing;
}

}  // namespace

Rgb flag_rgb(quality::Flag flag) {
    const std::uint32_t c = quality::flag_colour(flag).value_or(0xFFFFFF);
    return {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
            static_cast<std::uint8_t>(c)};
}

FlagCell flag_cell(quality::Flag flag) {
    FlagCell cell{std::to_string(quality::flag_value(flag)), std::nullopt};
    if (quality::flag_colour(flag)) {
        cell.colour = flag_rgb(flag);
    }
    return cell;
}

double shown_value(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    return std::strtod(text, nullptr);
}

LiveQuality::LiveQuality(const std::optional<quality::QcParametersFile>& parameters,
                         records::ChemistryType chemistry) {
    std::string_view kind;
    for (const auto& k : kKinds) {
        if (k.chemistry == chemistry) {
            kind = k.kind;
            nutrient_ = k.nutrient;
        }
    }
    series_count_ = nutrient_ ? quality::kNutrientChannels.size() : 1;
    if (!parameters) {
        return;
    }
    for (std::size_t s = 0; s < series_count_; ++s) {
        const auto channel = nutrient_ ? quality::kNutrientChannels[s] : std::string_view{};
        if (const auto* p = quality::series_parameters(*parameters, kind, channel)) {
            series_[s] = std::make_unique<quality::LiveSeries>(*p);
        }
    }
}

LiveResultFlags LiveQuality::append(const records::OutputRecord& record) {
    const std::size_t number = appended_++;
    LiveResultFlags out;
    out.flag = unflagged(record.value);
    const double time = record.sensor_time;
    if (results_.size() >= kMaxResults || (last_time_ && !(time > *last_time_))) {
        return out;
    }
    last_time_ = time;
    const std::array<float, kMaxSeries> channel{record.p1, record.p2, record.p3};
    Result result;
    result.missing = !std::isfinite(record.value);
    for (std::size_t s = 0; s < series_count_; ++s) {
        const double value = shown_value(nutrient_ ? double{channel[s]} : record.value);
        if (!nutrient_ || static_cast<float>(record.value) == channel[s]) {
            result.reports |= static_cast<std::uint8_t>(1U << s);
        }
        result.aggregate[s] = unflagged(value);
        if (!series_[s]) {
            continue;
        }
        const auto flags = series_[s]->append(time, value);
        result.aggregate[s] = flags->flags[quality::kAggregateFlag];
        if (flags->revised) {
            Result& earlier = results_[*flags->revised];
            const quality::Flag before = shown(earlier);
            earlier.aggregate[s] = flags->revised_flags[quality::kAggregateFlag];
            if (const quality::Flag after = shown(earlier); after != before) {
                out.revised.push_back({result_of_[*flags->revised], after});
            }
        }
    }
    result_of_.push_back(static_cast<std::uint32_t>(number));
    results_.push_back(result);
    out.flag = shown(result);
    return out;
}

quality::Flag LiveQuality::shown(const Result& result) const {
    if (result.missing) {
        return quality::Flag::missing;
    }
    const std::uint8_t from = result.reports != 0 ? result.reports : 0xFF;
    std::optional<quality::Flag> flag;
    for (std::size_t s = 0; s < series_count_; ++s) {
        if ((from >> s & 1U) != 0) {
            flag = flag ? quality::shown_of(*flag, result.aggregate[s]) : result.aggregate[s];
        }
    }
    return flag.value_or(quality::Flag::not_evaluated);
}

}  // namespace kelpira::views

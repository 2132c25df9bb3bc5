// The emulated sensor's own processing of the samples it takes.
#include "virtual_sensor/onboard_processing.hpp"

#include "records/platform_records.hpp"

namespace kelpira::virtual_sensor {

namespace {

using records::ChemistryType;
using Volts = std::array<double, records::LiveSample::kChannels>;

constexpr std::uint8_t kClosingState = 255;

// The platform's direction from its depth now and at the previous sample.
std::uint8_t direction(double depth, double previous) {
    constexpr double kStill = 0.001;  // metres between samples
    if (depth > previous + kStill) {
        return records::kDirectionDiving;
    }
    if (depth < previous - kStill) {
        return records::kDirectionClimbing;
    }
    return records::kDirectionHovering;
}

Volts volts_of(const records::LiveSample& s) {
    Volts v{};
    for (std::size_t c = 0; c < v.size(); ++c) {
        v[c] = s.channel[c] * 5.0 / 65536.0;
    }
    return v;
}

std::optional<records::OutputRecord> cycle_mean(OnboardProcessing& p, const records::LiveSample& s,
                                                const Volts& v) {
    std::optional<records::OutputRecord> out;
    // A cycle ends as the start state is entered again, not on each of its samples.
    const bool entered_start = s.state == p.cycle_state && p.previous_state != s.state;
    p.previous_state = s.state;
    if (entered_start && p.cycle_rows > 0) {
        out = records::OutputRecord{};
        out->sensor_time = s.sensor_time;
        out->platform_time = s.platform_time;
        out->platform_salinity = s.platform_salinity;
        out->platform_temperature = s.platform_temperature;
        out->platform_depth = s.platform_depth;
        out->value = p.cycle_sum / p.cycle_rows;
        out->validity = records::kValidityGood;
        p.cycle_sum = 0;
        p.cycle_rows = 0;
    }
    if (s.state != kClosingState) {
        p.cycle_sum += v[0];
        ++p.cycle_rows;
    }
    return out;
}

// `heading`: the platform's direction as the sample was taken.
std::optional<records::OutputRecord> feed(OnboardProcessing& p, const records::LiveSample& s,
                                          std::uint8_t heading) {
    const Volts v = volts_of(s);
    std::optional<records::OutputRecord> out;
    if (records::is_nutrient(p.chemistry)) {
        out = nutrient_sample(p.nutrient_state, p.chemistry, p.nutrient, s, v);
    } else if (p.chemistry == ChemistryType::ph) {
        out = ph_sample(p.ph_state, p.ph, p.interval_ms, p.thermistors, s, v);
    } else if (p.chemistry == ChemistryType::ta) {
        out = ta_sample(p.ta_state, p.ta, p.thermistors, s, v);
    } else if (p.chemistry == ChemistryType::dic) {
        out = dic_sample(p.dic_state, p.dic, p.thermistors[0], s, v);
    } else {
        out = cycle_mean(p, s, v);
    }
    if (out) {
        // A DIC record carries its measurement state where others count the cycles.
        ++p.dive_number;
        if (p.chemistry != ChemistryType::dic) {
            out->dive_number = p.dive_number;
        }
        out->platform_direction = heading;
    }
    return out;
}

}  // namespace

void reset_processing(OnboardProcessing& p, std::uint8_t start_state) {
    p.nutrient_state = OnboardNutrient{};
    p.ph_state = OnboardPh{};
    p.ta_state = OnboardTa{};
    p.dic_state = OnboardDic{};
    p.cycle_state = start_state;
    p.previous_state = kNoState;
    p.cycle_sum = 0;
    p.cycle_rows = 0;
    p.dive_number = 0;
    p.last_depth = 0;
    p.last_direction = records::kDirectionHovering;
}

std::optional<records::OutputRecord> process_sample(OnboardProcessing& p,
                                                    const records::LiveSample& sample) {
    const double depth = sample.platform_depth;
    const std::uint8_t heading = direction(depth, p.last_depth);
    auto out = feed(p, sample, heading);
    p.last_depth = depth;
    p.last_direction = heading;
    return out;
}

std::optional<records::OutputRecord> finish_processing(OnboardProcessing& p) {
    records::LiveSample closing;
    closing.state = kClosingState;
    closing.platform_depth = static_cast<float>(p.last_depth);
    return feed(p, closing, p.last_direction);
}

}  // namespace kelpira::virtual_sensor

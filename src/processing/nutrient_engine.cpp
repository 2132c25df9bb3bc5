// The nutrient engine: state segmentation, phase averages and the concentration of a channel.
#include "processing/nutrient_engine.hpp"

#include <cmath>

#include "common/number_scan.hpp"

namespace kelpira::processing {

namespace {

using records::NutrientChannel;
using records::NutrientParams;

constexpr double kTiny = 1e-11;

// A measurement input outside 0..7 (a damaged header) reads input 0, the first entry of the
// dialog's list; a monitoring input outside 0..7 is "None", the first entry of its list.
std::size_t measure_index(std::uint8_t input) {
    return input < 8 ? input : 0;
}
bool has_monitor(std::uint8_t input) {
    return input < 8;
}

double average(const NutrientAverages& a, NutrientPhase phase, std::size_t input) {
    return a[static_cast<std::size_t>(phase)][input];
}

bool is_measurement_state(const NutrientParams& p, std::uint8_t s) {
    return s == p.blank_measurement_state || s == p.sample_measurement_state ||
           s == p.standard1_state || s == p.standard2_state || s == p.optical_blank_state ||
           s == p.optical_sample_state;
}

}  // namespace

std::optional<double> nutrient_compute(records::ChemistryType type, const NutrientParams& params,
                                       const NutrientAverages& averages, std::uint8_t measure,
                                       std::uint8_t monitor, const EngineLog& log) {
    const std::size_t c = measure_index(measure);
    const double b = average(averages, NutrientPhase::blank, c);
    double s = average(averages, NutrientPhase::sample, c);
    double s1 = average(averages, NutrientPhase::standard1, c);
    double s2 = average(averages, NutrientPhase::standard2, c);
    const double ob = average(averages, NutrientPhase::optical_blank, c);
    double os = average(averages, NutrientPhase::optical_sample, c);

    // Drift of the light source, seen on the monitoring input, is scaled out against the
    // blank (and the optical-correction blank); the blanks themselves are the reference.
    if (has_monitor(monitor)) {
        const std::size_t m = monitor;
        const double bm = average(averages, NutrientPhase::blank, m);
        const double sm = average(averages, NutrientPhase::sample, m);
        const double s1m = average(averages, NutrientPhase::standard1, m);
        const double s2m = average(averages, NutrientPhase::standard2, m);
        const double obm = average(averages, NutrientPhase::optical_blank, m);
        const double osm = average(averages, NutrientPhase::optical_sample, m);
        if (std::fabs(sm) > kTiny) {
            s = s * bm / sm;
        }
        if (std::fabs(s1m) > kTiny) {
            s1 = s1 * bm / s1m;
        }
        if (std::fabs(s2m) > kTiny) {
            s2 = s2 * bm / s2m;
        }
        if (std::fabs(osm) > kTiny) {
            os = os * obm / osm;
        }
    }

    const double oc =
        params.optical_correction == 1 && ob > 0 && os > 0 ? -std::log10(os / ob) : 0.0;
    if (!(b > 0 && s > 0)) {
        return std::nullopt;
    }
    const double a = -std::log10(s / b) - oc / records::dilution_ratio(type);
    const double c1 = params.standard1_nmol / 1000.0;
    const double c2 = params.standard2_nmol / 1000.0;

    switch (params.standard_adjustment) {
        case 0: {
            if (!(s1 > 0)) {
                return std::nullopt;
            }
            const double a1 = -std::log10(s1 / b);
            log("nutrient = (%f / %f) * %f", a, a1, c1);
            return a / a1 * c1;
        }
        case 1: {
            if (!(s2 > 0)) {
                return std::nullopt;
            }
            const double a2 = -std::log10(s2 / b);
            log("nutrient = (%f / %f) * %f", a, a2, c2);
            return a / a2 * c2;
        }
        case 2: {
            if (!(s1 > 0 && s2 > 0)) {
                return std::nullopt;
            }
            const double a1 = -std::log10(s1 / b);
            const double a2 = -std::log10(s2 / b);
            // Least-squares line through the origin of absorbance against concentration.
            const double d = c1 * c1 + c2 * c2;
            if (!(std::fabs(d) > kTiny)) {
                return std::nullopt;
            }
            const double slope = (a1 * c1 + a2 * c2) / d;
            if (!(std::fabs(slope) > kTiny)) {
                return std::nullopt;
            }
            log("nutrient = (%f - %f) / %f", a, 0.0, slope);
            return a / slope;
        }
        default:
            log("Unknown nutrient standard ajustment %u", unsigned{params.standard_adjustment});
            return std::nullopt;
    }
}

void NutrientEngine::reset() {
    averages_ = {};
    sums_ = {};
    count_ = 0;
    previous_ = 255;
    result_ = {};
}

std::optional<NutrientResult> NutrientEngine::feed(records::ChemistryType type,
                                                   const NutrientParams& params,
                                                   const RawRow& row) {
    const std::uint8_t state = row.state;
    std::optional<NutrientResult> produced;
    if (state != previous_) {
        produced = leave_state(type, params, previous_);
        if (state == params.sample_intake_state) {
            log_("entered sample intake state");
            result_ = {};
            result_.sensor_time = row.sensor_time;
            result_.platform_time = row.platform_time;
            result_.salinity = common::to_f32(row.salinity);
            result_.temperature = common::to_f32(row.temperature);
            result_.depth = common::to_f32(row.depth);
        }
        if (is_measurement_state(params, state)) {
            log_("entering a measurement state (%u)", unsigned{state});
            sums_ = {};
            count_ = 0;
        }
    }
    if (count_ < kMaxRows) {
        for (std::size_t i = 0; i < sums_.size(); ++i) {
            sums_[i] += row.channels[i];
        }
        ++count_;
    }
    previous_ = state;
    return produced;
}

// State `left` has just been left: close the phase it measured and compute on a trigger.
std::optional<NutrientResult> NutrientEngine::leave_state(records::ChemistryType type,
                                                          const NutrientParams& params,
                                                          std::uint8_t left) {
    const unsigned s = left;
    const std::uint8_t trigger = params.processing_trigger;
    std::optional<NutrientPhase> phase;
    bool triggered = false;
    if (left == params.blank_measurement_state) {
        log_("exited blank measurement state (%u)", s);
        phase = NutrientPhase::blank;
        triggered = trigger == 3;
    } else if (left == params.sample_measurement_state) {
        log_("exited sample measurement state (%u)", s);
        phase = NutrientPhase::sample;
        triggered = trigger == 2;
    } else if (!(params.standard_adjustment == 1 && trigger != 0) &&
               left == params.standard1_state) {
        log_("exited standard1 measurement state (%u)", s);
        phase = NutrientPhase::standard1;
        triggered = trigger == 0;
    } else if ((params.standard_adjustment != 0 || trigger == 1) &&
               left == params.standard2_state) {
        log_("exited standard2 measurement state (%u)", s);
        phase = NutrientPhase::standard2;
        triggered = trigger == 1;
    } else if (params.optical_correction != 0 && left == params.optical_blank_state) {
        log_("exited optical correction blank measurement state (%u)", s);
        phase = NutrientPhase::optical_blank;
    } else if (params.optical_correction != 0 && left == params.optical_sample_state) {
        log_("exited optical correction sample measurement state (%u)", s);
        phase = NutrientPhase::optical_sample;
    }
    if (phase && count_ != 0) {
        auto& averages = averages_[static_cast<std::size_t>(*phase)];
        for (std::size_t i = 0; i < averages.size(); ++i) {
            averages[i] = sums_[i] / count_;
        }
    }
    if (!triggered) {
        return std::nullopt;
    }
    compute_result(type, params);
    return result_;
}

void NutrientEngine::compute_result(records::ChemistryType type, const NutrientParams& params) {
    struct Channel {
        NutrientChannel channel;
        const char* name;
        float NutrientResult::*field;
    };
    static constexpr Channel kChannels[] = {
        {NutrientChannel::medium, "medium", &NutrientResult::medium},
        {NutrientChannel::short_path, "short", &NutrientResult::short_path},
        {NutrientChannel::long_path, "long", &NutrientResult::long_path},
    };
    result_.validity = 2;
    for (const auto& ch : kChannels) {
        const auto value =
            nutrient_compute(type, params, averages_, records::measure_input(params, ch.channel),
                             records::monitor_input(params, ch.channel), log_);
        if (!value) {
            log_("processed nutrient result (%s) at %u failed", ch.name, result_.platform_time);
            continue;
        }
        result_.*ch.field = common::to_f32(*value);
        if (params.output_channel == static_cast<std::uint8_t>(ch.channel)) {
            result_.output_value = *value;
            result_.validity = 1;
        }
        log_("processed nutrient result (%s) at %u = %f", ch.name, result_.platform_time, *value);
    }
}

}  // namespace kelpira::processing

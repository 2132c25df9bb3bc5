// The firmware's nutrient processing.
#include "virtual_sensor/onboard_nutrient.hpp"

#include <cmath>

namespace kelpira::virtual_sensor {

namespace {

using Volts = std::array<double, records::LiveSample::kChannels>;
constexpr std::uint32_t kMostRows = 1000000;  // rows one state's average takes at most

// How much the optical-correction sample is diluted against the sample, by chemistry.
double dilution(records::ChemistryType c) {
    switch (c) {
        case records::ChemistryType::nitrate:
            return 1.5;
        case records::ChemistryType::phosphate:
            return 3.0;
        case records::ChemistryType::silicate:
            return 4.0;
        case records::ChemistryType::nitrite:
            return 2.0;
        case records::ChemistryType::iron:
            return 1.135;
        default:
            return 1.0;
    }
}

bool measures_in(const records::NutrientParams& p, std::uint8_t state) {
    return state == p.blank_measurement_state || state == p.sample_measurement_state ||
           state == p.standard1_state || state == p.standard2_state ||
           state == p.optical_blank_state || state == p.optical_sample_state;
}

double absorbance(double light, double reference) {
    return -std::log10(light / reference);
}

// Light through the cell, drift-corrected by the monitoring input: what it would read had the
// LED shone as during the blank.
double corrected(double light, double monitor_now, double monitor_blank) {
    return std::fabs(monitor_now) > 1e-11 ? light * monitor_blank / monitor_now : light;
}

// The concentration of one optical path, µM; nothing when the averages do not give one.
std::optional<double> concentration(const OnboardNutrient::Means& m, records::ChemistryType type,
                                    const records::NutrientParams& p, std::uint8_t in,
                                    std::uint8_t monitor) {
    if (in >= m.blank.size()) {
        return std::nullopt;
    }
    const double blank = m.blank[in];
    double sample = m.sample[in];
    double standard1 = m.standard1[in];
    double standard2 = m.standard2[in];
    double optical_sample = m.optical_sample[in];
    if (monitor < m.blank.size()) {
        sample = corrected(sample, m.sample[monitor], m.blank[monitor]);
        standard1 = corrected(standard1, m.standard1[monitor], m.blank[monitor]);
        standard2 = corrected(standard2, m.standard2[monitor], m.blank[monitor]);
        optical_sample =
            corrected(optical_sample, m.optical_sample[monitor], m.optical_blank[monitor]);
    }
    const double optical_blank = m.optical_blank[in];
    const double turbidity = p.optical_correction == 1 && optical_blank > 0 && optical_sample > 0
                                 ? absorbance(optical_sample, optical_blank)
                                 : 0.0;
    if (!(blank > 0 && sample > 0)) {
        return std::nullopt;
    }
    const double a = absorbance(sample, blank) - turbidity / dilution(type);
    const double c1 = p.standard1_nmol / 1000.0;
    const double c2 = p.standard2_nmol / 1000.0;
    switch (p.standard_adjustment) {
        case 0:
            if (!(standard1 > 0)) {
                return std::nullopt;
            }
            return a * c1 / absorbance(standard1, blank);
        case 1:
            if (!(standard2 > 0)) {
                return std::nullopt;
            }
            return a * c2 / absorbance(standard2, blank);
        case 2: {
            if (!(standard1 > 0 && standard2 > 0)) {
                return std::nullopt;
            }
            // Absorbance per µM: the least-squares line through the origin and both standards.
            const double squares = c1 * c1 + c2 * c2;
            if (std::fabs(squares) <= 1e-11) {
                return std::nullopt;
            }
            const double per_um =
                (absorbance(standard1, blank) * c1 + absorbance(standard2, blank) * c2) / squares;
            if (std::fabs(per_um) <= 1e-11) {
                return std::nullopt;
            }
            return a / per_um;
        }
        default:
            return std::nullopt;
    }
}

// The state left: which average it fills, and whether leaving it completes a cycle.
Volts* left_state(OnboardNutrient& n, const records::NutrientParams& p, std::uint8_t state,
                  bool& trigger) {
    trigger = false;
    if (state == p.blank_measurement_state) {
        trigger = p.processing_trigger == 3;
        return &n.means.blank;
    }
    if (state == p.sample_measurement_state) {
        trigger = p.processing_trigger == 2;
        return &n.means.sample;
    }
    if (state == p.standard1_state && !(p.standard_adjustment == 1 && p.processing_trigger != 0)) {
        trigger = p.processing_trigger == 0;
        return &n.means.standard1;
    }
    if (state == p.standard2_state && (p.standard_adjustment != 0 || p.processing_trigger == 1)) {
        trigger = p.processing_trigger == 1;
        return &n.means.standard2;
    }
    if (p.optical_correction != 0 && state == p.optical_blank_state) {
        return &n.means.optical_blank;
    }
    if (p.optical_correction != 0 && state == p.optical_sample_state) {
        return &n.means.optical_sample;
    }
    return nullptr;
}

}  // namespace

std::optional<records::OutputRecord> nutrient_sample(OnboardNutrient& n,
                                                     records::ChemistryType chemistry,
                                                     const records::NutrientParams& p,
                                                     const records::LiveSample& sample,
                                                     const Volts& volts) {
    std::optional<records::OutputRecord> out;
    if (sample.state != n.previous_state) {
        bool trigger = false;
        Volts* mean = left_state(n, p, n.previous_state, trigger);
        if (mean != nullptr && n.rows > 0) {
            for (std::size_t i = 0; i < mean->size(); ++i) {
                (*mean)[i] = n.sums[i] / n.rows;
            }
        }
        if (trigger) {
            records::OutputRecord r = n.cycle;
            r.validity = records::kValidityBad;
            const std::array<std::uint8_t, 3> measure{p.measure_medium, p.measure_short,
                                                      p.measure_long};
            const std::array<std::uint8_t, 3> monitor{p.monitor_medium, p.monitor_short,
                                                      p.monitor_long};
            std::array<float*, 3> path{&r.p1, &r.p2, &r.p3};
            for (std::uint8_t k = 0; k < 3; ++k) {
                if (const auto c = concentration(n.means, chemistry, p, measure[k], monitor[k])) {
                    *path[k] = static_cast<float>(*c);
                    if (p.output_channel == k) {
                        r.value = *c;
                        r.validity = records::kValidityGood;
                    }
                }
            }
            out = r;
        }
        if (sample.state == p.sample_intake_state) {
            n.cycle = records::OutputRecord{};
            n.cycle.sensor_time = sample.sensor_time;
            n.cycle.platform_time = sample.platform_time;
            n.cycle.platform_salinity = sample.platform_salinity;
            n.cycle.platform_temperature = sample.platform_temperature;
            n.cycle.platform_depth = sample.platform_depth;
        }
        if (measures_in(p, sample.state)) {
            n.sums.fill(0);
            n.rows = 0;
        }
    }
    if (n.rows < kMostRows) {
        for (std::size_t i = 0; i < n.sums.size(); ++i) {
            n.sums[i] += volts[i];
        }
        ++n.rows;
    }
    n.previous_state = sample.state;
    return out;
}

}  // namespace kelpira::virtual_sensor

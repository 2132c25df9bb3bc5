// The photodiode model of the emulated sensor: nutrients by Beer–Lambert absorbance, pH by an
// indicator dye whose absorbance ratio follows the sample's pH; the cycle each chemistry's
// intake begins, which sets what the sample holds.
#include "virtual_sensor/chemistry_model.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

#include "virtual_sensor/carbonate_model.hpp"
#include "virtual_sensor/dye_equation.hpp"

namespace kelpira::virtual_sensor {

namespace {

using records::NutrientChannel;

// Peak absorbance of the dye at 434 nm, and the level at which the flushed-out dye counts as
// gone: the curve must pass the processing's lower absorbance bound before the state ends.
constexpr double kDyePeak434 = 1.2;
constexpr double kDyeGone434 = 0.03;
// The dye reaches the cell this long after the blank window.
constexpr double kDyeDelayS = 5.0;
constexpr double kBlank578Volts = 2.3;

// splitmix64: a well-mixed 64-bit hash of the sample and channel.
std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// The cell content a measurement state brings: blank and the optical-correction states hold
// no coloured product, the standards and the sample their concentration.
void fill_cell(const records::NutrientParams& p, const ModelTarget& target, ModelMemory& memory,
               std::uint8_t state) {
    if (state == p.blank_measurement_state || state == p.optical_blank_state ||
        state == p.optical_sample_state) {
        memory.cell_um = 0;
    } else if (state == p.standard1_state) {
        memory.cell_um = p.standard1_nmol / 1000.0;
    } else if (state == p.standard2_state) {
        memory.cell_um = p.standard2_nmol / 1000.0;
    } else if (state == p.sample_measurement_state) {
        memory.cell_um = target.concentration_um;  // of this cycle
    }
}

void nutrient_channels(const ModelConfig& config, ModelMemory& memory, const SampleMoment& m,
                       ChannelVolts& volts) {
    const auto& p = config.nutrient;
    if (m.entered_state) {
        fill_cell(p, memory.water, memory, m.state);
    }
    for (const auto c :
         {NutrientChannel::medium, NutrientChannel::short_path, NutrientChannel::long_path}) {
        const std::uint8_t monitor = records::monitor_input(p, c);
        if (monitor < volts.size()) {
            volts[monitor] = noisy(m.light_on ? kMonitorVolts : kDarkVolts, m, monitor);
        }
    }
    for (const auto c :
         {NutrientChannel::medium, NutrientChannel::short_path, NutrientChannel::long_path}) {
        const std::uint8_t input = records::measure_input(p, c);
        if (input >= volts.size()) {
            continue;
        }
        const double absorbance = kAbsorbancePerUm[static_cast<std::size_t>(c)] * memory.cell_um;
        const double lit = kLitVolts * std::pow(10.0, -absorbance);
        volts[input] = noisy(m.light_on ? lit : kDarkVolts, m, input);
    }
}

// Absorbance at 434 nm, `tau` seconds after the dye reached the cell, in a state that leaves
// `span` seconds for it: a quick rise, then an exponential flush that passes kDyeGone434.
double dye_434(double tau, double span) {
    if (tau < 0 || span <= 0) {
        return 0;
    }
    const double rise = std::max(1.0, 0.1 * span);
    if (tau < rise) {
        return kDyePeak434 * tau / rise;
    }
    const double decay = std::max(1.0, (0.8 * span - rise) / std::log(kDyePeak434 / kDyeGone434));
    return kDyePeak434 * std::exp(-(tau - rise) / decay);
}

void ph_channels(const ModelConfig& config, ModelMemory& memory, const SampleMoment& m,
                 ChannelVolts& volts) {
    const auto& p = config.ph;
    if (m.entered_state && m.state == p.sample_intake_state) {
        memory.intake_salinity = m.platform_salinity;
        memory.intake_temperature = m.platform_temperature;
    }
    const bool measuring = m.state == p.sample_measurement_state;
    if (measuring && m.entered_state) {
        if (!memory.repeat) {
            memory.dye_temperature = m.cell_temperature;
        }
        // The sample's pH at the cell temperature, which processing carries back to the
        // platform temperature of the intake.
        const double cell_ph =
            memory.water.ph - p.dph_dt * (memory.intake_temperature - memory.dye_temperature);
        memory.dye_ratio =
            dye_ratio_for(cell_ph, memory.intake_salinity, memory.dye_temperature, p);
    }
    for (const auto& t : config.thermistors) {
        if (t.input_channel >= volts.size()) {
            continue;
        }
        if (const auto v = thermistor_volts(t, memory.dye_temperature)) {
            volts[t.input_channel] = *v;
        }
    }
    double a434 = 0;
    if (measuring) {
        const double arrival = p.blank_end_s + kDyeDelayS;
        a434 = dye_434(m.seconds_in_state - arrival, m.state_seconds - arrival);
    }
    const double a578 = memory.dye_ratio * a434;
    if (p.input_434 < volts.size()) {
        volts[p.input_434] =
            noisy(m.light_on ? kLitVolts * std::pow(10.0, -a434) : kDarkVolts, m, p.input_434);
    }
    if (p.input_578 < volts.size()) {
        volts[p.input_578] =
            noisy(m.light_on ? kBlank578Volts * std::pow(10.0, -a578) : kDarkVolts, m, p.input_578);
    }
}

// The state whose entry begins a measurement cycle: the sample's intake.
std::uint8_t cycle_state(const ModelConfig& c) {
    switch (c.chemistry) {
        case records::ChemistryType::ph:
            return c.ph.sample_intake_state;
        case records::ChemistryType::ta:
            return c.ta.sample_intake_state;
        case records::ChemistryType::dic:
            // The reference measured before a sample belongs to its cycle.
            for (const int type : {2, 1}) {
                for (const auto& inlet : c.dic.inlet) {
                    if (inlet.type == type) {
                        return type == 2 ? inlet.measurement_state : inlet.intake_state;
                    }
                }
            }
            return 255;
        default:
            return c.nutrient.sample_intake_state;
    }
}

// A stuck cycle's noise follows the state and the time in it, not the sample counter, so every
// stuck cycle reads exactly what the first did.
SampleMoment as_read(const SampleMoment& m, const ModelMemory& memory) {
    SampleMoment read = m;
    if (memory.stuck) {
        const auto ms =
            static_cast<std::uint32_t>(std::lround(m.seconds_in_state * 1000)) & 0x7FFFFF;
        read.counter = 0x80000000u | (std::uint32_t{m.state} << 23) | ms;
    }
    return read;
}

}  // namespace

double noisy(double volts, const SampleMoment& m, unsigned channel) {
    return std::max(0.0, volts + kNoiseVolts * model_noise(m.counter, channel));
}

// The input voltage at which a thermistor's calibration reads `celsius`, searched over the
// converter's 0..5 V; nothing when the calibration never reads it there.
std::optional<double> thermistor_volts(const records::ThermistorConfig& t, double celsius) {
    auto f = [&](double v) { return ((t.a3 * v + t.a2) * v + t.a1) * v + t.a0 - celsius; };
    double lo = 0.0;
    double hi = 5.0;
    double flo = f(lo);
    if (flo * f(hi) > 0) {
        return std::nullopt;
    }
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        const double fm = f(mid);
        if ((fm < 0) == (flo < 0)) {
            lo = mid;
            flo = fm;
        } else {
            hi = mid;
        }
    }
    return (lo + hi) / 2;
}

double model_noise(std::uint32_t counter, unsigned channel) {
    // The sum of four uniform values, scaled to a standard deviation of 1.
    std::uint64_t h = mix((std::uint64_t{counter} << 8) | channel);
    double sum = 0;
    for (int i = 0; i < 4; ++i) {
        sum += static_cast<double>(h & 0xFFFF) / 65535.0 - 0.5;
        h >>= 16;
    }
    return sum * std::sqrt(3.0);
}

double dye_ratio_for(double ph, double salinity, double t_celsius,
                     const records::PhParams& params) {
    // The sensor calibrates its measured ratio r as r_scale x r + r_offset before the equation.
    const auto calibrated = dye_ratio(salinity, t_celsius, ph);
    if (!calibrated || params.r_scale == 0.0f) {
        return 1.0;
    }
    return (*calibrated - params.r_offset) / params.r_scale;
}

ChannelVolts model_channels(const ModelConfig& config, const ModelTarget& target,
                            ModelMemory& memory, const SampleMoment& moment,
                            const ChannelVolts& background) {
    if (memory.cycle == 0 || (moment.entered_state && moment.state == cycle_state(config))) {
        if (moment.entered_state && moment.state == cycle_state(config)) {
            ++memory.cycle;
        }
        const std::uint32_t cycle = std::max<std::uint32_t>(memory.cycle, 1);
        const CycleAnomaly& a = target.anomaly;
        memory.water = target;
        memory.water.concentration_um = cycle_value(a, target.concentration_um, cycle);
        memory.water.ph = cycle_value(a, target.ph, cycle);
        memory.water.ta_umol_kg = cycle_value(a, target.ta_umol_kg, cycle);
        memory.water.dic_umol_kg = cycle_value(a, target.dic_umol_kg, cycle);
        memory.stuck = memory.cycle != 0 && stuck_in(a, memory.cycle);
        memory.repeat = memory.stuck && memory.cycle != a.stuck_from;
    }
    const SampleMoment m = as_read(moment, memory);
    ChannelVolts volts = background;
    if (records::is_nutrient(config.chemistry)) {
        nutrient_channels(config, memory, m, volts);
    } else if (config.chemistry == records::ChemistryType::ph) {
        ph_channels(config, memory, m, volts);
    } else if (config.chemistry == records::ChemistryType::ta) {
        ta_channels(config, memory, m, volts);
    } else if (config.chemistry == records::ChemistryType::dic) {
        dic_channels(config, memory, m, volts);
    }
    return volts;
}

}  // namespace kelpira::virtual_sensor

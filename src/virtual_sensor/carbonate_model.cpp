// The TA indicator and the DIC conductivity step of the emulated sensor.
#include "virtual_sensor/carbonate_model.hpp"

#include <algorithm>
#include <cmath>

namespace kelpira::virtual_sensor {

namespace {

// Acid of the titrant: one part in 8.819 goes to the alkalinity per µmol/kg, and what is left
// is seen 9.819 times over as free hydrogen ions.
constexpr double kAcidPerUmolKg = 8.819e-6;
constexpr double kFreeAcidFactor = 9.819;

// The inlet whose measurement state is `state`: a sample or reference inlet only.
const records::DicInlet* measured_inlet(const records::DicParams& p, std::uint8_t state) {
    for (const auto& inlet : p.inlet) {
        if ((inlet.type == 1 || inlet.type == 2) && inlet.measurement_state == state) {
            return &inlet;
        }
    }
    return nullptr;
}

}  // namespace

std::optional<double> ta_absorbance_ratio(double ta_umol_kg, double t_celsius,
                                          const records::TaParams& p) {
    const double h = (p.titrant_molarity - kAcidPerUmolKg * ta_umol_kg) / kFreeAcidFactor;
    if (!(h > 0)) {
        return std::nullopt;
    }
    // pH = pKa + log10((R - e1) / (e2 - e3 R)), solved for R at q = 10^(pH - pKa).
    const double q = std::pow(10.0, -std::log10(h) - p.pka);
    const double r = (p.e1 + q * p.e2) / (1 + q * p.e3);
    const double correction = (25 - t_celsius) * p.temperature_coefficient + 1;
    if (!std::isfinite(r) || r <= 0 || correction <= 0) {
        return std::nullopt;
    }
    return r / correction;
}

void ta_channels(const ModelConfig& config, ModelMemory& memory, const SampleMoment& m,
                 ChannelVolts& volts) {
    const auto& p = config.ta;
    if (m.entered_state && m.state == p.sample_intake_state) {
        if (!memory.repeat) {
            memory.dye_temperature = m.cell_temperature;
        }
        const auto ratio = ta_absorbance_ratio(memory.water.ta_umol_kg, memory.dye_temperature, p);
        memory.ta_a1 = kTaAbsorbance1;
        memory.ta_a2 = kTaAbsorbance1 * ratio.value_or(1.0);
    }
    // Both thermistors read the cell's temperature at the intake for the whole cycle.
    for (const auto& t : config.thermistors) {
        if (t.input_channel >= volts.size()) {
            continue;
        }
        if (const auto v = thermistor_volts(t, memory.dye_temperature)) {
            volts[t.input_channel] = *v;
        }
    }
    if (p.measurement_channel >= volts.size()) {
        return;
    }
    double lit = kTaLed1Volts;
    if (m.state == p.blank_led2_state) {
        lit = kTaLed2Volts;
    } else if (m.state == p.sample_led1_state) {
        lit = kTaLed1Volts * std::pow(10.0, -memory.ta_a1);
    } else if (m.state == p.sample_led2_state) {
        lit = kTaLed2Volts * std::pow(10.0, -memory.ta_a2);
    }
    volts[p.measurement_channel] = noisy(m.light_on ? lit : kDarkVolts, m, p.measurement_channel);
}

void dic_channels(const ModelConfig& config, ModelMemory& memory, const SampleMoment& m,
                  ChannelVolts& volts) {
    const records::DicInlet* inlet = measured_inlet(config.dic, m.state);
    if (m.entered_state) {
        memory.dic_step_volts = 0;
        if (inlet != nullptr) {
            const double carbon = inlet->type == 2 ? static_cast<double>(inlet->crm_umol_kg)
                                                   : memory.water.dic_umol_kg;
            memory.dic_step_volts = kDicVoltsPerUmolKg * carbon;
        }
    }
    const double rise = inlet == nullptr ? 0.0 : 1 - std::exp(-m.seconds_in_state / kDicSettleS);
    volts[0] = std::min(5.0, noisy(kDicBaselineVolts + memory.dic_step_volts * rise, m, 0));
}

}  // namespace kelpira::virtual_sensor

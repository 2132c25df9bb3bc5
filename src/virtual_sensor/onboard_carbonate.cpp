// The firmware's TA and DIC processing.
#include "virtual_sensor/onboard_carbonate.hpp"

#include <algorithm>
#include <cmath>

namespace kelpira::virtual_sensor {

namespace {

double celsius(const records::ThermistorConfig& t, const InputVolts& volts) {
    const double v = t.input_channel < volts.size() ? volts[t.input_channel] : 0.0;
    return ((t.a3 * v + t.a2) * v + t.a1) * v + t.a0;
}

records::OutputRecord intake_of(const records::LiveSample& s) {
    records::OutputRecord r;
    r.sensor_time = s.sensor_time;
    r.platform_time = s.platform_time;
    r.platform_salinity = s.platform_salinity;
    r.platform_temperature = s.platform_temperature;
    r.platform_depth = s.platform_depth;
    return r;
}

// Which of the four TA measurements state `s` is, if any.
std::optional<std::size_t> ta_measurement(const records::TaParams& p, std::uint8_t s) {
    const std::array<std::uint8_t, 4> states{p.blank_led1_state, p.blank_led2_state,
                                             p.sample_led1_state, p.sample_led2_state};
    const auto it = std::find(states.begin(), states.end(), s);
    if (it == states.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - states.begin());
}

records::OutputRecord ta_result(const OnboardTa& ta, const records::TaParams& p) {
    records::OutputRecord r = ta.cycle;
    const double a1 = std::log10(ta.light[0] / ta.light[2]);
    const double a2 = std::log10(ta.light[1] / ta.light[3]);
    const double ratio = (a2 / a1) * ((25 - ta.celsius) * p.temperature_coefficient + 1);
    const double ph = p.pka + std::log10((ratio - p.e1) / (p.e2 - p.e3 * ratio));
    // The acid the alkalinity left free shows 9.819 times over; 8.819e-6 M per µmol/kg.
    r.value = (p.titrant_molarity - 9.819 * std::pow(10.0, -ph)) / 8.819e-6;
    r.validity = std::isfinite(r.value) ? records::kValidityGood : records::kValidityBad;
    r.p1 = static_cast<float>(a1);
    r.p2 = static_cast<float>(a2);
    r.p3 = static_cast<float>(ta.celsius);
    return r;
}

const records::DicInlet* dic_inlet(const records::DicParams& p, std::uint8_t s) {
    for (const auto& inlet : p.inlet) {
        if ((inlet.type == 1 || inlet.type == 2) && inlet.measurement_state == s) {
            return &inlet;
        }
    }
    return nullptr;
}

}  // namespace

std::optional<records::OutputRecord> ta_sample(
    OnboardTa& ta, const records::TaParams& p,
    const std::array<records::ThermistorConfig, 2>& thermistors, const records::LiveSample& sample,
    const InputVolts& volts) {
    std::optional<records::OutputRecord> out;
    if (sample.state != ta.previous_state) {
        if (const auto left = ta_measurement(p, ta.previous_state); left && ta.rows > 0) {
            ta.light[*left] = ta.sum / ta.rows;
            ta.celsius = ta.celsius_sum / ta.rows;
            if (*left == p.processing_trigger) {
                out = ta_result(ta, p);
            }
        }
        if (sample.state == p.sample_intake_state) {
            ta.cycle = intake_of(sample);
        }
        ta.sum = ta.celsius_sum = 0;
        ta.rows = 0;
    }
    ta.previous_state = sample.state;
    if (ta_measurement(p, sample.state) && p.measurement_channel < volts.size()) {
        ta.sum += volts[p.measurement_channel];
        ta.celsius_sum +=
            0.5 * celsius(thermistors[0], volts) + 0.5 * celsius(thermistors[1], volts);
        ++ta.rows;
    }
    return out;
}

std::optional<records::OutputRecord> dic_sample(OnboardDic& dic, const records::DicParams& p,
                                                const records::ThermistorConfig& thermistor,
                                                const records::LiveSample& sample,
                                                const InputVolts& volts) {
    std::optional<records::OutputRecord> out;
    if (sample.state != dic.previous_state) {
        const records::DicInlet* left = dic_inlet(p, dic.previous_state);
        if (left != nullptr && dic.rows > 0) {
            const std::size_t n = std::min<std::size_t>(dic.rows, kDicStepValues);
            double sum = 0;
            for (std::size_t k = 0; k < n; ++k) {
                sum += dic.last[k];
            }
            const double step = sum / static_cast<double>(n) - dic.lowest;
            if (left->type == 2) {
                dic.reference_step = step;
                dic.reference_umol_kg = left->crm_umol_kg;
            } else {
                records::OutputRecord r = dic.cycle;
                r.dive_number = dic.previous_state;
                r.validity = records::kValidityBad;
                if (dic.reference_step && std::fabs(*dic.reference_step) > 1e-11) {
                    r.value = step / *dic.reference_step * dic.reference_umol_kg;
                    r.validity = records::kValidityGood;
                    r.p1 = static_cast<float>(step);
                    r.p2 = static_cast<float>(*dic.reference_step);
                    r.p3 = static_cast<float>(dic.celsius);
                }
                out = r;
            }
        }
        for (const auto& inlet : p.inlet) {
            if (inlet.type == 1 && inlet.intake_state == sample.state) {
                dic.cycle = intake_of(sample);
                break;
            }
        }
        dic.rows = 0;
    }
    dic.previous_state = sample.state;
    if (dic_inlet(p, sample.state) != nullptr) {
        const double v = volts[0];
        dic.lowest = dic.rows == 0 ? v : std::min(dic.lowest, v);
        dic.last[dic.rows % kDicStepValues] = v;
        ++dic.rows;
        dic.celsius = celsius(thermistor, volts);
    }
    return out;
}

}  // namespace kelpira::virtual_sensor

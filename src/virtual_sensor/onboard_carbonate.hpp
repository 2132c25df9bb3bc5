// The firmware's own processing of the carbonate chemistries. TA: the mean light of each of the
// four measurement states (blank and titrated sample, LED 1 and LED 2) gives two absorbances,
// whose ratio, corrected to 25 degrees, is the indicator's pH after the acid, and so the
// alkalinity the acid met. DIC: the step each inlet's conductivity signal rises by, the sample's
// scaled by the reference material's last step and value.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "records/live_sample.hpp"
#include "records/output_record.hpp"
#include "records/processing_params.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::virtual_sensor {

using InputVolts = std::array<double, 8>;

struct OnboardTa {
    std::uint8_t previous_state = 255;
    double sum = 0;  // of the measurement input in the current state
    double celsius_sum = 0;
    std::uint32_t rows = 0;
    std::array<double, 4> light{};  // mean volts: blank LED 1, blank LED 2, sample LED 1, LED 2
    double celsius = 0;             // the cell's mean temperature in the last state measured
    records::OutputRecord cycle;    // platform values of the cycle's intake
};

std::optional<records::OutputRecord> ta_sample(
    OnboardTa& ta, const records::TaParams& p,
    const std::array<records::ThermistorConfig, 2>& thermistors, const records::LiveSample& sample,
    const InputVolts& volts);

// Values of a measurement the DIC step is taken over: the last ones, which the settled signal
// gives.
inline constexpr std::size_t kDicStepValues = 30;

struct OnboardDic {
    std::uint8_t previous_state = 255;
    std::array<double, kDicStepValues> last{};
    std::uint32_t rows = 0;
    double lowest = 0;
    double celsius = 0;
    std::optional<double> reference_step;
    double reference_umol_kg = 0;
    records::OutputRecord cycle;
};

std::optional<records::OutputRecord> dic_sample(OnboardDic& dic, const records::DicParams& p,
                                                const records::ThermistorConfig& thermistor,
                                                const records::LiveSample& sample,
                                                const InputVolts& volts);

}  // namespace kelpira::virtual_sensor

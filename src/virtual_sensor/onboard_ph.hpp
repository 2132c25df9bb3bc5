// The firmware's own processing of the pH chemistry: a blank window early in the measurement
// state, then the dye points of the flush; when the state is left, the ratio A578/A434 fitted
// over the points between the documented absorbance bounds gives the pH through the sensor's
// own dye equation, carried to the platform temperature of the intake.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "records/live_sample.hpp"
#include "records/output_record.hpp"
#include "records/processing_params.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::virtual_sensor {

struct DyePoint {
    double a434 = 0;
    double a578 = 0;
    double celsius = 0;  // the cell's temperature by the thermistors
};

struct OnboardPh {
    std::uint8_t previous_state = 255;
    std::uint32_t index = 0;  // rows since the measurement state was entered
    double blank434 = 0;      // mean light of the blank window
    double blank578 = 0;
    std::vector<DyePoint> points;
    records::OutputRecord cycle;  // platform values of the cycle's intake
    float intake_do = 0;
};

// Dye points one measurement keeps at most; a state that lasts longer keeps its first ones.
inline constexpr std::size_t kMostDyePoints = 100000;

// Takes one sample, `volts` its inputs; the record of the cycle it completed, if any. A sample
// of state 255 closes the last state.
std::optional<records::OutputRecord> ph_sample(
    OnboardPh& ph, const records::PhParams& p, std::uint32_t interval_ms,
    const std::array<records::ThermistorConfig, 2>& thermistors, const records::LiveSample& sample,
    const std::array<double, 8>& volts);

}  // namespace kelpira::virtual_sensor

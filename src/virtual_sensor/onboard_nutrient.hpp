// The firmware's own processing of a nutrient chemistry: per measurement state it averages the
// eight inputs, and when the trigger state is left it turns blank, standard and sample
// averages into a concentration per optical path. Written from the sensor's parameters, not
// from the PC's engine, so the two check each other.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "records/chemistry_type.hpp"
#include "records/live_sample.hpp"
#include "records/nutrient_params.hpp"
#include "records/output_record.hpp"

namespace kelpira::virtual_sensor {

struct OnboardNutrient {
    // Mean volts of each input over the last visit of each measurement state.
    struct Means {
        std::array<double, records::LiveSample::kChannels> blank{};
        std::array<double, records::LiveSample::kChannels> sample{};
        std::array<double, records::LiveSample::kChannels> standard1{};
        std::array<double, records::LiveSample::kChannels> standard2{};
        std::array<double, records::LiveSample::kChannels> optical_blank{};
        std::array<double, records::LiveSample::kChannels> optical_sample{};
    };
    Means means;
    std::array<double, records::LiveSample::kChannels> sums{};
    std::uint32_t rows = 0;  // summed since the current state was entered
    std::uint8_t previous_state = 255;
    records::OutputRecord cycle;  // platform values of the cycle's intake
};

// Takes one sample, `volts` its inputs; the record of the cycle it completed, if any. A sample
// of state 255 closes the last state.
std::optional<records::OutputRecord> nutrient_sample(OnboardNutrient& n,
                                                     records::ChemistryType chemistry,
                                                     const records::NutrientParams& p,
                                                     const records::LiveSample& sample,
                                                     const std::array<double, 8>& volts);

}  // namespace kelpira::virtual_sensor

// The emulated sensor's own processing: each sample the run takes goes through the firmware's
// processing of its chemistry (onboard_nutrient, onboard_ph, onboard_carbonate), and each
// completed measurement
// cycle becomes an OutputRecord for the output store. None of it is the PC's processing: the
// rehearsal compares the two.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "records/chemistry_type.hpp"
#include "records/live_sample.hpp"
#include "records/nutrient_params.hpp"
#include "records/output_record.hpp"
#include "records/processing_params.hpp"
#include "records/thermistor_config.hpp"
#include "virtual_sensor/onboard_carbonate.hpp"
#include "virtual_sensor/onboard_nutrient.hpp"
#include "virtual_sensor/onboard_ph.hpp"

namespace kelpira::virtual_sensor {

// The state of no sample yet.
inline constexpr std::uint8_t kNoState = 255;

struct OnboardProcessing {
    records::ChemistryType chemistry = records::ChemistryType::generic;
    records::NutrientParams nutrient;
    records::PhParams ph;
    records::TaParams ta;
    records::DicParams dic;
    std::uint32_t interval_ms = 1000;
    std::array<records::ThermistorConfig, 2> thermistors{};
    OnboardNutrient nutrient_state;
    OnboardPh ph_state;
    OnboardTa ta_state;
    OnboardDic dic_state;
    // Chemistries without their own processing: a cycle runs from one visit of the run's start
    // state to the next, and its result is the mean of input 0 in volts.
    std::uint8_t cycle_state = 0;
    std::uint8_t previous_state = kNoState;  // of the previous sample
    double cycle_sum = 0;
    std::uint32_t cycle_rows = 0;
    std::uint16_t dive_number = 0;  // cycles completed in this run
    double last_depth = 0;          // metres, of the previous sample
    // Of the previous sample, from its depth and the one before; the closing sample of a run
    // has no depth of its own and takes this one.
    std::uint8_t last_direction = records::kDirectionHovering;
};

// Ready for a run of the chemistry, starting at `start_state`.
void reset_processing(OnboardProcessing& p, std::uint8_t start_state);

// One sample as the run took it; the record of the cycle it completed, if any.
std::optional<records::OutputRecord> process_sample(OnboardProcessing& p,
                                                    const records::LiveSample& sample);

// The run ended: a sample of state 255 closes the last state.
std::optional<records::OutputRecord> finish_processing(OnboardProcessing& p);

}  // namespace kelpira::virtual_sensor

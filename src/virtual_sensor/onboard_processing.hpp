// The emulated sensor's own processing: the rows it writes go through the same engines as
// the PC's processing of its files, and each completed measurement cycle becomes an
// OutputRecord for the output store.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "processing/nutrient_engine.hpp"
#include "processing/ph_engine.hpp"
#include "processing/raw_row.hpp"
#include "records/chemistry_type.hpp"
#include "records/nutrient_params.hpp"
#include "records/output_record.hpp"
#include "records/processing_params.hpp"

namespace kelpira::virtual_sensor {

struct OnboardProcessing {
    records::ChemistryType chemistry = records::ChemistryType::generic;
    records::NutrientParams nutrient;
    records::PhParams ph;
    std::uint32_t interval_ms = 1000;
    processing::PhThermistors thermistors{};
    processing::NutrientEngine nutrient_engine{processing::LogSink{}};
    processing::PhEngine ph_engine{processing::LogSink{}};
    // Chemistries without an engine: a cycle runs from one visit of the run's start state to
    // the next, and its result is the mean of input 0 in volts.
    std::uint8_t cycle_state = 0;
    double cycle_sum = 0;
    std::uint32_t cycle_rows = 0;
    std::uint16_t dive_number = 0;  // cycles completed in this run
    double last_depth = 0;          // metres, of the previous row
    // Of the previous row, from its depth and the one before; the closing row of a run has
    // no depth of its own and takes this one.
    std::uint8_t last_direction = records::kDirectionHovering;
};

// Ready for a run of the chemistry, starting at `start_state`.
void reset_processing(OnboardProcessing& p, std::uint8_t start_state);

// One row as written to the raw output file; the record of the cycle it completed, if any.
std::optional<records::OutputRecord> process_row(OnboardProcessing& p, std::string_view row_text);

// The run ended: the row of state 255 closes the last state.
std::optional<records::OutputRecord> finish_processing(OnboardProcessing& p);

}  // namespace kelpira::virtual_sensor

// Nutrient processing: phase averages per input channel, segmented by state number, turned
// into one concentration per optical channel (Medium, Short, Long) and measurement cycle.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "processing/engine_log.hpp"
#include "processing/raw_row.hpp"
#include "records/chemistry_type.hpp"
#include "records/nutrient_params.hpp"

namespace kelpira::processing {

struct NutrientResult {
    std::uint32_t sensor_time = 0;    // column 15 of the row that entered the sample intake state
    std::uint32_t platform_time = 0;  // column 20 of that row
    float salinity = 0;               // PSU
    float temperature = 0;            // degrees C
    float depth = 0;                  // m
    double output_value = 0;          // concentration of the output channel, when computed
    std::uint8_t validity = 0;        // 2 when triggered, 1 once output_value was set
    float medium = 0;                 // µM per channel; a failed channel keeps its value
    float short_path = 0;
    float long_path = 0;
};

// The six measurement phases whose averages the computation uses.
enum class NutrientPhase : std::uint8_t {
    blank,
    sample,
    standard1,
    standard2,
    optical_blank,
    optical_sample
};

// Averages of each phase for the eight input channels, all zero when a pass starts.
using NutrientAverages = std::array<std::array<double, 8>, 6>;

// The concentration (µM) of one channel with measurement input `measure` and monitoring
// input `monitor` (255 none), from the phase averages; nothing when it cannot be computed.
// Writes the formula it applied to the log.
std::optional<double> nutrient_compute(records::ChemistryType type,
                                       const records::NutrientParams& params,
                                       const NutrientAverages& averages, std::uint8_t measure,
                                       std::uint8_t monitor, const EngineLog& log);

// One pass over the rows of one file. Feed every accepted row in file order, then the closing
// row of state 255.
class NutrientEngine {
  public:
    // An accumulator stops adding rows after this many rows in one state.
    static constexpr std::uint32_t kMaxRows = 1'000'000;

    explicit NutrientEngine(LogSink log) : log_(std::move(log)) {}

    // Clears the phase averages, the sums (previous state 255) and the current result.
    void reset();

    // Processes one row; returns the result when the row completed a measurement cycle.
    std::optional<NutrientResult> feed(records::ChemistryType type,
                                       const records::NutrientParams& params, const RawRow& row);

    const NutrientAverages& averages() const { return averages_; }

  private:
    std::optional<NutrientResult> leave_state(records::ChemistryType type,
                                              const records::NutrientParams& params,
                                              std::uint8_t left);
    void compute_result(records::ChemistryType type, const records::NutrientParams& params);

    EngineLog log_;
    NutrientAverages averages_{};
    std::array<double, 8> sums_{};
    std::uint32_t count_ = 0;
    std::uint8_t previous_ = 255;
    NutrientResult result_;
};

}  // namespace kelpira::processing

// TA processing: averages of the four LED measurement states and the indicator model turning
// the rows of a TA raw output file into one total alkalinity per cycle.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "processing/engine_log.hpp"
#include "processing/raw_row.hpp"
#include "records/processing_params.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::processing {

struct TaResult {
    std::uint32_t time = 0;     // column 15 of the row that entered the sample intake state
    double ta = 0;              // total alkalinity, shown as "TA (uM)"
    std::uint8_t validity = 0;  // 2 while computing, 1 when done
    float absorbance1 = 0;      // LED 1
    float absorbance2 = 0;      // LED 2
    float temperature = 0;      // degrees C, mean of the two thermistors
};

// Thermistors 0 and 1 as the file header calibrates them.
using TaThermistors = std::array<records::ThermistorConfig, 2>;

// One pass over the rows of one file. Feed every accepted row in file order, then the closing
// row of state 255.
class TaEngine {
  public:
    explicit TaEngine(LogSink log) : log_(std::move(log)) {}

    void reset();

    // Processes one row; returns the result when the row left the trigger state.
    std::optional<TaResult> feed(const records::TaParams& params, const RawRow& row,
                                 const TaThermistors& thermistors);

  private:
    // Averages of one measurement phase; false when the phase had no rows.
    bool take_averages(double& phase);
    TaResult compute(const records::TaParams& params);

    EngineLog log_;
    TaResult result_;
    std::uint32_t count_ = 0;
    double sum_ = 0;   // measurement input
    double sum0_ = 0;  // thermistor 0, degrees C
    double sum1_ = 0;  // thermistor 1, degrees C
    double blank1_ = 0, blank2_ = 0, sample1_ = 0, sample2_ = 0;
    double t0_ = 0, t1_ = 0;  // latest phase averages of the thermistors
    std::uint8_t previous_ = 255;
};

}  // namespace kelpira::processing

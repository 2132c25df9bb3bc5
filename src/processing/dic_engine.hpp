// DIC processing: the conductivity step of each inlet measurement, scaled by the step last
// measured on a reference (CRM) inlet, one DIC value per sample measurement.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "processing/engine_log.hpp"
#include "processing/raw_row.hpp"
#include "records/processing_params.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::processing {

struct DicResult {
    std::uint16_t state = 0;    // the measurement state that produced it, set on success
    std::uint32_t time = 0;     // column 15 of the row that entered the sample intake state
    double dic = 0;             // µmol/kg
    std::uint8_t validity = 0;  // 2 failed, 1 good
    float sample_step = 0;      // V
    float crm_step = 0;         // V
    float temperature = 0;      // degrees C
};

// The step of a measurement: the mean of its last 30 signal values minus its lowest value.
class DicWindow {
  public:
    static constexpr std::size_t kKept = 30;

    void clear() { *this = DicWindow{}; }
    void add(double value, double temperature);
    std::optional<double> step() const;
    double temperature() const { return temperature_; }

  private:
    std::array<double, kKept> ring_{};
    std::uint64_t count_ = 0;  // 64 bits so that no file can wrap it
    double minimum_ = 0;
    double temperature_ = 0;  // degrees C, of the latest row
};

// One pass over the rows of one file. Feed every accepted row in file order, then the closing
// row of state 255.
class DicEngine {
  public:
    explicit DicEngine(LogSink log) : log_(std::move(log)) {}

    void reset();

    // Processes one row; returns the result when the row left a sample inlet's measurement.
    std::optional<DicResult> feed(const records::DicParams& params, const RawRow& row,
                                  const records::ThermistorConfig& thermistor0);

  private:
    std::optional<DicResult> leave_measurement(const records::DicParams& params, std::uint8_t left);

    EngineLog log_;
    DicWindow window_;
    double crm_step_ = 0;
    float crm_value_ = 0;  // µmol/kg
    bool crm_available_ = false;
    DicResult result_;
    std::uint8_t previous_ = 255;
};

}  // namespace kelpira::processing

// pH processing: the blank window, the dye curve regression and the m-cresol purple equation
// turning the rows of a pH raw output file into one pH per measurement cycle.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "processing/engine_log.hpp"
#include "processing/raw_row.hpp"
#include "records/processing_params.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::processing {

struct PhResult {
    std::uint32_t time = 0;             // column 15 of the row that entered the sample intake state
    std::uint32_t valid = 0;            // 1 when a pH was computed
    float salinity = 0;                 // PSU, platform value of the intake row
    float temperature = 0;              // degrees C, platform value of the intake row
    float oxygen = 0;                   // platform value of the intake row
    double ph = 0;                      // at the platform temperature
    double r = 0;                       // fitted absorbance ratio A578/A434 at zero dye
    double r_adjusted = 0;              // r_scale x r + r_offset
    double thermistor_temperature = 0;  // degrees C, mean over the regression window
};

struct AbsorbancePoint {
    std::uint32_t index = 0;  // row index in the sample measurement state
    double a434 = 0;
    double a578 = 0;
    double temperature = 0;  // degrees C
};

// Thermistors 0 and 1 as the file header calibrates them.
using PhThermistors = std::array<records::ThermistorConfig, 2>;

// What stops a pH pass before it starts: a sample interval of 0 ms leaves the blank window
// undefined. Returns the message to show, or nothing when the pass can run.
std::optional<std::string> ph_interval_problem(std::uint32_t interval_ms);

// The dye equation (Liu, Patsavas and Byrne 2011) for salinity `salinity`, the measured ratio
// and the temperature in degrees C; nothing when the ratio is outside the equation's domain.
std::optional<double> ph_equation(double salinity, const records::PhParams& params, double ratio,
                                  double t_celsius);

// One pass over the rows of one file. Feed every accepted row in file order, then the closing
// row of state 255.
class PhEngine {
  public:
    explicit PhEngine(LogSink log) : log_(std::move(log)) {}

    void reset();

    // Processes one row; returns the result when the row completed a pH. A sample interval
    // of 0 processes nothing (see ph_interval_problem).
    std::optional<PhResult> feed(const records::PhParams& params, const RawRow& row,
                                 std::uint32_t interval_ms, const PhThermistors& thermistors);

  private:
    struct Sums {
        std::uint32_t n = 0;
        double sxx = 0, sxxx = 0, sxxxx = 0, sxy = 0, sxxy = 0, st = 0;
    };

    void enter_measurement();
    void add_dye_point(const records::PhParams& params, const AbsorbancePoint& p);
    std::optional<PhResult> finish_cycle(const records::PhParams& params, std::uint32_t start,
                                         std::uint32_t end);

    EngineLog log_;
    PhResult result_;
    double blank434_ = 0;
    double blank578_ = 0;
    AbsorbancePoint peak578_;
    AbsorbancePoint start_point_;
    AbsorbancePoint end_point_;
    Sums sums_;
    Sums snapshot_;
    std::uint32_t row_index_ = 0;
    std::uint8_t previous_ = 255;
};

}  // namespace kelpira::processing

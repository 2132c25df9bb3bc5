// The physical model behind the emulated sensor's inputs: Beer–Lambert absorbance of a known
// nutrient concentration in three optical paths, the indicator dye of the pH chemistry flushed
// through the cell, the acid-titrated indicator of TA and the conductivity step of DIC
// (carbonate_model), so that the raw data process back to the values the model was given.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "records/chemistry_type.hpp"
#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"
#include "records/thermistor_config.hpp"
#include "virtual_sensor/cycle_anomaly.hpp"

namespace kelpira::virtual_sensor {

using ChannelVolts = std::array<double, 8>;

// What the water the sensor measures holds.
struct ModelTarget {
    double concentration_um = 10.0;  // nutrient concentration of the sample, µM
    double ph = 8.05;                // pH of the sample at the platform temperature
    double ta_umol_kg = 2300;        // total alkalinity of the sample
    double dic_umol_kg = 2100;       // dissolved inorganic carbon of the sample
    CycleAnomaly anomaly;            // how the sample changes from cycle to cycle
};

// The sensor's configuration as the model needs it; the parameters name the states in which
// the cell holds blank, standards and sample.
struct ModelConfig {
    records::ChemistryType chemistry = records::ChemistryType::nitrate;
    records::NutrientParams nutrient;
    records::PhParams ph;
    records::TaParams ta;
    records::DicParams dic;
    std::array<records::ThermistorConfig, 2> thermistors{};
};

// One sample as the run takes it. The platform values are those written to the raw file,
// so that the model sees what processing will read.
struct SampleMoment {
    std::uint32_t counter = 0;
    std::uint8_t state = 0;
    bool entered_state = false;       // the first sample of this state
    double seconds_in_state = 0;      // since the state was entered
    double state_seconds = 0;         // how long the state lasts
    bool light_on = true;             // photodiodes powered and an LED lit
    double cell_temperature = 15.0;   // degrees C, the sensor's own temperature
    float platform_salinity = 35.0f;  // PSU
    float platform_temperature = 12.5f;
};

// What the cell holds, carried from one sample to the next.
struct ModelMemory {
    double cell_um = 0;  // nutrient concentration in the cell
    float intake_salinity = 35.0f;
    float intake_temperature = 12.5f;
    double dye_temperature = 15.0;  // degrees C while the dye is measured
    double dye_ratio = 1.0;         // A578 / A434 of the dyed sample
    std::uint32_t cycle = 0;        // measurement cycles begun, counted at the intake
    ModelTarget water;              // what the sample holds in this cycle
    bool stuck = false;   // this cycle reads as the stuck run's first: the same water and noise
    bool repeat = false;  // a stuck cycle after the first: the cell keeps its temperature too
    double ta_a1 = 0;     // absorbances of the titrated sample, LED 1 and LED 2
    double ta_a2 = 0;
    double dic_step_volts = 0;  // the conductivity step of the inlet being measured
};

// Volts of the lit photodiodes and of a dark one.
inline constexpr double kLitVolts = 2.5;
inline constexpr double kMonitorVolts = 2.0;
inline constexpr double kDarkVolts = 0.012;
// Standard deviation of the photodiode noise, volts.
inline constexpr double kNoiseVolts = 0.0003;

// The eight channel voltages of one sample. `background` holds what the channels read when
// the chemistry does not drive them (thermistors, spare inputs); the model replaces the
// inputs its chemistry measures.
ChannelVolts model_channels(const ModelConfig& config, const ModelTarget& target,
                            ModelMemory& memory, const SampleMoment& moment,
                            const ChannelVolts& background);

// Gaussian-like noise of the sample and channel, standard deviation 1; the same for the same
// arguments, so a run replays exactly.
double model_noise(std::uint32_t counter, unsigned channel);

// Absorbance per µM of the Medium, Short and Long paths.
inline constexpr std::array<double, 3> kAbsorbancePerUm{0.012, 0.005, 0.03};

// The input voltage at which a thermistor's calibration reads `celsius`, searched over the
// converter's 0..5 V; nothing when the calibration never reads it there.
std::optional<double> thermistor_volts(const records::ThermistorConfig& t, double celsius);

// Noise added to `volts` for input `channel` at sample `m`, never below 0 V.
double noisy(double volts, const SampleMoment& m, unsigned channel);

// The ratio A578 / A434 that gives `ph` by the dye equation at the salinity and temperature,
// within the equation's domain.
double dye_ratio_for(double ph, double salinity, double t_celsius, const records::PhParams& params);

}  // namespace kelpira::virtual_sensor

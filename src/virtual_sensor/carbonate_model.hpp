// The carbonate chemistries of the emulated sensor, written from what the sensor measures:
// TA titrates the sample with acid and an indicator whose two absorbances (LED 1 and LED 2)
// give the pH left after the acid, and so the alkalinity the acid met; DIC reads a
// conductivity signal on input 0 that steps up, while an inlet is measured, in proportion to
// the carbon the inlet's water holds.
#pragma once

#include <optional>

#include "records/processing_params.hpp"
#include "virtual_sensor/chemistry_model.hpp"

namespace kelpira::virtual_sensor {

// Absorbance of the titrated indicator at LED 1, and the volts LED 1 and LED 2 give through
// the sample before the indicator.
inline constexpr double kTaAbsorbance1 = 0.8;
inline constexpr double kTaLed1Volts = 2.5;
inline constexpr double kTaLed2Volts = 2.2;

// Conductivity input: volts with no carbon, volts per µmol/kg, and how fast the signal
// settles after an inlet's water reaches the cell.
inline constexpr double kDicBaselineVolts = 0.5;
inline constexpr double kDicVoltsPerUmolKg = 0.001;
inline constexpr double kDicSettleS = 3.0;

// The ratio A2 / A1 of the titrated sample whose alkalinity is `ta_umol_kg`, at `t_celsius`:
// the acid left after the alkalinity, the indicator's pH for it and the indicator's ratio at
// that pH. Nothing when the parameters give no such ratio (acid too weak for the alkalinity,
// an indicator that never reaches that pH).
std::optional<double> ta_absorbance_ratio(double ta_umol_kg, double t_celsius,
                                          const records::TaParams& p);

void ta_channels(const ModelConfig& config, ModelMemory& memory, const SampleMoment& m,
                 ChannelVolts& volts);

void dic_channels(const ModelConfig& config, ModelMemory& memory, const SampleMoment& m,
                  ChannelVolts& volts);

}  // namespace kelpira::virtual_sensor

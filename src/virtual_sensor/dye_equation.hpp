// The indicator dye of the pH chemistry as the sensor's firmware knows it: purified m-cresol
// purple (Liu, Patsavas and Byrne, 2011), relating the absorbance ratio A578/A434 of a dyed
// sample to its pH. Written here on its own, so that the emulator's dye and the PC's processing
// are two accounts of one equation and a slip in either shows in a rehearsal.
#pragma once

#include <optional>

namespace kelpira::virtual_sensor {

// pH of a sample of salinity `salinity` (PSU) at `t_celsius` whose calibrated ratio A578/A434
// is `ratio`; nothing outside the equation's domain.
std::optional<double> dye_ph(double salinity, double t_celsius, double ratio);

// The calibrated ratio A578/A434 at which a sample shows pH `ph`: the inverse of dye_ph.
// Nothing when no positive ratio gives that pH.
std::optional<double> dye_ratio(double salinity, double t_celsius, double ph);

}  // namespace kelpira::virtual_sensor

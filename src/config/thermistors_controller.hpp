// "Configure Thermistors" without its widgets: for each of the three thermistors its input
// channel and the four coefficients of its cubic, read on opening and written on "Save".
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/form.hpp"
#include "common/prompter.hpp"
#include "link/sensor_link.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::config {

inline constexpr const char* kThermistorsTitle = "Configure Thermistors";
inline constexpr std::size_t kThermistors = 3;

struct ThermistorControls {
    common::FormControl input_channel;  // the "Input Channel" list
    // The fields before "volts^3", "volts^2", "volts" and the constant: a3, a2, a1, a0.
    std::array<common::FormControl, 4> coefficients;
};

using ThermistorsControls = std::array<ThermistorControls, kThermistors>;

// A record as its group shows it: a channel no entry has gets an entry of its own (so that
// it is written back as read); coefficients "%.5f".
ThermistorControls show_thermistor(const records::ThermistorConfig& record);
// The record a group's controls make: reserved0 0, the channel, each coefficient as stored
// while its field is unedited, else the decimal at the start of its first 23 characters (0.0
// without one).
records::ThermistorConfig read_thermistor(const ThermistorControls& controls);

// Opening: reads thermistors 0, 1, 2, showing each at once. False (after saying so) at the
// first failure, when the dialog closes.
bool open_thermistors(ThermistorsControls& controls, link::SensorLink& link,
                      common::Prompter& prompter);

// "Save": writes thermistors 0, 1, 2 up to the first failure, then reads all three back.
void save_thermistors(ThermistorsControls& controls, link::SensorLink& link,
                      common::Prompter& prompter);

}  // namespace kelpira::config

// Values the engines take from a raw row: an input channel named by a parameter, and the
// temperature of a thermistor wired to one of the inputs.
#pragma once

#include <cstdint>

#include "processing/raw_row.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::processing {

// The row's value of input channel `channel`. A channel number above 7 (a damaged header)
// reads input 0, the entry the processing dialogs fall back to for a value not in their list.
inline double channel_value(const RawRow& row, std::uint8_t channel) {
    return row.channels[channel < row.channels.size() ? channel : 0];
}

// Degrees C: A v^3 + B v^2 + C v + D for the thermistor's input value v.
inline double thermistor_temperature(const records::ThermistorConfig& t, const RawRow& row) {
    const double v = channel_value(row, t.input_channel);
    return t.a3 * v * v * v + t.a2 * v * v + t.a1 * v + t.a0;
}

}  // namespace kelpira::processing

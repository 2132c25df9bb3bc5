// What the main window's status bar shows of the poll's reports: link health, supply and
// temperature, the sensor mode and the file the sensor is writing.
#pragma once

#include <string>

#include "link/sensor_link.hpp"
#include "records/live_sample.hpp"
#include "records/power_status.hpp"

namespace kelpira::views {

// Every text starts with a tab, which centres it in its part of the status bar.
struct LinkStatusTexts {
    std::string health;  // part 1
    std::string supply;  // part 4
};

struct ModeTexts {
    std::string mode;         // part 2
    std::string output_file;  // part 3
};

// "\tUSB Comms OK" with "\t12.1V/15.0°C" when the link answered; "\tUSB Comms Error" and an
// empty supply part when it did not.
LinkStatusTexts link_status_texts(bool answered, const records::PowerStatus& power);

// "\tSensor Mode: Operating" and the like; "\tSensor Mode: Unknown (7)" for other values.
std::string sensor_mode_text(records::SensorMode mode);

// Whether the sensor is writing a raw output file in this mode (operating or sleeping).
bool mode_writes_output_file(records::SensorMode mode);

// The mode part, and the file part: while operating or sleeping it asks the sensor with
// GET_OUTPUT_FILE_NAME ("\tFile: %s", empty when that fails); otherwise it is empty and
// nothing is sent. Runs on the UI thread on every mode report.
ModeTexts mode_texts(link::SensorLink& link, records::SensorMode mode);

}  // namespace kelpira::views

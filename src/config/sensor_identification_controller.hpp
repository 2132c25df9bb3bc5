// "Configure Sensor Identification" without its widgets: the sensor's name and serial number,
// the entry check, and the save sequence with its messages.
#pragma once

#include <string>

#include "common/prompter.hpp"
#include "link/identity_records.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::config {

inline constexpr const char* kIdentificationTitle = "Configure Sensor Identification";
inline constexpr const char* kNameTip = "Sensor name to display in Connect view";
inline constexpr const char* kSerialTip = "Sensor serial number (engraved on microfluidic chip)";

struct IdentificationControls {
    std::string name;       // "Name": the sensor's name made visible (common::visible_text)
    std::string serial;     // "Serial Number"
    std::string held_name;  // the bytes the sensor holds, written back while "Name" is untouched
};

// The bytes "Name" stands for: the held bytes while it shows them, else what the user typed,
// its escapes ("\xB5", "\\") read back as the bytes they name.
std::string name_bytes(const IdentificationControls& c);

// Red entries: a name of more than 20 characters (counted in the bytes the sensor stores),
// a serial number above 65535 or that is no number ("1001a" would store 0).
bool name_too_long(const IdentificationControls& c);
bool serial_red(const IdentificationControls& c);
// "Save" is enabled while neither entry is red.
bool identification_save_enabled(const IdentificationControls& c);

// Opening: false (after saying so) when the record cannot be read and the dialog closes.
bool open_identification(IdentificationControls& c, link::SensorLink& link,
                         common::Prompter& prompter);

// "Save": reads the record again, writes it with the two fields from the controls, reads it
// back and shows it, then says how it went. The dialog closes after the message in every case.
void save_identification(IdentificationControls& c, link::SensorLink& link,
                         common::Prompter& prompter);

}  // namespace kelpira::config

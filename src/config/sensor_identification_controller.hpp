// "Configure Sensor Identification" without its widgets: the sensor's name and serial number,
// the entry check, and the save sequence with its messages.
#pragma once

#include <string>
#include <string_view>

#include "common/prompter.hpp"
#include "link/identity_fields.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::config {

inline constexpr const char* kIdentificationTitle = "Configure Sensor Identification";
inline constexpr const char* kNameTip = "Sensor name to display in Connect view";
inline constexpr const char* kSerialTip = "Sensor serial number (engraved on microfluidic chip)";

// The two fields' rows: their captions and limits.
inline constexpr const auto& kNameRow = link::row_of<link::SensorIdentification>("name");
inline constexpr const auto& kSerialRow = link::row_of<link::SensorIdentification>("serial_number");

struct IdentificationControls {
    std::string name;       // "Name": the sensor's name made visible (common::visible_text)
    std::string serial;     // "Serial Number"
    std::string held_name;  // the bytes the sensor holds, written back while "Name" is untouched
};

// The bytes "Name" stands for: the held bytes while it shows them, else what the user typed,
// its escapes ("\xB5", "\\") read back as the bytes they name.
std::string name_bytes(const IdentificationControls& c);

// Red entries: a name longer than its row allows (20, counted in the bytes the sensor stores)
// unless it is the held one, a serial number above its row's limit (65535) or that is no
// number ("1001a" would store 0).
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

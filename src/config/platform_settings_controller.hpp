// The controller of "Configure Platform Defaults", "Configure RS232" and "Configure RS485", one
// for the three dialogs: each reads its record on opening, shows it, and on "Save" writes the
// record its controls make, reads it back and says how that went.
#pragma once

#include <functional>

#include "common/prompter.hpp"
#include "config/platform_controls.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::config {

inline constexpr const char* kPlatformDefaultsTitle = "Configure Platform Defaults";
inline constexpr const char* kRs232Title = "Configure RS232";
inline constexpr const char* kRs485Title = "Configure RS485";

// The tooltips of the dialogs' controls.
namespace platform_tips {
inline constexpr const char* kDiveNumber = "Platform-defined dive number";
inline constexpr const char* kSalinity = "Current salinity from platform CTD";
inline constexpr const char* kTemperature = "Current temperature from platform CTD";
inline constexpr const char* kOxygen = "Current dissolved oxygen from platform CTD";
inline constexpr const char* kDepth = "Current depth from platform CTD";
inline constexpr const char* kDirection = "Current direction of vertical travel (if any)";
inline constexpr const char* kTimeOffset = "Offset from sensor RTC time to platform time";
inline constexpr const char* kParameter = "Platform-defined parameter";  // P1, P2, P3
inline constexpr const char* kSlaveAddress = "Sensor slave address on RS485 bus";
}  // namespace platform_tips

// Get, then show: the command's result (14 for a transport failure); the controls are left
// as they were unless it is 0.
link::CommandResult load_platform_defaults(PlatformDefaultsControls& controls,
                                           link::SensorLink& link);
link::CommandResult load_rs232_config(Rs232Controls& controls, link::SensorLink& link);
link::CommandResult load_rs485_config(Rs485Controls& controls, link::SensorLink& link);

// Rebuild from the controls, then set: non-zero on any failure.
link::CommandResult save_platform_defaults(const PlatformDefaultsControls& controls,
                                           link::SensorLink& link);
link::CommandResult save_rs232_config(const Rs232Controls& controls, link::SensorLink& link);
link::CommandResult save_rs485_config(const Rs485Controls& controls, link::SensorLink& link);

// Opening: loads, or says "Unable to retrieve ... settings from device" and returns false,
// when the dialog closes.
bool open_platform_defaults(PlatformDefaultsControls& controls, link::SensorLink& link,
                            common::Prompter& prompter);
bool open_rs232(Rs232Controls& controls, link::SensorLink& link, common::Prompter& prompter);
bool open_rs485(Rs485Controls& controls, link::SensorLink& link, common::Prompter& prompter);

// "Save": saves, and after a good write reads back into the controls and calls `shown`, so
// that the message appears over what the sensor kept; then "Settings saved" or "Failed to
// save settings" (caption "Save"). After a failed write the controls keep what was typed.
using ShownHook = std::function<void()>;
void save_platform_defaults_settings(PlatformDefaultsControls& controls, link::SensorLink& link,
                                     common::Prompter& prompter, const ShownHook& shown = {});
void save_rs232_settings(Rs232Controls& controls, link::SensorLink& link,
                         common::Prompter& prompter, const ShownHook& shown = {});
void save_rs485_settings(Rs485Controls& controls, link::SensorLink& link,
                         common::Prompter& prompter, const ShownHook& shown = {});

}  // namespace kelpira::config

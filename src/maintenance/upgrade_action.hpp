// The Connect view's "Upgrade Firmware": the link opened for the upgrade, the dialog run with
// the selected sensor's mode, and the view brought up to date afterwards.
#pragma once

#include <chrono>
#include <functional>

#include "common/prompter.hpp"
#include "connect/connect_controller.hpp"
#include "link/device_discovery.hpp"
#include "link/sensor_link.hpp"
#include "maintenance/sensor_return.hpp"

namespace kelpira::maintenance {

// The link time-out of the firmware upgrade and the factory settings: a sensor writing its
// program memory answers late.
inline constexpr std::chrono::milliseconds kMaintenanceTimeout{5000};

inline constexpr const char* kUpgradeFirmwareButton = "Upgrade Firmware";
inline constexpr const char* kUpgradeFirmwareTip = "Upgrade Sensor Firmware";

// Runs the Upgrade dialog modally with the sensor's mode, on the open link.
using RunUpgradeDialog = std::function<void(link::DeviceMode mode)>;

// "Upgrade Firmware": "Nothing selected" without a selection; "Failed to connect to sensor"
// when the link does not open with the 5000 ms time-out; otherwise the dialog, after which
// the link is closed and the list refreshed with nothing selected. The sensor restarts by
// itself after a complete upgrade and is listed again on its arrival.
void upgrade_firmware(connect::ConnectController& view, link::SensorLink& link,
                      common::Prompter& prompter, const RunUpgradeDialog& run_dialog);

// Where the upgrade of the view's selected sensor finds it again after its restart (no path
// without a selection).
ReturnWatch selected_sensor_watch(const connect::ConnectController& view,
                                  link::HidBackend& backend);

}  // namespace kelpira::maintenance

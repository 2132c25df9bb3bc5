// The Connect view's "Upgrade Firmware" action.
#include "maintenance/upgrade_action.hpp"

namespace kelpira::maintenance {

void upgrade_firmware(connect::ConnectController& view, link::SensorLink& link,
                      common::Prompter& prompter, const RunUpgradeDialog& run_dialog) {
    const auto row = view.selected_row();
    if (!row) {
        prompter.message(kUpgradeFirmwareButton, "Nothing selected");
        return;
    }
    const link::DeviceEntry entry = view.entries()[view.rows()[*row].entry];
    if (link.Open(entry.path, kMaintenanceTimeout) != 0) {
        prompter.message(kUpgradeFirmwareButton, "Failed to connect to sensor");
        return;
    }
    run_dialog(entry.mode);
    link.Close();
    view.refresh();
    view.select_row(std::nullopt);
}

ReturnWatch selected_sensor_watch(const connect::ConnectController& view,
                                  link::HidBackend& backend) {
    ReturnWatch watch;
    watch.backend = &backend;
    if (const auto row = view.selected_row()) {
        watch.path = view.entries()[view.rows()[*row].entry].path;
    }
    return watch;
}

}  // namespace kelpira::maintenance

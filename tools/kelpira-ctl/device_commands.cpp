// kelpira-ctl list and info: the sensors discovery finds, and one sensor's identity with its
// firmware compatibility verdict.
#include <iostream>

#include "common/visible_text.hpp"
#include "ctl_command.hpp"
#include "link/compatibility_verdict.hpp"
#include "link/device_types.hpp"
#include "link/identity_probe.hpp"

namespace kelpira::ctl {

namespace {

// A device another program holds is a sensor left unlisted: the list is incomplete, exit 1.
int run_list(const Invocation&) {
    const SensorList list = list_sensors();
    for (const auto& line : list.lines) {
        std::cout << line << '\n';
    }
    return list.all_opened ? 0 : 1;
}

// A sensor in its bootloader tells its identity; its firmware version needs the firmware,
// started only when --start-firmware asks for it.
int run_info(const Invocation& inv) {
    OpenSensor sensor(inv, inv.start_firmware);
    const auto probed = link::probe_sensor(sensor.link());
    if (!probed) {
        throw WorkFailure(sensor.path() + ": the sensor does not identify itself");
    }
    using common::visible_text;
    std::string text =
        "Path: " + visible_text(sensor.path()) + "\nName: " + visible_text(probed->name) +
        "\nSerial Number: " + std::to_string(probed->identification.serial_number) +
        "\nBoard Serial Number: " + std::to_string(probed->identification.board_serial_number) +
        "\nMode: " + (probed->info.mode == link::kModeBootloader ? "Bootloader" : "Firmware") +
        "\nType: " + link::DeviceTypeName(probed->info.device_type) +
        "\nBootloader Version: " + std::to_string(probed->info.bootloader_version) + "\n";
    if (probed->info.mode == link::kModeBootloader) {
        std::cout << text;
        throw WorkFailure(visible_text(sensor.path()) +
                          ": the sensor runs its bootloader (--start-firmware starts its "
                          "firmware)");
    }
    const auto version = link::read_firmware_version_text(sensor.link());
    if (!version) {
        std::cout << text;
        throw WorkFailure(visible_text(sensor.path()) + ": " +
                          std::string(link::kFirmwareUnreadableText));
    }
    text += "Firmware Version: " + visible_text(*version) + "\n";
    for (const auto& row : link::judge_firmware(*version).verdict) {
        text += "Compatibility: " + visible_text(row.text) + "\n";
    }
    std::cout << text;
    return 0;
}

const Registration kList{{"list", "one line per sensor: path, name, serial, mode, device type",
                          [](CLI::App&) -> Run { return run_list; }}};
const Registration kInfo{{"info", "identity, firmware version and the compatibility verdict",
                          [](CLI::App&) -> Run { return run_info; }}};

}  // namespace

}  // namespace kelpira::ctl

// The main window's behaviour: connection state, title and status texts, view changes, and
// the menu commands that need no dialog of their own.
#include "shell/main_window_controller.hpp"

#include <utility>

#include "link/device_types.hpp"
#include "link/firmware_releases.hpp"
#include "link/identity_commands.hpp"
#include "link/operation_commands.hpp"
#include "views/run_control.hpp"
#include "views/status_display.hpp"

namespace kelpira::shell {

const char* const kSensorPortPinsText =
    "Communication Port\n\n"
    "  PIN 1: 12-16 VDC\n"
    "  PIN 2: GND\n"
    "  PIN 3: USB VBus/5V\n"
    "  PIN 4: NC\n"
    "  PIN 5: USB DP\n"
    "  PIN 6: USB DM\n"
    "  PIN 7: RS232 SENSOR-RX\n"
    "  PIN 8: RS232 SENSOR-TX\n\n"
    "Mating plug type: SubConn MCIL8F\n"
    "with MCDLS-F locking sleeve\n";

MainWindowController::MainWindowController(link::SensorLink& link, common::Prompter& prompter,
                                           ShellHooks hooks)
    : link_(link), prompter_(prompter), hooks_(std::move(hooks)) {}

void MainWindowController::changed() {
    if (hooks_.state_changed) {
        hooks_.state_changed();
    }
}

void MainWindowController::start() {
    flags_ = 0;
    show_not_connected();
    changed();
    hooks_.show_view(ShellView::Connect);
}

void MainWindowController::show_not_connected() {
    title_ = views::not_connected_title();
    status_ = {};
    status_[views::kStatusConnection] = views::not_connected_status_text();
}

void MainWindowController::show_identity() {
    for (std::size_t part = views::kStatusLinkHealth; part < views::kStatusParts; ++part) {
        status_[part].clear();
    }
    link::SensorIdentification identification;
    link::DeviceInfo info;
    if (link::get_sensor_identification(link_, identification) != link::kResultSuccess ||
        link::get_device_info(link_, info) != link::kResultSuccess) {
        return;
    }
    const std::string name = link::sensor_display_name(identification.name);
    title_ = views::connected_title(name, link::DeviceTypeName(info.device_type));
    status_[views::kStatusConnection] = views::connected_status_text(name);
}

void MainWindowController::connected(const link::DeviceEntry& entry) {
    flags_ = views::kLinkConnected;
    connected_path_ = entry.path;
    show_identity();
    hooks_.start_poll();
    hooks_.show_view(ShellView::RawOutputGraph);
    changed();
}

// The poll stops before the Connect view exists: that view probes every attached sensor
// through the link, and no other thread may use the link while it is shown.
void MainWindowController::disconnect() {
    link_.Close();
    hooks_.stop_poll();
    flags_ = 0;
    changed();
    hooks_.show_view(ShellView::Connect);
    show_not_connected();
    changed();
}

bool MainWindowController::device_removed(std::string_view path) {
    if ((flags_ & views::kLinkConnected) == 0 || !link::same_device_path(path, connected_path_)) {
        return false;
    }
    link_.Close();
    hooks_.stop_poll();
    flags_ = 0;
    show_not_connected();
    changed();
    prompter_.message("Device Change", "Sensor Disconnected");
    hooks_.show_view(ShellView::Connect);
    return true;
}

void MainWindowController::shut_down() {
    link_.Close();
    if ((flags_ & views::kLinkConnected) != 0) {
        hooks_.stop_poll();
    }
    flags_ = 0;
}

void MainWindowController::switch_view(ShellView view) {
    hooks_.show_view(view);
}

void MainWindowController::start_sensor(std::uint8_t state) {
    if (views::start_sensor(link_, prompter_, state)) {
        flags_ |= views::kLinkRunning;
        if (hooks_.clear_history) {
            hooks_.clear_history();
        }
    }
    changed();
}

void MainWindowController::stop_sensor() {
    if (views::stop_sensor(link_, prompter_)) {
        flags_ &= ~views::kLinkRunning;
    }
    changed();
}

void MainWindowController::identity_changed() {
    show_identity();
    changed();
}

void MainWindowController::link_status(bool link_answered, const records::PowerStatus& power) {
    if (flags_ == 0) {
        return;
    }
    auto texts = views::link_status_texts(link_answered, power);
    status_[views::kStatusLinkHealth] = std::move(texts.health);
    status_[views::kStatusSupply] = std::move(texts.supply);
    changed();
}

void MainWindowController::sensor_mode(records::SensorMode mode) {
    // A report still queued when the connection ended must not mark a sensor as running.
    if ((flags_ & views::kLinkConnected) == 0) {
        return;
    }
    if (mode == records::kModeIdle) {
        flags_ &= ~views::kLinkRunning;
    } else {
        flags_ |= views::kLinkRunning;
    }
    auto texts = views::mode_texts(link_, mode);
    status_[views::kStatusMode] = std::move(texts.mode);
    status_[views::kStatusFile] = std::move(texts.output_file);
    changed();
}

void MainWindowController::mount_as_drive() {
    if (link::mount_as_drive(link_) != link::kResultSuccess) {
        prompter_.message("Mount Sensor As Drive", "Request failed.");
    }
}

void MainWindowController::show_sensor_port_pins() {
    prompter_.message("Sensor Port Pins", kSensorPortPinsText);
}

std::vector<std::string> MainWindowController::about_lines() {
    std::vector<std::string> lines = {"Marivane Sensors", "www.marivane.example",
                                      "GUI Version: " + std::string(link::kGuiVersion)};
    link::FirmwareVersion version;
    lines.push_back(link::get_firmware_version(link_, version) == link::kResultSuccess
                        ? "Firmware Version: " + version.text
                        : "");
    link::DeviceInfo info;
    lines.push_back(link::get_device_info(link_, info) == link::kResultSuccess
                        ? "Device: " + link::DeviceTypeName(info.device_type)
                        : "");
    return lines;
}

}  // namespace kelpira::shell

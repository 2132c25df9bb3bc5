// Probing and connecting sensors: what the Connect view does with each click and each device
// change.
#include "connect/connect_controller.hpp"

#include <utility>

#include "common/visible_text.hpp"
#include "link/device_types.hpp"
#include "link/identity_commands.hpp"
#include "link/identity_probe.hpp"

namespace kelpira::connect {

ConnectController::ConnectController(link::HidBackend& backend, link::SensorLink& link,
                                     common::Prompter& prompter, ConnectRequest on_connect)
    : backend_(backend), link_(link), prompter_(prompter), on_connect_(std::move(on_connect)) {}

void ConnectController::start() {
    refresh();
    selected_.reset();
    awaiting_firmware_ = false;
    disable_actions();
}

void ConnectController::refresh() {
    link_.Close();
    rows_.clear();
    unopened_.clear();
    selected_.reset();
    entries_ = link::enumerate_sensors(backend_);
    unlisted_ = backend_.unlisted_reason();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        probe(i);
    }
}

void ConnectController::probe(std::size_t entry_index) {
    link::DeviceEntry& entry = entries_[entry_index];
    if (link_.Open(entry.path, kProbeTimeout) != 0) {
        unopened_.push_back(common::visible_text(entry.path) +
                            " could not be opened: another program may be using it");
        return;
    }
    DeviceRow row;
    row.entry = entry_index;
    if (const auto sensor = link::probe_sensor(link_)) {
        const link::DeviceInfo& info = sensor->info;
        entry.mode = info.mode;
        row.name = link::sensor_display_name(sensor->name);
        row.serial_number = std::to_string(sensor->identification.serial_number);
        row.state = info.mode == link::kModeBootloader
                        ? "Bootloader (v" + std::to_string(info.bootloader_version) + ")"
                        : "Firmware";
        row.type = link::DeviceTypeName(info.device_type);
    } else {
        entry.mode = link::kModeUnidentified;
        row.name = "Unknown device";
    }
    rows_.push_back(std::move(row));
    link_.Close();
}

std::optional<std::size_t> ConnectController::find_row_by_name() const {
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].name == selected_name_) {
            found = i;
        }
    }
    return found;
}

void ConnectController::select_row(std::optional<std::size_t> row) {
    if (!row || *row >= rows_.size()) {
        selected_.reset();
        disable_actions();
        return;
    }
    selected_ = row;
    selected_name_ = rows_[*row].name;
    const link::DeviceMode mode = entries_[rows_[*row].entry].mode;
    actions_.connect = mode != link::kModeUnidentified;
    actions_.upgrade_firmware = mode == link::kModeBootloader;
    actions_.factory_settings = mode != link::kModeUnidentified;
}

void ConnectController::activate_row(std::size_t row) {
    select_row(row);
    connect();
}

void ConnectController::connect() {
    if (!selected_) {
        prompter_.message("Connect", "Nothing selected");
        return;
    }
    const link::DeviceEntry entry = entries_[rows_[*selected_].entry];
    if (link_.Open(entry.path, kConnectTimeout) != 0) {
        prompter_.message("Connect", "Failed to connect");
        actions_ = {.connect = true, .upgrade_firmware = false, .factory_settings = false};
        return;
    }
    if (entry.mode == link::kModeBootloader) {
        if (link::start_firmware(link_) != link::kResultSuccess) {
            // Closed, so that the next attempt can open it again.
            link_.Close();
            prompter_.message("Connect", "Failed to start firmware");
            actions_ = {.connect = true, .upgrade_firmware = true, .factory_settings = true};
            return;
        }
        // The sensor now restarts: it leaves and comes back running its firmware, and its
        // arrival completes the connection.
        selected_.reset();
        awaiting_firmware_ = true;
        return;
    }
    on_connect_(entry);
}

void ConnectController::device_arrived() {
    refresh();
    selected_ = find_row_by_name();
    if (awaiting_firmware_) {
        awaiting_firmware_ = false;
        link_.Close();
        connect();
        return;
    }
    disable_actions();
}

void ConnectController::device_removed() {
    refresh();
    selected_.reset();
    disable_actions();
}

void ConnectController::set_watch_problem(std::string text) {
    watch_problem_ = std::move(text);
}

std::string ConnectController::status() const {
    std::string lines = unlisted_;
    for (const auto& line : unopened_) {
        lines += (lines.empty() ? "" : "\n") + line;
    }
    // A watcher refused by the folder says what the listing said: told once.
    std::size_t from = 0;
    while (from < watch_problem_.size()) {
        auto end = watch_problem_.find('\n', from);
        if (end == std::string::npos) {
            end = watch_problem_.size();
        }
        const std::string line = watch_problem_.substr(from, end - from);
        if (!line.empty() && ("\n" + lines + "\n").find("\n" + line + "\n") == std::string::npos) {
            lines += (lines.empty() ? "" : "\n") + line;
        }
        from = end + 1;
    }
    return lines;
}

}  // namespace kelpira::connect

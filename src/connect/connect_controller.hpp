// The Connect view without its widgets: probing the attached sensors, the rows it lists,
// selection, and connecting (through the bootloader's restart when needed).
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/prompter.hpp"
#include "link/device_discovery.hpp"
#include "link/hid_device.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::connect {

// Link time-outs of the Connect view.
constexpr std::chrono::milliseconds kProbeTimeout{500};
constexpr std::chrono::milliseconds kConnectTimeout{3000};

// One line of the device list, in the order the probes answered.
struct DeviceRow {
    std::size_t entry = 0;  // index into the controller's entries()
    std::string
        name;  // "Name", made visible; "Unknown device" when the sensor did not identify itself
    std::string serial_number;  // "Serial Number"
    std::string state;          // "State": "Bootloader (v%u)" or "Firmware"
    std::string type;           // "Type": the device type's display name

    bool operator==(const DeviceRow&) const = default;
};

// Which of the view's actions can be used now.
struct ConnectActions {
    bool connect = false;
    bool upgrade_firmware = false;
    bool factory_settings = false;
};

// Used on the UI thread only; the link belongs to this controller while the Connect view is
// shown, and is handed over open with the connect request.
class ConnectController {
  public:
    // Receives the connected entry with the link open for work.
    using ConnectRequest = std::function<void(const link::DeviceEntry&)>;

    ConnectController(link::HidBackend& backend, link::SensorLink& link, common::Prompter& prompter,
                      ConnectRequest on_connect);

    // The view has been created: list the sensors, nothing selected, no action enabled.
    void start();
    // Closes the link and probes every attached sensor afresh.
    void refresh();

    // A click on a row, or outside any row (nothing).
    void select_row(std::optional<std::size_t> row);
    // A double click on a row: select it and connect.
    void activate_row(std::size_t row);
    // The "Connect" button.
    void connect();

    // Device changes the main window passes on.
    void device_arrived();
    void device_removed();
    // Why device changes are not all followed, as the device watchers say it (empty: they are).
    void set_watch_problem(std::string text);

    // The view's status line: why sensors may be missing from the list (a device folder that
    // cannot be trusted, a device another program holds, a device watch that did not start),
    // one reason a line; empty when nothing is amiss.
    std::string status() const;
    // The devices the last refresh found but could not open (another program holds them, or
    // their permissions refuse this user), one line each as status() words them.
    const std::vector<std::string>& unopened() const { return unopened_; }

    const std::vector<link::DeviceEntry>& entries() const { return entries_; }
    const std::vector<DeviceRow>& rows() const { return rows_; }
    std::optional<std::size_t> selected_row() const { return selected_; }
    ConnectActions actions() const { return actions_; }
    bool awaiting_firmware() const { return awaiting_firmware_; }

  private:
    void probe(std::size_t entry_index);
    std::optional<std::size_t> find_row_by_name() const;
    void disable_actions() { actions_ = {}; }

    link::HidBackend& backend_;
    link::SensorLink& link_;
    common::Prompter& prompter_;
    ConnectRequest on_connect_;
    std::vector<link::DeviceEntry> entries_;
    std::vector<DeviceRow> rows_;
    std::optional<std::size_t> selected_;
    std::string selected_name_;  // kept to find the same sensor after a refresh
    bool awaiting_firmware_ = false;
    ConnectActions actions_;
    std::string unlisted_;  // the backend's reason at the last refresh
    std::vector<std::string> unopened_;
    std::string watch_problem_;
};

}  // namespace kelpira::connect

// The main window's behaviour without its widgets: link state, title, status bar texts, the
// current view, and what connecting, disconnecting and unplugging do.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/prompter.hpp"
#include "link/device_discovery.hpp"
#include "link/sensor_link.hpp"
#include "records/live_sample.hpp"
#include "records/power_status.hpp"
#include "shell/shell_menu.hpp"
#include "views/link_flags.hpp"
#include "views/status_texts.hpp"

namespace kelpira::shell {

// The views the main window can show, one at a time.
enum class ShellView {
    Connect,
    Compatibility,
    RawOutputText,
    ProcessedOutputText,
    Diagnostics,
    RawOutputGraph,
    ProcessedOutputGraph,
};

// What the window around the controller does for it. Every hook is called on the UI thread.
struct ShellHooks {
    // Replaces the current view by a new one of this kind.
    std::function<void(ShellView)> show_view;
    std::function<void()> start_poll;
    std::function<void()> stop_poll;
    // Title, status texts or link flags changed: show them now (a message may follow).
    std::function<void()> state_changed;
    // A start from the PC succeeded: the live history starts again empty.
    std::function<void()> clear_history;
};

// One per main window, used on the UI thread only.
class MainWindowController {
  public:
    MainWindowController(link::SensorLink& link, common::Prompter& prompter, ShellHooks hooks);

    // The window has been created: not connected, the Connect view.
    void start();
    // The Connect view has opened the link on `entry` and hands it over.
    void connected(const link::DeviceEntry& entry);
    // File > Disconnect.
    void disconnect();
    // A device left. True when it was the connected sensor and has been dealt with here;
    // false when the notification belongs to the current view.
    bool device_removed(std::string_view path);
    // The window closes: the link, then the poll.
    void shut_down();
    // A view chosen from the menu.
    void switch_view(ShellView view);
    // A view's Start and Stop: run control, then the link flags follow its outcome.
    void start_sensor(std::uint8_t state);
    void stop_sensor();
    // The sensor identification dialog has closed: title and status part 0 read again.
    void identity_changed();

    // Reports of the status poll, already on the UI thread. Reports that arrive after the
    // connection ended change nothing.
    void link_status(bool link_answered, const records::PowerStatus& power);
    void sensor_mode(records::SensorMode mode);

    // File > Mount Sensor As Drive; Help > Sensor Port Pins.
    void mount_as_drive();
    void show_sensor_port_pins();
    // The lines of the About box below the maker's name and address: GUI version, firmware
    // version, device (an empty line for what cannot be read).
    std::vector<std::string> about_lines();

    views::LinkFlags flags() const { return flags_; }
    bool enabled(Command command) const { return command_enabled(command, flags_); }
    const std::string& title() const { return title_; }
    const std::array<std::string, views::kStatusParts>& status() const { return status_; }
    const std::string& connected_path() const { return connected_path_; }

  private:
    void show_identity();
    void show_not_connected();
    void end_connection();
    void changed();

    link::SensorLink& link_;
    common::Prompter& prompter_;
    ShellHooks hooks_;
    views::LinkFlags flags_ = 0;
    std::string connected_path_;
    std::string title_;
    std::array<std::string, views::kStatusParts> status_{};
};

// "Sensor Port Pins": the pins of the sensor's communication port and its mating plug.
extern const char* const kSensorPortPinsText;

}  // namespace kelpira::shell

// The command table, result writing and sensor selection of kelpira-ctl.
#include "ctl_command.hpp"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <thread>

#include "common/safe_file.hpp"
#include "common/visible_text.hpp"
#include "connect/connect_controller.hpp"
#include "link/combined_hid.hpp"
#include "link/device_socket_names.hpp"
#include "link/hidraw_backend.hpp"
#include "link/identity_commands.hpp"
#include "link/identity_records.hpp"
#include "link/socket_hid.hpp"
#include "terminal_prompter.hpp"

namespace kelpira::ctl {

namespace {

std::vector<CommandSpec>& table() {
    static std::vector<CommandSpec> t;
    return t;
}

// Discovery as the Connect view does it: every sensor probed with the short time-out.
struct Discovery {
    link::HidrawBackend usb;
    link::SocketHidBackend virtual_devices{link::default_device_folder()};
    link::CombinedHidBackend backend{{&usb, &virtual_devices}};
    link::SensorLink link{backend};
    TerminalPrompter prompter;
    connect::ConnectController controller{backend, link, prompter, [](const link::DeviceEntry&) {}};

    // A virtual-sensor folder that cannot be trusted, and each device another program holds,
    // are told once, here.
    Discovery() {
        controller.start();
        if (const auto why = backend.unlisted_reason(); !why.empty()) {
            tell(why);
        }
        for (const auto& line : controller.unopened()) {
            tell(line);
        }
    }

    // Texts from the sensor with their control characters made visible.
    std::string line(const connect::DeviceRow& row) const {
        using common::visible_text;
        return visible_text(controller.entries()[row.entry].path) + "\t" + row.name + "\t" +
               visible_text(row.serial_number) + "\t" + visible_text(row.state) + "\t" +
               visible_text(row.type);
    }
    std::string found() const {
        std::string text;
        for (const auto& row : controller.rows()) {
            text += "\n  " + line(row);
        }
        return text;
    }
};

}  // namespace

Registration::Registration(CommandSpec spec) {
    auto& t = table();
    t.push_back(std::move(spec));
    std::sort(t.begin(), t.end(),
              [](const CommandSpec& a, const CommandSpec& b) { return a.name < b.name; });
}

const std::vector<CommandSpec>& commands() {
    return table();
}

void write_result(const std::string& path, std::string_view text) {
    if (path == "-") {
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
        std::cout.flush();
        if (!std::cout) {
            throw WorkFailure("standard output: cannot write");
        }
        return;
    }
    std::string refused;
    const bool ok = common::write_file_safely(
        path,
        [text](std::ostream& out) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            return static_cast<bool>(out);
        },
        &refused);
    if (!ok) {
        throw WorkFailure(refused.empty() ? path + ": cannot write the file" : refused);
    }
}

void tell(std::string_view text) {
    std::cerr << kProgram << ": " << text << '\n';
}

struct OpenSensor::Parts {
    Discovery discovery;
    std::string path;
};

namespace {

// The rows `selector` names among those discovery found (all of them without a selector).
std::vector<const connect::DeviceRow*> matching(const Discovery& d,
                                                const std::optional<std::string>& selector) {
    std::vector<const connect::DeviceRow*> matches;
    for (const auto& row : d.controller.rows()) {
        const std::string& path = d.controller.entries()[row.entry].path;
        // The name as `list` shows it, or its bytes as typed.
        if (!selector || row.name == *selector || row.name == common::visible_text(*selector) ||
            row.serial_number == *selector || link::same_device_path(path, *selector)) {
            matches.push_back(&row);
        }
    }
    return matches;
}

// How long a sensor whose firmware was started may take to come back, and how often to look.
constexpr auto kFirmwareStartWait = std::chrono::seconds(15);
constexpr auto kLookAgain = std::chrono::milliseconds(250);

}  // namespace

OpenSensor::OpenSensor(const Invocation& inv, bool need_firmware, std::chrono::milliseconds timeout)
    : parts_(std::make_unique<Parts>()) {
    Discovery& d = parts_->discovery;
    auto matches = matching(d, inv.device);
    if (matches.size() != 1) {
        const std::string what =
            d.controller.rows().empty()
                ? (d.controller.unopened().empty() ? "no sensor attached"
                                                   : "no sensor could be opened")
            : matches.empty() ? "no sensor matches \"" +
                                    common::visible_text(inv.device.value_or("")) + "\"; found:"
                              : "several sensors; choose one with --device:";
        throw WorkFailure(what + d.found());
    }
    link::DeviceEntry entry = d.controller.entries()[matches[0]->entry];
    parts_->path = entry.path;
    if (need_firmware && entry.mode == link::kModeBootloader) {
        if (!inv.start_firmware) {
            throw WorkFailure(entry.path +
                              ": the sensor runs its bootloader (--start-firmware starts its "
                              "firmware)");
        }
        const std::string serial = matches[0]->serial_number;
        if (d.link.Open(entry.path, connect::kConnectTimeout) != 0 ||
            link::start_firmware(d.link) != link::kResultSuccess) {
            d.link.Close();
            throw WorkFailure(entry.path + ": Failed to start firmware");
        }
        d.link.Close();
        // The sensor restarts: it leaves and comes back, perhaps under another path.
        const auto give_up = std::chrono::steady_clock::now() + kFirmwareStartWait;
        for (;;) {
            std::this_thread::sleep_for(kLookAgain);
            d.controller.refresh();
            matches = matching(d, serial);
            if (matches.size() == 1 &&
                d.controller.entries()[matches[0]->entry].mode != link::kModeBootloader) {
                entry = d.controller.entries()[matches[0]->entry];
                parts_->path = entry.path;
                break;
            }
            if (std::chrono::steady_clock::now() > give_up) {
                throw WorkFailure(entry.path +
                                  ": the sensor did not come back running its firmware");
            }
        }
    }
    if (d.link.Open(entry.path, timeout) != 0) {
        throw WorkFailure(entry.path + ": Failed to connect");
    }
}

namespace {

link::LinkLoss last_loss = link::LinkLoss::none;

}  // namespace

OpenSensor::~OpenSensor() {
    last_loss = std::max(last_loss, parts_->discovery.link.loss());
    parts_->discovery.link.Close();
}

link::LinkLoss sensor_loss() {
    return last_loss;
}

std::string with_sensor_loss(const std::string& failure) {
    const std::string why = link::loss_text(last_loss);
    if (why.empty() || failure.ends_with(why)) {
        return failure;
    }
    return failure + ": " + why;
}

link::SensorLink& OpenSensor::link() {
    return parts_->discovery.link;
}
link::HidBackend& OpenSensor::backend() {
    return parts_->discovery.backend;
}
const std::string& OpenSensor::path() const {
    return parts_->path;
}

SensorList list_sensors() {
    const Discovery d;
    SensorList list;
    for (const auto& row : d.controller.rows()) {
        list.lines.push_back(d.line(row));
    }
    list.all_opened = d.controller.unopened().empty();
    return list;
}

}  // namespace kelpira::ctl

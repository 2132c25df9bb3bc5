// Finding the upgraded sensor again after its restart.
#include "maintenance/sensor_return.hpp"

#include <algorithm>

#include "link/device_discovery.hpp"
#include "link/identity_commands.hpp"
#include "link/identity_probe.hpp"
#include "link/identity_records.hpp"
#include "maintenance/upgrade_action.hpp"

namespace kelpira::maintenance {

namespace {

// How often to look again while nothing tells of the sensor's return.
constexpr std::chrono::milliseconds kLookAgain{250};

bool listed(link::HidBackend& backend, const std::string& path) {
    const auto sensors = link::enumerate_sensors(backend);
    return std::any_of(sensors.begin(), sensors.end(), [&path](const link::DeviceEntry& e) {
        return link::same_device_path(e.path, path);
    });
}

// What the sensor runs now, or nothing while it cannot be asked yet.
std::optional<SensorReturn> ask(link::SensorLink& link, const ReturnWatch& watch,
                                const std::optional<std::string>& expected) {
    if (!link.is_open() || link.loss() != link::LinkLoss::none) {
        link.Close();
        if (!listed(*watch.backend, watch.path) ||
            link.Open(watch.path, kMaintenanceTimeout) != 0) {
            return std::nullopt;
        }
    }
    SensorReturn back;
    back.expected = expected.value_or("");
    link::DeviceInfo info;
    if (link::get_device_info(link, info) != link::kResultSuccess) {
        link.Close();  // opened again on the next look
        return std::nullopt;
    }
    if (info.mode == link::kModeBootloader) {
        back.kind = Return::bootloader;
        return back;
    }
    const auto version = link::read_firmware_version_text(link);
    back.version = version.value_or("");
    back.kind = !version                            ? Return::unidentified
                : expected && *version != *expected ? Return::other_version
                                                    : Return::back;
    return back;
}

// Whether the sensor has left since the image was closed: an arrival notice at its path, an
// exchange that found the device gone, or a list without it.
bool restarted(link::SensorLink& link, const ReturnWatch& watch, const ReturnSignal& signal) {
    if (signal.has_arrived()) {
        return true;
    }
    if (link.is_open()) {
        link::DeviceInfo info;
        link::get_device_info(link, info);
        if (link.loss() == link::LinkLoss::removed) {
            return true;
        }
    }
    return !listed(*watch.backend, watch.path);
}

}  // namespace

void ReturnSignal::arrived() {
    {
        std::lock_guard lock(mutex_);
        ++arrivals_;
        woken_ = true;
    }
    changed_.notify_all();
}

void ReturnSignal::stop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    changed_.notify_all();
}

bool ReturnSignal::has_arrived() const {
    std::lock_guard lock(mutex_);
    return arrivals_ > 0;
}

bool ReturnSignal::wait_until(std::chrono::steady_clock::time_point until) {
    std::unique_lock lock(mutex_);
    changed_.wait_until(lock, until, [this] { return woken_ || stopped_; });
    woken_ = false;
    return stopped_;
}

SensorReturn await_sensor_return(link::SensorLink& link, const ReturnWatch& watch,
                                 const std::optional<std::string>& expected) {
    ReturnSignal& signal = *watch.signal;
    const auto give_up = std::chrono::steady_clock::now() + watch.wait;
    bool left = false;
    for (;;) {
        left = left || restarted(link, watch, signal);
        if (left) {
            if (auto back = ask(link, watch, expected)) {
                return *back;
            }
        }
        const auto now = std::chrono::steady_clock::now();
        SensorReturn none;
        none.expected = expected.value_or("");
        if (now >= give_up) {
            return none;
        }
        if (signal.wait_until(std::min(now + kLookAgain, give_up))) {
            none.kind = Return::stopped;
            return none;
        }
    }
}

}  // namespace kelpira::maintenance

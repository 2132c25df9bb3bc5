// The Upgrade dialog's decisions and texts.
#include "maintenance/upgrade_controller.hpp"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "link/device_discovery.hpp"
#include "link/identity_records.hpp"

namespace kelpira::maintenance {

namespace {

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

}  // namespace

std::string upgrade_running_text(std::uint32_t bytes) {
    return format("Upgrade running, %u bytes written", bytes);
}

std::string upgrade_complete_text(std::uint32_t bytes) {
    return format("Upgrade complete, %u bytes written", bytes);
}

std::string upgrade_failed_text(std::uint32_t bytes, int status) {
    return format("Upgrade failed after %u bytes (%d)", bytes, status);
}

std::string upgrade_restarting_text(std::uint32_t bytes) {
    return format("Image written, %u bytes; waiting for the sensor to restart", bytes);
}

std::string sensor_return_text(std::uint32_t bytes, const SensorReturn& sensor,
                               const ReturnWatch& watch) {
    const std::string written = format("Image written, %u bytes", bytes);
    switch (sensor.kind) {
        case Return::back:
            return upgrade_complete_text(bytes);
        case Return::not_back:
            return written + ", but the sensor was not found again at " + watch.path +
                   format(" within %lld s",
                          static_cast<long long>((watch.wait.count() + 999) / 1000));
        case Return::bootloader:
            return written + ", but the sensor came back running its bootloader";
        case Return::other_version:
            return written + ", but the sensor came back running " + sensor.version +
                   "; the image names " + sensor.expected;
        case Return::unidentified:
            return written + ", but the sensor came back without telling its firmware version";
        case Return::stopped:
            break;
    }
    return written + "; stopped waiting for the sensor to come back";
}

UpgradeController::UpgradeController(link::SensorLink& link, ReturnWatch watch,
                                     common::Prompter& prompter, UpgradeSink sink)
    : link_(link), watch_(std::move(watch)), prompter_(prompter), sink_(std::move(sink)) {}

UpgradeController::~UpgradeController() = default;

bool UpgradeController::choose_image(const char* title, const char* filter_label) {
    common::FileRequest request;
    request.title = title;
    request.filters = {{filter_label, "*.bin"}};
    request.default_extension = "bin";
    auto chosen = prompter_.choose_open_file(request);
    if (!chosen) {
        return false;
    }
    path_ = std::move(*chosen);
    return true;
}

bool UpgradeController::open(std::uint32_t mode) {
    result_ = kUpgradeNotDone;
    if (mode == link::kModeFirmware) {
        if (prompter_.ask_yes_no(kUpgradeBootloaderTitle, kBootloaderWarning) !=
            common::Answer::Yes) {
            return false;
        }
        title_ = kUpgradeBootloaderTitle;
        if (!choose_image("Bootloader Binary File", "Bootloader Binary Files (*.bin)")) {
            return false;
        }
        load_address_ = link::kBootloaderLoadAddress;
    } else if (mode == link::kModeBootloader) {
        title_ = kUpgradeFirmwareTitle;
        if (!choose_image("Firmware Binary File", "Firmware Binary Files (*.bin)")) {
            return false;
        }
        load_address_ = link::kFirmwareLoadAddress;
    } else {
        return false;
    }
    // An empty image would only send the closing block, which leaves the sensor without the
    // code it is about to replace: refused before the sensor hears of it.
    std::error_code error;
    const auto size = std::filesystem::file_size(path_, error);
    if (!error && size == 0) {
        prompter_.message(kUpgradeCaption,
                          "The file " + path_ + " is empty: there is no image to write.");
        return false;
    }
    image_size_ = error ? 0 : size;
    loss_before_ = link_.loss();
    try {
        streamer_ = std::make_unique<UpgradeStreamer>(link_, path_, load_address_, sink_, watch_);
    } catch (const std::system_error&) {
        prompter_.message(kUpgradeCaption, "Failed to start upgrade");
        return false;
    }
    result_.reset();
    return true;
}

void UpgradeController::cancel() {
    if (result_ || stopping_) {
        return;
    }
    if (!streamer_) {
        result_ = kUpgradeNotDone;
        return;
    }
    // The image is written: only the wait for the sensor is left to stop.
    if (waiting_) {
        status_text_ = kStoppingText;
        stopping_ = true;
        streamer_->stop_waiting();
        return;
    }
    if (replaces_bootloader()) {
        prompter_.message(kCancelCaption, kBootloaderCancelRefused);
        return;
    }
    const common::Answer answer = prompter_.ask_yes_no(kCancelCaption, kFirmwareCancelQuestion);
    // The outcome may have come while the question was open: it stands.
    if (result_ || answer != common::Answer::Yes) {
        return;
    }
    // The dialog ends on the thread's outcome: a closing block already on its way may still
    // complete the upgrade, and the user is told what the sensor now runs.
    status_text_ = kStoppingText;
    stopping_ = true;
    streamer_->cancel();
}

void UpgradeController::device_arrived(const std::string& path) {
    if (link::same_device_path(path, watch_.path)) {
        watch_.signal->arrived();
    }
}

void UpgradeController::handle(const UpgradeEvent& event) {
    if (result_) {
        return;
    }
    if (const auto* progress = std::get_if<UpgradeProgress>(&event)) {
        bytes_written_ = progress->bytes_written;
        status_text_ = upgrade_running_text(bytes_written_);
        return;
    }
    if (const auto* restarting = std::get_if<UpgradeRestarting>(&event)) {
        bytes_written_ = restarting->bytes_written;
        status_text_ = upgrade_restarting_text(bytes_written_);
        waiting_ = true;
        return;
    }
    const auto& outcome = std::get<UpgradeOutcome>(event);
    bytes_written_ = outcome.bytes_written;
    if (outcome.status == kUpgradeComplete) {
        const SensorReturn sensor = outcome.sensor.value_or(SensorReturn{});
        sensor_version_ = sensor.version;
        status_text_ = sensor_return_text(bytes_written_, sensor, watch_);
        // Stopped waiting as the user asked: nothing to tell beyond the status text.
        if (!stopping_ || sensor.kind != Return::stopped) {
            prompter_.message(kUpgradeCaption, status_text_);
        }
        result_ = sensor.kind == Return::back ? kUpgradeDone : kUpgradeNotDone;
    } else {
        status_text_ = upgrade_failed_text(bytes_written_, outcome.status);
        // A sensor lost during the upgrade is named in the words every operation uses.
        if (const link::LinkLoss loss = link_.loss(); loss != loss_before_) {
            status_text_ += ": " + link::loss_text(loss);
        }
        // Stopped as the user asked: nothing to tell beyond the status text.
        if (!stopping_ || outcome.status != kUpgradeStopped) {
            prompter_.message(kUpgradeCaption, status_text_);
        }
        result_ = kUpgradeNotDone;
    }
}

}  // namespace kelpira::maintenance

// The Upgrade dialog without its widgets: choosing the image by the sensor's mode, the
// warning before a bootloader is replaced, the thread's progress, the wait for the restarted
// sensor and the outcome as the status text and the closing message, and the cancel rules.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"
#include "link/upgrade_block.hpp"
#include "maintenance/sensor_return.hpp"
#include "maintenance/upgrade_streamer.hpp"

namespace kelpira::maintenance {

// What the dialog returns.
inline constexpr int kUpgradeDone = 1;
inline constexpr int kUpgradeNotDone = 2;

inline constexpr const char* kUpgradeCaption = "Upgrade";
inline constexpr const char* kUpgradeFirmwareTitle = "Upgrade Firmware";
inline constexpr const char* kUpgradeBootloaderTitle = "Upgrade Bootloader";
inline constexpr const char* kCancelCaption = "Cancel";
inline constexpr const char* kBootloaderWarning =
    "A bootloader upgrade must be allowed to complete or the sensor will need to be returned "
    "to Marivane Sensors for repair. Are you sure you want to do this?";
inline constexpr const char* kBootloaderCancelRefused =
    "You must let this operation complete or you will have to return the sensor to Marivane "
    "Sensors for repair.";
inline constexpr const char* kFirmwareCancelQuestion =
    "If you interrupt the upgrade now you will need to re-do it later to be able to use the "
    "sensor again.\nStop the upgrade now?";
inline constexpr const char* kStoppingText = "Stopping...";

std::string upgrade_running_text(std::uint32_t bytes);
std::string upgrade_complete_text(std::uint32_t bytes);
std::string upgrade_failed_text(std::uint32_t bytes, int status);
std::string upgrade_restarting_text(std::uint32_t bytes);
// Why a written image did not make a complete upgrade, in what the program saw: the sensor
// was not found again where `watch` looked within its wait, came back in its bootloader or
// running another version than the image names, or the wait was stopped.
std::string sensor_return_text(std::uint32_t bytes, const SensorReturn& sensor,
                               const ReturnWatch& watch);

// Used on the UI thread only. The streamer's events reach it through the sink given at
// construction, which must hand them back to the UI thread's handle(). The upgrade completes
// only once the sensor is back after its restart, found as `watch` says, running firmware of
// the image's version when a firmware image names one.
class UpgradeController {
  public:
    UpgradeController(link::SensorLink& link, ReturnWatch watch, common::Prompter& prompter,
                      UpgradeSink sink);
    // A thread still running is told to stop and waited for at most 1000 ms.
    ~UpgradeController();
    UpgradeController(const UpgradeController&) = delete;
    UpgradeController& operator=(const UpgradeController&) = delete;

    // Opening with the sensor's mode (1 bootloader: a firmware image; 2 firmware: a
    // bootloader image, after the warning). True when the upgrade thread runs; false when
    // the dialog has ended without touching the sensor (result() is then 2).
    bool open(std::uint32_t mode);

    // "Cancel", or closing the window. A firmware upgrade the user agrees to stop shows
    // "Stopping..." until the thread's outcome ends the dialog. Once the image is written, it
    // stops the wait for the sensor's return without a question.
    void cancel();

    // A device arrived at `path` (from any thread): when it is the upgraded sensor's, it has
    // restarted, and is looked for at once.
    void device_arrived(const std::string& path);

    // One of the streamer's events, on the UI thread. Ignored once the dialog has ended. A
    // failure whose sensor the link lost meanwhile ends with link::loss_text: "Upgrade failed
    // after N bytes (S): sensor removed".
    void handle(const UpgradeEvent& event);

    const std::string& title() const { return title_; }
    const std::string& status_text() const { return status_text_; }
    std::uint64_t image_size() const { return image_size_; }
    std::uint32_t bytes_written() const { return bytes_written_; }
    bool replaces_bootloader() const { return load_address_ == link::kBootloaderLoadAddress; }
    // The user agreed to stop; the outcome has not come yet, or came as a stop.
    bool stopping() const { return stopping_; }
    // The image is written; the thread waits for the sensor to come back.
    bool waiting() const { return waiting_; }
    // The firmware version text the sensor reported once back, when it was read.
    const std::string& sensor_version() const { return sensor_version_; }
    // Set once the dialog ends: 1 when the upgrade completed, 2 otherwise.
    std::optional<int> result() const { return result_; }

  private:
    bool choose_image(const char* title, const char* filter_label);

    link::SensorLink& link_;
    ReturnWatch watch_;
    common::Prompter& prompter_;
    UpgradeSink sink_;
    std::string title_;
    std::string path_;
    std::uint32_t load_address_ = 0;
    std::uint64_t image_size_ = 0;
    std::uint32_t bytes_written_ = 0;
    std::string status_text_;
    std::string sensor_version_;
    bool waiting_ = false;  // the image is written; the thread waits for the sensor
    link::LinkLoss loss_before_ = link::LinkLoss::none;  // the link's loss when the upgrade began
    std::optional<int> result_;
    bool stopping_ = false;
    std::unique_ptr<UpgradeStreamer> streamer_;
};

}  // namespace kelpira::maintenance

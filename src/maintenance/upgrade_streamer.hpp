// Streaming an image file to the sensor, 64 bytes per WRITE_FIRMWARE_BLOCK, on its own thread,
// then waiting for the sensor's return, and what the thread tells the dialog: progress after
// each block, the wait, and how it finished.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "common/worker.hpp"
#include "link/sensor_link.hpp"
#include "maintenance/sensor_return.hpp"

namespace kelpira::maintenance {

// The finished status: 0 complete; 1 cancelled, the file missing, unreadable or empty, or the
// closing block not accepted; 14 no exchange; any other value the sensor's answer to a block.
inline constexpr link::CommandResult kUpgradeComplete = 0;
inline constexpr link::CommandResult kUpgradeStopped = 1;

struct UpgradeProgress {
    std::uint32_t bytes_written = 0;  // image bytes accepted up to and including the last block
    bool operator==(const UpgradeProgress&) const = default;
};

// The whole image was accepted; the thread now waits for the sensor to restart.
struct UpgradeRestarting {
    std::uint32_t bytes_written = 0;
    bool operator==(const UpgradeRestarting&) const = default;
};

struct UpgradeOutcome {
    link::CommandResult status = kUpgradeStopped;
    std::uint32_t bytes_written = 0;
    // With status 0: whether the sensor came back after its restart, and running what.
    std::optional<SensorReturn> sensor;
    bool operator==(const UpgradeOutcome&) const = default;
};

using UpgradeEvent = std::variant<UpgradeProgress, UpgradeRestarting, UpgradeOutcome>;
// Receives the streamer's events on the streamer's thread: progress, the wait for the
// sensor's return, and the outcome last.
using UpgradeSink = std::function<void(const UpgradeEvent&)>;

// Sends `image` as data blocks, each holding the next 64 bytes read (the bytes past a short
// read left over from the block before), checking `cancelled` before each one, the closing
// block too, and reporting each accepted one to `progress`. The closing block (count 0, the next
// block number) goes out only once every data block was accepted and the image ended at a true end
// of file: a cancel, a refused block, a read error or an empty image ends the upgrade without it.
UpgradeOutcome stream_image(link::SensorLink& link, std::istream& image, std::uint32_t load_address,
                            const std::function<bool()>& cancelled,
                            const std::function<void(std::uint32_t)>& progress);

// The version text of a firmware image file (load address 0xA000), which the sensor should
// report once it runs it; none for a bootloader image or a file naming none.
std::optional<std::string> image_version(const std::string& path, std::uint32_t load_address);

// The upgrade thread: opens the file, streams it, waits for the sensor to come back after a
// complete image, and posts the events to the sink.
class UpgradeStreamer {
  public:
    // How long destruction waits for the thread before letting it go.
    static constexpr std::chrono::milliseconds kStopWait{1000};

    // Starts the thread at once; throws std::system_error when it cannot be started. The link
    // must outlive the thread (it is the program's one link); the sink is kept by the thread.
    UpgradeStreamer(link::SensorLink& link, std::string path, std::uint32_t load_address,
                    UpgradeSink sink, ReturnWatch watch);
    // Sets the cancel flag, stops the wait for the sensor and waits for the thread at most
    // kStopWait.
    ~UpgradeStreamer();
    UpgradeStreamer(const UpgradeStreamer&) = delete;
    UpgradeStreamer& operator=(const UpgradeStreamer&) = delete;

    // Sets the cancel flag: the thread stops before its next block. An image already complete
    // is not affected: the wait for the sensor goes on.
    void cancel() { worker_.request_stop(); }
    // Ends the wait for the sensor's return.
    void stop_waiting() { signal_->stop(); }
    // True once the thread has posted its outcome and ended.
    bool finished() const { return worker_.finished(); }

  private:
    std::shared_ptr<ReturnSignal> signal_;
    common::Worker worker_;
};

}  // namespace kelpira::maintenance

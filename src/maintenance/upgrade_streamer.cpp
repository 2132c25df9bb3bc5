// The upgrade thread's loop over the image file.
#include "maintenance/upgrade_streamer.hpp"

#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "link/identity_commands.hpp"
#include "link/image_version.hpp"
#include "link/upgrade_block.hpp"

namespace kelpira::maintenance {

namespace {

// Reads the next bytes of the image into the block's data, over what the block held, and
// stores how many came. False on a read error, which is not the end of the image.
bool read_next(std::istream& image, link::UpgradeBlock& block) {
    image.read(reinterpret_cast<char*>(block.data.data()),
               static_cast<std::streamsize>(block.data.size()));
    block.count = static_cast<std::uint32_t>(image.gcount());
    return !image.bad();
}

}  // namespace

UpgradeOutcome stream_image(link::SensorLink& link, std::istream& image, std::uint32_t load_address,
                            const std::function<bool()>& cancelled,
                            const std::function<void(std::uint32_t)>& progress) {
    link::UpgradeBlock block;
    block.load_address = load_address;
    UpgradeOutcome outcome;
    if (!read_next(image, block) || block.count == 0) {
        // Closing an image that has no bytes would leave the sensor without code.
        return outcome;
    }
    for (;;) {
        if (cancelled()) {
            return outcome;
        }
        const link::CommandResult result = link::write_firmware_block(link, encode(block));
        if (result != link::kResultSuccess) {
            outcome.status = result;
            return outcome;
        }
        outcome.bytes_written =
            block.block_number * static_cast<std::uint32_t>(link::kBlockDataSize) + block.count;
        progress(outcome.bytes_written);
        ++block.block_number;
        if (!read_next(image, block)) {
            return outcome;
        }
        if (block.count == 0) {
            break;
        }
    }
    // A cancel while the last data block was on its way: without the closing block the
    // sensor does not start the image, as the user who stopped it expects.
    if (cancelled()) {
        return outcome;
    }
    if (link::write_firmware_block(link, encode(block)) == link::kResultSuccess) {
        outcome.status = kUpgradeComplete;
    }
    return outcome;
}

std::optional<std::string> image_version(const std::string& path, std::uint32_t load_address) {
    if (load_address != link::kFirmwareLoadAddress) {
        return std::nullopt;
    }
    std::ifstream image(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(image),
                                          std::istreambuf_iterator<char>()};
    return link::version_text_in(bytes);
}

UpgradeStreamer::UpgradeStreamer(link::SensorLink& link, std::string path,
                                 std::uint32_t load_address, UpgradeSink sink, ReturnWatch watch)
    : signal_(watch.signal),
      worker_([link = &link, path = std::move(path), load_address, sink = std::move(sink),
               watch = std::move(watch)](common::WorkerControl& control) {
          UpgradeOutcome outcome;
          std::ifstream image(path, std::ios::binary);
          if (image.is_open()) {
              outcome = stream_image(
                  *link, image, load_address, [&control] { return control.stop_requested(); },
                  [&sink](std::uint32_t bytes) { sink(UpgradeProgress{bytes}); });
          }
          image.close();
          if (outcome.status == kUpgradeComplete) {
              sink(UpgradeRestarting{outcome.bytes_written});
              outcome.sensor = await_sensor_return(*link, watch, image_version(path, load_address));
          }
          sink(outcome);
      }) {}

UpgradeStreamer::~UpgradeStreamer() {
    signal_->stop();
    worker_.stop(kStopWait);
}

}  // namespace kelpira::maintenance

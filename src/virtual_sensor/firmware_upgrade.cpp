// The emulated sensor taking a new firmware or bootloader image, block by block.
#include "virtual_sensor/firmware_upgrade.hpp"

#include <array>

#include "link/command_catalogue.hpp"
#include "link/image_version.hpp"
#include "link/upgrade_block.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

// More program memory than the sensor has: an image that grows past it is refused.
constexpr std::size_t kProgramMemory = 1024 * 1024;

// The sensor restarts into its firmware: a new firmware image runs from now on, with the
// version text it carries; after a new bootloader the old firmware runs again. A sensor told
// to fail the image restarts as that option says.
void finish_image(Exchange& x) {
    auto& upload = x.state.upload;
    const ImageStart start = x.state.options.image_start;
    if (x.state.options.running == RunningCode::bootloader &&
        start != ImageStart::stays_in_bootloader) {
        if (auto version = link::version_text_in(upload.image);
            version && start == ImageStart::runs) {
            x.state.options.firmware_version = std::move(*version);
        }
        x.state.options.running = RunningCode::firmware;
    }
    upload = {};
    x.restart = true;
}

void write_firmware_block(Exchange& x) {
    if (x.request_length != link::UpgradeBlock::size) {
        x.result = link::kResultBadLength;
        return;
    }
    const auto block = link::decode_upgrade_block(x.request);
    const std::uint32_t expected_address = x.state.options.running == RunningCode::bootloader
                                               ? link::kFirmwareLoadAddress
                                               : link::kBootloaderLoadAddress;
    auto& upload = x.state.upload;
    // Block 0 begins a new image, so an upgrade that failed part-way can be done again.
    if (block.block_number == 0) {
        upload = {};
    }
    if (block.layout != link::kBlockLayout || block.load_address != expected_address ||
        block.block_number != upload.next_block || block.count > link::kBlockDataSize) {
        x.result = kResultBadValue;
        return;
    }
    if (const auto& refusal = x.state.options.refuse_block;
        refusal && refusal->block_number == block.block_number) {
        x.result = refusal->result;
        return;
    }
    if (block.count == 0) {
        if (upload.image.empty()) {
            x.result = kResultBadValue;  // nothing to run
            return;
        }
        finish_image(x);
        return;
    }
    if (upload.image.size() + block.count > kProgramMemory) {
        x.result = kResultBadValue;
        return;
    }
    upload.image.insert(upload.image.end(), block.data.begin(), block.data.begin() + block.count);
    ++upload.next_block;
}

constexpr std::array kCommands{
    CommandEntry{link::code_value(CommandCode::WRITE_FIRMWARE_BLOCK), write_firmware_block, true},
};

}  // namespace

std::span<const CommandEntry> firmware_upgrade_commands() {
    return kCommands;
}

}  // namespace kelpira::virtual_sensor

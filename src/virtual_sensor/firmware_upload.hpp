// What the emulated sensor keeps of an image being written with WRITE_FIRMWARE_BLOCK, and
// the refusal and the failed start a test can script.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace kelpira::virtual_sensor {

// A block the sensor refuses, with the result it answers.
struct BlockRefusal {
    std::uint32_t block_number = 0;
    std::uint8_t result = 3;
    bool operator==(const BlockRefusal&) const = default;
};

// What the sensor runs after the restart that follows a new firmware image: the image, its old
// firmware (an image it would not start), or its bootloader still.
enum class ImageStart { runs, keeps_old_firmware, stays_in_bootloader };

struct FirmwareUpload {
    std::uint32_t next_block = 0;     // the block number the sensor expects next
    std::vector<std::uint8_t> image;  // the image bytes received so far, in order
};

}  // namespace kelpira::virtual_sensor

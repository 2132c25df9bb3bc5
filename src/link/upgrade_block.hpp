// The upgrade block: the 77-byte payload of WRITE_FIRMWARE_BLOCK that carries 64 bytes of a
// firmware or bootloader image, and the load addresses of the two images.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "link/identity_commands.hpp"

namespace kelpira::link {

inline constexpr std::uint32_t kFirmwareLoadAddress = 0xA000;  // a sensor in its bootloader
inline constexpr std::uint32_t kBootloaderLoadAddress = 0;     // a sensor running its firmware
inline constexpr std::size_t kBlockDataSize = 64;              // image bytes per block
inline constexpr std::uint8_t kBlockLayout = 1;                // byte 0 of every block

struct UpgradeBlock {
    static constexpr std::size_t size = kFirmwareBlockSize;

    std::uint8_t layout = kBlockLayout;
    std::uint32_t block_number = 0;  // 0 for the first block of the image
    std::uint32_t count = 0;         // image bytes in `data`, 1 to 64; 0 in the closing block
    // Image bytes in file order; those past `count` are left over from the previous block.
    std::array<std::uint8_t, kBlockDataSize> data{};
    std::uint32_t load_address = kFirmwareLoadAddress;

    bool operator==(const UpgradeBlock&) const = default;
};

RecordBytes<UpgradeBlock::size> encode(const UpgradeBlock& block);
UpgradeBlock decode_upgrade_block(std::span<const std::uint8_t> bytes);

}  // namespace kelpira::link

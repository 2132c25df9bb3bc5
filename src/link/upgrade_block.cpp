// Packing and unpacking the upgrade block.
#include "link/upgrade_block.hpp"

#include "common/bytes.hpp"

namespace kelpira::link {

RecordBytes<UpgradeBlock::size> encode(const UpgradeBlock& block) {
    RecordBytes<UpgradeBlock::size> bytes{};
    common::ByteWriter w(bytes);
    w.u8(block.layout);
    w.u32(block.block_number);
    w.u32(block.count);
    w.bytes(block.data);
    w.u32(block.load_address);
    return bytes;
}

UpgradeBlock decode_upgrade_block(std::span<const std::uint8_t> bytes) {
    common::ByteReader r(bytes);
    UpgradeBlock block;
    block.layout = r.u8();
    block.block_number = r.u32();
    block.count = r.u32();
    r.bytes(block.data);
    block.load_address = r.u32();
    return block;
}

}  // namespace kelpira::link

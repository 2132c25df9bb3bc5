// Packing of the power status record.
#include "records/power_status.hpp"

#include "common/bytes.hpp"

namespace kelpira::records {

PowerStatus decode_power_status(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    PowerStatus p;
    r.bytes(p.leading);
    p.supply_mv = r.i32();
    p.temperature_mc = r.i32();
    p.board_variant = r.u32();
    return p;
}

std::array<std::uint8_t, PowerStatus::size> encode(const PowerStatus& p) {
    std::array<std::uint8_t, PowerStatus::size> out{};
    common::ByteWriter w(out);
    w.bytes(p.leading);
    w.i32(p.supply_mv);
    w.i32(p.temperature_mc);
    w.u32(p.board_variant);
    return out;
}

}  // namespace kelpira::records

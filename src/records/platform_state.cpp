// Packing of the platform state record.
#include "records/platform_state.hpp"

#include "common/bytes.hpp"

namespace kelpira::records {

PlatformState decode_platform_state(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    PlatformState p;
    r.bytes(p.leading);
    p.salinity = r.f32();
    p.temperature = r.f32();
    p.dissolved_oxygen = r.f32();
    p.depth = r.f32();
    p.direction = r.u8();
    r.bytes(p.middle);
    p.p1 = r.i32();
    p.p2 = r.i32();
    p.p3 = r.i32();
    return p;
}

std::array<std::uint8_t, PlatformState::size> encode(const PlatformState& p) {
    std::array<std::uint8_t, PlatformState::size> out{};
    common::ByteWriter w(out);
    w.bytes(p.leading);
    w.f32(p.salinity);
    w.f32(p.temperature);
    w.f32(p.dissolved_oxygen);
    w.f32(p.depth);
    w.u8(p.direction);
    w.bytes(p.middle);
    w.i32(p.p1);
    w.i32(p.p2);
    w.i32(p.p3);
    return out;
}

}  // namespace kelpira::records

// Packing of the processed result record.
#include "records/output_record.hpp"

#include "common/bytes.hpp"

namespace kelpira::records {

OutputRecord decode_output_record(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    OutputRecord o;
    o.reserved0 = r.u8();
    o.dive_number = r.u16();
    o.sensor_time = r.u32();
    o.platform_time = r.u32();
    o.platform_salinity = r.f32();
    o.platform_temperature = r.f32();
    o.platform_depth = r.f32();
    o.value = r.f64();
    r.bytes(o.reserved31);
    o.validity = r.u8();
    o.platform_direction = r.u8();
    o.p1 = r.f32();
    o.p2 = r.f32();
    o.p3 = r.f32();
    return o;
}

std::array<std::uint8_t, OutputRecord::size> encode(const OutputRecord& o) {
    std::array<std::uint8_t, OutputRecord::size> out{};
    common::ByteWriter w(out);
    w.u8(o.reserved0);
    w.u16(o.dive_number);
    w.u32(o.sensor_time);
    w.u32(o.platform_time);
    w.f32(o.platform_salinity);
    w.f32(o.platform_temperature);
    w.f32(o.platform_depth);
    w.f64(o.value);
    w.bytes(o.reserved31);
    w.u8(o.validity);
    w.u8(o.platform_direction);
    w.f32(o.p1);
    w.f32(o.p2);
    w.f32(o.p3);
    return out;
}

}  // namespace kelpira::records

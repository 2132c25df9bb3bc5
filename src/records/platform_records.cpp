// Packing and factory values of the platform defaults, RS232 and RS485 records.
#include "records/platform_records.hpp"

#include "common/bytes.hpp"

namespace kelpira::records {

PlatformDefaults decode_platform_defaults(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    PlatformDefaults p;
    p.reserved0 = r.u8();
    p.dive_number = r.u16();
    p.salinity_psu = r.f32();
    p.temperature_c = r.f32();
    p.oxygen_ml_l = r.f32();
    p.depth_m = r.f32();
    p.direction = r.u8();
    p.time_offset_s = r.i32();
    p.p1 = r.i32();
    p.p2 = r.i32();
    p.p3 = r.i32();
    return p;
}

std::array<std::uint8_t, PlatformDefaults::size> encode(const PlatformDefaults& p) {
    std::array<std::uint8_t, PlatformDefaults::size> out{};
    common::ByteWriter w(out);
    w.u8(p.reserved0);
    w.u16(p.dive_number);
    w.f32(p.salinity_psu);
    w.f32(p.temperature_c);
    w.f32(p.oxygen_ml_l);
    w.f32(p.depth_m);
    w.u8(p.direction);
    w.i32(p.time_offset_s);
    w.i32(p.p1);
    w.i32(p.p2);
    w.i32(p.p3);
    return out;
}

Rs232Config decode_rs232_config(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    Rs232Config c;
    c.reserved0 = r.u8();
    c.baud = r.u32();
    c.parity = r.u8();
    c.data_bits = r.u8();
    c.stop_bits = r.u8();
    c.protocol = r.u32();
    c.mode = r.u8();
    return c;
}

std::array<std::uint8_t, Rs232Config::size> encode(const Rs232Config& c) {
    std::array<std::uint8_t, Rs232Config::size> out{};
    common::ByteWriter w(out);
    w.u8(c.reserved0);
    w.u32(c.baud);
    w.u8(c.parity);
    w.u8(c.data_bits);
    w.u8(c.stop_bits);
    w.u32(c.protocol);
    w.u8(c.mode);
    return out;
}

Rs485Config decode_rs485_config(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    Rs485Config c;
    c.reserved0 = r.u8();
    c.baud = r.u32();
    c.parity = r.u8();
    c.data_bits = r.u8();
    c.stop_bits = r.u8();
    c.protocol = r.u32();
    c.slave_address = r.u8();
    c.poll_rate_s = r.u32();
    return c;
}

std::array<std::uint8_t, Rs485Config::size> encode(const Rs485Config& c) {
    std::array<std::uint8_t, Rs485Config::size> out{};
    common::ByteWriter w(out);
    w.u8(c.reserved0);
    w.u32(c.baud);
    w.u8(c.parity);
    w.u8(c.data_bits);
    w.u8(c.stop_bits);
    w.u32(c.protocol);
    w.u8(c.slave_address);
    w.u32(c.poll_rate_s);
    return out;
}

PlatformDefaults default_platform_defaults() {
    PlatformDefaults p;
    p.salinity_psu = 35.0f;
    p.temperature_c = 12.5f;
    p.oxygen_ml_l = 6.0f;
    p.p1 = 10;
    p.p2 = 50;
    p.p3 = 100;
    return p;
}

Rs232Config default_rs232_config() {
    Rs232Config c;
    c.protocol = kRs232GenericPolled;
    return c;
}

Rs485Config default_rs485_config() {
    return Rs485Config{};
}

}  // namespace kelpira::records

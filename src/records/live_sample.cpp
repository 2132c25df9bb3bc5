// Packing of the live sample and of the GET_LIVE_STATUS answer.
#include "records/live_sample.hpp"

#include "common/bytes.hpp"

namespace kelpira::records {

namespace {

LiveSample read_sample(common::ByteReader& r) {
    LiveSample s;
    s.platform_valid = r.u8();
    s.counter = r.u32();
    s.sensor_time = r.u32();
    s.state = r.u8();
    s.temperature_mc = r.i32();
    s.voltage_mv = r.i32();
    for (auto& c : s.channel) {
        c = r.u16();
    }
    s.hall_i = r.u16();
    s.hall_w = r.u16();
    s.platform_salinity = r.f32();
    s.platform_temperature = r.f32();
    s.platform_do = r.f32();
    s.platform_depth = r.f32();
    s.platform_time = r.u32();
    return s;
}

void write_sample(common::ByteWriter& w, const LiveSample& s) {
    w.u8(s.platform_valid);
    w.u32(s.counter);
    w.u32(s.sensor_time);
    w.u8(s.state);
    w.i32(s.temperature_mc);
    w.i32(s.voltage_mv);
    for (const auto c : s.channel) {
        w.u16(c);
    }
    w.u16(s.hall_i);
    w.u16(s.hall_w);
    w.f32(s.platform_salinity);
    w.f32(s.platform_temperature);
    w.f32(s.platform_do);
    w.f32(s.platform_depth);
    w.u32(s.platform_time);
}

}  // namespace

LiveSample decode_live_sample(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    return read_sample(r);
}

std::array<std::uint8_t, LiveSample::size> encode(const LiveSample& s) {
    std::array<std::uint8_t, LiveSample::size> out{};
    common::ByteWriter w(out);
    write_sample(w, s);
    return out;
}

LiveStatus decode_live_status(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    LiveStatus s;
    s.mode = r.u8();
    s.sample = read_sample(r);
    return s;
}

std::array<std::uint8_t, LiveStatus::size> encode(const LiveStatus& s) {
    std::array<std::uint8_t, LiveStatus::size> out{};
    common::ByteWriter w(out);
    w.u8(s.mode);
    write_sample(w, s.sample);
    return out;
}

}  // namespace kelpira::records

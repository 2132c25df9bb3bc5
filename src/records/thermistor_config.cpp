// Packing of the thermistor record.
#include "records/thermistor_config.hpp"

#include "common/bytes.hpp"

namespace kelpira::records {

ThermistorConfig decode_thermistor_config(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    ThermistorConfig t;
    t.reserved0 = r.u8();
    t.input_channel = r.u8();
    t.a3 = r.f32();
    t.a2 = r.f32();
    t.a1 = r.f32();
    t.a0 = r.f32();
    return t;
}

std::array<std::uint8_t, ThermistorConfig::size> encode(const ThermistorConfig& t) {
    std::array<std::uint8_t, ThermistorConfig::size> out{};
    common::ByteWriter w(out);
    w.u8(t.reserved0);
    w.u8(t.input_channel);
    w.f32(t.a3);
    w.f32(t.a2);
    w.f32(t.a1);
    w.f32(t.a0);
    return out;
}

}  // namespace kelpira::records

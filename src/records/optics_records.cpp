// Packing and factory defaults of the optics, PMT and DIC conductivity records.
#include "records/optics_records.hpp"

#include "common/bytes.hpp"

namespace kelpira::records {

OpticsDefaults decode_optics_defaults(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    OpticsDefaults o;
    o.reserved0 = r.u8();
    o.reserved1 = r.u8();
    o.photodiode_power = r.u8();
    for (auto& ua : o.led_current_ua) {
        ua = r.u16();
    }
    return o;
}

std::array<std::uint8_t, OpticsDefaults::size> encode(const OpticsDefaults& o) {
    std::array<std::uint8_t, OpticsDefaults::size> out{};
    common::ByteWriter w(out);
    w.u8(o.reserved0);
    w.u8(o.reserved1);
    w.u8(o.photodiode_power);
    for (const auto ua : o.led_current_ua) {
        w.u16(ua);
    }
    return out;
}

PmtConfig decode_pmt_config(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    PmtConfig p;
    p.reserved0 = r.u8();
    p.instrument = r.u8();
    p.control_v = r.f32();
    r.bytes(p.reserved6);
    return p;
}

std::array<std::uint8_t, PmtConfig::size> encode(const PmtConfig& p) {
    std::array<std::uint8_t, PmtConfig::size> out{};
    common::ByteWriter w(out);
    w.u8(p.reserved0);
    w.u8(p.instrument);
    w.f32(p.control_v);
    w.bytes(p.reserved6);
    return out;
}

DicConductivityConfig decode_dic_conductivity_config(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    DicConductivityConfig d;
    d.reserved0 = r.u8();
    d.rxgain = r.u8();
    d.offset_v = r.f32();
    d.frequency_khz = r.u16();
    d.excitation_pct = r.u8();
    return d;
}

std::array<std::uint8_t, DicConductivityConfig::size> encode(const DicConductivityConfig& d) {
    std::array<std::uint8_t, DicConductivityConfig::size> out{};
    common::ByteWriter w(out);
    w.u8(d.reserved0);
    w.u8(d.rxgain);
    w.f32(d.offset_v);
    w.u16(d.frequency_khz);
    w.u8(d.excitation_pct);
    return out;
}

OpticsDefaults default_optics_defaults() {
    OpticsDefaults o;
    o.photodiode_power = 1;
    o.led_current_ua.fill(20000);
    return o;
}

PmtConfig default_pmt_config() {
    return PmtConfig{};
}

DicConductivityConfig default_dic_conductivity_config() {
    DicConductivityConfig d;
    d.rxgain = 1;
    d.offset_v = 1.25f;
    d.frequency_khz = 100;
    d.excitation_pct = 50;
    return d;
}

}  // namespace kelpira::records

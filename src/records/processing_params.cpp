// Packing of the Generic, pH, TA, DIC and Ammonia processing parameters.
#include "records/processing_params.hpp"

#include "common/bytes.hpp"

namespace kelpira::records {

GenericParams decode_generic_params(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    GenericParams p;
    p.layout = r.u8();
    p.sample_intake_state = r.u8();
    p.sample_measurement_state = r.u8();
    for (auto& v : p.offset) {
        v = r.f32();
    }
    for (auto& v : p.scale) {
        v = r.f32();
    }
    return p;
}

std::array<std::uint8_t, GenericParams::size> encode(const GenericParams& p) {
    std::array<std::uint8_t, GenericParams::size> out{};
    common::ByteWriter w(out);
    w.u8(p.layout);
    w.u8(p.sample_intake_state);
    w.u8(p.sample_measurement_state);
    for (float v : p.offset) {
        w.f32(v);
    }
    for (float v : p.scale) {
        w.f32(v);
    }
    return out;
}

PhParams decode_ph_params(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    PhParams p;
    p.layout = r.u8();
    p.sensor_version = r.u8();
    p.input_434 = r.u8();
    p.input_578 = r.u8();
    p.sample_intake_state = r.u8();
    p.sample_measurement_state = r.u8();
    p.blank_start_s = r.u16();
    p.blank_end_s = r.u16();
    p.absorbance_min_434 = r.f32();
    p.absorbance_max_578 = r.f32();
    p.dph_dt = r.f32();
    p.r_scale = r.f32();
    p.r_offset = r.f32();
    p.t1_scale = r.f32();
    p.t2_scale = r.f32();
    return p;
}

std::array<std::uint8_t, PhParams::size> encode(const PhParams& p) {
    std::array<std::uint8_t, PhParams::size> out{};
    common::ByteWriter w(out);
    w.u8(p.layout);
    w.u8(p.sensor_version);
    w.u8(p.input_434);
    w.u8(p.input_578);
    w.u8(p.sample_intake_state);
    w.u8(p.sample_measurement_state);
    w.u16(p.blank_start_s);
    w.u16(p.blank_end_s);
    w.f32(p.absorbance_min_434);
    w.f32(p.absorbance_max_578);
    w.f32(p.dph_dt);
    w.f32(p.r_scale);
    w.f32(p.r_offset);
    w.f32(p.t1_scale);
    w.f32(p.t2_scale);
    return out;
}

TaParams decode_ta_params(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    TaParams p;
    p.layout = r.u8();
    p.sensor_version = r.u8();
    p.measurement_channel = r.u8();
    p.monitor_led1 = r.u8();
    p.monitor_led2 = r.u8();
    p.sample_intake_state = r.u8();
    p.blank_led1_state = r.u8();
    p.blank_led2_state = r.u8();
    p.sample_led1_state = r.u8();
    p.sample_led2_state = r.u8();
    p.processing_trigger = r.u8();
    p.temperature_coefficient = r.f32();
    r.bytes(p.reserved15);
    p.titrant_molarity = r.f32();
    p.pka = r.f32();
    p.e1 = r.f32();
    p.e2 = r.f32();
    p.e3 = r.f32();
    return p;
}

std::array<std::uint8_t, TaParams::size> encode(const TaParams& p) {
    std::array<std::uint8_t, TaParams::size> out{};
    common::ByteWriter w(out);
    w.u8(p.layout);
    w.u8(p.sensor_version);
    w.u8(p.measurement_channel);
    w.u8(p.monitor_led1);
    w.u8(p.monitor_led2);
    w.u8(p.sample_intake_state);
    w.u8(p.blank_led1_state);
    w.u8(p.blank_led2_state);
    w.u8(p.sample_led1_state);
    w.u8(p.sample_led2_state);
    w.u8(p.processing_trigger);
    w.f32(p.temperature_coefficient);
    w.bytes(p.reserved15);
    w.f32(p.titrant_molarity);
    w.f32(p.pka);
    w.f32(p.e1);
    w.f32(p.e2);
    w.f32(p.e3);
    return out;
}

DicParams decode_dic_params(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    DicParams p;
    p.layout = r.u8();
    p.sensor_version = r.u8();
    r.bytes(p.reserved2);
    for (auto& in : p.inlet) {
        in.type = r.u8();
        in.intake_state = r.u8();
        in.measurement_state = r.u8();
        in.crm_umol_kg = r.f32();
    }
    return p;
}

std::array<std::uint8_t, DicParams::size> encode(const DicParams& p) {
    std::array<std::uint8_t, DicParams::size> out{};
    common::ByteWriter w(out);
    w.u8(p.layout);
    w.u8(p.sensor_version);
    w.bytes(p.reserved2);
    for (const auto& in : p.inlet) {
        w.u8(in.type);
        w.u8(in.intake_state);
        w.u8(in.measurement_state);
        w.f32(in.crm_umol_kg);
    }
    return out;
}

AmmoniaParams decode_ammonia_params(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    AmmoniaParams p;
    r.bytes(p.reserved);
    return p;
}

std::array<std::uint8_t, AmmoniaParams::size> encode(const AmmoniaParams& p) {
    std::array<std::uint8_t, AmmoniaParams::size> out{};
    common::ByteWriter w(out);
    w.bytes(p.reserved);
    return out;
}

}  // namespace kelpira::records

// Packing of the Generic, pH, TA, DIC and Ammonia processing parameters: the first three
// through their field tables.
#include "records/processing_params.hpp"

#include "common/bytes.hpp"
#include "records/chemistry_fields.hpp"

namespace kelpira::records {

GenericParams decode_generic_params(std::span<const std::uint8_t> data) {
    return decode_record<GenericParams>(data);
}

std::array<std::uint8_t, GenericParams::size> encode(const GenericParams& p) {
    return encode_record(p);
}

PhParams decode_ph_params(std::span<const std::uint8_t> data) {
    return decode_record<PhParams>(data);
}

std::array<std::uint8_t, PhParams::size> encode(const PhParams& p) {
    return encode_record(p);
}

TaParams decode_ta_params(std::span<const std::uint8_t> data) {
    return decode_record<TaParams>(data);
}

std::array<std::uint8_t, TaParams::size> encode(const TaParams& p) {
    return encode_record(p);
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

// Packing of the Generic, pH, TA, DIC and Ammonia processing parameters through their field
// tables.
#include "records/processing_params.hpp"

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
    return decode_record<DicParams>(data);
}

std::array<std::uint8_t, DicParams::size> encode(const DicParams& p) {
    return encode_record(p);
}

AmmoniaParams decode_ammonia_params(std::span<const std::uint8_t> data) {
    return decode_record<AmmoniaParams>(data);
}

std::array<std::uint8_t, AmmoniaParams::size> encode(const AmmoniaParams& p) {
    return encode_record(p);
}

}  // namespace kelpira::records

// The optics, PMT and DIC conductivity records' codecs (their field tables) and factory defaults.
#include "records/optics_records.hpp"

#include "records/actuator_fields.hpp"

namespace kelpira::records {

OpticsDefaults decode_optics_defaults(std::span<const std::uint8_t> data) {
    return decode_record<OpticsDefaults>(data);
}

std::array<std::uint8_t, OpticsDefaults::size> encode(const OpticsDefaults& o) {
    return encode_record(o);
}

PmtConfig decode_pmt_config(std::span<const std::uint8_t> data) {
    return decode_record<PmtConfig>(data);
}

std::array<std::uint8_t, PmtConfig::size> encode(const PmtConfig& p) {
    return encode_record(p);
}

DicConductivityConfig decode_dic_conductivity_config(std::span<const std::uint8_t> data) {
    return decode_record<DicConductivityConfig>(data);
}

std::array<std::uint8_t, DicConductivityConfig::size> encode(const DicConductivityConfig& d) {
    return encode_record(d);
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

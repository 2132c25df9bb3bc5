// Packing of the chemistry configuration record.
#include "records/chemistry_config.hpp"

#include "records/chemistry_fields.hpp"

namespace kelpira::records {

ChemistryConfig decode_chemistry_config(std::span<const std::uint8_t> data) {
    return decode_record<ChemistryConfig>(data);
}

std::array<std::uint8_t, ChemistryConfig::size> encode(const ChemistryConfig& c) {
    return encode_record(c);
}

ChemistryConfig default_chemistry_config(ChemistryType code) {
    ChemistryConfig c;
    c.chemistry = code;
    const bool ph = code == ChemistryType::ph;
    c.sample_interval_ms = ph ? 100 : 1000;
    c.multiplexer = ph ? 1 : 0;
    c.start_auto_deployment = kStateDisabled;
    c.start_manual_flushing = kStateDisabled;
    c.start_manual_priming = kStateDisabled;
    c.start_manual_deployment = 0;
    c.start_special1 = kStateDisabled;
    c.start_special2 = kStateDisabled;
    c.start_special3 = kStateDisabled;
    return c;
}

}  // namespace kelpira::records

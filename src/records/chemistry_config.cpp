// Packing of the chemistry configuration record.
#include "records/chemistry_config.hpp"

#include "common/bytes.hpp"

namespace kelpira::records {

ChemistryConfig decode_chemistry_config(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    ChemistryConfig c;
    c.reserved0 = r.u8();
    c.chemistry = static_cast<ChemistryType>(r.u8());
    c.sample_interval_ms = r.u32();
    c.multiplexer = r.u8();
    c.start_auto_deployment = r.u8();
    c.start_manual_flushing = r.u8();
    c.start_manual_priming = r.u8();
    c.start_manual_deployment = r.u8();
    c.start_special1 = r.u8();
    c.start_special2 = r.u8();
    c.start_special3 = r.u8();
    r.bytes(c.reserved14);
    c.reserved16 = r.u16();
    return c;
}

std::array<std::uint8_t, ChemistryConfig::size> encode(const ChemistryConfig& c) {
    std::array<std::uint8_t, ChemistryConfig::size> out{};
    common::ByteWriter w(out);
    w.u8(c.reserved0);
    w.u8(code_of(c.chemistry));
    w.u32(c.sample_interval_ms);
    w.u8(c.multiplexer);
    w.u8(c.start_auto_deployment);
    w.u8(c.start_manual_flushing);
    w.u8(c.start_manual_priming);
    w.u8(c.start_manual_deployment);
    w.u8(c.start_special1);
    w.u8(c.start_special2);
    w.u8(c.start_special3);
    w.bytes(c.reserved14);
    w.u16(c.reserved16);
    return out;
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

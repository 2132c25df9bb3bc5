// Packing of the FRAM and NVRAM factory records through their tables.
#include "records/factory_records.hpp"

#include "records/factory_fields.hpp"

namespace kelpira::records {

FramSettings decode_fram_settings(std::span<const std::uint8_t> data) {
    return decode_record<FramSettings>(data);
}

std::array<std::uint8_t, FramSettings::size> encode(const FramSettings& f) {
    return encode_record(f);
}

NvramSettings decode_nvram_settings(std::span<const std::uint8_t> data) {
    return decode_record<NvramSettings>(data);
}

std::array<std::uint8_t, NvramSettings::size> encode(const NvramSettings& n) {
    return encode_record(n);
}

}  // namespace kelpira::records

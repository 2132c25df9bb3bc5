// Packing of the thermistor record.
#include "records/thermistor_config.hpp"

#include "records/chemistry_fields.hpp"

namespace kelpira::records {

ThermistorConfig decode_thermistor_config(std::span<const std::uint8_t> data) {
    return decode_record<ThermistorConfig>(data);
}

std::array<std::uint8_t, ThermistorConfig::size> encode(const ThermistorConfig& t) {
    return encode_record(t);
}

}  // namespace kelpira::records

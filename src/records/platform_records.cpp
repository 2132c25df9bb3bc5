// The platform defaults, RS232 and RS485 records' codecs (their field tables) and factory
// values.
#include "records/platform_records.hpp"

#include "records/platform_fields.hpp"

namespace kelpira::records {

PlatformDefaults decode_platform_defaults(std::span<const std::uint8_t> data) {
    return decode_record<PlatformDefaults>(data);
}

std::array<std::uint8_t, PlatformDefaults::size> encode(const PlatformDefaults& p) {
    return encode_record(p);
}

Rs232Config decode_rs232_config(std::span<const std::uint8_t> data) {
    return decode_record<Rs232Config>(data);
}

std::array<std::uint8_t, Rs232Config::size> encode(const Rs232Config& c) {
    return encode_record(c);
}

Rs485Config decode_rs485_config(std::span<const std::uint8_t> data) {
    return decode_record<Rs485Config>(data);
}

std::array<std::uint8_t, Rs485Config::size> encode(const Rs485Config& c) {
    return encode_record(c);
}

PlatformDefaults default_platform_defaults() {
    PlatformDefaults p;
    p.salinity_psu = 35.0f;
    p.temperature_c = 12.5f;
    p.oxygen_ml_l = 6.0f;
    p.p1 = 10;
    p.p2 = 50;
    p.p3 = 100;
    return p;
}

Rs232Config default_rs232_config() {
    Rs232Config c;
    c.protocol = kRs232GenericPolled;
    return c;
}

Rs485Config default_rs485_config() {
    return Rs485Config{};
}

}  // namespace kelpira::records

// CRC-16/ARC computed byte by byte with a 256-entry table, as the firmware does.
#include "virtual_sensor/crc16_arc.hpp"

#include <array>

namespace kelpira::virtual_sensor {

namespace {

constexpr std::array<std::uint16_t, 256> make_table() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t c = static_cast<std::uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) != 0 ? static_cast<std::uint16_t>((c >> 1) ^ 0xA001) : c >> 1;
        }
        table[i] = c;
    }
    return table;
}

constexpr auto kTable = make_table();

}  // namespace

std::uint16_t crc16_arc(std::string_view bytes) {
    std::uint16_t crc = 0;
    for (const char ch : bytes) {
        crc = static_cast<std::uint16_t>((crc >> 8) ^
                                         kTable[(crc ^ static_cast<std::uint8_t>(ch)) & 0xFF]);
    }
    return crc;
}

}  // namespace kelpira::virtual_sensor

// CRC-16/ARC and ETI sentence framing.
#include "host_platform/eti_sentence.hpp"

#include <array>

#include "host_platform/printf_text.hpp"

namespace kelpira::host_platform {

namespace {

constexpr std::array<std::uint16_t, 256> make_table() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) != 0 ? (crc >> 1) ^ 0xA001u : crc >> 1;
        }
        table[i] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

constexpr auto kCrcTable = make_table();

}  // namespace

std::uint16_t crc16_arc(std::string_view bytes) {
    std::uint16_t crc = 0;
    for (const char c : bytes) {
        crc = static_cast<std::uint16_t>((crc >> 8) ^
                                         kCrcTable[(crc ^ static_cast<std::uint8_t>(c)) & 0xFFu]);
    }
    return crc;
}

std::string eti_sentence(std::string_view body) {
    std::string s(body);
    s += printf_text("*%04X\r\n", crc16_arc(body));
    return s;
}

std::uint16_t eti_reply_crc(std::string_view reply) {
    return crc16_arc(reply.substr(0, reply.find('*')));
}

}  // namespace kelpira::host_platform

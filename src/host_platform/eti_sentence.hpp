// The ETI platform's sentences: a body starting with '$', a star, a CRC-16/ARC checksum in four
// upper-case hexadecimal digits, CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelpira::host_platform {

// CRC-16/ARC: reflected polynomial 0xA001, initial value 0, no final XOR.
std::uint16_t crc16_arc(std::string_view bytes);

// "<body>*<CRC>\r\n", the checksum taken over the body.
std::string eti_sentence(std::string_view body);

// The checksum a reply should carry: that of every character before its first star.
std::uint16_t eti_reply_crc(std::string_view reply);

}  // namespace kelpira::host_platform

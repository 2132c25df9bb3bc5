// CRC-16/ARC, the checksum of the ETI platform sentences.
#pragma once

#include <cstdint>
#include <string_view>

namespace kelpira::virtual_sensor {

// Reflected polynomial 0xA001, initial value 0, no final XOR.
std::uint16_t crc16_arc(std::string_view bytes);

}  // namespace kelpira::virtual_sensor

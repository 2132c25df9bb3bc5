// The 129-byte report of one command transaction, and the result codes of a command.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kelpira::link {

constexpr std::size_t kReportSize = 129;  // report id byte + 128 bytes
constexpr std::size_t kMaxPayload = 123;  // bytes 6..128
constexpr std::size_t kPayloadOffset = 6;

using Report = std::array<std::uint8_t, kReportSize>;

// Byte 0 report id, 1-2 code (little-endian), 3 sequence number, 4 result (response only),
// 5 payload length (request only), 6..128 payload. The caller fills code, length and payload;
// the link fills report id and sequence number.
struct SensorCommand {
    Report bytes{};

    std::uint16_t code() const { return static_cast<std::uint16_t>(bytes[1] | (bytes[2] << 8)); }
    void set_code(std::uint16_t c) {
        bytes[1] = static_cast<std::uint8_t>(c);
        bytes[2] = static_cast<std::uint8_t>(c >> 8);
    }
    std::uint8_t sequence() const { return bytes[3]; }
    std::uint8_t result() const { return bytes[4]; }
    std::uint8_t length() const { return bytes[5]; }
    void set_length(std::uint8_t n) { bytes[5] = n; }
    std::span<std::uint8_t, kMaxPayload> payload() {
        return std::span<std::uint8_t, kMaxPayload>(bytes.data() + kPayloadOffset, kMaxPayload);
    }
    std::span<const std::uint8_t, kMaxPayload> payload() const {
        return std::span<const std::uint8_t, kMaxPayload>(bytes.data() + kPayloadOffset,
                                                          kMaxPayload);
    }
};

// One number space shared by the link, the command wrappers and the sensor.
using CommandResult = std::uint8_t;
constexpr CommandResult kResultSuccess = 0;
constexpr CommandResult kResultLockOrSequence = 1;  // lock not obtained, or a stale answer
constexpr CommandResult kResultBadLength = 4;       // the sensor expected another record length
constexpr CommandResult kResultNoAnswer = 5;        // no answer within the link time-out
constexpr CommandResult kResultLowVoltage = 6;
constexpr CommandResult kResultTooOld = 8;          // firmware does not know this form
constexpr CommandResult kResultUnknownCommand = 9;  // older firmware, or the bootloader
constexpr CommandResult kResultNoExchange = 14;     // a wrapper's transaction failed
constexpr CommandResult kResultNotOpen = 15;        // the link is not open

}  // namespace kelpira::link

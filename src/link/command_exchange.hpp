// The one rule every command wrapper follows: build the request, run the transaction, fold a
// failed transaction into 14, and take the answer's record only on success.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "link/command_catalogue.hpp"
#include "link/sensor_command.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::link {

// A record whose structure belongs to a later part of the program, carried as its bytes.
template <std::size_t N>
using RecordBytes = std::array<std::uint8_t, N>;

// A request buffer with the code, the payload and its length filled in.
SensorCommand make_request(CommandCode code, std::span<const std::uint8_t> payload);

// Runs one transaction on `command`: 14 when the transaction itself failed (the buffer then
// holds the request as it was sent or as it was before), else the sensor's result byte.
CommandResult transact_folded(SensorLink& link, SensorCommand& command);

// As exchange() below, but tells a failed transaction (no value) from a sensor that answered
// 14 itself; the fallbacks need the difference.
std::optional<CommandResult> try_exchange(SensorLink& link, CommandCode code,
                                          std::span<const std::uint8_t> request,
                                          std::span<std::uint8_t> response = {});

// Sends `code` with `request` as payload. On result 0 the first response.size() bytes of the
// answer's payload are copied into `response`; on any other result it is left untouched.
// Payloads longer than 123 bytes are a programming error and throw std::length_error.
CommandResult exchange(SensorLink& link, CommandCode code, std::span<const std::uint8_t> request,
                       std::span<std::uint8_t> response = {});

}  // namespace kelpira::link

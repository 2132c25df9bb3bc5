// Building a request, folding transaction failures and copying the answer's record.
#include "link/command_exchange.hpp"

#include <algorithm>
#include <stdexcept>

namespace kelpira::link {

SensorCommand make_request(CommandCode code, std::span<const std::uint8_t> payload) {
    if (payload.size() > kMaxPayload) {
        throw std::length_error("a request payload holds at most 123 bytes");
    }
    SensorCommand command;
    command.set_code(code_value(code));
    command.set_length(static_cast<std::uint8_t>(payload.size()));
    std::copy(payload.begin(), payload.end(), command.payload().begin());
    return command;
}

CommandResult transact_folded(SensorLink& link, SensorCommand& command) {
    if (link.Transact(command) != kResultSuccess) {
        return kResultNoExchange;
    }
    return command.result();
}

std::optional<CommandResult> try_exchange(SensorLink& link, CommandCode code,
                                          std::span<const std::uint8_t> request,
                                          std::span<std::uint8_t> response) {
    if (response.size() > kMaxPayload) {
        throw std::length_error("a response payload holds at most 123 bytes");
    }
    SensorCommand command = make_request(code, request);
    if (link.Transact(command) != kResultSuccess) {
        return std::nullopt;
    }
    if (command.result() == kResultSuccess) {
        std::copy_n(command.payload().begin(), response.size(), response.begin());
    }
    return command.result();
}

CommandResult exchange(SensorLink& link, CommandCode code, std::span<const std::uint8_t> request,
                       std::span<std::uint8_t> response) {
    return try_exchange(link, code, request, response).value_or(kResultNoExchange);
}

}  // namespace kelpira::link

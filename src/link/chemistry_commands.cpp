// The chemistry commands in record bytes.
#include "link/chemistry_commands.hpp"

#include <algorithm>
#include <stdexcept>

#include "common/bytes.hpp"

namespace kelpira::link {

namespace {

static_assert(response_length(CommandCode::GET_CHEMISTRY_CONFIG) == kChemistryConfigSize);
static_assert(request_length(CommandCode::SET_CHEMISTRY_CONFIG) == kChemistryConfigSize);
static_assert(request_length(CommandCode::GET_PROCESSING_PARAMS) == 4);
static_assert(request_length(CommandCode::GET_THERMISTOR_CONFIG) == 1);
static_assert(response_length(CommandCode::GET_THERMISTOR_CONFIG) == kThermistorConfigSize);
static_assert(request_length(CommandCode::SET_THERMISTOR_CONFIG) == 1 + kThermistorConfigSize);

void check_record_length(std::size_t n) {
    if (n > kMaxProcessingRecord) {
        throw std::length_error("a processing record holds at most 119 bytes");
    }
}

void put_length(SensorCommand& command, std::size_t n) {
    common::ByteWriter w(command.payload());
    w.u32(static_cast<std::uint32_t>(n));
}

}  // namespace

CommandResult get_chemistry_config(SensorLink& link, RecordBytes<kChemistryConfigSize>& record) {
    return exchange(link, CommandCode::GET_CHEMISTRY_CONFIG, {}, record);
}

CommandResult set_chemistry_config(SensorLink& link,
                                   const RecordBytes<kChemistryConfigSize>& record) {
    return exchange(link, CommandCode::SET_CHEMISTRY_CONFIG, record);
}

CommandResult get_thermistor_config(SensorLink& link, std::uint8_t index,
                                    RecordBytes<kThermistorConfigSize>& record) {
    const std::array<std::uint8_t, 1> request{index};
    return exchange(link, CommandCode::GET_THERMISTOR_CONFIG, request, record);
}

CommandResult set_thermistor_config(SensorLink& link, std::uint8_t index,
                                    const RecordBytes<kThermistorConfigSize>& record) {
    RecordBytes<1 + kThermistorConfigSize> request{};
    request[0] = index;
    std::copy(record.begin(), record.end(), request.begin() + 1);
    return exchange(link, CommandCode::SET_THERMISTOR_CONFIG, request);
}

std::optional<CommandResult> get_processing_record(SensorLink& link,
                                                   std::span<std::uint8_t> record) {
    check_record_length(record.size());
    SensorCommand command = make_request(CommandCode::GET_PROCESSING_PARAMS, {});
    command.set_length(4);
    put_length(command, record.size());
    if (link.Transact(command) != kResultSuccess) {
        return std::nullopt;
    }
    if (command.result() == kResultSuccess) {
        std::copy_n(command.payload().begin(), record.size(), record.begin());
    }
    return command.result();
}

std::optional<CommandResult> set_processing_record(SensorLink& link,
                                                   std::span<const std::uint8_t> record,
                                                   std::uint32_t declared) {
    check_record_length(record.size());
    SensorCommand command = make_request(CommandCode::SET_PROCESSING_PARAMS, {});
    command.set_length(static_cast<std::uint8_t>(4 + record.size()));
    put_length(command, declared);
    std::copy(record.begin(), record.end(), command.payload().begin() + 4);
    if (link.Transact(command) != kResultSuccess) {
        return std::nullopt;
    }
    return command.result();
}

}  // namespace kelpira::link

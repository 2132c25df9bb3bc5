// Wrappers of the chemistry commands (400..405) in record bytes: chemistry configuration,
// processing parameters and thermistor settings. The records and their typed get/set, with
// the fallback to the older nutrient layout, are in records/chemistry_transfer.hpp.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "link/command_exchange.hpp"

namespace kelpira::link {

inline constexpr std::size_t kChemistryConfigSize = 18;
inline constexpr std::size_t kThermistorConfigSize = 18;
// The longest processing record a request can carry after its u32 length.
inline constexpr std::size_t kMaxProcessingRecord = kMaxPayload - 4;

CommandResult get_chemistry_config(SensorLink& link, RecordBytes<kChemistryConfigSize>& record);
CommandResult set_chemistry_config(SensorLink& link,
                                   const RecordBytes<kChemistryConfigSize>& record);

// Thermistor index 0..2 as the one-byte request.
CommandResult get_thermistor_config(SensorLink& link, std::uint8_t index,
                                    RecordBytes<kThermistorConfigSize>& record);
CommandResult set_thermistor_config(SensorLink& link, std::uint8_t index,
                                    const RecordBytes<kThermistorConfigSize>& record);

// One GET_PROCESSING_PARAMS asking for record.size() bytes (the u32 length, at most 119); the
// record is filled on success. nullopt when the transaction itself failed.
std::optional<CommandResult> get_processing_record(SensorLink& link,
                                                   std::span<std::uint8_t> record);
// One SET_PROCESSING_PARAMS: the u32 length `declared`, then every byte of `record` (the
// request's length byte counts them all). `declared` is record.size(), or less for firmware
// that reads only the first `declared` bytes. nullopt when the transaction itself failed.
std::optional<CommandResult> set_processing_record(SensorLink& link,
                                                   std::span<const std::uint8_t> record,
                                                   std::uint32_t declared);

}  // namespace kelpira::link

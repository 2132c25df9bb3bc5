// The chemistry records' get/set, each through the command pair its field table names:
// chemistry configuration, processing parameters with the fallback to the older nutrient
// layout, and thermistor settings.
#pragma once

#include <span>
#include <type_traits>

#include "link/chemistry_commands.hpp"
#include "records/chemistry_fields.hpp"
#include "records/chemistry_type.hpp"

namespace kelpira::records {

link::CommandResult get_chemistry_config(link::SensorLink& link, ChemistryConfig& record);
link::CommandResult set_chemistry_config(link::SensorLink& link, const ChemistryConfig& record);

// The processing record of `chemistry`, its length n = record.size() (at most 119). For a
// nutrient chemistry a sensor answering 4 is asked again for the older 23-byte layout, which
// is returned converted to the current one; if that second transaction fails the result is 4.
link::CommandResult get_processing_params(link::SensorLink& link, ChemistryType chemistry,
                                          std::span<std::uint8_t> record);
// Writes the n-byte record; for a nutrient chemistry a sensor answering 4 is sent the older
// 23-byte layout; if that second transaction fails the result is 4.
link::CommandResult set_processing_params(link::SensorLink& link, ChemistryType chemistry,
                                          std::span<const std::uint8_t> record);

// Sends the table's `code` with `request` then `record` as payload.
link::CommandResult set_with_request(link::SensorLink& link, link::CommandCode code,
                                     std::span<const std::uint8_t> request,
                                     std::span<const std::uint8_t> record);

// A processing record's fallback: only the nutrient record has an older layout.
template <typename Rec>
constexpr ChemistryType fallback_chemistry() {
    return std::is_same_v<Rec, NutrientParams> ? ChemistryType::nitrate : ChemistryType::generic;
}

// Reads a record with its table's get command; `request` is what the command asks before the
// record (a thermistor's index), the processing records take their length and fallback.
template <TableRecord Rec>
link::CommandResult get_record(link::SensorLink& link, Rec& record,
                               std::span<const std::uint8_t> request = {}) {
    constexpr const auto& table = table_of<Rec>();
    link::RecordBytes<table.size> bytes{};
    link::CommandResult result = link::kResultSuccess;
    if constexpr (table.get == link::CommandCode::GET_PROCESSING_PARAMS) {
        result = get_processing_params(link, fallback_chemistry<Rec>(), bytes);
    } else {
        result = link::exchange(link, table.get, request, bytes);
    }
    if (result == link::kResultSuccess) {
        record = decode_record<Rec>(bytes);
    }
    return result;
}

// Writes a record with its table's set command, `request` before it.
template <TableRecord Rec>
link::CommandResult set_record(link::SensorLink& link, const Rec& record,
                               std::span<const std::uint8_t> request = {}) {
    constexpr const auto& table = table_of<Rec>();
    const auto bytes = encode_record(record);
    if constexpr (table.set == link::CommandCode::SET_PROCESSING_PARAMS) {
        return set_processing_params(link, fallback_chemistry<Rec>(), bytes);
    } else {
        return set_with_request(link, table.set, request, bytes);
    }
}

// A record the processing-parameters commands carry.
template <TableRecord Rec>
constexpr bool is_processing_record() {
    return table_of<Rec>().get == link::CommandCode::GET_PROCESSING_PARAMS;
}
template <typename Rec>
concept ProcessingRecord = TableRecord<Rec> && is_processing_record<Rec>();

// The typed processing records under their older names.
template <ProcessingRecord Rec>
link::CommandResult get_processing_params(link::SensorLink& link, Rec& record) {
    return get_record(link, record);
}
template <ProcessingRecord Rec>
link::CommandResult set_processing_params(link::SensorLink& link, const Rec& record) {
    return set_record(link, record);
}

// Thermistor index 0..2 as the one-byte request.
link::CommandResult get_thermistor_config(link::SensorLink& link, std::uint8_t index,
                                          ThermistorConfig& record);
link::CommandResult set_thermistor_config(link::SensorLink& link, std::uint8_t index,
                                          const ThermistorConfig& record);

}  // namespace kelpira::records

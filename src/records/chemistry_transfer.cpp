// The chemistry records' get/set, with the older nutrient layout for firmware that answers 4
// to the 29-byte processing record.
#include "records/chemistry_transfer.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace kelpira::records {

namespace {

static_assert(ChemistryConfig::size == link::kChemistryConfigSize);
static_assert(ThermistorConfig::size == link::kThermistorConfigSize);

}  // namespace

link::CommandResult set_with_request(link::SensorLink& link, link::CommandCode code,
                                     std::span<const std::uint8_t> request,
                                     std::span<const std::uint8_t> record) {
    std::vector<std::uint8_t> payload(request.begin(), request.end());
    payload.insert(payload.end(), record.begin(), record.end());
    return link::exchange(link, code, payload);
}

link::CommandResult get_chemistry_config(link::SensorLink& link, ChemistryConfig& record) {
    return get_record(link, record);
}

link::CommandResult set_chemistry_config(link::SensorLink& link, const ChemistryConfig& record) {
    return set_record(link, record);
}

link::CommandResult get_processing_params(link::SensorLink& link, ChemistryType chemistry,
                                          std::span<std::uint8_t> record) {
    const std::optional<link::CommandResult> result = link::get_processing_record(link, record);
    if (!result) {
        return link::kResultNoExchange;
    }
    if (*result != link::kResultBadLength || !is_nutrient(chemistry)) {
        return *result;
    }
    // Older firmware knows only the 23-byte layout: the same request, asking for 23 bytes.
    link::RecordBytes<NutrientParams::legacy_size> legacy{};
    const std::optional<link::CommandResult> older = link::get_processing_record(link, legacy);
    if (!older) {
        return link::kResultBadLength;
    }
    if (*older != link::kResultSuccess) {
        return *older;
    }
    const auto current = encode(nutrient_params_from_legacy(legacy));
    std::copy_n(current.begin(), std::min(record.size(), current.size()), record.begin());
    return link::kResultSuccess;
}

link::CommandResult set_processing_params(link::SensorLink& link, ChemistryType chemistry,
                                          std::span<const std::uint8_t> record) {
    const std::optional<link::CommandResult> result =
        link::set_processing_record(link, record, static_cast<std::uint32_t>(record.size()));
    if (!result) {
        return link::kResultNoExchange;
    }
    if (*result != link::kResultBadLength || !is_nutrient(chemistry)) {
        return *result;
    }
    // Older firmware: the same request with the u32 length 23 and the first 23 bytes in the
    // legacy layout; the length byte stays as it was.
    std::array<std::uint8_t, link::kMaxProcessingRecord> bytes{};
    std::copy(record.begin(), record.end(), bytes.begin());
    const auto legacy = encode_legacy(decode_nutrient_params(record));
    std::copy(legacy.begin(), legacy.end(), bytes.begin());
    const std::optional<link::CommandResult> older =
        link::set_processing_record(link, std::span(bytes).first(record.size()),
                                    static_cast<std::uint32_t>(NutrientParams::legacy_size));
    return older.value_or(link::kResultBadLength);
}

link::CommandResult get_thermistor_config(link::SensorLink& link, std::uint8_t index,
                                          ThermistorConfig& record) {
    const std::array<std::uint8_t, 1> request{index};
    return get_record(link, record, request);
}

link::CommandResult set_thermistor_config(link::SensorLink& link, std::uint8_t index,
                                          const ThermistorConfig& record) {
    const std::array<std::uint8_t, 1> request{index};
    return set_record(link, record, request);
}

}  // namespace kelpira::records

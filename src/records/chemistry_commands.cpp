// The chemistry records' get/set, with the older nutrient layout for firmware that answers 4
// to the 29-byte processing record.
#include "records/chemistry_commands.hpp"

#include <algorithm>
#include <array>
#include <optional>

namespace kelpira::link {

namespace {

using config::ChemistryType;
using config::NutrientParams;

static_assert(config::ChemistryConfig::size == kChemistryConfigSize);
static_assert(config::ThermistorConfig::size == kThermistorConfigSize);

// Every chemistry the nutrient page serves; the chemistry value only picks the fallback.
constexpr ChemistryType kAnyNutrient = ChemistryType::nitrate;

template <typename Params, typename Decode>
CommandResult get_typed(SensorLink& link, ChemistryType chemistry, Params& record, Decode decode) {
    RecordBytes<Params::size> bytes{};
    const CommandResult result = get_processing_params(link, chemistry, bytes);
    if (result == kResultSuccess) {
        record = decode(bytes);
    }
    return result;
}

}  // namespace

CommandResult get_chemistry_config(SensorLink& link, config::ChemistryConfig& record) {
    RecordBytes<kChemistryConfigSize> bytes{};
    const CommandResult result = get_chemistry_config(link, bytes);
    if (result == kResultSuccess) {
        record = config::decode_chemistry_config(bytes);
    }
    return result;
}

CommandResult set_chemistry_config(SensorLink& link, const config::ChemistryConfig& record) {
    return set_chemistry_config(link, config::encode(record));
}

CommandResult get_processing_params(SensorLink& link, ChemistryType chemistry,
                                    std::span<std::uint8_t> record) {
    const std::optional<CommandResult> result = get_processing_record(link, record);
    if (!result) {
        return kResultNoExchange;
    }
    if (*result != kResultBadLength || !config::is_nutrient(chemistry)) {
        return *result;
    }
    // Older firmware knows only the 23-byte layout: the same request, asking for 23 bytes.
    RecordBytes<NutrientParams::legacy_size> legacy{};
    const std::optional<CommandResult> older = get_processing_record(link, legacy);
    if (!older) {
        return kResultBadLength;
    }
    if (*older != kResultSuccess) {
        return *older;
    }
    const auto current = config::encode(config::nutrient_params_from_legacy(legacy));
    std::copy_n(current.begin(), std::min(record.size(), current.size()), record.begin());
    return kResultSuccess;
}

CommandResult set_processing_params(SensorLink& link, ChemistryType chemistry,
                                    std::span<const std::uint8_t> record) {
    const std::optional<CommandResult> result =
        set_processing_record(link, record, static_cast<std::uint32_t>(record.size()));
    if (!result) {
        return kResultNoExchange;
    }
    if (*result != kResultBadLength || !config::is_nutrient(chemistry)) {
        return *result;
    }
    // Older firmware: the same request with the u32 length 23 and the first 23 bytes in the
    // legacy layout; the length byte stays as it was.
    std::array<std::uint8_t, kMaxProcessingRecord> bytes{};
    std::copy(record.begin(), record.end(), bytes.begin());
    const auto legacy = config::encode_legacy(config::decode_nutrient_params(record));
    std::copy(legacy.begin(), legacy.end(), bytes.begin());
    const std::optional<CommandResult> older =
        set_processing_record(link, std::span(bytes).first(record.size()),
                              static_cast<std::uint32_t>(NutrientParams::legacy_size));
    return older.value_or(kResultBadLength);
}

CommandResult get_processing_params(SensorLink& link, config::NutrientParams& record) {
    return get_typed(link, kAnyNutrient, record,
                     [](auto b) { return config::decode_nutrient_params(b); });
}
CommandResult set_processing_params(SensorLink& link, const config::NutrientParams& record) {
    return set_processing_params(link, kAnyNutrient, config::encode(record));
}
CommandResult get_processing_params(SensorLink& link, config::GenericParams& record) {
    return get_typed(link, ChemistryType::generic, record,
                     [](auto b) { return config::decode_generic_params(b); });
}
CommandResult set_processing_params(SensorLink& link, const config::GenericParams& record) {
    return set_processing_params(link, ChemistryType::generic, config::encode(record));
}
CommandResult get_processing_params(SensorLink& link, config::PhParams& record) {
    return get_typed(link, ChemistryType::ph, record,
                     [](auto b) { return config::decode_ph_params(b); });
}
CommandResult set_processing_params(SensorLink& link, const config::PhParams& record) {
    return set_processing_params(link, ChemistryType::ph, config::encode(record));
}
CommandResult get_processing_params(SensorLink& link, config::TaParams& record) {
    return get_typed(link, ChemistryType::ta, record,
                     [](auto b) { return config::decode_ta_params(b); });
}
CommandResult set_processing_params(SensorLink& link, const config::TaParams& record) {
    return set_processing_params(link, ChemistryType::ta, config::encode(record));
}
CommandResult get_processing_params(SensorLink& link, config::DicParams& record) {
    return get_typed(link, ChemistryType::dic, record,
                     [](auto b) { return config::decode_dic_params(b); });
}
CommandResult set_processing_params(SensorLink& link, const config::DicParams& record) {
    return set_processing_params(link, ChemistryType::dic, config::encode(record));
}
CommandResult get_processing_params(SensorLink& link, config::AmmoniaParams& record) {
    return get_typed(link, ChemistryType::ammonia, record,
                     [](auto b) { return config::decode_ammonia_params(b); });
}
CommandResult set_processing_params(SensorLink& link, const config::AmmoniaParams& record) {
    return set_processing_params(link, ChemistryType::ammonia, config::encode(record));
}

CommandResult get_thermistor_config(SensorLink& link, std::uint8_t index,
                                    config::ThermistorConfig& record) {
    RecordBytes<kThermistorConfigSize> bytes{};
    const CommandResult result = get_thermistor_config(link, index, bytes);
    if (result == kResultSuccess) {
        record = config::decode_thermistor_config(bytes);
    }
    return result;
}

CommandResult set_thermistor_config(SensorLink& link, std::uint8_t index,
                                    const config::ThermistorConfig& record) {
    return set_thermistor_config(link, index, config::encode(record));
}

}  // namespace kelpira::link

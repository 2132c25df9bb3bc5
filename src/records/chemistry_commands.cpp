// The chemistry commands, with the older nutrient layout for firmware that answers 4 to the
// 29-byte processing record.
#include "records/chemistry_commands.hpp"

#include <algorithm>
#include <stdexcept>

#include "common/bytes.hpp"

namespace kelpira::link {

namespace {

using config::ChemistryType;
using config::NutrientParams;

static_assert(response_length(CommandCode::GET_CHEMISTRY_CONFIG) == config::ChemistryConfig::size);
static_assert(request_length(CommandCode::SET_CHEMISTRY_CONFIG) == config::ChemistryConfig::size);
static_assert(request_length(CommandCode::GET_PROCESSING_PARAMS) == 4);
static_assert(request_length(CommandCode::GET_THERMISTOR_CONFIG) == 1);
static_assert(response_length(CommandCode::GET_THERMISTOR_CONFIG) ==
              config::ThermistorConfig::size);
static_assert(request_length(CommandCode::SET_THERMISTOR_CONFIG) ==
              1 + config::ThermistorConfig::size);

void check_record_length(std::size_t n) {
    if (n > kMaxProcessingRecord) {
        throw std::length_error("a processing record holds at most 119 bytes");
    }
}

void put_length(SensorCommand& command, std::size_t n) {
    common::ByteWriter w(command.payload());
    w.u32(static_cast<std::uint32_t>(n));
}

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
    RecordBytes<config::ChemistryConfig::size> bytes{};
    const CommandResult result = exchange(link, CommandCode::GET_CHEMISTRY_CONFIG, {}, bytes);
    if (result == kResultSuccess) {
        record = config::decode_chemistry_config(bytes);
    }
    return result;
}

CommandResult set_chemistry_config(SensorLink& link, const config::ChemistryConfig& record) {
    return exchange(link, CommandCode::SET_CHEMISTRY_CONFIG, config::encode(record));
}

CommandResult get_processing_params(SensorLink& link, ChemistryType chemistry,
                                    std::span<std::uint8_t> record) {
    check_record_length(record.size());
    SensorCommand request = make_request(CommandCode::GET_PROCESSING_PARAMS, {});
    request.set_length(4);
    put_length(request, record.size());
    SensorCommand command = request;
    if (link.Transact(command) != kResultSuccess) {
        return kResultNoExchange;
    }
    if (command.result() == kResultSuccess) {
        std::copy_n(command.payload().begin(), record.size(), record.begin());
        return kResultSuccess;
    }
    if (command.result() != kResultBadLength || !config::is_nutrient(chemistry)) {
        return command.result();
    }
    // Older firmware knows only the 23-byte layout: the same request, asking for 23 bytes.
    command = request;
    put_length(command, NutrientParams::legacy_size);
    if (link.Transact(command) != kResultSuccess) {
        return kResultBadLength;
    }
    if (command.result() != kResultSuccess) {
        return command.result();
    }
    const auto current = config::encode(
        config::nutrient_params_from_legacy(command.payload().first(NutrientParams::legacy_size)));
    std::copy_n(current.begin(), std::min(record.size(), current.size()), record.begin());
    return kResultSuccess;
}

CommandResult set_processing_params(SensorLink& link, ChemistryType chemistry,
                                    std::span<const std::uint8_t> record) {
    check_record_length(record.size());
    SensorCommand request = make_request(CommandCode::SET_PROCESSING_PARAMS, {});
    request.set_length(static_cast<std::uint8_t>(4 + record.size()));
    put_length(request, record.size());
    std::copy(record.begin(), record.end(), request.payload().begin() + 4);
    SensorCommand command = request;
    if (link.Transact(command) != kResultSuccess) {
        return kResultNoExchange;
    }
    if (command.result() != kResultBadLength || !config::is_nutrient(chemistry)) {
        return command.result();
    }
    // Older firmware: the same request with the u32 length 23 and the first 23 bytes in the
    // legacy layout; the length byte stays as it was.
    command = request;
    put_length(command, NutrientParams::legacy_size);
    const auto legacy = config::encode_legacy(config::decode_nutrient_params(record));
    std::copy(legacy.begin(), legacy.end(), command.payload().begin() + 4);
    if (link.Transact(command) != kResultSuccess) {
        return kResultBadLength;
    }
    return command.result();
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
    const std::array<std::uint8_t, 1> request{index};
    RecordBytes<config::ThermistorConfig::size> bytes{};
    const CommandResult result = exchange(link, CommandCode::GET_THERMISTOR_CONFIG, request, bytes);
    if (result == kResultSuccess) {
        record = config::decode_thermistor_config(bytes);
    }
    return result;
}

CommandResult set_thermistor_config(SensorLink& link, std::uint8_t index,
                                    const config::ThermistorConfig& record) {
    RecordBytes<1 + config::ThermistorConfig::size> request{};
    request[0] = index;
    const auto bytes = config::encode(record);
    std::copy(bytes.begin(), bytes.end(), request.begin() + 1);
    return exchange(link, CommandCode::SET_THERMISTOR_CONFIG, request);
}

}  // namespace kelpira::link

// The emulated sensor's configuration store.
#include "virtual_sensor/config_store.hpp"

#include <algorithm>
#include <array>

#include "common/bytes.hpp"
#include "link/command_catalogue.hpp"
#include "records/chemistry_config.hpp"
#include "records/nutrient_params.hpp"
#include "records/optics_records.hpp"
#include "records/pump_valve_defaults.hpp"
#include "records/thermistor_config.hpp"
#include "virtual_sensor/factory_records.hpp"
#include "virtual_sensor/factory_stores.hpp"
#include "virtual_sensor/platform_record_handlers.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

constexpr std::uint16_t kGetChemistryConfig = link::code_value(CommandCode::GET_CHEMISTRY_CONFIG);
constexpr std::uint16_t kGetSchedule = link::code_value(CommandCode::GET_SCHEDULE);

// Blocks read with their code and written with the next one, each of its catalogue length.
constexpr std::array kBlocks{
    CommandCode::GET_PUMP_VALVE_DEFAULTS, CommandCode::GET_OPTICS_DEFAULTS,
    CommandCode::GET_DIC_CONFIG,          CommandCode::GET_PMT_CONFIG,
    CommandCode::GET_CHEMISTRY_CONFIG,
};

constexpr std::size_t kLengthField = 4;  // the u32 record length before processing parameters

void get_block(Exchange& x) {
    const auto& record = x.state.records.at(x.code);
    std::copy(record.begin(), record.end(), x.response.begin());
    x.response_length = static_cast<std::uint8_t>(record.size());
}

void set_block(Exchange& x) {
    auto& record = x.state.records.at(static_cast<std::uint16_t>(x.code - 1));
    if (x.request_length != record.size()) {
        x.result = link::kResultBadLength;
        return;
    }
    std::copy_n(x.request.begin(), record.size(), record.begin());
}

records::ChemistryType current_chemistry(const SensorState& s) {
    return static_cast<records::ChemistryType>(s.records.at(kGetChemistryConfig)[1]);
}

// The processing record length this sensor expects for its chemistry; none for a chemistry
// it does not know.
std::size_t expected_params_length(const SensorState& s) {
    const auto chemistry = current_chemistry(s);
    if (s.options.legacy_nutrient_params && records::is_nutrient(chemistry)) {
        return records::NutrientParams::legacy_size;
    }
    return records::processing_record_length(chemistry);
}

void get_processing_params(Exchange& x) {
    common::ByteReader r(x.request);
    const std::uint32_t n = r.u32();
    const std::size_t expected = expected_params_length(x.state);
    if (x.request_length != kLengthField || expected == 0 || n != expected) {
        x.result = link::kResultBadLength;
        return;
    }
    const auto& record = x.state.processing_params.at(code_of(current_chemistry(x.state)));
    std::copy(record.begin(), record.end(), x.response.begin());
    x.response_length = static_cast<std::uint8_t>(record.size());
}

void set_processing_params(Exchange& x) {
    common::ByteReader r(x.request);
    const std::uint32_t n = r.u32();
    const std::size_t expected = expected_params_length(x.state);
    // The record is read by its own length: the PC's retry in the older layout keeps the
    // length byte of the first attempt.
    if (expected == 0 || n != expected || x.request_length < kLengthField + n) {
        x.result = link::kResultBadLength;
        return;
    }
    auto& record = x.state.processing_params.at(code_of(current_chemistry(x.state)));
    std::copy_n(x.request.begin() + kLengthField, n, record.begin());
}

void get_thermistor_config(Exchange& x) {
    if (x.request_length != 1) {
        x.result = link::kResultBadLength;
        return;
    }
    if (x.request[0] >= kThermistorCount) {
        x.result = kResultBadValue;
        return;
    }
    const auto& record = x.state.thermistors[x.request[0]];
    std::copy(record.begin(), record.end(), x.response.begin());
    x.response_length = records::ThermistorConfig::size;
}

void set_thermistor_config(Exchange& x) {
    if (x.request_length != 1 + records::ThermistorConfig::size) {
        x.result = link::kResultBadLength;
        return;
    }
    if (x.request[0] >= kThermistorCount) {
        x.result = kResultBadValue;
        return;
    }
    std::copy_n(x.request.begin() + 1, records::ThermistorConfig::size,
                x.state.thermistors[x.request[0]].begin());
}

// Thermistor t reads input 5 + t, whose voltage the live sample keeps near a level of its
// own; a slope of 10 degrees per volt through 15 degrees at that level.
std::array<std::uint8_t, records::ThermistorConfig::size> default_thermistor(std::size_t t) {
    records::ThermistorConfig c;
    c.input_channel = static_cast<std::uint8_t>(5 + t);
    const double volts = (11800.0 + 6550.0 * c.input_channel) * 5.0 / 65536.0;
    c.a1 = 10.0f;
    c.a0 = static_cast<float>(15.0 - 10.0 * volts);
    return records::encode(c);
}

std::vector<CommandEntry> build_commands() {
    std::vector<CommandEntry> commands;
    for (const auto get : kBlocks) {
        commands.push_back({link::code_value(get), get_block});
        commands.push_back({static_cast<std::uint16_t>(link::code_value(get) + 1), set_block});
    }
    commands.push_back(
        {link::code_value(CommandCode::GET_PROCESSING_PARAMS), get_processing_params});
    commands.push_back(
        {link::code_value(CommandCode::SET_PROCESSING_PARAMS), set_processing_params});
    commands.push_back(
        {link::code_value(CommandCode::GET_THERMISTOR_CONFIG), get_thermistor_config});
    commands.push_back(
        {link::code_value(CommandCode::SET_THERMISTOR_CONFIG), set_thermistor_config});
    return commands;
}

}  // namespace

std::span<const CommandEntry> config_store_commands() {
    static const auto commands = build_commands();
    return commands;
}

void fill_config_defaults(SensorState& state) {
    for (const auto get : kBlocks) {
        state.records[link::code_value(get)].assign(link::response_length(get), 0);
    }
    const auto chemistry = records::encode(factory_chemistry_config(state.options.chemistry));
    state.records[kGetChemistryConfig].assign(chemistry.begin(), chemistry.end());

    fill_factory_defaults(state);
    const auto store = [&state](CommandCode get, const auto& record) {
        state.records[link::code_value(get)].assign(record.begin(), record.end());
    };
    store(CommandCode::GET_PUMP_VALVE_DEFAULTS, records::encode(factory_pump_valve_defaults()));
    store(CommandCode::GET_OPTICS_DEFAULTS, records::encode(factory_optics_defaults()));
    store(CommandCode::GET_PMT_CONFIG, records::encode(factory_pmt_config()));
    store(CommandCode::GET_DIC_CONFIG, records::encode(factory_dic_conductivity_config()));
    // Measure continuously, in the layout of the firmware imitated.
    state.records[kGetSchedule].assign(link::response_length(CommandCode::GET_SCHEDULE), 0);
    state.records[kGetSchedule][0] = state.options.schedule_layout;
    fill_platform_records(state);

    for (const auto& d : records::kChemistryTable) {
        state.processing_params[code_of(d.code)] = factory_processing_params(
            d.code, d.code == state.options.chemistry, state.options.legacy_nutrient_params);
    }
    for (std::size_t t = 0; t < kThermistorCount; ++t) {
        state.thermistors[t] = default_thermistor(t);
    }
}

}  // namespace kelpira::virtual_sensor

// The pump, valve, optics, DIC and PMT commands.
#include "link/actuator_commands.hpp"

#include <algorithm>

#include "common/bytes.hpp"

namespace kelpira::link {

static_assert(response_length(CommandCode::GET_PUMP_VALVE_DEFAULTS) == kPumpValveDefaultsSize);
static_assert(request_length(CommandCode::SET_PUMP_VALVE_DEFAULTS) == kPumpValveDefaultsSize);
static_assert(request_length(CommandCode::START_PUMP_TEST) == kPumpValveDefaultsSize + 1);
static_assert(request_length(CommandCode::START_VALVES_TEST) == 4);
static_assert(response_length(CommandCode::GET_OPTICS_DEFAULTS) == kOpticsDefaultsSize);
static_assert(request_length(CommandCode::SET_OPTICS_DEFAULTS) == kOpticsDefaultsSize);
static_assert(request_length(CommandCode::START_OPTICS_TEST_V1) == kOpticsTestV1Size);
static_assert(request_length(CommandCode::START_OPTICS_TEST) == kOpticsTestSize);
static_assert(response_length(CommandCode::GET_DIC_CONFIG) == kDicConductivityConfigSize);
static_assert(request_length(CommandCode::SET_DIC_CONFIG) == kDicConductivityConfigSize);
static_assert(response_length(CommandCode::GET_PMT_CONFIG) == kPmtConfigSize);
static_assert(request_length(CommandCode::SET_PMT_CONFIG) == kPmtConfigSize);

CommandResult get_pump_valve_defaults(SensorLink& link,
                                      RecordBytes<kPumpValveDefaultsSize>& record) {
    return exchange(link, CommandCode::GET_PUMP_VALVE_DEFAULTS, {}, record);
}

CommandResult set_pump_valve_defaults(SensorLink& link,
                                      const RecordBytes<kPumpValveDefaultsSize>& record) {
    return exchange(link, CommandCode::SET_PUMP_VALVE_DEFAULTS, record);
}

CommandResult start_pump_test(SensorLink& link, const RecordBytes<kPumpValveDefaultsSize>& pump,
                              std::uint8_t pump_continuously) {
    RecordBytes<kPumpValveDefaultsSize + 1> request{};
    std::copy(pump.begin(), pump.end(), request.begin());
    request.back() = pump_continuously;
    return exchange(link, CommandCode::START_PUMP_TEST, request);
}

CommandResult stop_pump_test(SensorLink& link) {
    return exchange(link, CommandCode::STOP_PUMP_TEST, {});
}

CommandResult get_pump_test_status(SensorLink& link, RecordBytes<kPumpTestStatusSize>& status) {
    return exchange(link, CommandCode::GET_PUMP_TEST_STATUS, {}, status);
}

CommandResult start_valves_test(SensorLink& link, std::uint16_t valve_mask,
                                std::uint16_t valve_spike_ms) {
    RecordBytes<4> request{};
    common::ByteWriter w(request);
    w.u16(valve_mask);
    w.u16(valve_spike_ms);
    return exchange(link, CommandCode::START_VALVES_TEST, request);
}

CommandResult stop_valves_test(SensorLink& link) {
    return exchange(link, CommandCode::STOP_VALVES_TEST, {});
}

CommandResult get_optics_defaults(SensorLink& link, RecordBytes<kOpticsDefaultsSize>& record) {
    return exchange(link, CommandCode::GET_OPTICS_DEFAULTS, {}, record);
}

CommandResult set_optics_defaults(SensorLink& link,
                                  const RecordBytes<kOpticsDefaultsSize>& record) {
    return exchange(link, CommandCode::SET_OPTICS_DEFAULTS, record);
}

CommandResult start_optics_test_v1(SensorLink& link, const RecordBytes<kOpticsTestV1Size>& test) {
    return exchange(link, CommandCode::START_OPTICS_TEST_V1, test);
}

CommandResult start_optics_test(SensorLink& link, const RecordBytes<kOpticsTestSize>& test) {
    const SensorCommand request = make_request(CommandCode::START_OPTICS_TEST, test);
    SensorCommand command = request;
    if (link.Transact(command) != kResultSuccess) {
        return kResultNoExchange;
    }
    if (command.result() != kResultTooOld) {
        return command.result();
    }
    // The request buffer again, not the answer that overwrote it: code 626 becomes 370 by its
    // high byte, and the length 16 sends the first 16 bytes of the same payload.
    command = request;
    command.bytes[2] = 1;
    command.set_length(kOpticsTestV1Size);
    return transact_folded(link, command);
}

CommandResult stop_optics_test(SensorLink& link) {
    return exchange(link, CommandCode::STOP_OPTICS_TEST, {});
}

CommandResult get_dic_config(SensorLink& link, RecordBytes<kDicConductivityConfigSize>& record) {
    return exchange(link, CommandCode::GET_DIC_CONFIG, {}, record);
}

CommandResult set_dic_config(SensorLink& link,
                             const RecordBytes<kDicConductivityConfigSize>& record) {
    return exchange(link, CommandCode::SET_DIC_CONFIG, record);
}

CommandResult get_pmt_config(SensorLink& link, RecordBytes<kPmtConfigSize>& record) {
    return exchange(link, CommandCode::GET_PMT_CONFIG, {}, record);
}

CommandResult set_pmt_config(SensorLink& link, const RecordBytes<kPmtConfigSize>& record) {
    return exchange(link, CommandCode::SET_PMT_CONFIG, record);
}

}  // namespace kelpira::link

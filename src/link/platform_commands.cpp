// The platform, schedule and serial interface commands.
#include "link/platform_commands.hpp"

#include "common/bytes.hpp"

namespace kelpira::link {

static_assert(response_length(CommandCode::GET_PLATFORM_DEFAULTS) == kPlatformDefaultsSize);
static_assert(request_length(CommandCode::SET_PLATFORM_DEFAULTS) == kPlatformDefaultsSize);
static_assert(response_length(CommandCode::GET_SCHEDULE) == kScheduleSize);
static_assert(request_length(CommandCode::SET_SCHEDULE) == kScheduleSize);
static_assert(response_length(CommandCode::GET_PLATFORM_STATE) == kPlatformStateSize);
static_assert(response_length(CommandCode::GET_NEXT_MEASUREMENT) == 9);
static_assert(response_length(CommandCode::GET_RS232_CONFIG) == kRs232ConfigSize);
static_assert(request_length(CommandCode::SET_RS232_CONFIG) == kRs232ConfigSize);
static_assert(response_length(CommandCode::GET_RS485_CONFIG) == kRs485ConfigSize);
static_assert(request_length(CommandCode::SET_RS485_CONFIG) == kRs485ConfigSize);

CommandResult get_platform_defaults(SensorLink& link, RecordBytes<kPlatformDefaultsSize>& record) {
    return exchange(link, CommandCode::GET_PLATFORM_DEFAULTS, {}, record);
}

CommandResult set_platform_defaults(SensorLink& link,
                                    const RecordBytes<kPlatformDefaultsSize>& record) {
    return exchange(link, CommandCode::SET_PLATFORM_DEFAULTS, record);
}

CommandResult get_schedule(SensorLink& link, RecordBytes<kScheduleSize>& record) {
    return exchange(link, CommandCode::GET_SCHEDULE, {}, record);
}

CommandResult set_schedule(SensorLink& link, const RecordBytes<kScheduleSize>& record) {
    return exchange(link, CommandCode::SET_SCHEDULE, record);
}

CommandResult get_platform_state(SensorLink& link, RecordBytes<kPlatformStateSize>& record) {
    return exchange(link, CommandCode::GET_PLATFORM_STATE, {}, record);
}

CommandResult get_next_measurement(SensorLink& link, std::uint32_t& sensor_time,
                                   std::uint32_t& next_time, std::uint8_t& stop_reached) {
    RecordBytes<9> bytes{};
    const CommandResult result = exchange(link, CommandCode::GET_NEXT_MEASUREMENT, {}, bytes);
    if (result == kResultSuccess) {
        common::ByteReader r(bytes);
        sensor_time = r.u32();
        next_time = r.u32();
        stop_reached = r.u8();
    }
    return result;
}

CommandResult get_rs232_config(SensorLink& link, RecordBytes<kRs232ConfigSize>& record) {
    return exchange(link, CommandCode::GET_RS232_CONFIG, {}, record);
}

CommandResult set_rs232_config(SensorLink& link, const RecordBytes<kRs232ConfigSize>& record) {
    return exchange(link, CommandCode::SET_RS232_CONFIG, record);
}

CommandResult get_rs485_config(SensorLink& link, RecordBytes<kRs485ConfigSize>& record) {
    return exchange(link, CommandCode::GET_RS485_CONFIG, {}, record);
}

CommandResult set_rs485_config(SensorLink& link, const RecordBytes<kRs485ConfigSize>& record) {
    return exchange(link, CommandCode::SET_RS485_CONFIG, record);
}

}  // namespace kelpira::link

// Wrappers of the platform, schedule and serial interface commands (440..465).
#pragma once

#include "link/command_exchange.hpp"

namespace kelpira::link {

inline constexpr std::size_t kPlatformDefaultsSize = 36;
inline constexpr std::size_t kScheduleSize = 13;
inline constexpr std::size_t kPlatformStateSize = 36;
inline constexpr std::size_t kRs232ConfigSize = 13;
inline constexpr std::size_t kRs485ConfigSize = 17;

CommandResult get_platform_defaults(SensorLink& link, RecordBytes<kPlatformDefaultsSize>& record);
CommandResult set_platform_defaults(SensorLink& link,
                                    const RecordBytes<kPlatformDefaultsSize>& record);
CommandResult get_schedule(SensorLink& link, RecordBytes<kScheduleSize>& record);
CommandResult set_schedule(SensorLink& link, const RecordBytes<kScheduleSize>& record);
CommandResult get_platform_state(SensorLink& link, RecordBytes<kPlatformStateSize>& record);
// The sensor's time now, the next measurement time (seconds in the schedule's encoding) and 1
// when no measurement follows because the stop time has been reached; set only on success.
CommandResult get_next_measurement(SensorLink& link, std::uint32_t& sensor_time,
                                   std::uint32_t& next_time, std::uint8_t& stop_reached);
CommandResult get_rs232_config(SensorLink& link, RecordBytes<kRs232ConfigSize>& record);
CommandResult set_rs232_config(SensorLink& link, const RecordBytes<kRs232ConfigSize>& record);
CommandResult get_rs485_config(SensorLink& link, RecordBytes<kRs485ConfigSize>& record);
CommandResult set_rs485_config(SensorLink& link, const RecordBytes<kRs485ConfigSize>& record);

}  // namespace kelpira::link

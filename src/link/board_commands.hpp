// Wrappers of the clock, board, housekeeping and diagnostics commands (290..323): records
// owned by other parts of the program travel here as their bytes.
#pragma once

#include "link/command_exchange.hpp"

namespace kelpira::link {

inline constexpr std::size_t kRtcTimeSize = 8;
inline constexpr std::size_t kFramSettingsSize = 9;
inline constexpr std::size_t kPowerStatusSize = 17;
inline constexpr std::size_t kRestartLogEntrySize = 14;
inline constexpr std::size_t kTaskFlagsSize = 26;
inline constexpr std::size_t kTaskDetailsSize = 48;
inline constexpr std::size_t kDiagnosticsEntrySize = 114;
inline constexpr std::size_t kNvramSettingsSize = 5;

CommandResult get_rtc_time(SensorLink& link, RecordBytes<kRtcTimeSize>& record);
CommandResult set_rtc_time(SensorLink& link, const RecordBytes<kRtcTimeSize>& record);
CommandResult get_fram_settings(SensorLink& link, RecordBytes<kFramSettingsSize>& record);
CommandResult set_fram_settings(SensorLink& link, const RecordBytes<kFramSettingsSize>& record);
CommandResult get_power_status(SensorLink& link, RecordBytes<kPowerStatusSize>& record);
// Payload byte 0; callers ignore the outcome.
CommandResult toggle_led(SensorLink& link);
// `first`: request byte 1 for the first entry, 0 for each next one.
CommandResult get_restart_log_entry(SensorLink& link, bool first,
                                    RecordBytes<kRestartLogEntrySize>& entry);
CommandResult set_task_flags(SensorLink& link, const RecordBytes<kTaskFlagsSize>& flags);
// Task index 0..16.
CommandResult get_task_details(SensorLink& link, std::uint8_t task,
                               RecordBytes<kTaskDetailsSize>& details);
// Payload byte 0; a nonzero result means no further entry for now.
CommandResult read_diagnostics(SensorLink& link, RecordBytes<kDiagnosticsEntrySize>& entry);
CommandResult clear_diagnostics(SensorLink& link);
// Payload 0x00 0xFF 0xFF.
CommandResult open_diagnostics(SensorLink& link);
CommandResult get_nvram_settings(SensorLink& link, RecordBytes<kNvramSettingsSize>& record);
CommandResult set_nvram_settings(SensorLink& link, const RecordBytes<kNvramSettingsSize>& record);

}  // namespace kelpira::link

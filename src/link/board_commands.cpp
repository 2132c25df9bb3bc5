// The clock, board, housekeeping and diagnostics commands.
#include "link/board_commands.hpp"

namespace kelpira::link {

static_assert(response_length(CommandCode::GET_RTC_TIME) == kRtcTimeSize);
static_assert(request_length(CommandCode::SET_RTC_TIME) == kRtcTimeSize);
static_assert(response_length(CommandCode::GET_FRAM_SETTINGS) == kFramSettingsSize);
static_assert(request_length(CommandCode::SET_FRAM_SETTINGS) == kFramSettingsSize);
static_assert(response_length(CommandCode::GET_POWER_STATUS) == kPowerStatusSize);
static_assert(request_length(CommandCode::TOGGLE_LED) == 1);
static_assert(response_length(CommandCode::GET_RESTART_LOG_ENTRY) == kRestartLogEntrySize);
static_assert(request_length(CommandCode::SET_TASK_FLAGS) == kTaskFlagsSize);
static_assert(response_length(CommandCode::GET_TASK_DETAILS) == kTaskDetailsSize);
static_assert(response_length(CommandCode::READ_DIAGNOSTICS) == kDiagnosticsEntrySize);
static_assert(request_length(CommandCode::OPEN_DIAGNOSTICS) == 3);
static_assert(response_length(CommandCode::GET_NVRAM_SETTINGS) == kNvramSettingsSize);
static_assert(request_length(CommandCode::SET_NVRAM_SETTINGS) == kNvramSettingsSize);

CommandResult get_rtc_time(SensorLink& link, RecordBytes<kRtcTimeSize>& record) {
    return exchange(link, CommandCode::GET_RTC_TIME, {}, record);
}

CommandResult set_rtc_time(SensorLink& link, const RecordBytes<kRtcTimeSize>& record) {
    return exchange(link, CommandCode::SET_RTC_TIME, record);
}

CommandResult get_fram_settings(SensorLink& link, RecordBytes<kFramSettingsSize>& record) {
    return exchange(link, CommandCode::GET_FRAM_SETTINGS, {}, record);
}

CommandResult set_fram_settings(SensorLink& link, const RecordBytes<kFramSettingsSize>& record) {
    return exchange(link, CommandCode::SET_FRAM_SETTINGS, record);
}

CommandResult get_power_status(SensorLink& link, RecordBytes<kPowerStatusSize>& record) {
    return exchange(link, CommandCode::GET_POWER_STATUS, {}, record);
}

CommandResult toggle_led(SensorLink& link) {
    const std::array<std::uint8_t, 1> request{0};
    return exchange(link, CommandCode::TOGGLE_LED, request);
}

CommandResult get_restart_log_entry(SensorLink& link, bool first,
                                    RecordBytes<kRestartLogEntrySize>& entry) {
    const std::array<std::uint8_t, 1> request{first ? std::uint8_t{1} : std::uint8_t{0}};
    return exchange(link, CommandCode::GET_RESTART_LOG_ENTRY, request, entry);
}

CommandResult set_task_flags(SensorLink& link, const RecordBytes<kTaskFlagsSize>& flags) {
    return exchange(link, CommandCode::SET_TASK_FLAGS, flags);
}

CommandResult get_task_details(SensorLink& link, std::uint8_t task,
                               RecordBytes<kTaskDetailsSize>& details) {
    const std::array<std::uint8_t, 1> request{task};
    return exchange(link, CommandCode::GET_TASK_DETAILS, request, details);
}

CommandResult read_diagnostics(SensorLink& link, RecordBytes<kDiagnosticsEntrySize>& entry) {
    const std::array<std::uint8_t, 1> request{0};
    return exchange(link, CommandCode::READ_DIAGNOSTICS, request, entry);
}

CommandResult clear_diagnostics(SensorLink& link) {
    return exchange(link, CommandCode::CLEAR_DIAGNOSTICS, {});
}

CommandResult open_diagnostics(SensorLink& link) {
    const std::array<std::uint8_t, 3> request{0x00, 0xFF, 0xFF};
    return exchange(link, CommandCode::OPEN_DIAGNOSTICS, request);
}

CommandResult get_nvram_settings(SensorLink& link, RecordBytes<kNvramSettingsSize>& record) {
    return exchange(link, CommandCode::GET_NVRAM_SETTINGS, {}, record);
}

CommandResult set_nvram_settings(SensorLink& link, const RecordBytes<kNvramSettingsSize>& record) {
    return exchange(link, CommandCode::SET_NVRAM_SETTINGS, record);
}

}  // namespace kelpira::link

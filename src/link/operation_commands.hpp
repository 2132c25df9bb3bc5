// Wrappers of the operating commands: live status and the output store (418..422), the state
// machine (434..438) and the drive mode (482).
#pragma once

#include <string>

#include "link/command_exchange.hpp"

namespace kelpira::link {

inline constexpr std::size_t kLiveStatusSize = 59;  // sensor mode byte and one live sample
inline constexpr std::size_t kOutputRecordSize = 53;
inline constexpr std::size_t kOutputFileNameField = 13;
inline constexpr std::size_t kOutputFileNameMax = 12;
inline constexpr std::size_t kStateRecordSize = 77;

CommandResult get_live_status(SensorLink& link, RecordBytes<kLiveStatusSize>& status);
// Payload 0x02 0xFF 0xFF.
CommandResult open_output_stream(SensorLink& link);
// Payload 0x02.
CommandResult read_output_record(SensorLink& link, RecordBytes<kOutputRecordSize>& record);
CommandResult clear_outputs(SensorLink& link);
// The name of the file being written: up to its terminator, 12 characters at most.
CommandResult get_output_file_name(SensorLink& link, std::string& name);

// The number of states loaded; the request byte is not interpreted and goes out as 0.
CommandResult get_state_machine_info(SensorLink& link, std::uint16_t& state_count);
CommandResult get_state_record(SensorLink& link, std::uint8_t index,
                               RecordBytes<kStateRecordSize>& record);
// `last` marks the last state of the program.
CommandResult set_state_record(SensorLink& link, std::uint8_t index, bool last,
                               const RecordBytes<kStateRecordSize>& record);
// Result 6: the supply voltage is too low to run the state machine.
CommandResult start_state_machine(SensorLink& link, std::uint8_t start_state);
CommandResult stop_state_machine(SensorLink& link);

CommandResult mount_as_drive(SensorLink& link);

}  // namespace kelpira::link

// The live status, output store, state machine and drive mode commands.
#include "link/operation_commands.hpp"

#include <algorithm>

#include "common/bytes.hpp"

namespace kelpira::link {

static_assert(response_length(CommandCode::GET_LIVE_STATUS) == kLiveStatusSize);
static_assert(request_length(CommandCode::OPEN_OUTPUT_STREAM) == 3);
static_assert(request_length(CommandCode::READ_OUTPUT_RECORD) == 1);
static_assert(response_length(CommandCode::READ_OUTPUT_RECORD) == kOutputRecordSize);
static_assert(response_length(CommandCode::GET_OUTPUT_FILE_NAME) == kOutputFileNameField);
static_assert(request_length(CommandCode::GET_STATE_MACHINE_INFO) == 1);
static_assert(response_length(CommandCode::GET_STATE_MACHINE_INFO) == 2);
static_assert(response_length(CommandCode::GET_STATE_RECORD) == kStateRecordSize);
static_assert(request_length(CommandCode::SET_STATE_RECORD) == kStateRecordSize + 2);
static_assert(request_length(CommandCode::START_STATE_MACHINE) == 1);

CommandResult get_live_status(SensorLink& link, RecordBytes<kLiveStatusSize>& status) {
    return exchange(link, CommandCode::GET_LIVE_STATUS, {}, status);
}

CommandResult open_output_stream(SensorLink& link) {
    const std::array<std::uint8_t, 3> request{0x02, 0xFF, 0xFF};
    return exchange(link, CommandCode::OPEN_OUTPUT_STREAM, request);
}

CommandResult read_output_record(SensorLink& link, RecordBytes<kOutputRecordSize>& record) {
    const std::array<std::uint8_t, 1> request{0x02};
    return exchange(link, CommandCode::READ_OUTPUT_RECORD, request, record);
}

CommandResult clear_outputs(SensorLink& link) {
    return exchange(link, CommandCode::CLEAR_OUTPUTS, {});
}

CommandResult get_output_file_name(SensorLink& link, std::string& name) {
    RecordBytes<kOutputFileNameField> bytes{};
    const CommandResult result = exchange(link, CommandCode::GET_OUTPUT_FILE_NAME, {}, bytes);
    if (result == kResultSuccess) {
        common::ByteReader r(bytes);
        name = r.text(kOutputFileNameMax);
    }
    return result;
}

CommandResult get_state_machine_info(SensorLink& link, std::uint16_t& state_count) {
    const std::array<std::uint8_t, 1> request{0};
    RecordBytes<2> bytes{};
    const CommandResult result =
        exchange(link, CommandCode::GET_STATE_MACHINE_INFO, request, bytes);
    if (result == kResultSuccess) {
        state_count = common::ByteReader(bytes).u16();
    }
    return result;
}

CommandResult get_state_record(SensorLink& link, std::uint8_t index,
                               RecordBytes<kStateRecordSize>& record) {
    const std::array<std::uint8_t, 1> request{index};
    return exchange(link, CommandCode::GET_STATE_RECORD, request, record);
}

CommandResult set_state_record(SensorLink& link, std::uint8_t index, bool last,
                               const RecordBytes<kStateRecordSize>& record) {
    RecordBytes<kStateRecordSize + 2> request{};
    request[0] = index;
    request[1] = last ? 1 : 0;
    std::copy(record.begin(), record.end(), request.begin() + 2);
    return exchange(link, CommandCode::SET_STATE_RECORD, request);
}

CommandResult start_state_machine(SensorLink& link, std::uint8_t start_state) {
    const std::array<std::uint8_t, 1> request{start_state};
    return exchange(link, CommandCode::START_STATE_MACHINE, request);
}

CommandResult stop_state_machine(SensorLink& link) {
    return exchange(link, CommandCode::STOP_STATE_MACHINE, {});
}

CommandResult mount_as_drive(SensorLink& link) {
    return exchange(link, CommandCode::MOUNT_AS_DRIVE, {});
}

}  // namespace kelpira::link

// The sensor's command catalogue: every command code with its name and payload lengths,
// as one constant table with a lookup by code.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kelpira::link {

// Codes are grouped by subsystem; a configuration block is read with an even code and written
// with the next odd one. 626 is the newer form of 370 (high byte 2 instead of 1).
enum class CommandCode : std::uint16_t {
    GET_LEGACY_IDENTITY = 256,
    SET_LEGACY_IDENTITY = 257,
    START_FIRMWARE = 258,
    WRITE_FIRMWARE_BLOCK = 259,
    GET_SENSOR_IDENTIFICATION = 260,
    SET_SENSOR_IDENTIFICATION = 261,
    GET_DEVICE_INFO = 262,
    GET_RTC_TIME = 290,
    SET_RTC_TIME = 291,
    GET_FRAM_SETTINGS = 292,
    SET_FRAM_SETTINGS = 293,
    GET_FIRMWARE_VERSION = 294,
    GET_POWER_STATUS = 295,
    TOGGLE_LED = 296,
    GET_RESTART_LOG_ENTRY = 298,
    SET_TASK_FLAGS = 305,
    GET_TASK_DETAILS = 306,
    READ_DIAGNOSTICS = 307,
    CLEAR_DIAGNOSTICS = 308,
    OPEN_DIAGNOSTICS = 309,
    GET_NVRAM_SETTINGS = 322,
    SET_NVRAM_SETTINGS = 323,
    GET_PUMP_VALVE_DEFAULTS = 352,
    SET_PUMP_VALVE_DEFAULTS = 353,
    START_PUMP_TEST = 354,
    STOP_PUMP_TEST = 355,
    GET_PUMP_TEST_STATUS = 356,
    START_VALVES_TEST = 357,
    STOP_VALVES_TEST = 358,
    GET_OPTICS_DEFAULTS = 368,
    SET_OPTICS_DEFAULTS = 369,
    START_OPTICS_TEST_V1 = 370,
    STOP_OPTICS_TEST = 371,
    GET_DIC_CONFIG = 372,
    SET_DIC_CONFIG = 373,
    GET_PMT_CONFIG = 374,
    SET_PMT_CONFIG = 375,
    GET_CHEMISTRY_CONFIG = 400,
    SET_CHEMISTRY_CONFIG = 401,
    GET_PROCESSING_PARAMS = 402,
    SET_PROCESSING_PARAMS = 403,
    GET_THERMISTOR_CONFIG = 404,
    SET_THERMISTOR_CONFIG = 405,
    GET_LIVE_STATUS = 418,
    OPEN_OUTPUT_STREAM = 419,
    READ_OUTPUT_RECORD = 420,
    CLEAR_OUTPUTS = 421,
    GET_OUTPUT_FILE_NAME = 422,
    GET_STATE_MACHINE_INFO = 434,
    GET_STATE_RECORD = 435,
    SET_STATE_RECORD = 436,
    START_STATE_MACHINE = 437,
    STOP_STATE_MACHINE = 438,
    GET_PLATFORM_DEFAULTS = 440,
    SET_PLATFORM_DEFAULTS = 441,
    GET_SCHEDULE = 442,
    SET_SCHEDULE = 443,
    GET_PLATFORM_STATE = 444,
    GET_NEXT_MEASUREMENT = 445,
    GET_RS232_CONFIG = 448,
    SET_RS232_CONFIG = 449,
    GET_RS485_CONFIG = 464,
    SET_RS485_CONFIG = 465,
    MOUNT_AS_DRIVE = 482,
    START_OPTICS_TEST = 626,
};

constexpr std::uint16_t code_value(CommandCode c) {
    return static_cast<std::uint16_t>(c);
}

// Payload lengths in bytes: 0 for a command without data; no value where the caller states
// the length (the processing-parameter records, whose length depends on the chemistry, and
// the pump test status, whose answer only its first three bytes are read of).
struct CommandEntry {
    CommandCode code;
    std::string_view name;
    std::optional<std::uint8_t> request_length;
    std::optional<std::uint8_t> response_length;
};

inline constexpr std::optional<std::uint8_t> kStatedByCaller = std::nullopt;

inline constexpr std::array<CommandEntry, 65> kCommandCatalogue{{
    {CommandCode::GET_LEGACY_IDENTITY, "GET_LEGACY_IDENTITY", 0, 27},
    {CommandCode::SET_LEGACY_IDENTITY, "SET_LEGACY_IDENTITY", 27, 0},
    {CommandCode::START_FIRMWARE, "START_FIRMWARE", 0, 0},
    {CommandCode::WRITE_FIRMWARE_BLOCK, "WRITE_FIRMWARE_BLOCK", 77, 0},
    {CommandCode::GET_SENSOR_IDENTIFICATION, "GET_SENSOR_IDENTIFICATION", 0, 29},
    {CommandCode::SET_SENSOR_IDENTIFICATION, "SET_SENSOR_IDENTIFICATION", 29, 0},
    {CommandCode::GET_DEVICE_INFO, "GET_DEVICE_INFO", 0, 5},
    {CommandCode::GET_RTC_TIME, "GET_RTC_TIME", 0, 8},
    {CommandCode::SET_RTC_TIME, "SET_RTC_TIME", 8, 0},
    {CommandCode::GET_FRAM_SETTINGS, "GET_FRAM_SETTINGS", 0, 9},
    {CommandCode::SET_FRAM_SETTINGS, "SET_FRAM_SETTINGS", 9, 0},
    {CommandCode::GET_FIRMWARE_VERSION, "GET_FIRMWARE_VERSION", 0, 26},
    {CommandCode::GET_POWER_STATUS, "GET_POWER_STATUS", 0, 17},
    {CommandCode::TOGGLE_LED, "TOGGLE_LED", 1, 0},
    {CommandCode::GET_RESTART_LOG_ENTRY, "GET_RESTART_LOG_ENTRY", 1, 14},
    {CommandCode::SET_TASK_FLAGS, "SET_TASK_FLAGS", 26, 0},
    {CommandCode::GET_TASK_DETAILS, "GET_TASK_DETAILS", 1, 48},
    {CommandCode::READ_DIAGNOSTICS, "READ_DIAGNOSTICS", 1, 114},
    {CommandCode::CLEAR_DIAGNOSTICS, "CLEAR_DIAGNOSTICS", 0, 0},
    {CommandCode::OPEN_DIAGNOSTICS, "OPEN_DIAGNOSTICS", 3, 0},
    {CommandCode::GET_NVRAM_SETTINGS, "GET_NVRAM_SETTINGS", 0, 5},
    {CommandCode::SET_NVRAM_SETTINGS, "SET_NVRAM_SETTINGS", 5, 0},
    {CommandCode::GET_PUMP_VALVE_DEFAULTS, "GET_PUMP_VALVE_DEFAULTS", 0, 25},
    {CommandCode::SET_PUMP_VALVE_DEFAULTS, "SET_PUMP_VALVE_DEFAULTS", 25, 0},
    {CommandCode::START_PUMP_TEST, "START_PUMP_TEST", 26, 0},
    {CommandCode::STOP_PUMP_TEST, "STOP_PUMP_TEST", 0, 0},
    {CommandCode::GET_PUMP_TEST_STATUS, "GET_PUMP_TEST_STATUS", 0, kStatedByCaller},
    {CommandCode::START_VALVES_TEST, "START_VALVES_TEST", 4, 0},
    {CommandCode::STOP_VALVES_TEST, "STOP_VALVES_TEST", 0, 0},
    {CommandCode::GET_OPTICS_DEFAULTS, "GET_OPTICS_DEFAULTS", 0, 11},
    {CommandCode::SET_OPTICS_DEFAULTS, "SET_OPTICS_DEFAULTS", 11, 0},
    {CommandCode::START_OPTICS_TEST_V1, "START_OPTICS_TEST_V1", 16, 0},
    {CommandCode::STOP_OPTICS_TEST, "STOP_OPTICS_TEST", 0, 0},
    {CommandCode::GET_DIC_CONFIG, "GET_DIC_CONFIG", 0, 9},
    {CommandCode::SET_DIC_CONFIG, "SET_DIC_CONFIG", 9, 0},
    {CommandCode::GET_PMT_CONFIG, "GET_PMT_CONFIG", 0, 20},
    {CommandCode::SET_PMT_CONFIG, "SET_PMT_CONFIG", 20, 0},
    {CommandCode::GET_CHEMISTRY_CONFIG, "GET_CHEMISTRY_CONFIG", 0, 18},
    {CommandCode::SET_CHEMISTRY_CONFIG, "SET_CHEMISTRY_CONFIG", 18, 0},
    {CommandCode::GET_PROCESSING_PARAMS, "GET_PROCESSING_PARAMS", 4, kStatedByCaller},
    {CommandCode::SET_PROCESSING_PARAMS, "SET_PROCESSING_PARAMS", kStatedByCaller, 0},
    {CommandCode::GET_THERMISTOR_CONFIG, "GET_THERMISTOR_CONFIG", 1, 18},
    {CommandCode::SET_THERMISTOR_CONFIG, "SET_THERMISTOR_CONFIG", 19, 0},
    {CommandCode::GET_LIVE_STATUS, "GET_LIVE_STATUS", 0, 59},
    {CommandCode::OPEN_OUTPUT_STREAM, "OPEN_OUTPUT_STREAM", 3, 0},
    {CommandCode::READ_OUTPUT_RECORD, "READ_OUTPUT_RECORD", 1, 53},
    {CommandCode::CLEAR_OUTPUTS, "CLEAR_OUTPUTS", 0, 0},
    {CommandCode::GET_OUTPUT_FILE_NAME, "GET_OUTPUT_FILE_NAME", 0, 13},
    {CommandCode::GET_STATE_MACHINE_INFO, "GET_STATE_MACHINE_INFO", 1, 2},
    {CommandCode::GET_STATE_RECORD, "GET_STATE_RECORD", 1, 77},
    {CommandCode::SET_STATE_RECORD, "SET_STATE_RECORD", 79, 0},
    {CommandCode::START_STATE_MACHINE, "START_STATE_MACHINE", 1, 0},
    {CommandCode::STOP_STATE_MACHINE, "STOP_STATE_MACHINE", 0, 0},
    {CommandCode::GET_PLATFORM_DEFAULTS, "GET_PLATFORM_DEFAULTS", 0, 36},
    {CommandCode::SET_PLATFORM_DEFAULTS, "SET_PLATFORM_DEFAULTS", 36, 0},
    {CommandCode::GET_SCHEDULE, "GET_SCHEDULE", 0, 13},
    {CommandCode::SET_SCHEDULE, "SET_SCHEDULE", 13, 0},
    {CommandCode::GET_PLATFORM_STATE, "GET_PLATFORM_STATE", 0, 36},
    {CommandCode::GET_NEXT_MEASUREMENT, "GET_NEXT_MEASUREMENT", 0, 9},
    {CommandCode::GET_RS232_CONFIG, "GET_RS232_CONFIG", 0, 13},
    {CommandCode::SET_RS232_CONFIG, "SET_RS232_CONFIG", 13, 0},
    {CommandCode::GET_RS485_CONFIG, "GET_RS485_CONFIG", 0, 17},
    {CommandCode::SET_RS485_CONFIG, "SET_RS485_CONFIG", 17, 0},
    {CommandCode::MOUNT_AS_DRIVE, "MOUNT_AS_DRIVE", 0, 0},
    {CommandCode::START_OPTICS_TEST, "START_OPTICS_TEST", 36, 0},
}};

// The catalogue entry of a code, or nullptr for a code the catalogue does not hold.
constexpr const CommandEntry* find_command(std::uint16_t code) {
    for (const auto& entry : kCommandCatalogue) {
        if (code_value(entry.code) == code) {
            return &entry;
        }
    }
    return nullptr;
}

constexpr const CommandEntry& command_entry(CommandCode code) {
    return *find_command(code_value(code));
}

// Fixed lengths of a catalogued command, for records and wrappers checked at compile time.
constexpr std::uint8_t request_length(CommandCode code) {
    return command_entry(code).request_length.value();
}
constexpr std::uint8_t response_length(CommandCode code) {
    return command_entry(code).response_length.value();
}

}  // namespace kelpira::link

// The command catalogue and the plain command wrappers: exact request bytes, result folding,
// and which response bytes land in the caller's record.
#include <gtest/gtest.h>

#include <optional>
#include <string_view>
#include <vector>

#include "link/actuator_commands.hpp"
#include "link/board_commands.hpp"
#include "link/command_catalogue.hpp"
#include "link/identity_commands.hpp"
#include "link/operation_commands.hpp"
#include "link/platform_commands.hpp"
#include "records/chemistry_transfer.hpp"
#include "scripted_sensor.hpp"

using namespace kelpira::link;
using namespace kelpira::link::testing;
using kelpira::records::ChemistryConfig;
using kelpira::records::ChemistryType;
using kelpira::records::ThermistorConfig;

namespace {

std::optional<Answer> ok(const SensorCommand&) {
    return Answer{0, counting_payload()};
}

}  // namespace

// The catalogue as the sensor's command set documents it: code, name, request and response
// payload lengths (0 for none; kAny where the caller states the length).
TEST(CommandCatalogue, HoldsExactlyTheDocumentedCommands) {
    struct Row {
        std::uint16_t code;
        std::string_view name;
        std::optional<std::uint8_t> request;
        std::optional<std::uint8_t> response;
    };
    constexpr std::optional<std::uint8_t> kAny;
    const std::vector<Row> documented{
        {256, "GET_LEGACY_IDENTITY", 0, 27},
        {257, "SET_LEGACY_IDENTITY", 27, 0},
        {258, "START_FIRMWARE", 0, 0},
        {259, "WRITE_FIRMWARE_BLOCK", 77, 0},
        {260, "GET_SENSOR_IDENTIFICATION", 0, 29},
        {261, "SET_SENSOR_IDENTIFICATION", 29, 0},
        {262, "GET_DEVICE_INFO", 0, 5},
        {290, "GET_RTC_TIME", 0, 8},
        {291, "SET_RTC_TIME", 8, 0},
        {292, "GET_FRAM_SETTINGS", 0, 9},
        {293, "SET_FRAM_SETTINGS", 9, 0},
        {294, "GET_FIRMWARE_VERSION", 0, 26},
        {295, "GET_POWER_STATUS", 0, 17},
        {296, "TOGGLE_LED", 1, 0},
        {298, "GET_RESTART_LOG_ENTRY", 1, 14},
        {305, "SET_TASK_FLAGS", 26, 0},
        {306, "GET_TASK_DETAILS", 1, 48},
        {307, "READ_DIAGNOSTICS", 1, 114},
        {308, "CLEAR_DIAGNOSTICS", 0, 0},
        {309, "OPEN_DIAGNOSTICS", 3, 0},
        {322, "GET_NVRAM_SETTINGS", 0, 5},
        {323, "SET_NVRAM_SETTINGS", 5, 0},
        {352, "GET_PUMP_VALVE_DEFAULTS", 0, 25},
        {353, "SET_PUMP_VALVE_DEFAULTS", 25, 0},
        {354, "START_PUMP_TEST", 26, 0},
        {355, "STOP_PUMP_TEST", 0, 0},
        {356, "GET_PUMP_TEST_STATUS", 0, kAny},
        {357, "START_VALVES_TEST", 4, 0},
        {358, "STOP_VALVES_TEST", 0, 0},
        {368, "GET_OPTICS_DEFAULTS", 0, 11},
        {369, "SET_OPTICS_DEFAULTS", 11, 0},
        {370, "START_OPTICS_TEST_V1", 16, 0},
        {371, "STOP_OPTICS_TEST", 0, 0},
        {372, "GET_DIC_CONFIG", 0, 9},
        {373, "SET_DIC_CONFIG", 9, 0},
        {374, "GET_PMT_CONFIG", 0, 20},
        {375, "SET_PMT_CONFIG", 20, 0},
        {400, "GET_CHEMISTRY_CONFIG", 0, 18},
        {401, "SET_CHEMISTRY_CONFIG", 18, 0},
        {402, "GET_PROCESSING_PARAMS", 4, kAny},
        {403, "SET_PROCESSING_PARAMS", kAny, 0},
        {404, "GET_THERMISTOR_CONFIG", 1, 18},
        {405, "SET_THERMISTOR_CONFIG", 19, 0},
        {418, "GET_LIVE_STATUS", 0, 59},
        {419, "OPEN_OUTPUT_STREAM", 3, 0},
        {420, "READ_OUTPUT_RECORD", 1, 53},
        {421, "CLEAR_OUTPUTS", 0, 0},
        {422, "GET_OUTPUT_FILE_NAME", 0, 13},
        {434, "GET_STATE_MACHINE_INFO", 1, 2},
        {435, "GET_STATE_RECORD", 1, 77},
        {436, "SET_STATE_RECORD", 79, 0},
        {437, "START_STATE_MACHINE", 1, 0},
        {438, "STOP_STATE_MACHINE", 0, 0},
        {440, "GET_PLATFORM_DEFAULTS", 0, 36},
        {441, "SET_PLATFORM_DEFAULTS", 36, 0},
        {442, "GET_SCHEDULE", 0, 13},
        {443, "SET_SCHEDULE", 13, 0},
        {444, "GET_PLATFORM_STATE", 0, 36},
        {445, "GET_NEXT_MEASUREMENT", 0, 9},
        {448, "GET_RS232_CONFIG", 0, 13},
        {449, "SET_RS232_CONFIG", 13, 0},
        {464, "GET_RS485_CONFIG", 0, 17},
        {465, "SET_RS485_CONFIG", 17, 0},
        {482, "MOUNT_AS_DRIVE", 0, 0},
        {626, "START_OPTICS_TEST", 36, 0},
    };
    ASSERT_EQ(kCommandCatalogue.size(), documented.size());
    for (const auto& row : documented) {
        const auto* entry = find_command(row.code);
        ASSERT_NE(entry, nullptr) << row.code;
        EXPECT_EQ(entry->name, row.name) << row.code;
        EXPECT_EQ(entry->request_length, row.request) << row.name;
        EXPECT_EQ(entry->response_length, row.response) << row.name;
    }
    EXPECT_EQ(find_command(297), nullptr);
    EXPECT_EQ(find_command(0), nullptr);
}

TEST_F(SensorFixture, GetChemistryConfigSendsTheExactReport) {
    open(ok);
    ChemistryConfig record;
    ASSERT_EQ(get_chemistry_config(link, record), 0);
    Report expected{};
    expected[1] = 0x90;  // 400 = 0x0190, low byte first
    expected[2] = 0x01;
    expected[3] = 2;  // the first sequence number after Open
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0], expected);
    EXPECT_EQ(record.reserved0, 1);
    EXPECT_EQ(kelpira::records::code_of(record.chemistry), 2);
    EXPECT_EQ(record.sample_interval_ms, 0x06050403u);
    EXPECT_EQ(record.reserved16, 0x1211);
}

TEST_F(SensorFixture, RequestsCarryTheirPayloadAndNothingBeyondIt) {
    open(ok);
    ThermistorConfig t;
    t.input_channel = 5;
    t.a0 = 1.0f;
    ASSERT_EQ(set_thermistor_config(link, 2, t), 0);
    ASSERT_EQ(start_valves_test(link, 0x1234, 500), 0);
    RecordBytes<kStateRecordSize> state{};
    state.fill(0xAB);
    ASSERT_EQ(set_state_record(link, 7, true, state), 0);
    ASSERT_EQ(open_output_stream(link), 0);

    const auto reports = sent();
    ASSERT_EQ(reports.size(), 4u);
    // SET_THERMISTOR_CONFIG 405: index, then the 18-byte record.
    Report thermistor{};
    thermistor[1] = 0x95;
    thermistor[2] = 0x01;
    thermistor[3] = 2;
    thermistor[5] = 19;
    thermistor[6] = 2;
    thermistor[7] = 0;
    thermistor[8] = 5;
    thermistor[21] = 0x00;  // a0 = 1.0f = 0x3F800000 at record offset 14
    thermistor[22] = 0x00;
    thermistor[23] = 0x80;
    thermistor[24] = 0x3F;
    EXPECT_EQ(reports[0], thermistor);
    // START_VALVES_TEST 357: u16 mask, u16 spike time.
    Report valves{};
    valves[1] = 0x65;
    valves[2] = 0x01;
    valves[3] = 3;
    valves[5] = 4;
    valves[6] = 0x34;
    valves[7] = 0x12;
    valves[8] = 0xF4;
    valves[9] = 0x01;
    EXPECT_EQ(reports[1], valves);
    // SET_STATE_RECORD 436: index, last flag, the 77-byte record.
    EXPECT_EQ(reports[2][5], 79);
    EXPECT_EQ(reports[2][6], 7);
    EXPECT_EQ(reports[2][7], 1);
    EXPECT_EQ(reports[2][8], 0xAB);
    EXPECT_EQ(reports[2][6 + 78], 0xAB);
    EXPECT_EQ(reports[2][6 + 79], 0);
    // OPEN_OUTPUT_STREAM 419: 0x02 0xFF 0xFF.
    EXPECT_EQ(reports[3][5], 3);
    EXPECT_EQ(reports[3][6], 0x02);
    EXPECT_EQ(reports[3][7], 0xFF);
    EXPECT_EQ(reports[3][8], 0xFF);
    EXPECT_EQ(reports[3][9], 0);
}

// A record goes out under its table's command: the DIC record after its u32 length, a
// thermistor's after its index.
TEST_F(SensorFixture, RecordsTravelUnderTheirTablesCommands) {
    open(ok);
    kelpira::records::DicParams dic;
    dic.reserved2 = {0xAA, 0xBB};
    dic.inlet[1] = {2, 3, 4, 2000.0f};
    ASSERT_EQ(kelpira::records::set_record(link, dic), 0);
    ThermistorConfig t;
    const std::array<std::uint8_t, 1> index{1};
    ASSERT_EQ(kelpira::records::get_record(link, t, index), 0);

    const auto reports = sent();
    ASSERT_EQ(reports.size(), 2u);
    Report set{};
    set[1] = 0x93;  // 403
    set[2] = 0x01;
    set[3] = 2;
    set[5] = 29;  // the length, then 25 record bytes
    set[6] = 25;
    set[12] = 0xAA;
    set[13] = 0xBB;
    set[21] = 2;  // inlet 2 at record offset 11: CRM, states 3 and 4, 2000.0f = 0x44FA0000
    set[22] = 3;
    set[23] = 4;
    set[26] = 0xFA;
    set[27] = 0x44;
    EXPECT_EQ(reports[0], set);
    Report get{};
    get[1] = 0x94;  // 404
    get[2] = 0x01;
    get[3] = 3;
    get[5] = 1;
    get[6] = 1;
    EXPECT_EQ(reports[1], get);
    EXPECT_EQ(t.input_channel, 2);  // the answer's bytes 01 02 ...
}

TEST_F(SensorFixture, ReportIdOneGoesIntoByteZero) {
    backend.add(kPath, "VID_04D8&PID_EABC", scripted(ok), true);
    ASSERT_EQ(link.Open(kPath, kTimeout), 0);
    ASSERT_EQ(clear_outputs(link), 0);
    EXPECT_EQ(sent().at(0)[0], 1);
    EXPECT_EQ(code_sent(0), 421);
}

// Every wrapper sends its own code with the catalogue's request length.
TEST_F(SensorFixture, EveryWrapperSendsItsCatalogueCodeAndLength) {
    open(ok);
    struct Case {
        CommandCode code;
        std::function<CommandResult(SensorLink&)> call;
    };
    LegacyIdentity legacy;
    SensorIdentification ident;
    DeviceInfo info;
    FirmwareVersion version;
    ChemistryConfig chem;
    ThermistorConfig therm;
    RecordBytes<kFirmwareBlockSize> block{};
    RecordBytes<8> b8{};
    RecordBytes<9> b9{};
    RecordBytes<17> b17{};
    RecordBytes<14> b14{};
    RecordBytes<26> b26{};
    RecordBytes<48> b48{};
    RecordBytes<114> b114{};
    RecordBytes<5> b5{};
    RecordBytes<25> b25{};
    RecordBytes<3> b3{};
    RecordBytes<11> b11{};
    RecordBytes<16> b16{};
    RecordBytes<36> b36{};
    RecordBytes<20> b20{};
    RecordBytes<59> b59{};
    RecordBytes<53> b53{};
    RecordBytes<77> b77{};
    RecordBytes<13> b13{};
    std::string text;
    std::uint16_t count = 0;
    std::uint32_t t1 = 0;
    std::uint32_t t2 = 0;
    std::uint8_t flag = 0;
    kelpira::records::PhParams ph;
    const std::vector<Case> cases{
        {CommandCode::GET_LEGACY_IDENTITY, [&](auto& l) { return get_legacy_identity(l, legacy); }},
        {CommandCode::SET_LEGACY_IDENTITY, [&](auto& l) { return set_legacy_identity(l, legacy); }},
        {CommandCode::START_FIRMWARE, [&](auto& l) { return start_firmware(l); }},
        {CommandCode::WRITE_FIRMWARE_BLOCK,
         [&](auto& l) { return write_firmware_block(l, block); }},
        {CommandCode::GET_SENSOR_IDENTIFICATION,
         [&](auto& l) { return get_sensor_identification(l, ident); }},
        {CommandCode::SET_SENSOR_IDENTIFICATION,
         [&](auto& l) { return set_sensor_identification(l, ident); }},
        {CommandCode::GET_DEVICE_INFO, [&](auto& l) { return get_device_info(l, info); }},
        {CommandCode::GET_RTC_TIME, [&](auto& l) { return get_rtc_time(l, b8); }},
        {CommandCode::SET_RTC_TIME, [&](auto& l) { return set_rtc_time(l, b8); }},
        {CommandCode::GET_FRAM_SETTINGS, [&](auto& l) { return get_fram_settings(l, b9); }},
        {CommandCode::SET_FRAM_SETTINGS, [&](auto& l) { return set_fram_settings(l, b9); }},
        {CommandCode::GET_FIRMWARE_VERSION,
         [&](auto& l) { return get_firmware_version(l, version); }},
        {CommandCode::GET_POWER_STATUS, [&](auto& l) { return get_power_status(l, b17); }},
        {CommandCode::TOGGLE_LED, [&](auto& l) { return toggle_led(l); }},
        {CommandCode::GET_RESTART_LOG_ENTRY,
         [&](auto& l) { return get_restart_log_entry(l, true, b14); }},
        {CommandCode::SET_TASK_FLAGS, [&](auto& l) { return set_task_flags(l, b26); }},
        {CommandCode::GET_TASK_DETAILS, [&](auto& l) { return get_task_details(l, 16, b48); }},
        {CommandCode::READ_DIAGNOSTICS, [&](auto& l) { return read_diagnostics(l, b114); }},
        {CommandCode::CLEAR_DIAGNOSTICS, [&](auto& l) { return clear_diagnostics(l); }},
        {CommandCode::OPEN_DIAGNOSTICS, [&](auto& l) { return open_diagnostics(l); }},
        {CommandCode::GET_NVRAM_SETTINGS, [&](auto& l) { return get_nvram_settings(l, b5); }},
        {CommandCode::SET_NVRAM_SETTINGS, [&](auto& l) { return set_nvram_settings(l, b5); }},
        {CommandCode::GET_PUMP_VALVE_DEFAULTS,
         [&](auto& l) { return get_pump_valve_defaults(l, b25); }},
        {CommandCode::SET_PUMP_VALVE_DEFAULTS,
         [&](auto& l) { return set_pump_valve_defaults(l, b25); }},
        {CommandCode::START_PUMP_TEST, [&](auto& l) { return start_pump_test(l, b25, 1); }},
        {CommandCode::STOP_PUMP_TEST, [&](auto& l) { return stop_pump_test(l); }},
        {CommandCode::GET_PUMP_TEST_STATUS, [&](auto& l) { return get_pump_test_status(l, b3); }},
        {CommandCode::START_VALVES_TEST, [&](auto& l) { return start_valves_test(l, 1, 2); }},
        {CommandCode::STOP_VALVES_TEST, [&](auto& l) { return stop_valves_test(l); }},
        {CommandCode::GET_OPTICS_DEFAULTS, [&](auto& l) { return get_optics_defaults(l, b11); }},
        {CommandCode::SET_OPTICS_DEFAULTS, [&](auto& l) { return set_optics_defaults(l, b11); }},
        {CommandCode::START_OPTICS_TEST_V1, [&](auto& l) { return start_optics_test_v1(l, b16); }},
        {CommandCode::STOP_OPTICS_TEST, [&](auto& l) { return stop_optics_test(l); }},
        {CommandCode::GET_DIC_CONFIG, [&](auto& l) { return get_dic_config(l, b9); }},
        {CommandCode::SET_DIC_CONFIG, [&](auto& l) { return set_dic_config(l, b9); }},
        {CommandCode::GET_PMT_CONFIG, [&](auto& l) { return get_pmt_config(l, b20); }},
        {CommandCode::SET_PMT_CONFIG, [&](auto& l) { return set_pmt_config(l, b20); }},
        {CommandCode::GET_CHEMISTRY_CONFIG, [&](auto& l) { return get_chemistry_config(l, chem); }},
        {CommandCode::SET_CHEMISTRY_CONFIG, [&](auto& l) { return set_chemistry_config(l, chem); }},
        {CommandCode::GET_PROCESSING_PARAMS, [&](auto& l) { return get_processing_params(l, ph); }},
        {CommandCode::SET_PROCESSING_PARAMS, [&](auto& l) { return set_processing_params(l, ph); }},
        {CommandCode::GET_THERMISTOR_CONFIG,
         [&](auto& l) { return get_thermistor_config(l, 1, therm); }},
        {CommandCode::SET_THERMISTOR_CONFIG,
         [&](auto& l) { return set_thermistor_config(l, 1, therm); }},
        {CommandCode::GET_LIVE_STATUS, [&](auto& l) { return get_live_status(l, b59); }},
        {CommandCode::OPEN_OUTPUT_STREAM, [&](auto& l) { return open_output_stream(l); }},
        {CommandCode::READ_OUTPUT_RECORD, [&](auto& l) { return read_output_record(l, b53); }},
        {CommandCode::CLEAR_OUTPUTS, [&](auto& l) { return clear_outputs(l); }},
        {CommandCode::GET_OUTPUT_FILE_NAME, [&](auto& l) { return get_output_file_name(l, text); }},
        {CommandCode::GET_STATE_MACHINE_INFO,
         [&](auto& l) { return get_state_machine_info(l, count); }},
        {CommandCode::GET_STATE_RECORD, [&](auto& l) { return get_state_record(l, 3, b77); }},
        {CommandCode::SET_STATE_RECORD,
         [&](auto& l) { return set_state_record(l, 3, false, b77); }},
        {CommandCode::START_STATE_MACHINE, [&](auto& l) { return start_state_machine(l, 4); }},
        {CommandCode::STOP_STATE_MACHINE, [&](auto& l) { return stop_state_machine(l); }},
        {CommandCode::GET_PLATFORM_DEFAULTS,
         [&](auto& l) { return get_platform_defaults(l, b36); }},
        {CommandCode::SET_PLATFORM_DEFAULTS,
         [&](auto& l) { return set_platform_defaults(l, b36); }},
        {CommandCode::GET_SCHEDULE, [&](auto& l) { return get_schedule(l, b13); }},
        {CommandCode::SET_SCHEDULE, [&](auto& l) { return set_schedule(l, b13); }},
        {CommandCode::GET_PLATFORM_STATE, [&](auto& l) { return get_platform_state(l, b36); }},
        {CommandCode::GET_NEXT_MEASUREMENT,
         [&](auto& l) { return get_next_measurement(l, t1, t2, flag); }},
        {CommandCode::GET_RS232_CONFIG, [&](auto& l) { return get_rs232_config(l, b13); }},
        {CommandCode::SET_RS232_CONFIG, [&](auto& l) { return set_rs232_config(l, b13); }},
        {CommandCode::GET_RS485_CONFIG, [&](auto& l) { return get_rs485_config(l, b17); }},
        {CommandCode::SET_RS485_CONFIG, [&](auto& l) { return set_rs485_config(l, b17); }},
        {CommandCode::MOUNT_AS_DRIVE, [&](auto& l) { return mount_as_drive(l); }},
        {CommandCode::START_OPTICS_TEST, [&](auto& l) { return start_optics_test(l, b36); }},
    };
    ASSERT_EQ(cases.size(), kCommandCatalogue.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& entry = command_entry(cases[i].code);
        SCOPED_TRACE(entry.name);
        ASSERT_EQ(cases[i].call(link), 0);
        const auto report = sent().at(i);
        EXPECT_EQ(report[1] | (report[2] << 8), code_value(entry.code));
        EXPECT_EQ(report[3], static_cast<std::uint8_t>(i + 2));
        EXPECT_EQ(report[4], 0);
        // The processing records state their length: 4 for the request's u32, 4 + 38 with pH.
        const std::uint8_t length = entry.request_length.value_or(4 + 38);
        EXPECT_EQ(report[5], length);
        for (std::size_t b = kPayloadOffset + length; b < kReportSize; ++b) {
            ASSERT_EQ(report[b], 0) << "byte " << b;
        }
    }
}

TEST_F(SensorFixture, RecordTakesOnlyItsLengthAndOnlyOnSuccess) {
    std::uint8_t result = 0;
    open([&](const SensorCommand&) { return Answer{result, counting_payload()}; });

    RecordBytes<kOpticsDefaultsSize> optics{};
    ASSERT_EQ(get_optics_defaults(link, optics), 0);
    for (std::size_t i = 0; i < optics.size(); ++i) {
        EXPECT_EQ(optics[i], i + 1);
    }

    std::uint32_t now = 0;
    std::uint32_t next = 0;
    std::uint8_t stop = 0;
    ASSERT_EQ(get_next_measurement(link, now, next, stop), 0);
    EXPECT_EQ(now, 0x04030201u);
    EXPECT_EQ(next, 0x08070605u);
    EXPECT_EQ(stop, 9);

    result = 6;
    RecordBytes<kLiveStatusSize> live{};
    live.fill(0xEE);
    EXPECT_EQ(get_live_status(link, live), 6);
    EXPECT_EQ(live[0], 0xEE) << "a failed command leaves the record alone";
    ChemistryConfig chem;
    chem.sample_interval_ms = 777;
    EXPECT_EQ(get_chemistry_config(link, chem), 6);
    EXPECT_EQ(chem.sample_interval_ms, 777u);
}

TEST_F(SensorFixture, TransportFailuresFoldInto14) {
    ChemistryConfig chem;
    chem.sample_interval_ms = 123;
    EXPECT_EQ(get_chemistry_config(link, chem), kResultNoExchange) << "link not open (15)";
    EXPECT_EQ(chem.sample_interval_ms, 123u);

    open([](const SensorCommand&) -> std::optional<Answer> { return std::nullopt; });
    EXPECT_EQ(get_chemistry_config(link, chem), kResultNoExchange) << "no answer (5)";
    EXPECT_EQ(chem.sample_interval_ms, 123u);
    SensorIdentification ident;
    ident.name = "kept";
    EXPECT_EQ(get_sensor_identification(link, ident), kResultNoExchange);
    EXPECT_EQ(ident.name, "kept");
    EXPECT_EQ(sent().size(), 2u) << "no fallback after a transport failure";
}

TEST_F(SensorFixture, SensorResultsPassUnchanged) {
    open([](const SensorCommand& r) {
        return Answer{static_cast<std::uint8_t>(r.code() == 437 ? 6 : 14), {}};
    });
    EXPECT_EQ(start_state_machine(link, 3), 6);
    EXPECT_EQ(sent().at(0)[6], 3);
    EXPECT_EQ(stop_state_machine(link), 14) << "a sensor's own 14 is passed up as it is";
}

// The items about the sensor itself, its interfaces and the whole check of a default sensor.
#include "deployment_check/check_fixture.hpp"
#include "link/command_catalogue.hpp"
#include "link/operation_commands.hpp"

namespace kelpira::deployment_check::testing {
namespace {

using V = Verdict;

class DeviceItems : public CheckFixture {};

TEST_F(DeviceItems, DefaultSensorIsCleanButItsProgramStopsAfter24Cycles) {
    start();
    std::vector<V> verdicts;
    for (const auto& i : check()) {
        verdicts.push_back(i.verdict);
    }
    // The prime state (7) has no start state; every pump time-out hibernates.
    EXPECT_EQ(verdicts, (std::vector<V>{V::pass, V::pass, V::pass, V::pass, V::pass, V::warn,
                                        V::warn, V::warn, V::pass, V::warn, V::pass, V::pass,
                                        V::skip, V::skip, V::skip, V::pass}));
    EXPECT_EQ(item("faults").text,
              "After a pump time-out in state 0, 2, 4, 9 or 11 the program stops at HIBERNATING "
              "(state 8) and measures no more (of 5 pump time-outs and 0 depth triggers).");
    EXPECT_EQ(item("program").text,
              "The Deploy dry run from state 0 ends at IDLE (state 6) after 24 measurement "
              "cycles, 4 h 44 min after it starts, and then measures no more.");
    // Read commands only: nothing on the sensor changes.
    for (const auto code : sensor->logged_codes()) {
        const std::string_view name = link::find_command(code)->name;
        EXPECT_TRUE(name.starts_with("GET_")) << name;
    }
}

TEST_F(DeviceItems, SilentSensorFailsLinkAndSkipsTheRest) {
    start({}, std::chrono::milliseconds(100));
    sensor->inject(link::code_value(link::CommandCode::GET_SENSOR_IDENTIFICATION),
                   {virtual_sensor::FaultKind::no_answer});
    const auto out = outcome();
    EXPECT_EQ(out.readiness, Readiness::not_checked);
    EXPECT_EQ(out.reason, "The sensor did not answer its identity reads.");
    EXPECT_EQ(exit_status(out), 3);
    const auto& items = out.items;
    ASSERT_EQ(items.size(), kItemIds.size());
    EXPECT_EQ(items[0].verdict, V::fail);
    for (std::size_t i = 1; i < items.size(); ++i) {
        EXPECT_EQ(items[i].id, kItemIds[i]);
        EXPECT_EQ(items[i].verdict, V::skip);
    }
}

// A read left unanswered leaves its item undecided: the check as a whole is not a verdict.
TEST_F(DeviceItems, UnansweredReadIsNotChecked) {
    start({}, std::chrono::milliseconds(100));
    sensor->inject(link::code_value(link::CommandCode::GET_STATE_RECORD),
                   {virtual_sensor::FaultKind::no_answer});
    sensor->inject(link::code_value(link::CommandCode::GET_RS232_CONFIG),
                   {virtual_sensor::FaultKind::no_answer});
    const auto out = outcome();
    EXPECT_EQ(out.readiness, Readiness::not_checked);
    EXPECT_EQ(out.reason, "The sensor stopped answering: 2 of its reads got no answer.");
    EXPECT_EQ(exit_status(out), 3);
}

TEST_F(DeviceItems, FirmwareVerdicts) {
    const std::pair<const char*, V> cases[] = {
        {"KELPIRA_2_8_3", V::pass}, {"KELPIRA_2_8_1", V::pass}, {"KELPIRA_2_8_2_T4", V::fail},
        {"KELPIRA_3_0_0", V::fail}, {"KELPIRA_2_8", V::fail},   {"KELPIRA_2_2_T4", V::fail},
    };
    start();
    for (const auto& [version, verdict] : cases) {
        sensor->edit_state([v = version](auto& s) { s.options.firmware_version = v; });
        EXPECT_EQ(item("firmware").verdict, verdict) << version;
    }
    // A nitrate sensor: the Ammonia warning does not concern it.
    sensor->edit_state([](auto& s) { s.options.firmware_version = "KELPIRA_2_8_1"; });
    EXPECT_EQ(item("firmware").text,
              "Firmware KELPIRA_2_8_1 is older than the latest supported (KELPIRA_2_8_3); its "
              "one compatibility warning does not concern this deployment.");
}

// Of sixteen warnings the one about the schedule the program waits for is named, not the
// newest.
TEST_F(DeviceItems, FirmwareWarningThatAppliesIsNamed) {
    start_generic();
    put_program(generic_loop(30, 60));
    sensor->edit_state([](auto& s) { s.options.firmware_version = "KELPIRA_2_7_2"; });
    const CheckItem firmware = item("firmware");
    EXPECT_EQ(firmware.verdict, V::fail);
    EXPECT_NE(firmware.text.find("FAIL \"Do not set a measurement schedule\" (the program waits "
                                 "for the schedule)"),
              std::string::npos)
        << firmware.text;
    EXPECT_EQ(firmware.text.find("Ammonia"), std::string::npos) << firmware.text;
}

TEST_F(DeviceItems, SupplyBoundaries) {
    start();
    const std::pair<std::int32_t, V> cases[] = {
        {8999, V::fail}, {9000, V::warn}, {9999, V::warn}, {10000, V::pass}};
    for (const auto& [mv, verdict] : cases) {
        sensor->edit_state([mv](virtual_sensor::SensorState& s) { s.options.supply_mv = mv; });
        EXPECT_EQ(item("supply").verdict, verdict) << mv;
    }
    EXPECT_EQ(item("supply").text, "Supply 10.000 V is at least 10.0 V.");
    // Below 9 V the sensor answers the live status with 6, and still with its mode.
    sensor->edit_state([](auto& s) { s.options.supply_mv = 8500; });
    EXPECT_EQ(item("running").text, "The sensor is idle: no program is running.");
}

TEST_F(DeviceItems, ClockAgainstTheNearerOfUtcAndLocalTime) {
    start();
    const std::pair<int, V> cases[] = {{10, V::pass},   {-10, V::pass},  {11, V::warn},
                                       {120, V::warn},  {-121, V::fail}, {121, V::fail},
                                       {3590, V::warn}, {3600, V::warn}, {1800, V::fail}};
    for (const auto& [offset, verdict] : cases) {
        sensor->edit_state([offset](virtual_sensor::SensorState& s) {
            s.rtc_offset = std::chrono::seconds(offset);
        });
        EXPECT_EQ(item("clock").verdict, verdict) << offset;
    }
    sensor->edit_state([](auto& s) { s.rtc_offset = std::chrono::seconds(3605); });
    EXPECT_EQ(item("clock").text,
              "Sensor clock 08/12/2026 11:00:05 is 5 s ahead of the PC's local time (UTC is 1 h "
              "5 s away); the sensor keeps local time (UTC+1): its results will be an hour off "
              "wherever they are read as UTC; set it to UTC in Configure > Real Time Clock.");
}

TEST_F(DeviceItems, RunningSensorWarns) {
    start();
    ASSERT_EQ(link::start_state_machine(link, 0), link::kResultSuccess);
    EXPECT_EQ(item("running").verdict, V::warn);
}

TEST_F(DeviceItems, SerialAgainstThePlatformPreset) {
    start();
    EXPECT_EQ(item("serial").verdict, V::skip);
    inputs.platform = HostPlatform::eti;  // the sensor's generic polled line at 9600 8N1
    EXPECT_EQ(item("serial").verdict, V::pass);
    inputs.platform = HostPlatform::seaglider;
    EXPECT_EQ(item("serial").text,
              "RS232 Generic Polled, 9600 baud 8N1 differs from the seaglider platform's "
              "Seaglider, 9600 baud 8N1 in protocol.");
    EXPECT_EQ(item("serial").verdict, V::warn);
}

TEST_F(DeviceItems, ThermistorOutsideTheAnalogueChannelsWarns) {
    start();
    sensor->edit_state([](virtual_sensor::SensorState& s) { s.thermistors[1][1] = 8; });
    const auto t = item("thermistors");
    EXPECT_EQ(t.verdict, V::warn);
    EXPECT_EQ(t.text,
              "Thermistor 2 reads input channel 8, not one of the analogue channels 0 to 7.");
}

}  // namespace
}  // namespace kelpira::deployment_check::testing

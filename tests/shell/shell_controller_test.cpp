// The main window's behaviour against an emulated sensor: title and status texts, link flags,
// view changes, unplugging, poll reports, and the menu commands without dialogs.
#include "shell/main_window_controller.hpp"

#include <gtest/gtest.h>

#include "link/handler_hid.hpp"
#include "link/operation_commands.hpp"
#include "support/recording_prompter.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::shell {
namespace {

using virtual_sensor::VirtualSensor;
using virtual_sensor::VirtualSensorOptions;

constexpr const char* kPath = "/virtual/Demo.VID_04D8&PID_EABC";

records::PowerStatus power(std::int32_t supply_mv, std::int32_t temperature_mc) {
    records::PowerStatus p;
    p.supply_mv = supply_mv;
    p.temperature_mc = temperature_mc;
    return p;
}

class ShellControllerTest : public ::testing::Test {
  protected:
    ShellControllerTest() {
        VirtualSensorOptions options;
        options.name = "Demo Sensor";
        options.firmware_version = "KELPIRA_2_8_1";
        sensor = std::make_unique<VirtualSensor>(options);
        virtual_sensor::attach_in_process(backend, kPath, *sensor);
        shell.start();
    }
    ~ShellControllerTest() override { link.Close(); }

    // What the Connect view does before it hands the link over.
    void connect(std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
        ASSERT_EQ(link.Open(kPath, timeout), 0);
        shell.connected({kPath, 2});
    }

    std::string part(std::size_t p) const { return shell.status()[p]; }

    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    testing::RecordingPrompter prompter;
    std::unique_ptr<VirtualSensor> sensor;
    std::vector<std::string> events;
    MainWindowController shell{link, prompter,
                               ShellHooks{
                                   .show_view =
                                       [this](ShellView v) {
                                           events.push_back(v == ShellView::Connect ? "view connect"
                                                            : v == ShellView::RawOutputGraph
                                                                ? "view raw graph"
                                                                : "view other");
                                       },
                                   .start_poll = [this] { events.push_back("poll start"); },
                                   .stop_poll = [this] { events.push_back("poll stop"); },
                                   .state_changed = {},
                                   .clear_history = [this] { events.push_back("history cleared"); },
                               }};
};

TEST_F(ShellControllerTest, StartsNotConnectedOnTheConnectView) {
    EXPECT_EQ(shell.flags(), 0U);
    EXPECT_EQ(shell.title(), "not connected");
    EXPECT_EQ(part(0), "\tnot connected");
    for (std::size_t p = 1; p < views::kStatusParts; ++p) {
        EXPECT_EQ(part(p), "");
    }
    EXPECT_EQ(events, (std::vector<std::string>{"view connect"}));
    EXPECT_FALSE(shell.enabled(Command::Disconnect));
    EXPECT_TRUE(shell.enabled(Command::About));
}

TEST_F(ShellControllerTest, ConnectingShowsTheSensorAndStartsThePoll) {
    connect();
    EXPECT_EQ(shell.flags(), views::kLinkConnected);
    EXPECT_EQ(shell.title(), "Demo Sensor (Marivane KELPIRA Lab-on-Chip Sensor)");
    EXPECT_EQ(part(0), "\tDemo Sensor connected");
    EXPECT_EQ(events, (std::vector<std::string>{"view connect", "poll start", "view raw graph"}));
    EXPECT_TRUE(shell.enabled(Command::Disconnect));
    EXPECT_TRUE(shell.enabled(Command::MountAsDrive));
}

TEST_F(ShellControllerTest, StartAndStopFromAViewSetTheRunningFlag) {
    connect(std::chrono::milliseconds(200));
    events.clear();
    shell.start_sensor(2);
    EXPECT_EQ(shell.flags(), views::kLinkConnected | views::kLinkRunning);
    EXPECT_EQ(events, (std::vector<std::string>{"history cleared"}));
    sensor->inject(438, {virtual_sensor::FaultKind::no_answer}, 1);
    shell.stop_sensor();
    EXPECT_EQ(shell.flags(), views::kLinkConnected | views::kLinkRunning);
    shell.stop_sensor();
    EXPECT_EQ(shell.flags(), views::kLinkConnected);
    sensor->inject(437, {virtual_sensor::FaultKind::no_answer}, 1);
    shell.start_sensor(2);
    EXPECT_EQ(shell.flags(), views::kLinkConnected);
    EXPECT_EQ(events, (std::vector<std::string>{"history cleared"}));
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Failed to stop state machine",
                                                          "Failed to start state machine"}));
}

TEST_F(ShellControllerTest, IdentityThatCannotBeReadLeavesTitleAndStatus) {
    sensor->inject(260, {virtual_sensor::FaultKind::no_answer});
    ASSERT_EQ(link.Open(kPath, std::chrono::milliseconds(50)), 0);
    shell.connected({kPath, 2});
    EXPECT_EQ(shell.flags(), views::kLinkConnected);
    EXPECT_EQ(shell.title(), "not connected");
    EXPECT_EQ(part(0), "\tnot connected");
}

TEST_F(ShellControllerTest, PollReportsFillTheStatusBarAndFollowTheRunningState) {
    connect();
    shell.link_status(true, power(12345, 19876));
    EXPECT_EQ(part(1), "\tUSB Comms OK");
    EXPECT_EQ(part(4), "\t12.3V/19.9\u00b0C");
    shell.sensor_mode(2);
    EXPECT_EQ(part(2), "\tSensor Mode: Idle");
    EXPECT_EQ(part(3), "");
    EXPECT_EQ(shell.flags(), views::kLinkConnected);

    // Operating: the file the sensor writes is asked for on every report.
    ASSERT_EQ(link::start_state_machine(link, 0), link::kResultSuccess);
    sensor->clear_log();
    shell.sensor_mode(0);
    EXPECT_EQ(shell.flags(), views::kLinkConnected | views::kLinkRunning);
    EXPECT_EQ(part(2), "\tSensor Mode: Operating");
    EXPECT_EQ(part(3), "\tFile: R0000001.CSV");
    EXPECT_EQ(sensor->logged_codes(), (std::vector<std::uint16_t>{422}));
    EXPECT_FALSE(shell.enabled(Command::MountAsDrive));
    EXPECT_TRUE(shell.enabled(Command::Disconnect));

    shell.sensor_mode(1);
    EXPECT_EQ(part(2), "\tSensor Mode: Sleeping");
    EXPECT_EQ(part(3), "\tFile: R0000001.CSV");
    shell.sensor_mode(3);
    EXPECT_EQ(part(2), "\tSensor Mode: Hibernating");
    EXPECT_EQ(part(3), "");
    shell.sensor_mode(7);
    EXPECT_EQ(part(2), "\tSensor Mode: Unknown (7)");
    EXPECT_EQ(part(3), "");
    EXPECT_EQ(shell.flags(), views::kLinkConnected | views::kLinkRunning);

    shell.link_status(false, power(12345, 19876));
    EXPECT_EQ(part(1), "\tUSB Comms Error");
    EXPECT_EQ(part(4), "");
}

TEST_F(ShellControllerTest, AFailedFileNameQueryEmptiesThePart) {
    connect(std::chrono::milliseconds(200));
    ASSERT_EQ(link::start_state_machine(link, 0), link::kResultSuccess);
    shell.sensor_mode(0);
    ASSERT_EQ(part(3), "\tFile: R0000001.CSV");
    sensor->inject(422, {virtual_sensor::FaultKind::garbage}, 1);
    sensor->inject(422, {virtual_sensor::FaultKind::removed}, 1);
    shell.sensor_mode(0);
    // Garbage answers are still an answer: whatever they hold is cut at 12 characters.
    EXPECT_LE(part(3).size(), std::string("\tFile: ").size() + 12);
    shell.sensor_mode(0);
    EXPECT_EQ(part(3), "");
}

TEST_F(ShellControllerTest, ReportsAfterTheConnectionEndedChangeNothing) {
    connect();
    shell.disconnect();
    shell.link_status(true, power(12000, 20000));
    shell.sensor_mode(0);
    EXPECT_EQ(shell.flags(), 0U);
    for (std::size_t p = 1; p < views::kStatusParts; ++p) {
        EXPECT_EQ(part(p), "");
    }
}

TEST_F(ShellControllerTest, DisconnectStopsThePollBeforeTheConnectViewProbes) {
    connect();
    events.clear();
    shell.disconnect();
    EXPECT_FALSE(link.is_open());
    EXPECT_EQ(events, (std::vector<std::string>{"poll stop", "view connect"}));
    EXPECT_EQ(shell.title(), "not connected");
    EXPECT_EQ(part(0), "\tnot connected");
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(ShellControllerTest, RemovalOfTheConnectedSensorIsTakenWhateverTheCase) {
    connect();
    shell.link_status(true, power(12000, 20000));
    events.clear();
    EXPECT_FALSE(shell.device_removed("/virtual/Other.VID_04D8&PID_EABC"));
    EXPECT_FALSE(shell.device_removed("/virtual/Demo.VID_04D8&PID_EABC/"));
    EXPECT_TRUE(link.is_open());
    EXPECT_TRUE(events.empty());

    EXPECT_TRUE(shell.device_removed("/VIRTUAL/demo.vid_04d8&pid_eabc"));
    EXPECT_FALSE(link.is_open());
    EXPECT_EQ(shell.flags(), 0U);
    EXPECT_EQ(shell.title(), "not connected");
    EXPECT_EQ(part(1), "");
    ASSERT_EQ(prompter.prompts.size(), 1U);
    EXPECT_EQ(prompter.prompts[0].caption, "Device Change");
    EXPECT_EQ(prompter.prompts[0].text, "Sensor Disconnected");
    EXPECT_EQ(events, (std::vector<std::string>{"poll stop", "view connect"}));

    // Not connected any more: the next removal is the view's.
    EXPECT_FALSE(shell.device_removed(kPath));
}

TEST_F(ShellControllerTest, MountAsDriveReportsOnlyFailure) {
    connect(std::chrono::milliseconds(200));
    sensor->inject(482, {virtual_sensor::FaultKind::no_answer}, 1);
    shell.mount_as_drive();
    ASSERT_EQ(prompter.prompts.size(), 1U);
    EXPECT_EQ(prompter.prompts[0].caption, "Mount Sensor As Drive");
    EXPECT_EQ(prompter.prompts[0].text, "Request failed.");
    EXPECT_EQ(sensor->logged_codes().back(), 482);
}

TEST_F(ShellControllerTest, SensorPortPinsText) {
    shell.show_sensor_port_pins();
    ASSERT_EQ(prompter.prompts.size(), 1U);
    EXPECT_EQ(prompter.prompts[0].caption, "Sensor Port Pins");
    EXPECT_EQ(prompter.prompts[0].text,
              "Communication Port\n\n  PIN 1: 12-16 VDC\n  PIN 2: GND\n  PIN 3: USB VBus/5V\n"
              "  PIN 4: NC\n  PIN 5: USB DP\n  PIN 6: USB DM\n  PIN 7: RS232 SENSOR-RX\n"
              "  PIN 8: RS232 SENSOR-TX\n\nMating plug type: SubConn MCIL8F\n"
              "with MCDLS-F locking sleeve\n");
}

TEST_F(ShellControllerTest, AboutNamesVersionsAndDevice) {
    auto lines = shell.about_lines();
    ASSERT_EQ(lines.size(), 5U);
    EXPECT_EQ(lines[0], "Marivane Sensors");
    EXPECT_EQ(lines[2], "GUI Version: 1.0e");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "");
    connect();
    lines = shell.about_lines();
    EXPECT_EQ(lines[3], "Firmware Version: KELPIRA_2_8_1");
    EXPECT_EQ(lines[4], "Device: Marivane KELPIRA Lab-on-Chip Sensor");
}

}  // namespace
}  // namespace kelpira::shell

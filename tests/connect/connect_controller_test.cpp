// The Connect view's behaviour against emulated sensors: rows and their texts, selection,
// connecting, the bootloader's restart, and devices that misbehave.
#include "connect/connect_controller.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <deque>
#include <memory>

#include "link/combined_hid.hpp"
#include "link/handler_hid.hpp"
#include "link/socket_hid.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::connect {
namespace {

using virtual_sensor::Fault;
using virtual_sensor::FaultKind;
using virtual_sensor::RunningCode;
using virtual_sensor::VirtualSensor;
using virtual_sensor::VirtualSensorOptions;

constexpr const char* kSensorType = "Marivane KELPIRA Lab-on-Chip Sensor";

VirtualSensorOptions sensor_options(std::string name, std::uint16_t serial,
                                    RunningCode running = RunningCode::firmware) {
    VirtualSensorOptions o;
    o.name = std::move(name);
    o.serial_number = serial;
    o.running = running;
    return o;
}

class ConnectControllerTest : public ::testing::Test {
  protected:
    VirtualSensor& add_sensor(const std::string& path, VirtualSensorOptions options) {
        sensors.push_back(std::make_unique<VirtualSensor>(std::move(options)));
        virtual_sensor::attach_in_process(backend, path, *sensors.back(), [this] { ++arrivals; });
        return *sensors.back();
    }

    ConnectController& controller() {
        if (!controller_) {
            controller_ = std::make_unique<ConnectController>(
                backend, link, prompter,
                [this](const link::DeviceEntry& entry) { connected.push_back(entry); });
        }
        return *controller_;
    }

    std::vector<std::string> names() {
        std::vector<std::string> out;
        for (const auto& row : controller().rows()) {
            out.push_back(row.name);
        }
        return out;
    }

    void TearDown() override { link.Close(); }

    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    testing::RecordingPrompter prompter;
    std::deque<std::unique_ptr<VirtualSensor>> sensors;
    std::vector<link::DeviceEntry> connected;
    int arrivals = 0;
    std::unique_ptr<ConnectController> controller_;
};

TEST_F(ConnectControllerTest, NoSensorListsNothingAndEnablesNothing) {
    backend.add("/dev/mouse", "VID_046D&PID_C077",
                [](const link::Report&) { return std::vector<link::InProcessReport>{}; });
    controller().start();
    EXPECT_TRUE(controller().rows().empty());
    EXPECT_FALSE(controller().actions().connect);
    controller().connect();
    ASSERT_EQ(prompter.prompts.size(), 1U);
    EXPECT_EQ(prompter.prompts[0].caption, "Connect");
    EXPECT_EQ(prompter.prompts[0].text, "Nothing selected");
}

// Why sensors may be missing, each reason once, for the view's status line.
TEST_F(ConnectControllerTest, StatusSaysWhySensorsMayBeMissing) {
    const testing::TempFolder temp;
    const std::string planted = temp.path("devices");
    ASSERT_EQ(::mkdir(planted.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(planted.c_str(), 0777), 0);
    link::SocketHidBackend sockets(planted);
    link::CombinedHidBackend both({&backend, &sockets});
    link::SensorLink both_link(both);
    ConnectController c(both, both_link, prompter, [](const link::DeviceEntry&) {});
    c.start();
    const std::string unlisted =
        "Virtual sensors in " + planted + " are not listed: " + planted + " is open to other users";
    EXPECT_EQ(c.status(), unlisted);
    c.set_watch_problem(unlisted +
                        "\nUSB sensors arriving or leaving are not noticed: no udev monitor");
    EXPECT_EQ(c.status(),
              unlisted + "\nUSB sensors arriving or leaving are not noticed: no udev monitor");
    ASSERT_EQ(::chmod(planted.c_str(), 0700), 0);
    c.refresh();
    c.set_watch_problem("");
    EXPECT_EQ(c.status(), "");
}

TEST_F(ConnectControllerTest, RowsShowNameSerialStateAndType) {
    add_sensor("/v/a", sensor_options("Demo Sensor", 4711));
    auto boot = sensor_options("Boot Sensor", 65535, RunningCode::bootloader);
    boot.bootloader_version = 7;
    add_sensor("/v/b", boot);
    controller().start();

    ASSERT_EQ(controller().rows().size(), 2U);
    const DeviceRow& a = controller().rows()[0];
    EXPECT_EQ(a.name, "Demo Sensor");
    EXPECT_EQ(a.serial_number, "4711");
    EXPECT_EQ(a.state, "Firmware");
    EXPECT_EQ(a.type, kSensorType);
    const DeviceRow& b = controller().rows()[1];
    EXPECT_EQ(b.name, "Boot Sensor");
    EXPECT_EQ(b.serial_number, "65535");
    EXPECT_EQ(b.state, "Bootloader (v7)");
    EXPECT_EQ(controller().entries()[0].mode, 2U);
    EXPECT_EQ(controller().entries()[1].mode, 1U);
    EXPECT_FALSE(link.is_open());

    // Each probe reads the identification and the device info, once each when they answer.
    EXPECT_EQ(sensors[0]->logged_codes(), (std::vector<std::uint16_t>{260, 262}));
}

TEST_F(ConnectControllerTest, SelectionEnablesActionsByMode) {
    add_sensor("/v/a", sensor_options("Firmware One", 1));
    add_sensor("/v/b", sensor_options("Boot One", 2, RunningCode::bootloader));
    controller().start();
    EXPECT_FALSE(controller().actions().connect);

    controller().select_row(0);
    EXPECT_TRUE(controller().actions().connect);
    EXPECT_FALSE(controller().actions().upgrade_firmware);
    EXPECT_TRUE(controller().actions().factory_settings);

    controller().select_row(1);
    EXPECT_TRUE(controller().actions().connect);
    EXPECT_TRUE(controller().actions().upgrade_firmware);
    EXPECT_TRUE(controller().actions().factory_settings);

    controller().select_row(std::nullopt);
    EXPECT_FALSE(controller().selected_row());
    EXPECT_FALSE(controller().actions().connect);
    EXPECT_FALSE(controller().actions().upgrade_firmware);
    EXPECT_FALSE(controller().actions().factory_settings);
}

TEST_F(ConnectControllerTest, ConnectHandsOverTheOpenLink) {
    auto& sensor = add_sensor("/v/a", sensor_options("Demo Sensor", 1));
    controller().start();
    controller().activate_row(0);
    ASSERT_EQ(connected.size(), 1U);
    EXPECT_EQ(connected[0].path, "/v/a");
    EXPECT_TRUE(link.is_open());
    EXPECT_EQ(link.timeout(), std::chrono::milliseconds(3000));
    EXPECT_TRUE(prompter.prompts.empty());
    // Nothing more than the probe went to the sensor.
    EXPECT_EQ(sensor.logged_codes(), (std::vector<std::uint16_t>{260, 262}));
}

TEST_F(ConnectControllerTest, ADeviceThatDoesNotAnswerIsAnUnknownDevice) {
    backend.add("/v/silent", "VID_04D8&PID_EABD",
                [](const link::Report&) { return std::vector<link::InProcessReport>{}; });
    add_sensor("/v/a", sensor_options("After", 1));
    controller().start();
    ASSERT_EQ(names(), (std::vector<std::string>{"Unknown device", "After"}));
    const DeviceRow& row = controller().rows()[0];
    EXPECT_EQ(row.serial_number, "");
    EXPECT_EQ(row.state, "");
    EXPECT_EQ(row.type, "");
    EXPECT_EQ(controller().entries()[0].mode, link::kModeUnidentified);
    controller().select_row(0);
    EXPECT_FALSE(controller().actions().connect);
    EXPECT_FALSE(controller().actions().factory_settings);
    // Two tries of the identification, then the device is given up.
    int identification_reads = 0;
    for (const auto& report : backend.written("/v/silent")) {
        identification_reads += (report[1] | (report[2] << 8)) == 260 ? 1 : 0;
    }
    EXPECT_EQ(identification_reads, 2);
}

TEST_F(ConnectControllerTest, ADeviceHeldElsewhereGetsNoRow) {
    add_sensor("/v/held", sensor_options("Held", 1));
    add_sensor("/v/free", sensor_options("Free", 2));
    auto holder = backend.open("/v/held");
    ASSERT_TRUE(holder);
    controller().start();
    EXPECT_EQ(names(), (std::vector<std::string>{"Free"}));
    EXPECT_EQ(controller().rows()[0].entry, 1U);
    EXPECT_EQ(controller().status(),
              "/v/held could not be opened: another program may be using it");
}

TEST_F(ConnectControllerTest, ConnectFailsWhenTheDeviceCannotBeOpened) {
    add_sensor("/v/a", sensor_options("Demo Sensor", 1));
    controller().start();
    controller().select_row(0);
    backend.remove("/v/a");
    controller().connect();
    ASSERT_EQ(prompter.prompts.size(), 1U);
    EXPECT_EQ(prompter.prompts[0].caption, "Connect");
    EXPECT_EQ(prompter.prompts[0].text, "Failed to connect");
    EXPECT_TRUE(controller().actions().connect);
    EXPECT_FALSE(controller().actions().upgrade_firmware);
    EXPECT_FALSE(controller().actions().factory_settings);
    EXPECT_TRUE(connected.empty());
}

TEST_F(ConnectControllerTest, ABootloaderIsStartedAndConnectedWhenItComesBack) {
    add_sensor("/v/other", sensor_options("Other", 9));
    auto& boot = add_sensor("/v/boot", sensor_options("Boot Sensor", 5, RunningCode::bootloader));
    controller().start();
    controller().select_row(1);
    controller().connect();
    EXPECT_TRUE(connected.empty());
    EXPECT_TRUE(controller().awaiting_firmware());
    EXPECT_FALSE(controller().selected_row());
    EXPECT_EQ(boot.logged_codes(), (std::vector<std::uint16_t>{260, 262, 258}));
    ASSERT_EQ(arrivals, 1);

    controller().device_arrived();
    EXPECT_FALSE(controller().awaiting_firmware());
    ASSERT_EQ(connected.size(), 1U);
    EXPECT_EQ(connected[0].path, "/v/boot");
    EXPECT_EQ(connected[0].mode, 2U);
    EXPECT_TRUE(link.is_open());
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(ConnectControllerTest, AFailedFirmwareStartLeavesTheLinkClosed) {
    auto& boot = add_sensor("/v/boot", sensor_options("Boot", 5, RunningCode::bootloader));
    controller().start();
    controller().select_row(0);
    boot.inject(258, Fault{FaultKind::no_answer}, 1);
    controller().connect();
    ASSERT_EQ(prompter.texts(), (std::vector<std::string>{"Failed to start firmware"}));
    EXPECT_EQ(prompter.prompts[0].caption, "Connect");
    EXPECT_TRUE(controller().actions().connect);
    EXPECT_TRUE(controller().actions().upgrade_firmware);
    EXPECT_FALSE(link.is_open());
    // A second try opens the link again (no "Failed to connect") and sends the command once
    // more; the sensor, restarted by the first one whose answer was lost, refuses it.
    controller().connect();
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"Failed to start firmware", "Failed to start firmware"}));
    EXPECT_EQ(boot.logged_codes(), (std::vector<std::uint16_t>{260, 262, 258, 258}));
}

TEST_F(ConnectControllerTest, ArrivalReselectsTheLastRowWithTheKeptName) {
    add_sensor("/v/a", sensor_options("Twin", 1));
    add_sensor("/v/b", sensor_options("Twin", 2));
    controller().start();
    controller().select_row(0);
    add_sensor("/v/c", sensor_options("Third", 3));
    controller().device_arrived();
    ASSERT_EQ(controller().rows().size(), 3U);
    EXPECT_EQ(controller().selected_row(), std::optional<std::size_t>(1));
    EXPECT_FALSE(controller().actions().connect);

    backend.remove("/v/c");
    controller().device_removed();
    EXPECT_EQ(names(), (std::vector<std::string>{"Twin", "Twin"}));
    EXPECT_FALSE(controller().selected_row());
}

TEST_F(ConnectControllerTest, NamesAreShownUpToTwentyCharacters) {
    add_sensor("/v/a", sensor_options("ABCDEFGHIJKLMNOPQRST", 1));
    auto& runs_on = add_sensor("/v/b", sensor_options("Runs On", 2));
    runs_on.inject(260, Fault{FaultKind::unterminated_text});
    controller().start();
    ASSERT_EQ(controller().rows().size(), 2U);
    EXPECT_EQ(controller().rows()[0].name, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_LE(controller().rows()[1].name.size(), 20U);
    EXPECT_EQ(controller().rows()[1].name.substr(0, 7), "Runs On");
}

TEST_F(ConnectControllerTest, LegacyFirmwareIsListedFromItsLegacyIdentity) {
    auto oldest = sensor_options("Old Timer", 321);
    oldest.legacy_identity = true;
    oldest.legacy_layout = 0;
    add_sensor("/v/a", oldest);
    auto old = sensor_options("Less Old", 654);
    old.legacy_identity = true;
    old.device_kind = 7;
    add_sensor("/v/b", old);
    controller().start();
    ASSERT_EQ(controller().rows().size(), 2U);
    EXPECT_EQ(controller().rows()[0].name, "Old Timer");
    EXPECT_EQ(controller().rows()[0].serial_number, "0");
    EXPECT_EQ(controller().rows()[0].state, "Firmware");
    EXPECT_EQ(controller().rows()[0].type, kSensorType);
    EXPECT_EQ(controller().rows()[1].serial_number, "654");
    EXPECT_EQ(controller().rows()[1].type, kSensorType);
}

TEST_F(ConnectControllerTest, GarbageAndRemovalMidProbeListWhatCanBeListed) {
    auto& garbage = add_sensor("/v/a", sensor_options("Garbage", 1));
    garbage.inject(262, Fault{FaultKind::garbage});
    auto& leaving = add_sensor("/v/b", sensor_options("Leaving", 2));
    leaving.inject(260, Fault{FaultKind::removed});
    add_sensor("/v/c", sensor_options("Steady", 3));

    const auto started = std::chrono::steady_clock::now();
    controller().start();
    const auto took = std::chrono::steady_clock::now() - started;

    ASSERT_EQ(controller().rows().size(), 3U);
    // The garbage device info is shown for what it says, without reading past any field.
    EXPECT_EQ(controller().rows()[0].name, "Garbage");
    EXPECT_EQ(controller().rows()[1].name, "Unknown device");
    EXPECT_EQ(controller().rows()[2].name, "Steady");
    EXPECT_EQ(controller().rows()[2].state, "Firmware");
    // Never longer than the probe time-outs: at most four transactions per device.
    EXPECT_LT(took, 3 * 4 * kProbeTimeout);
}

}  // namespace
}  // namespace kelpira::connect

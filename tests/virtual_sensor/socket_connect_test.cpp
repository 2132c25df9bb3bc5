// The Connect view's logic against emulated sensors served as local sockets, as the program
// meets them: discovery beside other backends, a sensor held by another program, and the
// bootloader's restart seen through the folder watcher.
#include <gtest/gtest.h>

#include "connect/connect_controller.hpp"
#include "link/combined_hid.hpp"
#include "link/folder_watcher.hpp"
#include "link/handler_hid.hpp"
#include "link/socket_hid.hpp"
#include "support/device_folder.hpp"
#include "support/recording_prompter.hpp"
#include "virtual_sensor/sensor_host.hpp"

using namespace kelpira;
using namespace kelpira::link;
using namespace std::chrono_literals;
using virtual_sensor::RunningCode;
using virtual_sensor::VirtualSensor;
using virtual_sensor::VirtualSensorOptions;

namespace {

VirtualSensorOptions sensor_options(std::string name, std::uint16_t serial,
                                    RunningCode running = RunningCode::firmware) {
    VirtualSensorOptions o;
    o.name = std::move(name);
    o.serial_number = serial;
    o.running = running;
    return o;
}

struct SocketConnectTest : ::testing::Test {
    std::vector<std::unique_ptr<VirtualSensor>> sensors;  // outlive the served folder
    kelpira::testing::ServedFolder served;
    SocketHidBackend sockets{served.folder};
    InProcessHidBackend usb;  // stands for the hidraw devices
    CombinedHidBackend backend{{&usb, &sockets}};
    SensorLink link{backend};
    kelpira::testing::RecordingPrompter prompter;
    std::vector<DeviceEntry> connected;
    connect::ConnectController controller{backend, link, prompter,
                                          [this](const DeviceEntry& e) { connected.push_back(e); }};

    std::string serve(const std::string& label, VirtualSensorOptions options) {
        sensors.push_back(std::make_unique<VirtualSensor>(std::move(options)));
        std::string error;
        auto id = virtual_sensor::serve_sensor(served.server, *sensors.back(), label, 100ms, error);
        EXPECT_TRUE(id) << error;
        return served.server.path_of(id.value_or(0)).value_or("");
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& row : controller.rows()) {
            out.push_back(row.name);
        }
        return out;
    }
    void TearDown() override { link.Close(); }
};

}  // namespace

TEST_F(SocketConnectTest, ListsVirtualSensorsButNotOneHeldByAnotherProgram) {
    serve("a", sensor_options("Demo Sensor", 11));
    const auto held_path = serve("b", sensor_options("Held", 12));
    auto other_program = sockets.open(held_path);
    ASSERT_NE(other_program, nullptr);

    controller.start();
    EXPECT_EQ(names(), (std::vector<std::string>{"Demo Sensor"}));
    ASSERT_EQ(controller.rows().size(), 1u);
    EXPECT_EQ(controller.rows()[0].serial_number, "11");
    EXPECT_EQ(controller.rows()[0].state, "Firmware");

    other_program.reset();
    controller.refresh();
    EXPECT_EQ(names(), (std::vector<std::string>{"Demo Sensor", "Held"}));

    controller.select_row(1);
    controller.connect();
    ASSERT_EQ(connected.size(), 1u);
    EXPECT_EQ(connected[0].path, held_path);
    EXPECT_TRUE(link.is_open());
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(SocketConnectTest, BootloaderRestartsAndIsConnectedWhenItComesBack) {
    kelpira::testing::EventQueue events;
    FolderDeviceWatcher watcher(served.folder);
    ASSERT_TRUE(watcher.start(events.handler()));
    const auto path = serve("boot", sensor_options("Boot Sensor", 5, RunningCode::bootloader));
    ASSERT_EQ(events.next()->change, DeviceChange::arrival);

    controller.start();
    ASSERT_EQ(controller.rows().size(), 1u);
    EXPECT_EQ(controller.rows()[0].state, "Bootloader (v3)");
    controller.select_row(0);
    controller.connect();
    EXPECT_TRUE(controller.awaiting_firmware());
    EXPECT_TRUE(connected.empty());

    // The main window hands each change to the view, in order, on its own thread.
    for (int i = 0; i < 2 && connected.empty(); ++i) {
        auto e = events.next();
        ASSERT_TRUE(e);
        EXPECT_EQ(e->path, path);
        if (e->change == DeviceChange::removal) {
            controller.device_removed();
        } else {
            controller.device_arrived();
        }
    }
    ASSERT_EQ(connected.size(), 1u);
    EXPECT_EQ(connected[0].path, path);
    EXPECT_EQ(connected[0].mode, 2u);
    EXPECT_TRUE(link.is_open());
    EXPECT_EQ(sensors[0]->running(), RunningCode::firmware);
    EXPECT_TRUE(prompter.prompts.empty());
}

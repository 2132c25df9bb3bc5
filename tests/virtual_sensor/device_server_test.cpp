// The device server: restarts that leave and come back, answers before leaving, one client.
#include "virtual_sensor/device_server.hpp"

#include <gtest/gtest.h>

#include "link/folder_watcher.hpp"
#include "link/sensor_link.hpp"
#include "link/socket_hid.hpp"
#include "support/device_folder.hpp"

using namespace kelpira;
using namespace kelpira::link;
using namespace std::chrono_literals;
using kelpira::testing::echo_answer;

namespace {

constexpr std::uint16_t kStartFirmware = 258;

}  // namespace

TEST(DeviceServer, RestartAnswersThenLeavesAndComesBack) {
    kelpira::testing::ServedFolder served;
    kelpira::testing::EventQueue events;
    FolderDeviceWatcher watcher(served.folder);
    ASSERT_TRUE(watcher.start(events.handler()));

    std::atomic<virtual_sensor::DeviceId> self{0};
    std::atomic<int> mode{1};
    const auto id = served.attach("s", [&](const Report& req) {
        auto a = echo_answer(req);
        a[0].bytes[7] = static_cast<std::uint8_t>(mode.load());
        if ((req[1] | (req[2] << 8)) == kStartFirmware) {
            mode = 2;
            served.server.restart_after_answer(self.load(), 50ms);
        }
        return a;
    });
    self = id;
    const auto path = served.path(id);
    ASSERT_EQ(events.next()->change, DeviceChange::arrival);

    SocketHidBackend backend(served.folder);
    SensorLink link(backend);
    ASSERT_EQ(link.Open(path, 2000ms), 0);
    SensorCommand c;
    c.set_code(kStartFirmware);
    ASSERT_EQ(link.Transact(c), kResultSuccess) << "the answer goes out before the device leaves";
    EXPECT_EQ(c.payload()[1], 1);

    auto gone = events.next();
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->change, DeviceChange::removal);
    EXPECT_EQ(gone->path, path);
    SensorCommand after;
    after.set_code(262);
    EXPECT_EQ(link.Transact(after), kResultNoAnswer) << "the old connection is dead";
    link.Close();

    auto back = events.next();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->change, DeviceChange::arrival);
    EXPECT_EQ(back->path, path);
    ASSERT_EQ(link.Open(path, 2000ms), 0);
    SensorCommand info;
    info.set_code(262);
    ASSERT_EQ(link.Transact(info), kResultSuccess);
    EXPECT_EQ(info.payload()[1], 2) << "the same device, now in firmware mode";
    link.Close();
}

TEST(DeviceServer, DetachAfterAnswerLeavesForGood) {
    kelpira::testing::ServedFolder served;
    std::atomic<virtual_sensor::DeviceId> self{0};
    const auto id = served.attach("s", [&](const Report& req) {
        served.server.detach_after_answer(self.load());
        return echo_answer(req);
    });
    self = id;
    SocketHidBackend backend(served.folder);
    SensorLink link(backend);
    ASSERT_EQ(link.Open(served.path(id), 2000ms), 0);
    SensorCommand c;
    c.set_code(300);
    EXPECT_EQ(link.Transact(c), kResultSuccess);
    link.Close();
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (served.server.path_of(id) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    EXPECT_FALSE(served.server.path_of(id));
    EXPECT_TRUE(backend.enumerate().empty());
}

TEST(DeviceServer, RefusesBadLabelsIdsAndPathsInUse) {
    kelpira::testing::ServedFolder served;
    std::string error;
    EXPECT_FALSE(served.server.attach({"", "VID_04D8&PID_EABC", false, echo_answer}, error));
    EXPECT_FALSE(served.server.attach({".hidden", "VID_04D8&PID_EABC", false, echo_answer}, error));
    EXPECT_FALSE(served.server.attach({"a/b", "VID_04D8&PID_EABC", false, echo_answer}, error));
    EXPECT_FALSE(served.server.attach({"a", "USB 04D8", false, echo_answer}, error));
    EXPECT_NE(error.find("USB 04D8"), std::string::npos);
    ASSERT_TRUE(served.server.attach({"a", "VID_04D8&PID_EABC", false, echo_answer}, error));
    virtual_sensor::DeviceServer other(served.folder);
    EXPECT_FALSE(other.attach({"a", "VID_04D8&PID_EABC", false, echo_answer}, error));
    EXPECT_NE(error.find("in use"), std::string::npos);
}

TEST(DeviceServer, RemovesItsSocketsWhenItStops) {
    kelpira::testing::TempFolder temp;
    const std::string folder = temp.root + "/devices";
    ASSERT_EQ(prepare_device_folder(folder), "");
    virtual_sensor::DeviceServer server(folder);
    std::string error;
    ASSERT_TRUE(server.attach({"a", "VID_04D8&PID_EABC", false, echo_answer}, error));
    ASSERT_TRUE(server.attach({"b", "VID_04D8&PID_EABD", false, echo_answer}, error));
    SocketHidBackend backend(folder);
    ASSERT_EQ(backend.enumerate().size(), 2u);
    std::thread t([&] { server.run(); });
    auto device = backend.open(folder + "/a.VID_04D8&PID_EABC");
    ASSERT_NE(device, nullptr);
    server.stop();
    t.join();
    EXPECT_TRUE(backend.enumerate().empty());
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    Report r{};
    EXPECT_FALSE(device->read(r));
}

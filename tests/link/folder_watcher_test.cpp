// The virtual-sensor folder watcher: arrival and removal by path, restarts, stopping.
#include "link/folder_watcher.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "link/combined_hid.hpp"
#include "link/socket_hid.hpp"
#include "support/device_folder.hpp"

using namespace kelpira;
using namespace kelpira::link;
using namespace std::chrono_literals;
using kelpira::testing::echo_answer;

namespace {

struct WatcherFixture : ::testing::Test {
    kelpira::testing::ServedFolder served;
    kelpira::testing::EventQueue events;
    FolderDeviceWatcher watcher{served.folder};
};

}  // namespace

TEST_F(WatcherFixture, ReportsArrivalAndRemovalByTheListedPath) {
    ASSERT_TRUE(watcher.start(events.handler()));
    EXPECT_FALSE(watcher.start(events.handler())) << "already started";

    // Other files come and go unreported.
    std::ofstream(served.folder + "/notes.txt") << "x";
    std::filesystem::remove(served.folder + "/notes.txt");

    const auto id = served.attach("s", echo_answer);
    auto e = events.next();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->change, DeviceChange::arrival);
    EXPECT_EQ(e->path, served.path(id));
    SocketHidBackend backend(served.folder);
    ASSERT_EQ(backend.enumerate().size(), 1u);
    EXPECT_EQ(backend.enumerate()[0].path, e->path);
    // The device is ready the moment it is reported.
    EXPECT_NE(backend.open(e->path), nullptr);

    const auto path = served.path(id);
    served.server.detach(id);
    e = events.next();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->change, DeviceChange::removal);
    EXPECT_EQ(e->path, path);
    EXPECT_FALSE(events.next(100ms)) << "nothing else happened";
}

TEST_F(WatcherFixture, StopEndsReportingAndMayBeRepeated) {
    ASSERT_TRUE(watcher.start(events.handler()));
    watcher.stop();
    watcher.stop();
    served.attach("s", echo_answer);
    EXPECT_FALSE(events.next(200ms));
    // Started again, it reports what happens from then on.
    ASSERT_TRUE(watcher.start(events.handler()));
    served.attach("t", echo_answer);
    auto e = events.next();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->path, served.folder + "/t.VID_04D8&PID_EABC");
}

TEST(FolderWatcher, CreatesAMissingFolderPrivateToTheUser) {
    kelpira::testing::TempFolder temp;
    const std::string folder = temp.root + "/devices";
    FolderDeviceWatcher watcher(folder);
    kelpira::testing::EventQueue events;
    ASSERT_TRUE(watcher.start(events.handler()));
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(FolderWatcher, RefusesAFolderOpenToOthers) {
    kelpira::testing::TempFolder temp;
    const std::string folder = temp.root + "/devices";
    ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    FolderDeviceWatcher watcher(folder);
    kelpira::testing::EventQueue events;
    EXPECT_FALSE(watcher.start(events.handler()));
    EXPECT_NE(prepare_device_folder(folder), "");
}

TEST(CombinedWatcher, ReportsFromEveryWatcher) {
    kelpira::testing::ServedFolder one;
    kelpira::testing::ServedFolder two;
    FolderDeviceWatcher w1(one.folder);
    FolderDeviceWatcher w2(two.folder);
    CombinedDeviceWatcher both({&w1, &w2});
    kelpira::testing::EventQueue events;
    ASSERT_TRUE(both.start(events.handler()));
    const auto a = two.attach("a", echo_answer);
    auto e = events.next();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->path, two.path(a));
    const auto b = one.attach("b", echo_answer);
    e = events.next();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->path, one.path(b));
    both.stop();
}

TEST(DeviceSocketNames, CarryTheHardwareIdInUpperCase) {
    EXPECT_EQ(normalise_hardware_id("vid_04d8&pid_eabc"), "VID_04D8&PID_EABC");
    EXPECT_FALSE(normalise_hardware_id("VID_04D8&PID_EAB"));
    EXPECT_FALSE(normalise_hardware_id("VID_04D8&PID_EABCD"));
    EXPECT_FALSE(normalise_hardware_id("VID_04G8&PID_EABC"));
    EXPECT_EQ(device_socket_name("x", "VID_04D8&PID_EABC"), "x.VID_04D8&PID_EABC");
    EXPECT_EQ(hardware_id_of_socket_name("a.b.VID_04D8&PID_EABC"), "VID_04D8&PID_EABC");
    EXPECT_FALSE(hardware_id_of_socket_name(".x.VID_04D8&PID_EABC")) << "being set up";
    EXPECT_FALSE(hardware_id_of_socket_name("x.vid_04d8&pid_eabc"));
    EXPECT_FALSE(hardware_id_of_socket_name("VID_04D8&PID_EABC"));
    EXPECT_EQ(device_socket_path("/run/k/", "x"), "/run/k/x");
}

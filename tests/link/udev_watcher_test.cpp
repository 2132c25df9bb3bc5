// The hidraw watcher: which udev actions are device changes, and its start/stop lifecycle.
// Real arrivals need a device plugged in (or root to fake one) and are not exercised here.
#include "link/udev_watcher.hpp"

#include <gtest/gtest.h>

using namespace kelpira::link;

TEST(UdevHidrawWatcher, AddAndRemoveAreTheOnlyChanges) {
    const auto added = hidraw_event("add", "/dev/hidraw3");
    ASSERT_TRUE(added);
    EXPECT_EQ(added->change, DeviceChange::arrival);
    EXPECT_EQ(added->path, "/dev/hidraw3");
    const auto removed = hidraw_event("remove", "/dev/hidraw3");
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->change, DeviceChange::removal);

    EXPECT_FALSE(hidraw_event("change", "/dev/hidraw3"));
    EXPECT_FALSE(hidraw_event("bind", "/dev/hidraw3"));
    EXPECT_FALSE(hidraw_event("add", nullptr));
    EXPECT_FALSE(hidraw_event("add", ""));
    EXPECT_FALSE(hidraw_event(nullptr, "/dev/hidraw3"));
}

TEST(UdevHidrawWatcher, StartsOnceAndStopsPromptly) {
    UdevHidrawWatcher watcher;
    watcher.stop();  // before start: harmless
    EXPECT_FALSE(watcher.start(nullptr)) << "a watcher needs somewhere to report";
    // A sandbox without netlink refuses the monitor; then only the refusal can be checked.
    if (!watcher.start([](const DeviceEvent&) {})) {
        GTEST_SKIP() << "no udev monitor in this environment";
    }
    EXPECT_FALSE(watcher.start([](const DeviceEvent&) {})) << "already running";
    watcher.stop();  // returns only once the thread has ended its wait
    watcher.stop();
    EXPECT_TRUE(watcher.start([](const DeviceEvent&) {})) << "a stopped watcher starts again";
}

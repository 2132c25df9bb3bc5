// Which attached devices are sensors, and device paths compared as the system compares them.
#include "link/device_discovery.hpp"

#include <gtest/gtest.h>

#include "link/handler_hid.hpp"

namespace kelpira::link {
namespace {

std::vector<InProcessReport> silent(const Report&) {
    return {};
}

TEST(DeviceDiscovery, SevenHardwareIdsMatchAsCaseSensitiveSubstrings) {
    for (auto id : kSensorHardwareIds) {
        EXPECT_TRUE(is_sensor_hardware_id(id));
        EXPECT_TRUE(is_sensor_hardware_id("HID\\" + std::string(id) + "&REV_0100"));
    }
    EXPECT_FALSE(is_sensor_hardware_id("VID_04d8&PID_eabc"));
    EXPECT_FALSE(is_sensor_hardware_id("VID_04D8&PID_EABF"));
    EXPECT_FALSE(is_sensor_hardware_id(""));
}

TEST(DeviceDiscovery, EnumerationKeepsSensorsInDeviceOrder) {
    InProcessHidBackend backend;
    backend.add("/dev/b", "VID_04D8&PID_E969", silent);
    backend.add("/dev/mouse", "VID_046D&PID_C077", silent);
    backend.add("/dev/a", "VID_C1CA&PID_B4BA", silent);
    const auto entries = enumerate_sensors(backend);
    ASSERT_EQ(entries.size(), 2U);
    EXPECT_EQ(entries[0].path, "/dev/b");
    EXPECT_EQ(entries[1].path, "/dev/a");
    EXPECT_EQ(entries[0].mode, kModeUnidentified);
}

TEST(DeviceDiscovery, PathsCompareWithoutRegardToCaseButWhole) {
    EXPECT_TRUE(same_device_path("\\\\?\\HID#VID_04D8", "\\\\?\\hid#vid_04d8"));
    EXPECT_FALSE(same_device_path("/dev/hidraw1", "/dev/hidraw10"));
    EXPECT_FALSE(same_device_path("/dev/hidraw10", "/dev/hidraw1"));
}

TEST(DeviceDiscovery, DisplayNameIsCutAt20Characters) {
    EXPECT_EQ(sensor_display_name("ABCDEFGHIJKLMNOPQRST"), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(sensor_display_name("ABCDEFGHIJKLMNOPQRSTU"), "ABCDEFGHIJKLMNOPQRST");
}

}  // namespace
}  // namespace kelpira::link

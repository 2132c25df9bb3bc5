// The title and status bar texts, byte for byte.
#include "app/status_texts.hpp"

#include <gtest/gtest.h>

namespace kelpira::app {
namespace {

TEST(StatusTexts, ConnectionAndLinkHealth) {
    EXPECT_EQ(connected_status_text("Demo Sensor"), "\tDemo Sensor connected");
    EXPECT_EQ(not_connected_status_text(), "\tnot connected");
    EXPECT_EQ(link_health_text(true), "\tUSB Comms OK");
    EXPECT_EQ(link_health_text(false), "\tUSB Comms Error");
}

TEST(StatusTexts, SensorModes) {
    EXPECT_EQ(sensor_mode_text(0), "\tSensor Mode: Operating");
    EXPECT_EQ(sensor_mode_text(1), "\tSensor Mode: Sleeping");
    EXPECT_EQ(sensor_mode_text(2), "\tSensor Mode: Idle");
    EXPECT_EQ(sensor_mode_text(3), "\tSensor Mode: Hibernating");
    EXPECT_EQ(sensor_mode_text(7), "\tSensor Mode: Unknown (7)");
    EXPECT_EQ(sensor_mode_text(255), "\tSensor Mode: Unknown (255)");
}

TEST(StatusTexts, FileSupplyAndTemperature) {
    EXPECT_EQ(output_file_text("20261208.CSV"), "\tFile: 20261208.CSV");
    EXPECT_EQ(supply_text(12034, 21456), "\t12.0V/21.5\u00b0C");
    EXPECT_EQ(supply_text(-250, -1960), "\t-0.2V/-2.0\u00b0C");
    EXPECT_EQ(supply_text(0, 0), "\t0.0V/0.0\u00b0C");
}

TEST(StatusTexts, TitleIsCutTo55Characters) {
    EXPECT_EQ(not_connected_title(), "not connected");
    EXPECT_EQ(connected_title("Demo Sensor", "Marivane KELPIRA Lab-on-Chip Sensor"),
              "Demo Sensor (Marivane KELPIRA Lab-on-Chip Sensor)");
    const std::string twenty = "ABCDEFGHIJKLMNOPQRST";
    const std::string title = connected_title(twenty, "Marivane KELPIRA Lab-on-Chip Sensor");
    EXPECT_EQ(title.size(), 55U);
    EXPECT_EQ(title, "ABCDEFGHIJKLMNOPQRST (Marivane KELPIRA Lab-on-Chip Sens");
}

}  // namespace
}  // namespace kelpira::app

// The title and the connection part of the status bar, byte for byte.
#include "views/status_texts.hpp"

#include <gtest/gtest.h>

namespace kelpira::views {
namespace {

TEST(StatusTexts, ConnectionPart) {
    EXPECT_EQ(connected_status_text("Demo Sensor"), "\tDemo Sensor connected");
    EXPECT_EQ(not_connected_status_text(), "\tnot connected");
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
}  // namespace kelpira::views

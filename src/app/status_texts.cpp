// The texts of the main window's title and status bar, formatted as the sensor's users know
// them.
#include "app/status_texts.hpp"

#include <cstdio>

namespace kelpira::app {

namespace {

constexpr std::size_t kTitleLength = 55;
constexpr std::size_t kStatusTextLength = 255;  // a 256-byte buffer with its terminator

std::string capped(std::string text) {
    if (text.size() > kStatusTextLength) {
        text.resize(kStatusTextLength);
    }
    return text;
}

}  // namespace

std::string connected_status_text(std::string_view name) {
    return capped("\t" + std::string(name) + " connected");
}

std::string not_connected_status_text() {
    return "\tnot connected";
}

std::string link_health_text(bool link_answered) {
    return link_answered ? "\tUSB Comms OK" : "\tUSB Comms Error";
}

std::string sensor_mode_text(std::uint8_t mode) {
    switch (mode) {
        case 0:
            return "\tSensor Mode: Operating";
        case 1:
            return "\tSensor Mode: Sleeping";
        case 2:
            return "\tSensor Mode: Idle";
        case 3:
            return "\tSensor Mode: Hibernating";
        default:
            return "\tSensor Mode: Unknown (" + std::to_string(mode) + ")";
    }
}

std::string output_file_text(std::string_view name) {
    return capped("\tFile: " + std::string(name));
}

std::string supply_text(std::int32_t supply_mv, std::int32_t temperature_mc) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "\t%.1fV/%.1f\u00b0C", supply_mv / 1000.0,
                  temperature_mc / 1000.0);
    return buffer;
}

std::string connected_title(std::string_view name, std::string_view device_type_name) {
    std::string title = std::string(name) + " (" + std::string(device_type_name) + ")";
    if (title.size() > kTitleLength) {
        title.resize(kTitleLength);
    }
    return title;
}

std::string not_connected_title() {
    return "not connected";
}

}  // namespace kelpira::app

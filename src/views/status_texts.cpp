// The texts of the main window's title and status bar, formatted as the sensor's users know
// them.
#include "views/status_texts.hpp"

#include <utility>

namespace kelpira::views {

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
    // Appended piece by piece: GCC 12 reports a false -Wrestrict for "literal" + string.
    std::string text = "\t";
    text.append(name).append(" connected");
    return capped(std::move(text));
}

std::string not_connected_status_text() {
    return "\tnot connected";
}

std::string connected_title(std::string_view name, std::string_view device_type_name) {
    std::string title(name);
    title.append(" (").append(device_type_name).append(")");
    if (title.size() > kTitleLength) {
        title.resize(kTitleLength);
    }
    return title;
}

std::string not_connected_title() {
    return "not connected";
}

}  // namespace kelpira::views

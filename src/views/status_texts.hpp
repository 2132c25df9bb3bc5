// The main window's title, the layout of its five-part status bar and the texts of its
// connection part (the poll's parts are in views/status_display).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelpira::views {

// Status bar parts, left to right; the right edges of the first four in pixels, the last
// part runs to the window's edge.
constexpr std::size_t kStatusParts = 5;
constexpr int kStatusPartRightEdges[kStatusParts - 1] = {200, 350, 500, 650};
constexpr std::size_t kStatusConnection = 0;
constexpr std::size_t kStatusLinkHealth = 1;
constexpr std::size_t kStatusMode = 2;
constexpr std::size_t kStatusFile = 3;
constexpr std::size_t kStatusSupply = 4;

// Every status text begins with a tab, which centres it in its part.
std::string connected_status_text(std::string_view name);  // "\t%s connected"
std::string not_connected_status_text();                   // "\tnot connected"

// The window title while connected: "%s (%s)" with the sensor's name and the display name
// of its device type, cut to 55 characters.
std::string connected_title(std::string_view name, std::string_view device_type_name);
std::string not_connected_title();  // "not connected"

}  // namespace kelpira::views

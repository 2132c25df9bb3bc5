// LinkFlags: the program's connection state, owned by the main window and handed to every view.
#pragma once

namespace kelpira::views {

// Written only on the UI thread. Connecting writes kLinkConnected alone, which also clears
// kLinkRunning.
using LinkFlags = unsigned;
constexpr LinkFlags kLinkConnected = 1U;  // a sensor is connected
constexpr LinkFlags kLinkRunning = 2U;    // the sensor runs its state machine

}  // namespace kelpira::views

// The Connect view's factory settings action: the selected sensor's link opened for
// maintenance around the Factory Settings dialog, and the list probed afresh afterwards.
#pragma once

#include <chrono>
#include <functional>

#include "common/prompter.hpp"
#include "connect/connect_controller.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::maintenance {

// The link time-out while the factory settings are edited.
inline constexpr std::chrono::milliseconds kFactoryTimeout{5000};

inline constexpr const char* kFactorySettingsTip = "Set Factory Settings (requires password)";

// Runs the Factory Settings dialog modally on the open link.
using RunFactoryDialog = std::function<void()>;

// Opens the selected sensor's link, runs the dialog, closes the link and refreshes the list,
// leaving nothing selected and every action disabled. Without a selection, or when the link
// does not open, it only says so.
void open_factory_settings(connect::ConnectController& view, link::SensorLink& link,
                           common::Prompter& prompter, const RunFactoryDialog& run_dialog);

}  // namespace kelpira::maintenance

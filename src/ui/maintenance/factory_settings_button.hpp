// The Connect view's "Factory Settings" button: it runs the Factory Settings dialog on the
// selected sensor with the link open for maintenance.
#pragma once

#include <functional>

#include "common/prompter.hpp"
#include "connect/connect_controller.hpp"
#include "link/sensor_link.hpp"
#include "maintenance/sensor_return.hpp"

class QPushButton;
class QWidget;

namespace kelpira::ui {

// A button of `view` that carries out the action on `controller`, then calls `render` so the
// view shows the refreshed list. `in_dialog` is set while the dialog runs: the view leaves
// device changes to the refresh that follows, so no probe closes the link under the dialog;
// `watch` is set to where a bootloader upgrade finds the sensor again.
QPushButton* make_factory_settings_button(QWidget* view, connect::ConnectController& controller,
                                          link::HidBackend& backend,
                                          maintenance::ReturnWatch& watch, link::SensorLink& link,
                                          common::Prompter& prompter, bool& in_dialog,
                                          std::function<void()> render);

}  // namespace kelpira::ui

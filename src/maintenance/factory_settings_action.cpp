// The Connect view's factory settings action.
#include "maintenance/factory_settings_action.hpp"

#include "maintenance/factory_settings_controller.hpp"

namespace kelpira::maintenance {

void open_factory_settings(connect::ConnectController& view, link::SensorLink& link,
                           common::Prompter& prompter, const RunFactoryDialog& run_dialog) {
    const auto row = view.selected_row();
    if (!row) {
        prompter.message(kFactoryTitle, "Nothing selected");
        return;
    }
    const link::DeviceEntry entry = view.entries()[view.rows()[*row].entry];
    if (link.Open(entry.path, kFactoryTimeout) != 0) {
        prompter.message(kFactoryTitle, "Failed to connect to sensor");
        return;
    }
    run_dialog();
    link.Close();
    // A new name shows at once; the probe opens and closes the link itself.
    view.refresh();
    view.select_row(std::nullopt);
}

}  // namespace kelpira::maintenance

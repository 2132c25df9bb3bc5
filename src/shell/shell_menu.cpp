// The main menu's lines and the enabling of its items by link state.
#include "shell/shell_menu.hpp"

namespace kelpira::shell {

namespace {

MenuEntry item(Menu menu, const char* text, Command command) {
    return {menu, text, command};
}
MenuEntry separator(Menu menu) {
    return {menu, "", std::nullopt};
}

std::vector<MenuEntry> make_entries() {
    using enum Menu;
    return {
        item(File, "&Disconnect", Command::Disconnect),
        separator(File),
        item(File, "&Mount Sensor As Drive", Command::MountAsDrive),
        separator(File),
        item(File, "&Log Sensor Configuration...", Command::LogSensorConfiguration),
        item(File, "Deployment Chec&k...", Command::DeploymentCheck),
        separator(File),
        item(File, "Process Raw &Nutrient File...", Command::ProcessNutrient),
        item(File, "Process Raw N&utrient File (Multi)...", Command::ProcessNutrientMulti),
        // Commands the classic menu had no item for; they stay in their natural group.
        item(File, "Process Raw &pH File...", Command::ProcessPh),
        item(File, "Process Raw &TA File...", Command::ProcessTa),
        item(File, "Process Raw D&IC File...", Command::ProcessDic),
        item(File, "Platform &Simulator...", Command::PlatformSimulator),
        item(File, "E&xit", Command::Exit),

        item(View, "Raw Output (&graph)", Command::RawOutputGraph),
        item(View, "Raw Output (&text)", Command::RawOutputText),
        item(View, "&Processed Output (graph)", Command::ProcessedOutputGraph),
        item(View, "&Processed Output (text)", Command::ProcessedOutputText),
        separator(View),
        item(View, "&Diagnostics", Command::Diagnostics),
        item(View, "Firmware &Compatibility", Command::Compatibility),
        separator(View),
        // The processed output graph's failed points, shown or not.
        {View, "&Hide Failed Points", Command::HideFailedPoints, true},

        item(Configure, "Real Time &Clock...", Command::RealTimeClock),
        item(Configure, "RS&232...", Command::Rs232),
        item(Configure, "&State Machine...", Command::StateMachine),
        item(Configure, "&Measurement Schedule...", Command::MeasurementSchedule),
        separator(Configure),
        item(Configure, "C&hemistry...", Command::Chemistry),
        item(Configure, "&Optics, Valves && Pump Defaults...", Command::OpticsValvesPump),
        item(Configure, "RS&485...", Command::Rs485),
        item(Configure, "&Platform Defaults...", Command::PlatformDefaults),
        item(Configure, "Sensor &Identification...", Command::SensorIdentification),
        item(Configure, "&Thermistors...", Command::Thermistors),
        item(Configure, "State Machine Start S&tates...", Command::StartStates),
        separator(Configure),
        item(Configure, "&Restore Snapshot...", Command::RestoreSnapshot),

        item(Help, "&About...", Command::About),
        item(Help, "Sensor &Port Pins...", Command::SensorPortPins),
    };
}

}  // namespace

const std::vector<MenuTitle>& menu_titles() {
    static const std::vector<MenuTitle> titles = {{Menu::File, "&File"},
                                                  {Menu::View, "&View"},
                                                  {Menu::Configure, "&Configure"},
                                                  {Menu::Help, "&Help"}};
    return titles;
}

const std::vector<MenuEntry>& menu_entries() {
    static const std::vector<MenuEntry> entries = make_entries();
    return entries;
}

std::vector<MenuEntry> visible_menu(Menu menu, const std::function<bool(Command)>& available) {
    std::vector<MenuEntry> out;
    bool separator_pending = false;
    for (const auto& entry : menu_entries()) {
        if (entry.menu != menu) {
            continue;
        }
        if (!entry.command) {
            separator_pending = !out.empty();
            continue;
        }
        if (!available(*entry.command)) {
            continue;
        }
        if (separator_pending) {
            out.push_back(separator(menu));
            separator_pending = false;
        }
        out.push_back(entry);
    }
    return out;
}

bool command_enabled(Command command, views::LinkFlags flags) {
    const bool connected = (flags & views::kLinkConnected) != 0;
    const bool running = (flags & views::kLinkRunning) != 0;
    switch (command) {
        case Command::Disconnect:
        case Command::LogSensorConfiguration:
        case Command::RawOutputText:
        case Command::RawOutputGraph:
        case Command::ProcessedOutputText:
        case Command::ProcessedOutputGraph:
        case Command::Diagnostics:
        case Command::Compatibility:
            return connected;
        case Command::MountAsDrive:
        case Command::SensorIdentification:
        case Command::RealTimeClock:
        case Command::OpticsValvesPump:
        case Command::Rs232:
        case Command::Rs485:
        case Command::StateMachine:
        case Command::StartStates:
        case Command::Chemistry:
        case Command::PlatformDefaults:
        case Command::Thermistors:
        case Command::MeasurementSchedule:
        case Command::RestoreSnapshot:
        case Command::DeploymentCheck:
            return connected && !running;
        case Command::About:
        case Command::ProcessNutrient:
        case Command::ProcessNutrientMulti:
        case Command::Exit:
        case Command::SensorPortPins:
        case Command::ProcessPh:
        case Command::ProcessTa:
        case Command::ProcessDic:
        case Command::PlatformSimulator:
        case Command::HideFailedPoints:
            return true;
    }
    return true;
}

}  // namespace kelpira::shell

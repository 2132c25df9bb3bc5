// The main window's commands, its menu as the user sees it, and which items the link state
// enables.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "views/link_flags.hpp"

namespace kelpira::shell {

// The command numbers the main window carries out; views and dialogs use the same numbers.
enum class Command : int {
    Exit = 1053,
    Disconnect = 2060,
    MountAsDrive = 2052,
    LogSensorConfiguration = 2107,
    ProcessNutrient = 2102,
    ProcessNutrientMulti = 2122,
    RawOutputGraph = 2087,
    RawOutputText = 2085,
    ProcessedOutputGraph = 2105,
    ProcessedOutputText = 2088,
    RealTimeClock = 2039,
    Rs232 = 2033,
    StateMachine = 2044,
    MeasurementSchedule = 2098,
    About = 2016,
    SensorPortPins = 2113,
    Diagnostics = 2081,
    Compatibility = 2109,
    Rs485 = 2032,
    OpticsValvesPump = 2036,
    Chemistry = 2042,
    Thermistors = 2092,
    StartStates = 2120,
    SensorIdentification = 2055,
    PlatformDefaults = 2094,
    ProcessPh = 2103,
    ProcessTa = 2111,
    ProcessDic = 2115,
    PlatformSimulator = 2100,
    RestoreSnapshot = 2130,   // the classic program had no such command
    DeploymentCheck = 2131,   // nor this one
    HideFailedPoints = 2132,  // nor this one
};

enum class Menu { File, View, Configure, Help };

// One line of a menu: an item, or a separator when `command` is empty.
struct MenuEntry {
    Menu menu;
    std::string text;  // '&' marks the mnemonic
    std::optional<Command> command;
    bool toggle = false;  // an item that is checked or not
};

struct MenuTitle {
    Menu menu;
    std::string text;
};

// "&File", "&View", "&Configure", "&Help", in menu bar order.
const std::vector<MenuTitle>& menu_titles();

// Every menu line in order: the sixteen items of the classic menu with their separators,
// and after them, in the menu where each belongs, one item per command that had none.
const std::vector<MenuEntry>& menu_entries();

// The lines of one menu that are shown when only the commands for which `available` is true
// have something to carry them out: unavailable items are left out, and so are separators
// that would lead, trail or double up.
std::vector<MenuEntry> visible_menu(Menu menu, const std::function<bool(Command)>& available);

// Whether a command's item is enabled in the given link state. Configuration and the
// deployment check are offered only while connected and idle; views, Disconnect and the
// configuration log whenever connected; processing, About, Port Pins, Exit, the simulator
// and "Hide Failed Points" always.
bool command_enabled(Command command, views::LinkFlags flags);

}  // namespace kelpira::shell

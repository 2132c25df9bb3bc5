// Housekeeping commands of the emulated sensor. It has no LED to blink and no storage to
// present as a drive; it accepts both commands as the sensor does.
#include "virtual_sensor/housekeeping_handlers.hpp"

#include <array>

#include "link/command_catalogue.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

void toggle_led(Exchange& x) {
    x.state.led_on = !x.state.led_on;
}

void mount_as_drive(Exchange& x) {
    x.state.mounted_as_drive = true;
}

constexpr std::array kCommands{
    CommandEntry{link::code_value(CommandCode::TOGGLE_LED), toggle_led},
    CommandEntry{link::code_value(CommandCode::MOUNT_AS_DRIVE), mount_as_drive},
};

}  // namespace

std::span<const CommandEntry> housekeeping_commands() {
    return kCommands;
}

}  // namespace kelpira::virtual_sensor

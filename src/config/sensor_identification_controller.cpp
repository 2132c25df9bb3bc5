// The sensor identification dialog's reading, checking and saving.
#include "config/sensor_identification_controller.hpp"

#include <algorithm>

#include "common/form.hpp"
#include "common/visible_text.hpp"
#include "link/identity_commands.hpp"

namespace kelpira::config {

namespace {

constexpr auto kSerialMax = static_cast<std::uint32_t>(kSerialRow.spec.high);

void show(const link::SensorIdentification& id, IdentificationControls& c) {
    c.held_name = id.name;
    c.name = common::visible_text(id.name);
    c.serial = std::to_string(id.serial_number);
}

}  // namespace

std::string name_bytes(const IdentificationControls& c) {
    if (c.name == common::visible_text(c.held_name)) {
        return c.held_name;
    }
    return common::text_from_visible(c.name).value_or(c.name);
}

bool name_too_long(const IdentificationControls& c) {
    return c.name != common::visible_text(c.held_name) &&
           name_bytes(c).size() > static_cast<std::size_t>(kNameRow.spec.high);
}

bool serial_red(const IdentificationControls& c) {
    const auto serial = common::parse_unsigned(c.serial);
    return !serial || *serial > kSerialMax;
}

bool identification_save_enabled(const IdentificationControls& c) {
    return !name_too_long(c) && !serial_red(c);
}

bool open_identification(IdentificationControls& c, link::SensorLink& link,
                         common::Prompter& prompter) {
    link::SensorIdentification id;
    if (link::get_sensor_identification(link, id) != link::kResultSuccess) {
        prompter.message("Configure Sensor Name", "Unable to retrieve Sensor Name from device");
        return false;
    }
    show(id, c);
    return true;
}

void save_identification(IdentificationControls& c, link::SensorLink& link,
                         common::Prompter& prompter) {
    constexpr const char* kCaption = "Save";
    link::SensorIdentification id;
    if (link::get_sensor_identification(link, id) != link::kResultSuccess) {
        prompter.message(kCaption, "Failed to save settings");
        return;
    }
    id.layout = link::SensorIdentification::kLayout;
    id.name = name_bytes(c);
    id.serial_number =
        static_cast<std::uint16_t>(std::min(common::field_unsigned(c.serial), kSerialMax));
    const link::CommandResult written = link::set_sensor_identification(link, id);
    if (written == link::kResultTooOld) {
        prompter.message(kCaption, "Failed to save settings (firmware is too old for GUI)");
        return;
    }
    if (written != link::kResultSuccess ||
        link::get_sensor_identification(link, id) != link::kResultSuccess) {
        prompter.message(kCaption, "Failed to save settings");
        return;
    }
    show(id, c);
    prompter.message(kCaption, "Settings saved");
}

}  // namespace kelpira::config

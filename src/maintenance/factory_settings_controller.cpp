// The factory dialog's reading, unlocking and saving.
#include "maintenance/factory_settings_controller.hpp"

#include <algorithm>

#include "common/form.hpp"
#include "common/visible_text.hpp"
#include "link/board_commands.hpp"
#include "link/identity_commands.hpp"
#include "maintenance/upgrade_controller.hpp"
#include "records/chemistry_transfer.hpp"
#include "records/power_status.hpp"

namespace kelpira::maintenance {

namespace {

constexpr auto kSerialMax = static_cast<std::uint32_t>(kSerialRow.spec.high);

// The board variants whose driver board carries the NVRAM.
bool has_nvram(std::uint32_t board_variant) {
    return board_variant == 6 || board_variant == 3;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

FactorySettingsController::FactorySettingsController(link::SensorLink& link,
                                                     common::Prompter& prompter)
    : link_(link), prompter_(prompter) {}

bool FactorySettingsController::open() {
    stores_ = {};
    if (!read_stores()) {
        prompter_.message(kFactoryTitle, "Unable to retrieve factory settings from sensor");
        return false;
    }
    return true;
}

bool FactorySettingsController::read_stores() {
    link::SensorIdentification id;
    if (link::get_device_info(link_, info_) != link::kResultSuccess ||
        link::get_sensor_identification(link_, id) != link::kResultSuccess) {
        return false;
    }
    show(id);
    if (info_.mode != link::kModeFirmware) {
        return true;
    }
    stores_.fram = true;
    stores_.upgrade = true;
    link::RecordBytes<records::PowerStatus::size> power{};
    if (records::get_record(link_, fram_) != link::kResultSuccess ||
        link::get_power_status(link_, power) != link::kResultSuccess) {
        return false;
    }
    if (!has_nvram(records::decode_power_status(power).board_variant)) {
        return true;
    }
    stores_.nvram = true;
    records::NvramSettings nvram;
    if (records::get_record(link_, nvram) != link::kResultSuccess) {
        return false;
    }
    show(nvram);
    return true;
}

void FactorySettingsController::show(const link::SensorIdentification& id) {
    held_name_ = id.name;
    fields_.name = common::visible_text(id.name);
    fields_.serial = std::to_string(id.serial_number);
    fields_.board_serial = std::to_string(id.board_serial_number);
}

void FactorySettingsController::show(const records::NvramSettings& nvram) {
    fields_.driver_serial = std::to_string(nvram.driver_board_serial_number);
}

void FactorySettingsController::type_password(std::string_view typed) {
    typed = typed.substr(0, kPasswordMax);
    password_.assign(typed.begin(), typed.end());
    std::transform(password_.begin(), password_.end(), password_.begin(), lower);
}

FactoryEnabling FactorySettingsController::enabling() const {
    if (!unlocked()) {
        return {};
    }
    return {
        .flash = true, .fram = stores_.fram, .nvram = stores_.nvram, .upgrade = stores_.upgrade};
}

std::string FactorySettingsController::name_bytes() const {
    if (fields_.name == common::visible_text(held_name_)) {
        return held_name_;
    }
    return common::text_from_visible(fields_.name).value_or(fields_.name);
}

bool FactorySettingsController::name_too_long() const {
    return fields_.name != common::visible_text(held_name_) &&
           name_bytes().size() > static_cast<std::size_t>(kNameRow.spec.high);
}

bool FactorySettingsController::serial_unreadable() const {
    return !common::parse_unsigned(fields_.serial);
}

bool FactorySettingsController::board_serial_too_large() const {
    return common::field_unsigned(fields_.board_serial) > kBoardSerialRow.spec.high;
}

bool FactorySettingsController::driver_serial_too_large() const {
    return common::field_unsigned(fields_.driver_serial) > kDriverSerialRow.spec.high;
}

bool FactorySettingsController::flash_save_enabled() const {
    return enabling().flash && !name_too_long() && !serial_unreadable() &&
           !board_serial_too_large();
}

bool FactorySettingsController::nvram_save_enabled() const {
    return enabling().nvram && !driver_serial_too_large();
}

void FactorySettingsController::save_flash() {
    if (!flash_save_enabled()) {
        return;
    }
    link::SensorIdentification id;  // a fresh record: every byte the dialog does not fill is 0
    id.name = name_bytes();
    id.serial_number =
        static_cast<std::uint16_t>(std::min(common::field_unsigned(fields_.serial), kSerialMax));
    id.board_serial_number =
        static_cast<std::uint16_t>(common::field_unsigned(fields_.board_serial));
    constexpr const char* kCaption = "Save (Processing Board FLASH)";
    if (link::set_sensor_identification(link_, id) != link::kResultSuccess ||
        link::get_sensor_identification(link_, id) != link::kResultSuccess) {
        prompter_.message(kCaption, "Unable to save Processing Board FLASH settings to sensor");
        return;
    }
    show(id);
    prompter_.message(kCaption, "Saved Processing Board FLASH settings to sensor");
}

void FactorySettingsController::save_fram() {
    if (!fram_save_enabled()) {
        return;
    }
    records::FramSettings written;
    written.board_serial_number = fram_.board_serial_number;
    written.pump_stroke_meter = fram_.pump_stroke_meter;
    records::FramSettings back;
    constexpr const char* kCaption = "Save (Processing Board FRAM)";
    if (records::set_record(link_, written) != link::kResultSuccess ||
        records::get_record(link_, back) != link::kResultSuccess) {
        prompter_.message(kCaption, "Unable to save Processing Board FRAM settings to sensor");
        return;
    }
    fram_ = back;
    prompter_.message(kCaption, "Saved Processing Board FRAM settings to sensor");
}

void FactorySettingsController::save_nvram() {
    if (!nvram_save_enabled()) {
        return;
    }
    records::NvramSettings written;
    written.driver_board_serial_number =
        static_cast<std::uint8_t>(common::field_unsigned(fields_.driver_serial));
    records::NvramSettings back;
    constexpr const char* kCaption = "Save (Driver Board NVRAM)";
    if (records::set_record(link_, written) != link::kResultSuccess ||
        records::get_record(link_, back) != link::kResultSuccess) {
        prompter_.message(kCaption, "Unable to save Driver Board NVRAM settings to sensor");
        return;
    }
    show(back);
    prompter_.message(kCaption, "Saved Driver Board NVRAM settings to sensor");
}

void FactorySettingsController::reset_stroke_meter() {
    if (enabling().fram) {
        fram_.pump_stroke_meter = 0;
    }
}

bool FactorySettingsController::upgrade(
    const std::function<int(std::uint8_t mode)>& run_upgrade) const {
    return run_upgrade(info_.mode) == kUpgradeDone;
}

}  // namespace kelpira::maintenance

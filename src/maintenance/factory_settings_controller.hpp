// The Factory Settings dialog without its widgets: the three stores of the sensor's
// manufacturing identity (processing board FLASH and FRAM, driver board NVRAM), which of them
// this sensor has, the maintenance password that unlocks them, and each store's save.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/prompter.hpp"
#include "link/identity_fields.hpp"
#include "link/sensor_link.hpp"
#include "records/factory_fields.hpp"

namespace kelpira::maintenance {

inline constexpr const char* kFactoryTitle = "Factory Settings";
inline constexpr const char* kResetStrokeMeterTip = "Reset Pump Stroke Meter To Zero";
inline constexpr std::string_view kMaintenancePassword = "quoll";
inline constexpr std::size_t kPasswordMax = 23;
// The rows of the fields the dialog edits and shows: their captions and limits. A board serial
// number above its row's limit is refused rather than cut to its low 8 bits, which would store
// another board's number.
inline constexpr const auto& kNameRow = link::row_of<link::SensorIdentification>("name");
inline constexpr const auto& kSerialRow = link::row_of<link::SensorIdentification>("serial_number");
inline constexpr const auto& kBoardSerialRow =
    link::row_of<link::SensorIdentification>("board_serial_number");
inline constexpr const auto& kFramBoardSerialRow =
    records::row_of<records::FramSettings>("board_serial_number");
inline constexpr const auto& kStrokeMeterRow =
    records::row_of<records::FramSettings>("pump_stroke_meter");
inline constexpr const auto& kDriverSerialRow =
    records::row_of<records::NvramSettings>("driver_board_serial_number");

// What the editable fields hold, as typed.
struct FactoryFields {
    std::string name;           // "Sensor Name", made visible (common::visible_text)
    std::string serial;         // "Sensor Serial Number"
    std::string board_serial;   // "Processing Board Serial Number" (FLASH), digits only
    std::string driver_serial;  // "Driver Board Serial Number" (NVRAM), digits only
};

// The stores this sensor offers, found on opening. FLASH is always there.
struct FactoryStores {
    bool fram = false;     // the firmware is running
    bool nvram = false;    // ... on a board variant that carries the NVRAM
    bool upgrade = false;  // a bootloader upgrade: the firmware is running
};

// Which groups' controls are enabled: fields, buttons and Save of FLASH, FRAM, NVRAM, and
// "Upgrade...".
struct FactoryEnabling {
    bool flash = false;
    bool fram = false;
    bool nvram = false;
    bool upgrade = false;

    bool operator==(const FactoryEnabling&) const = default;
};

// Used on the UI thread with the link open for maintenance.
class FactorySettingsController {
  public:
    FactorySettingsController(link::SensorLink& link, common::Prompter& prompter);

    // Reads the device info and every store the sensor has, filling the fields. False, after
    // saying so, when any read fails and the dialog closes.
    bool open();

    // The password field: what was typed, lower-cased and kept to 23 characters.
    void type_password(std::string_view typed);
    const std::string& password() const { return password_; }
    bool unlocked() const { return password_ == kMaintenancePassword; }
    FactoryEnabling enabling() const;

    FactoryFields& fields() { return fields_; }
    const FactoryFields& fields() const { return fields_; }
    // The FRAM group is shown, never typed: the obsolete board serial number and the stroke
    // meter as the dialog holds them.
    const records::FramSettings& fram() const { return fram_; }
    const FactoryStores& stores() const { return stores_; }
    // The running code read on opening; the bootloader upgrade is opened with it.
    std::uint8_t mode() const { return info_.mode; }

    // The bytes "Sensor Name" stands for: those read while it is untouched, else the typed
    // text with its escapes read back.
    std::string name_bytes() const;
    // Entries drawn in red: they cannot be stored as typed.
    bool name_too_long() const;
    bool serial_unreadable() const;  // "Sensor Serial Number" is no number ("1001a")
    bool board_serial_too_large() const;
    bool driver_serial_too_large() const;
    // Each Save: enabled with its group while none of the group's entries is red.
    bool flash_save_enabled() const;
    bool fram_save_enabled() const { return enabling().fram; }
    bool nvram_save_enabled() const;

    // Each writes its store while its Save is enabled, reads it back into the fields and says
    // how it went. After a failure the fields keep what the user entered.
    void save_flash();
    void save_fram();
    void save_nvram();
    // The shown stroke meter becomes 0; it reaches the sensor only with FRAM's Save.
    void reset_stroke_meter();
    // "Upgrade...": runs the Upgrade dialog (given the running code, returning its result).
    // True when this dialog is to close: after a completed upgrade the sensor restarts, and
    // what is shown is no longer what it holds; after a failure it stays for a retry.
    bool upgrade(const std::function<int(std::uint8_t mode)>& run_upgrade) const;

  private:
    bool read_stores();
    void show(const link::SensorIdentification& id);
    void show(const records::NvramSettings& nvram);

    link::SensorLink& link_;
    common::Prompter& prompter_;
    link::DeviceInfo info_;
    FactoryStores stores_;
    FactoryFields fields_;
    std::string held_name_;  // the name's bytes as read
    records::FramSettings fram_;
    std::string password_;
};

}  // namespace kelpira::maintenance

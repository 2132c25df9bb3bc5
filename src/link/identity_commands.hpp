// Wrappers of the identity and bootloader commands (256..262) and the firmware version (294).
// The three identity wrappers fall back to the legacy identity when the sensor answers 9.
#pragma once

#include "link/command_exchange.hpp"
#include "link/identity_records.hpp"

namespace kelpira::link {

inline constexpr std::size_t kFirmwareBlockSize = 77;

CommandResult get_legacy_identity(SensorLink& link, LegacyIdentity& identity);
CommandResult set_legacy_identity(SensorLink& link, const LegacyIdentity& identity);
CommandResult start_firmware(SensorLink& link);
CommandResult write_firmware_block(SensorLink& link, const RecordBytes<kFirmwareBlockSize>& block);

// On 9, reads the legacy identity instead: 9 again if that fails in any way, else 0 with the
// legacy record converted.
CommandResult get_sensor_identification(SensorLink& link, SensorIdentification& identification);
// Sends the record as given (the caller sets its layout). On 9, writes the legacy identity
// instead: 9 if that transaction fails, else its result.
CommandResult set_sensor_identification(SensorLink& link,
                                        const SensorIdentification& identification);
// On 9, reads the legacy identity instead: 9 if that transaction fails, its result if not 0,
// else 0 with the device info built from the legacy record.
CommandResult get_device_info(SensorLink& link, DeviceInfo& info);

CommandResult get_firmware_version(SensorLink& link, FirmwareVersion& version);

}  // namespace kelpira::link

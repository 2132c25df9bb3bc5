// The identity commands, with the legacy-identity fallback of firmware that answers 9.
#include "link/identity_commands.hpp"

#include "link/identity_fields.hpp"

namespace kelpira::link {

namespace {

static_assert(request_length(CommandCode::WRITE_FIRMWARE_BLOCK) == kFirmwareBlockSize);

// The legacy record's bytes; no value when the transaction failed.
std::optional<CommandResult> read_legacy_bytes(SensorLink& link,
                                               RecordBytes<LegacyIdentity::size>& bytes) {
    return try_exchange(link, kLegacyIdentityTable.get, {}, bytes);
}

}  // namespace

CommandResult get_legacy_identity(SensorLink& link, LegacyIdentity& identity) {
    RecordBytes<LegacyIdentity::size> bytes{};
    const CommandResult result = read_legacy_bytes(link, bytes).value_or(kResultNoExchange);
    if (result == kResultSuccess) {
        identity = decode_legacy_identity(bytes);
    }
    return result;
}

CommandResult set_legacy_identity(SensorLink& link, const LegacyIdentity& identity) {
    return exchange(link, kLegacyIdentityTable.set, encode(identity));
}

CommandResult start_firmware(SensorLink& link) {
    return exchange(link, CommandCode::START_FIRMWARE, {});
}

CommandResult write_firmware_block(SensorLink& link, const RecordBytes<kFirmwareBlockSize>& block) {
    return exchange(link, CommandCode::WRITE_FIRMWARE_BLOCK, block);
}

CommandResult get_sensor_identification(SensorLink& link, SensorIdentification& identification) {
    RecordBytes<SensorIdentification::size> bytes{};
    const CommandResult result = exchange(link, kSensorIdentificationTable.get, {}, bytes);
    if (result == kResultSuccess) {
        identification = decode_sensor_identification(bytes);
        return result;
    }
    if (result != kResultUnknownCommand) {
        return result;
    }
    RecordBytes<LegacyIdentity::size> legacy{};
    if (read_legacy_bytes(link, legacy) != kResultSuccess) {
        return kResultUnknownCommand;
    }
    identification = sensor_identification_from_legacy(legacy);
    return kResultSuccess;
}

CommandResult set_sensor_identification(SensorLink& link,
                                        const SensorIdentification& identification) {
    const CommandResult result =
        exchange(link, kSensorIdentificationTable.set, encode(identification));
    if (result != kResultUnknownCommand) {
        return result;
    }
    return try_exchange(link, kLegacyIdentityTable.set, legacy_identity_bytes(identification))
        .value_or(kResultUnknownCommand);
}

CommandResult get_device_info(SensorLink& link, DeviceInfo& info) {
    RecordBytes<DeviceInfo::size> bytes{};
    const CommandResult result = exchange(link, kDeviceInfoTable.get, {}, bytes);
    if (result == kResultSuccess) {
        info = decode_device_info(bytes);
        return result;
    }
    if (result != kResultUnknownCommand) {
        return result;
    }
    RecordBytes<LegacyIdentity::size> legacy{};
    const auto legacy_result = read_legacy_bytes(link, legacy);
    if (!legacy_result) {
        return kResultUnknownCommand;
    }
    if (*legacy_result != kResultSuccess) {
        return *legacy_result;
    }
    info = device_info_from_legacy(decode_legacy_identity(legacy));
    return kResultSuccess;
}

CommandResult get_firmware_version(SensorLink& link, FirmwareVersion& version) {
    RecordBytes<FirmwareVersion::size> bytes{};
    const CommandResult result = exchange(link, kFirmwareVersionTable.get, {}, bytes);
    if (result == kResultSuccess) {
        version = decode_firmware_version(bytes);
    }
    return result;
}

}  // namespace kelpira::link

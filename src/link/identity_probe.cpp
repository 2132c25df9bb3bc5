// Identity reads for the device probe and the firmware version.
#include "link/identity_probe.hpp"

#include "link/identity_commands.hpp"
#include "link/identity_fields.hpp"

namespace kelpira::link {

namespace {

template <typename Record, typename Read>
bool read_twice(SensorLink& link, Record& record, Read read) {
    return read(link, record) == kResultSuccess || read(link, record) == kResultSuccess;
}

}  // namespace

std::optional<ProbedSensor> probe_sensor(SensorLink& link) {
    ProbedSensor sensor;
    const bool identified = read_twice(
        link, sensor.identification,
        [](SensorLink& l, SensorIdentification& r) { return get_sensor_identification(l, r); });
    const bool informed = read_twice(
        link, sensor.info, [](SensorLink& l, DeviceInfo& r) { return get_device_info(l, r); });
    if (!identified || !informed) {
        return std::nullopt;
    }
    sensor.name = sensor.identification.name.substr(0, kSensorNameMax);
    return sensor;
}

std::optional<std::string> read_firmware_version_text(SensorLink& link) {
    FirmwareVersion version;
    if (get_firmware_version(link, version) != kResultSuccess) {
        return std::nullopt;
    }
    return version.text;
}

}  // namespace kelpira::link

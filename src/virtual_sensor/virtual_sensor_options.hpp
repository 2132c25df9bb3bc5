// What an emulated sensor is when it starts: identity, running code, chemistry and the
// older-firmware profiles it imitates.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "records/chemistry_type.hpp"
#include "records/platform_records.hpp"
#include "virtual_sensor/firmware_upload.hpp"
#include "virtual_sensor/run_options.hpp"
#include "virtual_sensor/serial_side_options.hpp"

namespace kelpira::virtual_sensor {

// The code the sensor runs; the values are the mode byte of the device info record.
enum class RunningCode : std::uint8_t { bootloader = 1, firmware = 2 };

struct VirtualSensorOptions {
    std::string name = "Virtual Sensor";  // at most 20 characters are kept
    std::uint16_t serial_number = 1001;
    std::uint16_t board_serial_number = 201;
    std::uint16_t device_type = 7310;  // this sensor
    std::uint8_t bootloader_version = 3;
    std::string firmware_version = "KELPIRA_2_8_3";  // at most 25 characters are kept
    records::ChemistryType chemistry = records::ChemistryType::nitrate;
    RunningCode running = RunningCode::firmware;
    std::string hardware_id = "VID_04D8&PID_EABC";

    // Older firmware. legacy_identity: 9 to GET/SET_SENSOR_IDENTIFICATION and
    // GET_DEVICE_INFO; the legacy identity record then carries identity, with legacy_layout
    // (0: the oldest, no serial number and no bootloader version) and device_kind (2 and 7
    // are this sensor).
    bool legacy_identity = false;
    std::uint8_t legacy_layout = 1;
    std::uint8_t device_kind = 2;
    bool old_optics_test = false;           // 8 to START_OPTICS_TEST; only the older form 370
    bool old_identification_write = false;  // 8 to SET_SENSOR_IDENTIFICATION: too old to write
    bool legacy_nutrient_params = false;    // 4 to the 29-byte nutrient record; only 23 bytes
    // The schedule layout the firmware answers: 1 too old for the schedule dialog, 2 without
    // minute intervals, 3 full support.
    std::uint8_t schedule_layout = 3;

    // The clock: seconds ahead of the host clock at the start, and how fast it runs, in parts
    // per million of the host clock (the host clock is the true UTC of the emulation).
    double clock_offset_s = 0;
    double clock_drift_ppm = 0;

    std::int32_t supply_mv = 12000;   // centre of the supply the sensor reports
    std::uint32_t board_variant = 6;  // 3 and 6 carry the driver board NVRAM
    RunOptions run;                   // what runs measure and where their files go
    bool empty_program = false;       // no state-machine program instead of the default one
    std::optional<BlockRefusal> refuse_block;   // WRITE_FIRMWARE_BLOCK refused at this block
    ImageStart image_start = ImageStart::runs;  // what runs after a new firmware image
    unsigned stored_results = 0;                // results stored before the first command
    bool failed_results = false;                // the stored results marked bad hold NaN
    SerialSideOptions serial;  // the RS232 platform protocol, if the sensor speaks one
    std::uint32_t rs232_protocol = records::kRs232GenericPolled;  // any, also one no list offers
};

}  // namespace kelpira::virtual_sensor

// Sensor answers: every command wrapper reading an answer the fuzzer wrote, the records
// decoded from what the wrapper took, and the identity texts the program judges.
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "fuzz_inputs.hpp"
#include "link/actuator_commands.hpp"
#include "link/board_commands.hpp"
#include "link/compatibility_verdict.hpp"
#include "link/firmware_version.hpp"
#include "link/handler_hid.hpp"
#include "link/identity_commands.hpp"
#include "link/identity_probe.hpp"
#include "link/identity_records.hpp"
#include "link/operation_commands.hpp"
#include "link/platform_commands.hpp"
#include "link/sensor_link.hpp"
#include "records/chemistry_transfer.hpp"
#include "records/diagnostics_records.hpp"
#include "records/live_sample.hpp"
#include "records/optics_records.hpp"
#include "records/output_record.hpp"
#include "records/platform_state.hpp"
#include "records/power_status.hpp"
#include "records/pump_valve_defaults.hpp"
#include "statemachine/state_record.hpp"

namespace kelpira::fuzz {

namespace {

using namespace link;

constexpr const char* kPath = "/dev/fuzz/kelpira0";

// A sensor that answers every request with the same bytes from the result byte on; the
// report id, code and sequence number echo the request, so the link takes the answer.
struct AnsweringSensor {
    std::mutex mutex;
    std::vector<std::uint8_t> answer;
    InProcessHidBackend backend;
    SensorLink link{backend};

    AnsweringSensor() {
        backend.add(kPath, "VID_04D8&PID_EABC", [this](const Report& request) {
            InProcessReport reply;
            reply.bytes = request;
            std::fill(reply.bytes.begin() + 4, reply.bytes.end(), std::uint8_t{0});
            const std::lock_guard lock(mutex);
            std::copy_n(answer.begin(), std::min(answer.size(), kReportSize - 4),
                        reply.bytes.begin() + 4);
            return std::vector<InProcessReport>{reply};
        });
        link.Open(kPath, std::chrono::milliseconds(10000));
    }
};

template <typename Decode, std::size_t N>
CommandResult decoded(CommandResult r, const RecordBytes<N>& bytes, Decode decode) {
    if (r == kResultSuccess) {
        (void)decode(std::span<const std::uint8_t>(bytes));
    }
    return r;
}

template <std::size_t N>
RecordBytes<N> filled(std::uint8_t value) {
    RecordBytes<N> r;
    r.fill(value);
    return r;
}

using Call = std::function<void(SensorLink&)>;

std::vector<Call> wrapper_calls() {
    std::vector<Call> calls;
    const auto add = [&](Call c) { calls.push_back(std::move(c)); };
    // Actuators.
    add([](SensorLink& l) {
        RecordBytes<kPumpValveDefaultsSize> r{};
        decoded(get_pump_valve_defaults(l, r), r, records::decode_pump_valve_defaults);
    });
    add([](SensorLink& l) { set_pump_valve_defaults(l, filled<kPumpValveDefaultsSize>(1)); });
    add([](SensorLink& l) { start_pump_test(l, filled<kPumpValveDefaultsSize>(2), 1); });
    add([](SensorLink& l) { stop_pump_test(l); });
    add([](SensorLink& l) {
        RecordBytes<kPumpTestStatusSize> r{};
        get_pump_test_status(l, r);
    });
    add([](SensorLink& l) { start_valves_test(l, 0xFFFF, 100); });
    add([](SensorLink& l) { stop_valves_test(l); });
    add([](SensorLink& l) {
        RecordBytes<kOpticsDefaultsSize> r{};
        decoded(get_optics_defaults(l, r), r, records::decode_optics_defaults);
    });
    add([](SensorLink& l) { set_optics_defaults(l, filled<kOpticsDefaultsSize>(3)); });
    add([](SensorLink& l) { start_optics_test_v1(l, filled<kOpticsTestV1Size>(4)); });
    add([](SensorLink& l) { start_optics_test(l, filled<kOpticsTestSize>(5)); });
    add([](SensorLink& l) { stop_optics_test(l); });
    add([](SensorLink& l) {
        RecordBytes<kDicConductivityConfigSize> r{};
        decoded(get_dic_config(l, r), r, records::decode_dic_conductivity_config);
    });
    add([](SensorLink& l) { set_dic_config(l, filled<kDicConductivityConfigSize>(6)); });
    add([](SensorLink& l) {
        RecordBytes<kPmtConfigSize> r{};
        decoded(get_pmt_config(l, r), r, records::decode_pmt_config);
    });
    add([](SensorLink& l) { set_pmt_config(l, filled<kPmtConfigSize>(7)); });
    // Clock, board and diagnostics.
    add([](SensorLink& l) {
        RecordBytes<kRtcTimeSize> r{};
        get_rtc_time(l, r);
    });
    add([](SensorLink& l) { set_rtc_time(l, filled<kRtcTimeSize>(8)); });
    add([](SensorLink& l) {
        RecordBytes<kFramSettingsSize> r{};
        get_fram_settings(l, r);
    });
    add([](SensorLink& l) { set_fram_settings(l, filled<kFramSettingsSize>(9)); });
    add([](SensorLink& l) {
        RecordBytes<kPowerStatusSize> r{};
        decoded(get_power_status(l, r), r, records::decode_power_status);
    });
    add([](SensorLink& l) { toggle_led(l); });
    add([](SensorLink& l) {
        RecordBytes<kRestartLogEntrySize> r{};
        decoded(get_restart_log_entry(l, true, r), r, records::decode_restart_log_entry);
    });
    add([](SensorLink& l) { set_task_flags(l, filled<kTaskFlagsSize>(10)); });
    add([](SensorLink& l) {
        RecordBytes<kTaskDetailsSize> r{};
        decoded(get_task_details(l, 16, r), r, records::decode_task_details);
    });
    add([](SensorLink& l) {
        RecordBytes<kDiagnosticsEntrySize> r{};
        decoded(read_diagnostics(l, r), r, records::decode_diagnostics_entry);
    });
    add([](SensorLink& l) { clear_diagnostics(l); });
    add([](SensorLink& l) { open_diagnostics(l); });
    add([](SensorLink& l) {
        RecordBytes<kNvramSettingsSize> r{};
        get_nvram_settings(l, r);
    });
    add([](SensorLink& l) { set_nvram_settings(l, filled<kNvramSettingsSize>(11)); });
    // Chemistry.
    add([](SensorLink& l) {
        records::ChemistryConfig c;
        get_chemistry_config(l, c);
        set_chemistry_config(l, c);
    });
    for (const auto& d : records::kChemistryTable) {
        add([type = d.code](SensorLink& l) {
            std::array<std::uint8_t, kMaxProcessingRecord> r{};
            get_processing_params(l, type, r);
            set_processing_params(l, type, r);
        });
    }
    add([](SensorLink& l) {
        records::NutrientParams p;
        get_processing_params(l, p);
        set_processing_params(l, p);
    });
    add([](SensorLink& l) {
        records::GenericParams p;
        get_processing_params(l, p);
        set_processing_params(l, p);
    });
    add([](SensorLink& l) {
        records::PhParams p;
        get_processing_params(l, p);
        set_processing_params(l, p);
    });
    add([](SensorLink& l) {
        records::TaParams p;
        get_processing_params(l, p);
        set_processing_params(l, p);
    });
    add([](SensorLink& l) {
        records::DicParams p;
        get_processing_params(l, p);
        set_processing_params(l, p);
    });
    add([](SensorLink& l) {
        records::AmmoniaParams p;
        get_processing_params(l, p);
        set_processing_params(l, p);
    });
    add([](SensorLink& l) {
        records::ThermistorConfig t;
        get_thermistor_config(l, 1, t);
        set_thermistor_config(l, 1, t);
    });
    // Identity.
    add([](SensorLink& l) {
        LegacyIdentity id;
        get_legacy_identity(l, id);
        set_legacy_identity(l, id);
    });
    add([](SensorLink& l) { start_firmware(l); });
    add([](SensorLink& l) { write_firmware_block(l, filled<kFirmwareBlockSize>(12)); });
    add([](SensorLink& l) {
        SensorIdentification id;
        get_sensor_identification(l, id);
        set_sensor_identification(l, id);
    });
    add([](SensorLink& l) {
        DeviceInfo info;
        get_device_info(l, info);
    });
    add([](SensorLink& l) {
        FirmwareVersion v;
        if (get_firmware_version(l, v) == kResultSuccess) {
            (void)ParseFirmwareVersion(v.text);
            (void)judge_firmware(v.text);
        }
    });
    add([](SensorLink& l) { (void)probe_sensor(l); });
    add([](SensorLink& l) {
        if (const auto text = read_firmware_version_text(l)) {
            (void)judge_firmware(*text);
        }
    });
    // Operation.
    add([](SensorLink& l) {
        RecordBytes<kLiveStatusSize> r{};
        decoded(get_live_status(l, r), r, records::decode_live_status);
    });
    add([](SensorLink& l) { open_output_stream(l); });
    add([](SensorLink& l) {
        RecordBytes<kOutputRecordSize> r{};
        decoded(read_output_record(l, r), r, records::decode_output_record);
    });
    add([](SensorLink& l) { clear_outputs(l); });
    add([](SensorLink& l) {
        std::string name;
        get_output_file_name(l, name);
    });
    add([](SensorLink& l) {
        std::uint16_t count = 0;
        get_state_machine_info(l, count);
    });
    add([](SensorLink& l) {
        RecordBytes<kStateRecordSize> r{};
        decoded(get_state_record(l, 3, r), r, statemachine::decode_state_record);
    });
    add([](SensorLink& l) { set_state_record(l, 3, true, filled<kStateRecordSize>(13)); });
    add([](SensorLink& l) { start_state_machine(l, 1); });
    add([](SensorLink& l) { stop_state_machine(l); });
    add([](SensorLink& l) { mount_as_drive(l); });
    // Platform.
    add([](SensorLink& l) {
        RecordBytes<kPlatformDefaultsSize> r{};
        get_platform_defaults(l, r);
    });
    add([](SensorLink& l) { set_platform_defaults(l, filled<kPlatformDefaultsSize>(14)); });
    add([](SensorLink& l) {
        RecordBytes<kScheduleSize> r{};
        get_schedule(l, r);
    });
    add([](SensorLink& l) { set_schedule(l, filled<kScheduleSize>(15)); });
    add([](SensorLink& l) {
        RecordBytes<kPlatformStateSize> r{};
        decoded(get_platform_state(l, r), r, records::decode_platform_state);
    });
    add([](SensorLink& l) {
        std::uint32_t sensor_time = 0;
        std::uint32_t next_time = 0;
        std::uint8_t stop_reached = 0;
        get_next_measurement(l, sensor_time, next_time, stop_reached);
    });
    add([](SensorLink& l) {
        RecordBytes<kRs232ConfigSize> r{};
        get_rs232_config(l, r);
    });
    add([](SensorLink& l) { set_rs232_config(l, filled<kRs232ConfigSize>(16)); });
    add([](SensorLink& l) {
        RecordBytes<kRs485ConfigSize> r{};
        get_rs485_config(l, r);
    });
    add([](SensorLink& l) { set_rs485_config(l, filled<kRs485ConfigSize>(17)); });
    return calls;
}

// The records and texts decoded straight from the bytes, as they come from a file or a
// record of another layout.
void decode_directly(std::span<const std::uint8_t> bytes) {
    (void)decode_device_info(bytes.first(std::min(bytes.size(), DeviceInfo::size)));
    if (bytes.size() >= LegacyIdentity::size) {
        const auto legacy = bytes.first(LegacyIdentity::size);
        (void)decode_legacy_identity(legacy);
        (void)sensor_identification_from_legacy(legacy);
        (void)device_info_from_legacy(decode_legacy_identity(legacy));
    }
    if (bytes.size() >= SensorIdentification::size) {
        (void)legacy_identity_bytes(
            decode_sensor_identification(bytes.first(SensorIdentification::size)));
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    (void)ParseFirmwareVersion(text);
    (void)judge_firmware(text);
}

}  // namespace

int device_answer_input(const std::uint8_t* data, std::size_t size) {
    static AnsweringSensor sensor;
    static const std::vector<Call> calls = wrapper_calls();
    if (size == 0) {
        return 0;
    }
    {
        const std::lock_guard lock(sensor.mutex);
        sensor.answer.assign(data + 1, data + size);
    }
    calls[data[0] % calls.size()](sensor.link);
    decode_directly(std::span<const std::uint8_t>(data + 1, size - 1));
    return 0;
}

}  // namespace kelpira::fuzz

// The device options of kelpira-virtual-sensor.
#include "device_options.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/number_scan.hpp"
#include "link/device_socket_names.hpp"
#include "records/chemistry_type.hpp"

namespace kelpira::virtual_sensor_program {

namespace {

using namespace kelpira::virtual_sensor;

template <typename T>
T nth(const CLI::Option& option, std::size_t k) {
    return option.as<std::vector<T>>().at(k);
}

std::vector<std::string> chemistry_names() {
    std::vector<std::string> names;
    for (const auto& d : records::kChemistryTable) {
        names.emplace_back(d.tab_text);
    }
    return names;
}

records::ChemistryType chemistry_named(const std::string& name) {
    for (const auto& d : records::kChemistryTable) {
        if (d.tab_text == name) {
            return d.code;
        }
    }
    return records::ChemistryType::nitrate;
}

// A whole number in [low, high] inside a compound value ("418:late:1500").
template <typename T>
std::optional<T> part(const std::string& text, std::int64_t low, std::int64_t high) {
    const auto v = common::option_integer(text);
    if (!v || *v < low || *v > high) {
        return std::nullopt;
    }
    return static_cast<T>(*v);
}

struct FaultName {
    const char* name;
    FaultKind kind;
};
constexpr FaultName kFaultNames[] = {
    {"no-answer", FaultKind::no_answer},  {"late", FaultKind::late_answer},
    {"stale", FaultKind::stale_sequence}, {"removed", FaultKind::removed},
    {"garbage", FaultKind::garbage},      {"unterminated", FaultKind::unterminated_text},
};

// "CODE:KIND" or "CODE:late:MS".
std::optional<ScriptedFault> fault_from(const std::string& text) {
    const auto first = text.find(':');
    if (first == std::string::npos) {
        return std::nullopt;
    }
    const auto code = part<std::uint16_t>(text.substr(0, first), 256, 65535);
    std::string kind = text.substr(first + 1);
    std::string delay;
    if (const auto second = kind.find(':'); second != std::string::npos) {
        delay = kind.substr(second + 1);
        kind = kind.substr(0, second);
    }
    const auto named = std::find_if(std::begin(kFaultNames), std::end(kFaultNames),
                                    [&](const FaultName& f) { return kind == f.name; });
    if (!code || named == std::end(kFaultNames)) {
        return std::nullopt;
    }
    ScriptedFault f{*code, {named->kind, {}}};
    if (named->kind == FaultKind::late_answer) {
        const auto ms = part<int>(delay, 0, 600'000);
        if (!ms) {
            return std::nullopt;
        }
        f.fault.delay = std::chrono::milliseconds(*ms);
    } else if (!delay.empty()) {
        return std::nullopt;
    }
    return f;
}

// "BLOCK:RESULT".
std::optional<BlockRefusal> block_refusal_from(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        return std::nullopt;
    }
    const auto block = part<std::uint32_t>(text.substr(0, colon), 0, 0xFFFFFFFF);
    const auto result = part<std::uint8_t>(text.substr(colon + 1), 1, 255);
    if (!block || !result) {
        return std::nullopt;
    }
    return BlockRefusal{*block, *result};
}

// "N:X": a cycle from 1 and a size, either sign.
std::optional<std::pair<std::uint32_t, double>> spike_from(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        return std::nullopt;
    }
    const auto cycle = part<std::uint32_t>(text.substr(0, colon), 1, 100000);
    const auto size = common::option_real(text.substr(colon + 1));
    if (!cycle || !size || !(std::abs(*size) <= 10000)) {
        return std::nullopt;
    }
    return std::pair{*cycle, *size};
}

// "M:K": from cycle M (from 1), K cycles.
std::optional<std::pair<std::uint32_t, std::uint32_t>> stuck_from(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        return std::nullopt;
    }
    const auto first = part<std::uint32_t>(text.substr(0, colon), 1, 100000);
    const auto count = part<std::uint32_t>(text.substr(colon + 1), 1, 100000);
    if (!first || !count) {
        return std::nullopt;
    }
    return std::pair{*first, *count};
}

std::vector<DeviceOption> make_device_options() {
    using common::of_form;
    using common::whole_number_in;
    return {
        {"--name", "TEXT", "sensor name (default \"Virtual Sensor\")", common::at_most_chars(20),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.name = nth<std::string>(o, k);
         }},
        {"--serial", "N|PROTOCOL",
         "N: the sensor's serial number (default 1001, 1002, ... by device);\n"
         "PROTOCOL: the sensor's RS232 speaks seaglider, bridges or eti: a\n"
         "pseudo-terminal answers as the firmware does, published as\n"
         "$XDG_RUNTIME_DIR/kelpira/serial/NAME (the sensor's name)",
         common::either(common::one_of({"seaglider", "bridges", "eti"}, true),
                        whole_number_in(0, 65535)),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             const auto text = nth<std::string>(o, k);
             if (const auto protocol = serial_protocol_named(text)) {
                 d.sensor.serial.protocol = protocol;
             } else {
                 d.sensor.serial_number =
                     static_cast<std::uint16_t>(common::option_integer(text).value_or(0));
             }
         }},
        {"--serial-fault", "KIND[:N]",
         "the first N serial replies (default every one) meet a fault:\n"
         "wrong-checksum (ETI), silence, or long-reply (past 99 bytes)",
         of_form("KIND[:N]",
                 [](const std::string& text) {
                     return serial_fault_from(text, SerialSideOptions{}).has_value();
                 }),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.serial = *serial_fault_from(nth<std::string>(o, k), d.sensor.serial);
         }},
        {"--stored-results", "N",
         "results stored before the first command (default 0), one per ten\n"
         "minutes, for the processed output and platform downloads",
         whole_number_in(0, 5000),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.stored_results = nth<unsigned>(o, k);
         }},
        {"--failed-results", "",
         "the stored results marked bad hold NaN, as a failed measurement does\n"
         "on some firmware",
         std::nullopt,
         [](ServedSensorOptions& d, const CLI::Option&, std::size_t) {
             d.sensor.failed_results = true;
         }},
        {"--board-serial", "N", "processing board serial number (default 201, 202, ...)",
         whole_number_in(0, 65535),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.board_serial_number = nth<std::uint16_t>(o, k);
         }},
        {"--chemistry", "NAME", "the sensor's chemistry, any letter case (default nitrate)",
         common::one_of(chemistry_names(), true),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.chemistry = chemistry_named(nth<std::string>(o, k));
         }},
        {"--chemistry-code", "N",
         "the chemistry code stored on the sensor, also one that no chemistry\n"
         "carries (10 and above)",
         whole_number_in(0, 255),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.chemistry = static_cast<records::ChemistryType>(nth<unsigned>(o, k));
         }},
        {"--firmware", "TEXT", "firmware version text (default KELPIRA_2_8_3)",
         common::at_most_chars(25),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.firmware_version = nth<std::string>(o, k);
         }},
        {"--bootloader", "", "start in the bootloader instead of the firmware", std::nullopt,
         [](ServedSensorOptions& d, const CLI::Option&, std::size_t) {
             d.sensor.running = RunningCode::bootloader;
         }},
        {"--bootloader-version", "N", "bootloader version (default 3)", whole_number_in(0, 255),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.bootloader_version = static_cast<std::uint8_t>(nth<unsigned>(o, k));
         }},
        {"--device-type", "N", "device type code (default 7310)", whole_number_in(0, 65535),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.device_type = nth<std::uint16_t>(o, k);
         }},
        {"--hardware-id", "VID_xxxx&PID_xxxx", "USB hardware id (default VID_04D8&PID_EABC)",
         of_form(
             "VID_xxxx&PID_xxxx",
             [](const std::string& text) { return link::normalise_hardware_id(text).has_value(); }),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.hardware_id = *link::normalise_hardware_id(nth<std::string>(o, k));
         }},
        {"--legacy-identity", "",
         "older firmware: answers 9 to the identity commands 260, 261 and 262\n"
         "and identifies itself with the legacy record 256",
         std::nullopt,
         [](ServedSensorOptions& d, const CLI::Option&, std::size_t) {
             d.sensor.legacy_identity = true;
         }},
        {"--oldest-identity", "",
         "as --legacy-identity, with the oldest legacy record (no serial number,\n"
         "no bootloader version)",
         std::nullopt,
         [](ServedSensorOptions& d, const CLI::Option&, std::size_t) {
             d.sensor.legacy_identity = true;
             d.sensor.legacy_layout = 0;
         }},
        {"--old-optics-test", "", "older firmware: answers 8 to START_OPTICS_TEST (626)",
         std::nullopt,
         [](ServedSensorOptions& d, const CLI::Option&, std::size_t) {
             d.sensor.old_optics_test = true;
         }},
        {"--legacy-nutrient-params", "",
         "older firmware: answers 4 to the 29-byte nutrient parameters", std::nullopt,
         [](ServedSensorOptions& d, const CLI::Option&, std::size_t) {
             d.sensor.legacy_nutrient_params = true;
         }},
        {"--clock-offset-s", "S",
         "the sensor's clock starts S seconds (a decimal) ahead of the host's\n"
         "(default 0; negative: behind)",
         common::decimal_in(-1e9, 1e9),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.clock_offset_s = nth<double>(o, k);
         }},
        {"--clock-drift-ppm", "N",
         "the sensor's clock runs N parts per million fast (negative: slow)\n"
         "against the host's, from the start or from the moment it is set; the\n"
         "host's clock (scaled by --time-scale) is the true UTC",
         common::decimal_in(-1e5, 1e5),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.clock_drift_ppm = nth<double>(o, k);
         }},
        {"--supply-mv", "MV",
         "supply voltage in millivolts (default 12000); below 9000 the sensor\n"
         "refuses to start its program (result 6)",
         whole_number_in(0, 40000),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.supply_mv = nth<std::int32_t>(o, k);
         }},
        {"--board-variant", "N",
         "board variant in the power status (default 6); only 3 and 6 carry the\n"
         "driver board NVRAM, others refuse its commands",
         whole_number_in(0, 4294967295LL),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.board_variant = nth<std::uint32_t>(o, k);
         }},
        {"--storage", "DIR",
         "the sensor's storage: each run writes its raw output file R0000001.CSV,\n"
         "R0000002.CSV, ... there; Mount Sensor As Drive reports this folder",
         of_form("DIR", [](const std::string& text) { return !text.empty(); }),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.run.storage = nth<std::string>(o, k);
         }},
        {"--concentration", "UM",
         "nutrient concentration of the sample the model measures, in micromoles\n"
         "per litre (default 10)",
         common::decimal_in(0, 10000),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.run.target.concentration_um = nth<double>(o, k);
         }},
        {"--ph", "VALUE", "pH of the sample the model measures (default 8.05)",
         common::decimal_in(6, 9.5),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.run.target.ph = nth<double>(o, k);
         }},
        {"--ta", "UMOL_KG",
         "total alkalinity of the sample the model measures, in micromoles per\n"
         "kilogram (default 2300)",
         common::decimal_in(0, 10000),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.run.target.ta_umol_kg = nth<double>(o, k);
         }},
        {"--dic", "UMOL_KG",
         "dissolved inorganic carbon of the sample the model measures, in\n"
         "micromoles per kilogram (default 2100)",
         common::decimal_in(0, 4000),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.run.target.dic_umol_kg = nth<double>(o, k);
         }},
        {"--tide", "AMPLITUDE",
         "the sample's value (concentration, pH, TA or DIC) rises and falls by\n"
         "AMPLITUDE over 12 measurement cycles (default 0: the same every cycle)",
         common::decimal_in(0, 10000),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.run.target.anomaly.tide = nth<double>(o, k);
         }},
        {"--spike", "N:X",
         "measurement cycle N (from 1, counted at each sample intake of a run)\n"
         "holds X more (negative: less) than the sample's value, once",
         of_form("N:X", [](const std::string& text) { return spike_from(text).has_value(); }),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             const auto spike = *spike_from(nth<std::string>(o, k));
             d.sensor.run.target.anomaly.spike_cycle = spike.first;
             d.sensor.run.target.anomaly.spike_size = spike.second;
         }},
        {"--stuck", "M:K",
         "from measurement cycle M (from 1) for K cycles the sensor is stuck: each\n"
         "of those cycles reads what cycle M read, its photodiode noise included",
         of_form("M:K", [](const std::string& text) { return stuck_from(text).has_value(); }),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             const auto stuck = *stuck_from(nth<std::string>(o, k));
             d.sensor.run.target.anomaly.stuck_from = stuck.first;
             d.sensor.run.target.anomaly.stuck_cycles = stuck.second;
         }},
        {"--pump-timeout", "STATE", "the Hall stop of this state's pump times out once per run",
         whole_number_in(0, 254),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.run.pump_timeout_state = static_cast<std::uint8_t>(nth<unsigned>(o, k));
         }},
        {"--schedule-layout", "N",
         "the schedule layout of the firmware: 1 too old for the schedule dialog,\n"
         "2 every half hour instead of minute intervals, 3 full support (default 3)",
         whole_number_in(1, 3),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.schedule_layout = static_cast<std::uint8_t>(nth<unsigned>(o, k));
         }},
        {"--empty-program", "",
         "no state-machine program (default: a deployment cycle for the chemistry)", std::nullopt,
         [](ServedSensorOptions& d, const CLI::Option&, std::size_t) {
             d.sensor.empty_program = true;
         }},
        {"--refuse-block", "BLOCK:RESULT",
         "WRITE_FIRMWARE_BLOCK answers RESULT (1 to 255) to block BLOCK of an\n"
         "image. The bootloader takes a firmware image, the firmware a bootloader\n"
         "image; the closing block restarts the sensor, and a firmware image that\n"
         "carries a version text such as KELPIRA_2_8_3 makes it the firmware\n"
         "version",
         of_form("BLOCK:RESULT",
                 [](const std::string& text) { return block_refusal_from(text).has_value(); }),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.refuse_block = block_refusal_from(nth<std::string>(o, k));
         }},
        {"--rs232-protocol", "N",
         "the RS232 protocol stored on the sensor (default 12, Generic Polled),\n"
         "also one the RS232 dialog does not offer (1 Seaglider)",
         whole_number_in(0, 4294967295LL),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.sensor.rs232_protocol = nth<std::uint32_t>(o, k);
         }},
        {"--fault", "CODE:KIND",
         "every command CODE (256 to 65535) meets a fault: no-answer, stale,\n"
         "removed, garbage, unterminated, or late:MS (answer MS milliseconds\n"
         "late, up to 600000)",
         of_form("CODE:KIND", [](const std::string& text) { return fault_from(text).has_value(); }),
         [](ServedSensorOptions& d, const CLI::Option& o, std::size_t k) {
             d.faults.push_back(*fault_from(nth<std::string>(o, k)));
         }},
    };
}

}  // namespace

const std::vector<DeviceOption>& device_options() {
    static const std::vector<DeviceOption> options = make_device_options();
    return options;
}

ServedSensorOptions device_defaults(std::size_t k) {
    ServedSensorOptions d;
    d.sensor.serial_number = static_cast<std::uint16_t>(1001 + k);
    d.sensor.board_serial_number = static_cast<std::uint16_t>(201 + k);
    return d;
}

}  // namespace kelpira::virtual_sensor_program

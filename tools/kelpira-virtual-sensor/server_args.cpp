// Reading the command line of kelpira-virtual-sensor.
#include "server_args.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "common/command_line.hpp"
#include "common/number_scan.hpp"
#include "link/device_socket_names.hpp"
#include "records/chemistry_type.hpp"

namespace kelpira::virtual_sensor {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

template <typename T>
std::optional<T> number(const std::string& text, T low, T high) {
    long long v = 0;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || p != end || v < static_cast<long long>(low) ||
        v > static_cast<long long>(high)) {
        return std::nullopt;
    }
    return static_cast<T>(v);
}

std::optional<double> real(const std::string& text, double low, double high) {
    double v = 0;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || p != end || !(v >= low && v <= high)) {
        return std::nullopt;
    }
    return v;
}

std::optional<records::ChemistryType> chemistry_named(const std::string& name) {
    for (const auto& d : records::kChemistryTable) {
        if (lower(std::string(d.tab_text)) == lower(name)) {
            return d.code;
        }
    }
    return std::nullopt;
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
    const auto code = number<std::uint16_t>(text.substr(0, first), 256, 65535);
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
        const auto ms = number<int>(delay, 0, 600'000);
        if (!ms) {
            return std::nullopt;
        }
        f.fault.delay = std::chrono::milliseconds(*ms);
    } else if (!delay.empty()) {
        return std::nullopt;
    }
    return f;
}

ServedSensorOptions device_defaults(std::size_t index) {
    ServedSensorOptions d;
    d.sensor.serial_number = static_cast<std::uint16_t>(1001 + index);
    d.sensor.board_serial_number = static_cast<std::uint16_t>(201 + index);
    return d;
}

constexpr common::OptionSpec kOptions[] = {
    {"--help"},
    {"-h"},
    {"--version"},
    {"--device"},
    {"--bootloader"},
    {"--legacy-identity"},
    {"--oldest-identity"},
    {"--old-optics-test"},
    {"--legacy-nutrient-params"},
    {"--empty-program"},
    {"--failed-results"},
    {"--folder", true},
    {"--restart-delay", true},
    {"--name", true},
    {"--serial", true},
    {"--serial-fault", true},
    {"--stored-results", true},
    {"--board-serial", true},
    {"--chemistry", true},
    {"--chemistry-code", true},
    {"--firmware", true},
    {"--bootloader-version", true},
    {"--device-type", true},
    {"--hardware-id", true},
    {"--time-scale", true},
    {"--supply-mv", true},
    {"--clock-offset-s", true},
    {"--clock-drift-ppm", true},
    {"--board-variant", true},
    {"--storage", true},
    {"--concentration", true},
    {"--ph", true},
    {"--pump-timeout", true},
    {"--schedule-layout", true},
    {"--refuse-block", true},
    {"--rs232-protocol", true},
    {"--fault", true},
};

}  // namespace

ParsedServerOptions parse_server_options(const std::vector<std::string>& args) {
    ServerOptions o;
    o.devices.push_back(device_defaults(0));
    auto fail = [](std::string why) { return ParsedServerOptions{std::nullopt, std::move(why)}; };
    const common::ParsedArgs parsed = common::parse_args(args, kOptions);
    if (parsed.has("--help") || parsed.has("-h")) {
        o.help = true;
        return {std::move(o), {}};
    }
    if (parsed.has("--version")) {
        o.version = true;
        return {std::move(o), {}};
    }
    if (!parsed.error.empty()) {
        return fail(parsed.error);
    }

    for (const auto& arg : parsed.args) {
        if (arg.option == nullptr) {
            return fail("unexpected argument: " + arg.value);
        }
        const std::string a(arg.option->name);
        VirtualSensorOptions& s = o.devices.back().sensor;
        // Options without a value.
        if (a == "--device") {
            o.devices.push_back(device_defaults(o.devices.size()));
            continue;
        }
        if (a == "--bootloader") {
            s.running = RunningCode::bootloader;
            continue;
        }
        if (a == "--legacy-identity") {
            s.legacy_identity = true;
            continue;
        }
        if (a == "--oldest-identity") {
            s.legacy_identity = true;
            s.legacy_layout = 0;
            continue;
        }
        if (a == "--old-optics-test") {
            s.old_optics_test = true;
            continue;
        }
        if (a == "--legacy-nutrient-params") {
            s.legacy_nutrient_params = true;
            continue;
        }
        if (a == "--empty-program") {
            s.empty_program = true;
            continue;
        }
        if (a == "--failed-results") {
            s.failed_results = true;
            continue;
        }
        // Options with a value.
        const std::string& v = arg.value;
        if (a == "--folder") {
            if (v.empty() || v[0] != '/') {
                return fail("--folder needs an absolute path");
            }
            o.folder = v;
        } else if (a == "--restart-delay") {
            const auto ms = number<int>(v, 0, 60'000);
            if (!ms) {
                return fail("--restart-delay takes milliseconds from 0 to 60000");
            }
            o.restart_delay = std::chrono::milliseconds(*ms);
        } else if (a == "--name") {
            if (v.size() > 20) {
                return fail("--name takes at most 20 characters");
            }
            s.name = v;
        } else if (a == "--serial" && serial_protocol_named(v)) {
            s.serial.protocol = serial_protocol_named(v);
        } else if (a == "--serial-fault") {
            auto serial = serial_fault_from(v, s.serial);
            if (!serial) {
                return fail(
                    "--serial-fault takes KIND or KIND:N, KIND one of wrong-checksum, silence, "
                    "long-reply");
            }
            s.serial = *serial;
        } else if (a == "--stored-results") {
            const auto n = number<unsigned>(v, 0, 5000);
            if (!n) {
                return fail("--stored-results takes a count from 0 to 5000");
            }
            s.stored_results = *n;
        } else if (a == "--serial" || a == "--board-serial") {
            const auto n = number<std::uint16_t>(v, 0, 65535);
            if (!n) {
                return fail(a + " takes a number from 0 to 65535");
            }
            (a == "--serial" ? s.serial_number : s.board_serial_number) = *n;
        } else if (a == "--chemistry") {
            const auto c = chemistry_named(v);
            if (!c) {
                return fail("unknown chemistry: " + v);
            }
            s.chemistry = *c;
        } else if (a == "--chemistry-code") {
            // Any stored code, also one that no chemistry carries, as newer firmware might.
            const auto n = number<std::uint8_t>(v, 0, 255);
            if (!n) {
                return fail("--chemistry-code takes a number from 0 to 255");
            }
            s.chemistry = static_cast<records::ChemistryType>(*n);
        } else if (a == "--firmware") {
            if (v.size() > 25) {
                return fail("--firmware takes at most 25 characters");
            }
            s.firmware_version = v;
        } else if (a == "--bootloader-version") {
            const auto n = number<std::uint8_t>(v, 0, 255);
            if (!n) {
                return fail("--bootloader-version takes a number from 0 to 255");
            }
            s.bootloader_version = *n;
        } else if (a == "--device-type") {
            const auto n = number<std::uint16_t>(v, 0, 65535);
            if (!n) {
                return fail("--device-type takes a number from 0 to 65535");
            }
            s.device_type = *n;
        } else if (a == "--hardware-id") {
            const auto id = link::normalise_hardware_id(v);
            if (!id) {
                return fail("--hardware-id takes the form VID_xxxx&PID_xxxx");
            }
            s.hardware_id = *id;
        } else if (a == "--time-scale") {
            const auto n = real(v, 0.001, 100000);
            if (!n) {
                return fail("--time-scale takes a factor from 0.001 to 100000");
            }
            o.time_scale = *n;
        } else if (a == "--clock-offset-s" || a == "--clock-drift-ppm") {
            const bool offset = a == "--clock-offset-s";
            const double limit = offset ? 1e9 : 1e5;
            const auto n = common::scan_f64(v);
            if (!n.ok || n.end != v.size() || !(std::abs(n.value) <= limit)) {
                return fail(offset ? "--clock-offset-s takes seconds from -1000000000 to 1000000000"
                                   : "--clock-drift-ppm takes parts per million from -100000 to "
                                     "100000");
            }
            (offset ? s.clock_offset_s : s.clock_drift_ppm) = n.value;
        } else if (a == "--supply-mv") {
            const auto n = number<std::int32_t>(v, 0, 40000);
            if (!n) {
                return fail("--supply-mv takes millivolts from 0 to 40000");
            }
            s.supply_mv = *n;
        } else if (a == "--board-variant") {
            const auto n = number<std::uint32_t>(v, 0, 4294967295U);
            if (!n) {
                return fail("--board-variant takes a number from 0 to 4294967295");
            }
            s.board_variant = *n;
        } else if (a == "--storage") {
            if (v.empty()) {
                return fail("--storage needs a folder");
            }
            s.run.storage = v;
        } else if (a == "--concentration") {
            const auto n = real(v, 0, 10000);
            if (!n) {
                return fail("--concentration takes micromoles per litre from 0 to 10000");
            }
            s.run.target.concentration_um = *n;
        } else if (a == "--ph") {
            const auto n = real(v, 6, 9.5);
            if (!n) {
                return fail("--ph takes a pH from 6 to 9.5");
            }
            s.run.target.ph = *n;
        } else if (a == "--pump-timeout") {
            const auto n = number<std::uint8_t>(v, 0, 254);
            if (!n) {
                return fail("--pump-timeout takes a state from 0 to 254");
            }
            s.run.pump_timeout_state = *n;
        } else if (a == "--schedule-layout") {
            const auto n = number<std::uint8_t>(v, 1, 3);
            if (!n) {
                return fail("--schedule-layout takes 1, 2 or 3");
            }
            s.schedule_layout = *n;
        } else if (a == "--refuse-block") {
            const auto colon = v.find(':');
            const auto block = number<std::uint32_t>(v.substr(0, colon), 0, 0xFFFFFFFF);
            const auto result = colon == std::string::npos
                                    ? std::nullopt
                                    : number<std::uint8_t>(v.substr(colon + 1), 1, 255);
            if (!block || !result) {
                return fail("--refuse-block takes BLOCK:RESULT, RESULT from 1 to 255");
            }
            s.refuse_block = BlockRefusal{*block, *result};
        } else if (a == "--rs232-protocol") {
            const auto n = number<std::uint32_t>(v, 0, 4294967295u);
            if (!n) {
                return fail("--rs232-protocol takes a number from 0 to 4294967295");
            }
            s.rs232_protocol = *n;
        } else if (a == "--fault") {
            auto f = fault_from(v);
            if (!f) {
                return fail(
                    "--fault takes CODE:KIND or CODE:late:MS, KIND one of no-answer, "
                    "late, stale, removed, garbage, unterminated");
            }
            o.devices.back().faults.push_back(*f);
        }
    }
    return {std::move(o), {}};
}

std::string server_usage() {
    return std::string(kServerUsage) + R"(
Serves emulated KELPIRA sensors as devices that kelpira lists beside USB sensors, until
interrupted (Ctrl+C or SIGTERM), when the devices are removed.

  --folder DIR            where the device sockets go (default:
                          $XDG_RUNTIME_DIR/kelpira/devices, else a private folder
                          kelpira-<uid>/devices in the temporary folder)
  --restart-delay MS      how long a bootloader device stays away after START_FIRMWARE
                          before it comes back running its firmware (default 500)
  --time-scale N          the sensors' clocks run N simulated seconds per real second,
                          so programs run N times faster (default 1)
  --device                starts the options of another device
  --help                  show this help
  --version               show the version

Device options:
  --name TEXT             sensor name, at most 20 characters (default "Virtual Sensor")
  --serial N              sensor serial number (default 1001, 1002, ... by device)
  --serial PROTOCOL       the sensor's RS232 speaks seaglider, bridges or eti: a
                          pseudo-terminal answers as the firmware does, published as
                          $XDG_RUNTIME_DIR/kelpira/serial/NAME (the sensor's name)
  --serial-fault KIND[:N] the first N serial replies (default every one) meet a fault:
                          wrong-checksum (ETI), silence, or long-reply (past 99 bytes)
  --stored-results N      results stored before the first command (default 0), one per
                          ten minutes, for the processed output and platform downloads
  --failed-results        the stored results marked bad hold NaN, as a failed
                          measurement does on some firmware
  --board-serial N        processing board serial number (default 201, 202, ...)
  --chemistry NAME        generic, nitrate, nitrite, phosphate, silicate, iron, ph, ta,
                          dic or ammonia (default nitrate)
  --chemistry-code N      the chemistry code stored on the sensor, 0 to 255, also one
                          that no chemistry carries (10 and above)
  --firmware TEXT         firmware version text (default KELPIRA_2_8_3)
  --bootloader            start in the bootloader instead of the firmware
  --bootloader-version N  bootloader version (default 3)
  --device-type N         device type code (default 7310)
  --hardware-id ID        USB hardware id, VID_xxxx&PID_xxxx (default VID_04D8&PID_EABC)
  --legacy-identity       older firmware: answers 9 to the identity commands 260, 261 and
                          262 and identifies itself with the legacy record 256
  --oldest-identity       as --legacy-identity, with the oldest legacy record (no serial
                          number, no bootloader version)
  --old-optics-test       older firmware: answers 8 to START_OPTICS_TEST (626)
  --legacy-nutrient-params
                          older firmware: answers 4 to the 29-byte nutrient parameters
  --clock-offset-s S      the sensor's clock starts S seconds (a decimal) ahead of the
                          host's (default 0; negative: behind)
  --clock-drift-ppm N     the sensor's clock runs N parts per million fast (negative:
                          slow) against the host's, from the start or from the moment it
                          is set; the host's clock (scaled by --time-scale) is the true UTC
  --supply-mv MV          supply voltage in millivolts (default 12000); below 9000 the
                          sensor refuses to start its program (result 6)
  --board-variant N       board variant in the power status (default 6); only 3 and 6
                          carry the driver board NVRAM, others refuse its commands
  --storage DIR           the sensor's storage: each run writes its raw output file
                          R0000001.CSV, R0000002.CSV, ... there; Mount Sensor As Drive
                          reports this folder
  --concentration UM      nutrient concentration of the sample the model measures, in
                          micromoles per litre (default 10)
  --ph VALUE              pH of the sample the model measures (default 8.05)
  --pump-timeout STATE    the Hall stop of this state's pump times out once per run
  --schedule-layout N     the schedule layout of the firmware: 1 too old for the schedule
                          dialog, 2 every half hour instead of minute intervals, 3 full
                          support (default 3)
  --empty-program         no state-machine program (default: a deployment cycle for the
                          chemistry)
  --refuse-block N:RESULT
                          WRITE_FIRMWARE_BLOCK answers RESULT to block N of an image. The
                          bootloader takes a firmware image, the firmware a bootloader
                          image; the closing block restarts the sensor, and a firmware
                          image that carries a version text such as KELPIRA_2_8_3 makes
                          it the firmware version
  --rs232-protocol N      the RS232 protocol stored on the sensor (default 12, Generic
                          Polled), also one the RS232 dialog does not offer (1 Seaglider)
  --fault CODE:KIND       every command CODE meets a fault: no-answer, stale, removed,
                          garbage, unterminated, or late:MS (answer MS milliseconds late)
)";
}

}  // namespace kelpira::virtual_sensor

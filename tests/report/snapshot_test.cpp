// Configuration snapshots against emulated sensors: export then import changes nothing, an
// import makes a second sensor report the same configuration, and a bad snapshot is refused
// before anything is written.
#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <set>

#include "config/clock_transfer.hpp"
#include "link/actuator_commands.hpp"
#include "link/identity_commands.hpp"
#include "link/platform_commands.hpp"
#include "records/chemistry_transfer.hpp"
#include "records/platform_records.hpp"
#include "records/pump_valve_defaults.hpp"
#include "report/report_fixture.hpp"
#include "report/snapshot.hpp"
#include "report/snapshot_file.hpp"
#include "support/temp_folder.hpp"

namespace kelpira::report {
namespace {

using testing::Lines;

// The set commands of the records a snapshot holds.
bool any_write(const std::vector<std::uint16_t>& codes) {
    static const std::set<std::uint16_t> kSets{261, 353, 369, 373, 375, 401,
                                               403, 405, 441, 443, 449, 465};
    return std::any_of(codes.begin(), codes.end(), [](auto c) { return kSets.contains(c); });
}

// The report without the lines that name the sensor or the time.
Lines configuration_lines(const ConfigReport& r) {
    Lines out;
    for (const auto& line : r.lines) {
        if (!line.starts_with("Sensor Name:") && !line.starts_with("Sensor Serial Number:") &&
            !line.starts_with("Sensor time now:")) {
            out.push_back(line);
        }
    }
    return out;
}

class SnapshotTest : public testing::ReportFixture {
  protected:
    Json exported() {
        const auto read = read_snapshot(link);
        EXPECT_TRUE(read.snapshot.has_value()) << read.failure;
        return read.snapshot.value_or(Json::object());
    }

    // A second sensor, other settings, on its own link.
    void start_second(virtual_sensor::VirtualSensorOptions o) {
        second = std::make_unique<virtual_sensor::VirtualSensor>(std::move(o), fake_clock.clock());
        virtual_sensor::attach_in_process(backend, "/virtual/sensor1", *second);
        ASSERT_EQ(second_link.Open("/virtual/sensor1", std::chrono::milliseconds(3000)), 0);
    }
    void TearDown() override {
        second_link.Close();
        ReportFixture::TearDown();
    }

    std::unique_ptr<virtual_sensor::VirtualSensor> second;
    link::SensorLink second_link{backend};
};

// Options of a sensor that differs from the default in one respect.
virtual_sensor::VirtualSensorOptions sensor_with(
    const std::function<void(virtual_sensor::VirtualSensorOptions&)>& change) {
    virtual_sensor::VirtualSensorOptions o;
    change(o);
    return o;
}

TEST_F(SnapshotTest, ExportThenImportOnTheSameSensorChangesNothing) {
    start();
    const Json snapshot = exported();
    EXPECT_EQ(snapshot["identity"]["name"], "Virtual Sensor");
    EXPECT_EQ(snapshot["identity"]["firmware_version"], "KELPIRA_2_8_3");
    EXPECT_EQ(snapshot["pump_valve_defaults"]["stop_condition"], "Hall Sensors");
    EXPECT_EQ(snapshot["chemistry_config"]["chemistry"], "Nitrate");
    EXPECT_FALSE(snapshot.contains("dic_config")) << "only a DIC sensor has one";
    const Json again = parse_snapshot(snapshot_text(snapshot));
    sensor->clear_log();
    const auto result = import_snapshot(link, again, {});
    EXPECT_FALSE(any_write(sensor->logged_codes()));
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(outcome_lines(result),
              (Lines{"chemistry configuration: unchanged", "processing parameters: unchanged",
                     "optics defaults: unchanged", "PMT configuration: unchanged",
                     "pump and valve defaults: unchanged", "thermistor 0: unchanged",
                     "thermistor 1: unchanged", "thermistor 2: unchanged",
                     "RS232 configuration: unchanged", "RS485 configuration: unchanged",
                     "platform defaults: unchanged", "schedule: unchanged",
                     "identification: not written (the sensor keeps its own)"}));
}

// Any bytes a sensor holds as its name: the report and the snapshot show them made visible,
// the snapshot's text is UTF-8 (the JSON writer refuses anything else), and an import restores
// the exact bytes on another sensor, an unterminated 21-byte name included.
TEST_F(SnapshotTest, ANameOfAnyBytesIsShownVisibleAndRestoredExactly) {
    const struct {
        std::string bytes;
        std::string shown;
    } cases[] = {
        {"\xb5mol \xff sensor", "\\xB5mol \\xFF sensor"}, {"C:\\x41\\", "C:\\\\x41\\\\"},
        {"\x1b]0;x\a\x7f\x9b", "\\e]0;x\\a\\x7F\\x9B"},   {"Sj\xc3\xb8 \xc3", "Sj\xc3\xb8 \\xC3"},
        {std::string(21, 'n'), std::string(21, 'n')},
    };
    start();
    start_second({});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        link::SensorIdentification id;
        ASSERT_EQ(link::get_sensor_identification(link, id), link::kResultSuccess);
        id.name = c.bytes;
        ASSERT_EQ(link::set_sensor_identification(link, id), link::kResultSuccess);
        const Json snapshot = exported();
        EXPECT_EQ(snapshot["identity"]["name"], c.shown);
        const auto lines = report().lines;
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Sensor Name: " + c.shown), lines.end());
        const Json again = parse_snapshot(snapshot_text(snapshot));
        const auto result = import_snapshot(second_link, again, {.include_identity = true});
        EXPECT_EQ(outcome_text(result.records.back()), "identification: written");
        ASSERT_EQ(link::get_sensor_identification(second_link, id), link::kResultSuccess);
        EXPECT_EQ(id.name, c.bytes);
    }
}

// Floats the sensor holds come back to the bit through a snapshot: the extremes, denormals,
// -0, infinities and NaNs with payloads (a signalling one included). Export, import into
// another sensor, export again: the same text.
TEST_F(SnapshotTest, EveryFloatBitPatternSurvivesExportAndImport) {
    const auto f = [](std::uint32_t bits) { return std::bit_cast<float>(bits); };
    const records::ThermistorConfig kCoefficients[] = {
        {0, 1, -std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
         std::numeric_limits<float>::denorm_min(), -0.0f},
        {0, 2, f(0x7F800001), f(0xFFC12345), 7.6294e-5f, std::numeric_limits<float>::min()},
        {0, 3, std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
         1e-7f, f(0x00000003)},
    };
    start();
    for (std::uint8_t i = 0; i < 3; ++i) {
        ASSERT_EQ(records::set_thermistor_config(link, i, kCoefficients[i]), 0);
    }
    const Json snapshot = exported();
    EXPECT_EQ(snapshot["thermistors"][0]["a3"].dump(), "-3.4028235e+38");
    EXPECT_EQ(snapshot["thermistors"][1]["a3"], "NaN 0x7F800001");
    start_second({});
    const auto result = import_snapshot(second_link, parse_snapshot(snapshot_text(snapshot)), {});
    EXPECT_TRUE(result.ok()) << outcome_lines(result).at(5);
    for (std::uint8_t i = 0; i < 3; ++i) {
        records::ThermistorConfig back;
        ASSERT_EQ(records::get_thermistor_config(second_link, i, back), 0);
        EXPECT_EQ(records::encode(back), records::encode(kCoefficients[i])) << int{i};
    }
    auto again = read_snapshot(second_link).snapshot.value_or(Json::object());
    again.erase("identity");
    Json first = snapshot;
    first.erase("identity");
    EXPECT_EQ(snapshot_text(again), snapshot_text(first));
}

TEST_F(SnapshotTest, ImportMakesASecondSensorReportTheSameConfiguration) {
    start();
    auto pump = records::default_pump_valve_defaults();
    pump.stop_condition = records::kStopStepCount;
    pump.current_ma = 400;
    ASSERT_EQ(link::set_pump_valve_defaults(link, records::encode(pump)), 0);
    auto platform = records::default_platform_defaults();
    platform.time_offset_s = -3600;
    platform.salinity_psu = 34.25f;
    ASSERT_EQ(link::set_platform_defaults(link, records::encode(platform)), 0);
    records::MeasurementSchedule schedule;
    ASSERT_EQ(config::read_schedule(link, schedule), 0);
    schedule.interval_kind = records::kMeasureEveryNHours;
    schedule.interval_count = 1;
    ASSERT_EQ(config::write_schedule(link, schedule), 0);
    const Json snapshot = exported();
    EXPECT_EQ(snapshot["platform_defaults"]["time_offset_s"], -3600);
    EXPECT_EQ(snapshot["platform_defaults"]["salinity_psu"].dump(), "34.25");

    virtual_sensor::VirtualSensorOptions o;
    o.name = "Second Sensor";
    o.serial_number = 77;
    start_second(o);
    const auto dry = import_snapshot(second_link, snapshot, {.dry_run = true});
    EXPECT_FALSE(any_write(second->logged_codes()));
    EXPECT_EQ(outcome_text(dry.records.at(4)),
              "pump and valve defaults: would change current_ma 250 -> 400, stop_condition Hall "
              "Sensors -> Step Count");

    const auto result = import_snapshot(second_link, snapshot, {});
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(outcome_text(result.records.at(4)), "pump and valve defaults: written");
    EXPECT_EQ(outcome_text(result.records.at(11)), "schedule: written");
    const auto first_report = build_config_report(link, 0);
    const auto second_report = build_config_report(second_link, 0);
    EXPECT_EQ(configuration_lines(second_report), configuration_lines(first_report));
    EXPECT_NE(second_report.lines, first_report.lines) << "the identity stays the sensor's";
    EXPECT_EQ(second_report.name, "Second Sensor");

    const auto with_identity = import_snapshot(second_link, snapshot, {.include_identity = true});
    EXPECT_EQ(outcome_text(with_identity.records.back()), "identification: written");
    EXPECT_EQ(build_config_report(second_link, 0).name, "Virtual Sensor");
}

TEST_F(SnapshotTest, AnotherChemistryIsRefusedUnlessForced) {
    start();
    const Json snapshot = exported();
    virtual_sensor::VirtualSensorOptions o;
    o.chemistry = records::ChemistryType::phosphate;
    start_second(o);
    auto result = import_snapshot(second_link, snapshot, {});
    EXPECT_TRUE(result.chemistry_differs);
    EXPECT_EQ(result.refusal.value_or(""),
              "the snapshot's chemistry is Nitrate; this sensor is configured for Phosphate");
    EXPECT_FALSE(any_write(second->logged_codes()));

    result = import_snapshot(second_link, snapshot, {.dry_run = true, .force = true});
    EXPECT_EQ(outcome_text(result.records.at(1)),
              "processing parameters: would change (written for the snapshot's chemistry)");
    EXPECT_FALSE(any_write(second->logged_codes()));

    result = import_snapshot(second_link, snapshot, {.force = true});
    EXPECT_TRUE(result.ok()) << outcome_lines(result).at(1);
    const auto codes = second->logged_codes();
    const auto chemistry_set = std::find(codes.begin(), codes.end(), 401);
    ASSERT_NE(chemistry_set, codes.end());
    EXPECT_NE(std::find(chemistry_set, codes.end(), 403), codes.end())
        << "the parameters are written after the chemistry";
    EXPECT_EQ(
        testing::section_of(build_config_report(second_link, 0).lines, "CHEMISTRY CONFIGURATION:"),
        testing::section_of(build_config_report(link, 0).lines, "CHEMISTRY CONFIGURATION:"));
}

TEST_F(SnapshotTest, ABadFieldOrValueIsRefusedBeforeAnythingIsWritten) {
    start();
    const Json good = exported();
    const auto refused = [&](const std::function<void(Json&)>& spoil) {
        Json bad = good;
        spoil(bad);
        sensor->clear_log();
        const auto result = import_snapshot(link, bad, {});
        EXPECT_TRUE(sensor->logged_codes().empty()) << "nothing read, nothing written";
        std::string parse_fault;
        try {
            parse_snapshot(bad.dump());
        } catch (const SnapshotFault& fault) {
            parse_fault = fault.what();
        }
        EXPECT_EQ(result.refusal.value_or(""), parse_fault);
        return parse_fault;
    };
    EXPECT_EQ(refused([](Json& j) { j["pump_valve_defaults"]["current_ma"] = 70000; }),
              "pump_valve_defaults.current_ma: out of range");
    EXPECT_EQ(refused([](Json& j) { j["pump_valve_defaults"]["stop_condition"] = "Sometimes"; }),
              "pump_valve_defaults.stop_condition: no such choice \"Sometimes\": one of Hall "
              "Sensors, Timeout, Step Count");
    EXPECT_EQ(refused([](Json& j) { j["platform_defaults"]["colour"] = 1; }),
              "platform_defaults.colour: unknown field");
    EXPECT_EQ(refused([](Json& j) { j["thermistors"][2].erase("a0"); }),
              "thermistors[2].a0: missing");
    EXPECT_EQ(refused([](Json& j) { j["processing_params"]["measure_long"] = -1; }),
              "processing_params.measure_long: out of range");
    EXPECT_EQ(refused([](Json& j) { j["optics_defaults"]["led_current_ua"][1] = "a lot"; }),
              "optics_defaults.led_current_ua[1]: not a whole number");
    EXPECT_EQ(refused([](Json& j) { j["identity"]["name"] = std::string(22, 'x'); }),
              "identity.name: longer than 21 characters");
    EXPECT_EQ(refused([](Json& j) { j["identity"]["name"] = "C:\\data"; }),
              "identity.name: not a text this program writes (write \"\\\\\" for \"\\\", \"\\xNN\" "
              "for a byte)");
    EXPECT_EQ(refused([](Json& j) { j.erase("schedule"); }), "schedule: missing");
    EXPECT_EQ(refused([](Json& j) { j["chemistry_config"]["chemistry"] = 77; }),
              "chemistry_config.chemistry: 77 is not a chemistry this program knows");
    EXPECT_EQ(refused([](Json& j) { j["kelpira_snapshot"] = 2; }),
              "kelpira_snapshot: a format this program does not read");
    EXPECT_THROW(parse_snapshot("{\"kelpira_snapshot\": 1,"), SnapshotFault);
}

TEST_F(SnapshotTest, ARecordReadBackOtherwiseIsReportedAsStillDiffering) {
    start();
    Json snapshot = exported();
    snapshot["thermistors"][0]["a0"] = 1.5;
    // The three thermistors are read, thermistor 0 written, then read back as nonsense.
    sensor->inject(404, {virtual_sensor::FaultKind::garbage}, 1, 3);
    const auto result = import_snapshot(link, snapshot, {});
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(outcome_text(result.records.at(5)).starts_with("thermistor 0: still differs: "))
        << outcome_text(result.records.at(5));
    EXPECT_EQ(outcome_text(result.records.at(6)), "thermistor 1: unchanged");
}

TEST_F(SnapshotTest, NonFiniteFloatsComeBackWithTheSameBits) {
    start();
    const float erased = std::bit_cast<float>(0xFFFFFFFFu);  // an erased record reads so
    const records::ThermistorConfig t{0,
                                      1,
                                      std::numeric_limits<float>::quiet_NaN(),
                                      std::numeric_limits<float>::infinity(),
                                      -std::numeric_limits<float>::infinity(),
                                      erased};
    ASSERT_EQ(records::set_thermistor_config(link, 1, t), 0);
    const Json snapshot = parse_snapshot(snapshot_text(exported()));
    EXPECT_EQ(snapshot["thermistors"][1].dump(),
              R"({"input_channel":1,"a3":"NaN","a2":"Infinity","a1":"-Infinity",)"
              R"("a0":"NaN 0xFFFFFFFF"})");
    sensor->clear_log();
    EXPECT_TRUE(import_snapshot(link, snapshot, {}).ok());
    EXPECT_FALSE(any_write(sensor->logged_codes()));
    start_second({});
    EXPECT_TRUE(import_snapshot(second_link, snapshot, {}).ok());
    records::ThermistorConfig back;
    ASSERT_EQ(records::get_thermistor_config(second_link, 1, back), 0);
    EXPECT_EQ(records::encode(back), records::encode(t));
}

// Each case also changes thermistor 0, which an import that wrote as it went would write
// before it met the bad field.
TEST_F(SnapshotTest, AFieldTheDialogWouldNotSetIsRefusedBeforeAnyRecordIsWritten) {
    start();
    const Json good = exported();
    const std::vector<std::pair<std::function<void(Json&)>, std::string>> cases{
        {[](Json& j) { j["rs232_config"]["baud"] = 0; },
         "rs232_config.baud: 0 is not one of 1200, 2400, 4800, 9600, 14400, 19200, 38400, 57600, "
         "115200"},
        {[](Json& j) { j["rs232_config"]["parity"] = 77; },
         "rs232_config.parity: 77 is not one of None, Even, Odd, Space, Mark"},
        {[](Json& j) { j["rs232_config"]["data_bits"] = 0; },
         "rs232_config.data_bits: 0 is not one of 5, 6, 7, 8"},
        {[](Json& j) { j["rs232_config"]["protocol"] = "Seaglider"; },
         "rs232_config.protocol: Seaglider is not one of None, Generic Polled, Generic Streaming"},
        {[](Json& j) { j["rs485_config"]["stop_bits"] = 9; },
         "rs485_config.stop_bits: 9 is not one of 1, 2"},
        {[](Json& j) { j["rs485_config"]["baud"] = 1200; },
         "rs485_config.baud: 1200 is not one of 9600, 14400, 19200, 38400, 57600, 115200"},
        {[](Json& j) { j["schedule"]["stop_enabled"] = 7; },
         "schedule.stop_enabled: 7 is not one of 0, 1"},
        {[](Json& j) { j["schedule"]["start_time"] = 2147483648u; },
         "schedule.start_time: 2147483648 is outside 0..2147483647"},
        {[](Json& j) { j["schedule"]["stop_time"] = 86400; },
         "schedule.stop_time: 86400 with stop_enabled 0 (must be 0)"},
        {[](Json& j) { j["schedule"]["interval_kind"] = "Every N hours"; },
         "schedule.interval_count: 0 with interval_kind Every N hours (must be 1..65535)"},
        {[](Json& j) { j["pump_valve_defaults"]["current_ma"] = 5; },
         "pump_valve_defaults.current_ma: 5 is outside 10..1600"},
        {[](Json& j) { j["optics_defaults"]["led_current_ua"][3] = 48001; },
         "optics_defaults.led_current_ua[3]: 48001 is outside 0..48000"},
        {[](Json& j) {
             j["pmt_config"] = {{"instrument", "H10492 (Hamamatsu)"}, {"control_v", 2}};
         },
         "pmt_config.control_v: 2 is outside 0.5..1.1 for the H10492"},
        {[](Json& j) { j["processing_params"]["measure_long"] = 8; },
         "processing_params.measure_long: 8 is outside 0..7"},
        {[](Json& j) { j["processing_params"]["monitor_medium"] = 100; },
         "processing_params.monitor_medium: 100 is not one of 255, 0, 1, 2, 3, 4, 5, 6, 7"},
        {[](Json& j) {
             j["processing_params"]["output_monitored"] = 1;
             j["processing_params"]["output_monitor"] = 42;
         },
         "processing_params.output_monitored: 1 is not what the output channel and its monitor "
         "give (0)"},
        {[](Json& j) { j["processing_params"]["output_monitor"] = 42; },
         "processing_params.output_monitor: 42 is not what the output channel and its monitor "
         "give (255)"},
        {[](Json& j) { j["chemistry_config"]["sample_interval_ms"] = 50; },
         "chemistry_config.sample_interval_ms: 50 is outside 100..1000"},
        {[](Json& j) { j["chemistry_config"]["sample_interval_ms"] = 500; },
         "chemistry_config.sample_interval_ms: 500 is not what the Nitrate page stores (1000)"},
        {[](Json& j) { j["chemistry_config"]["multiplexer"] = "pH"; },
         "chemistry_config.multiplexer: pH is not one the Nitrate page offers (None)"},
        {[](Json& j) {
             j["dic_config"] = {
                 {"rxgain", 0}, {"offset_v", 0}, {"frequency_khz", 100}, {"excitation_pct", 50}};
         },
         "dic_config: only a DIC sensor has one; the snapshot's chemistry is Nitrate"},
    };
    for (const auto& [spoil, refusal] : cases) {
        Json bad = good;
        bad["thermistors"][0]["a0"] = 1.5;
        spoil(bad);
        sensor->clear_log();
        EXPECT_EQ(import_snapshot(link, bad, {.dry_run = true}).refusal.value_or(""), refusal);
        EXPECT_EQ(import_snapshot(link, bad, {}).refusal.value_or(""), refusal);
        EXPECT_FALSE(any_write(sensor->logged_codes())) << refusal;
    }
}

TEST_F(SnapshotTest, DicConductivityIsHeldToItsDialogsLimits) {
    start(sensor_with([](auto& o) { o.chemistry = records::ChemistryType::dic; }));
    Json snapshot = exported();
    snapshot["dic_config"]["excitation_pct"] = 250;
    EXPECT_EQ(import_snapshot(link, snapshot, {}).refusal.value_or(""),
              "dic_config.excitation_pct: 250 is outside 0..100");
    snapshot["dic_config"]["excitation_pct"] = 100;
    EXPECT_EQ(outcome_text(import_snapshot(link, snapshot, {}).records.at(4)),
              "DIC configuration: written");
}

TEST_F(SnapshotTest, AValueTheSensorAlreadyHoldsIsKeptThoughNoListOffersIt) {
    start(sensor_with([](auto& o) { o.rs232_protocol = records::kRs232Seaglider; }));
    Json snapshot = exported();
    snapshot["rs232_config"]["baud"] = 19200;
    const auto result = import_snapshot(link, snapshot, {});
    EXPECT_TRUE(result.ok()) << result.refusal.value_or("");
    EXPECT_EQ(outcome_text(result.records.at(8)), "RS232 configuration: written");
    start_second({});
    EXPECT_EQ(import_snapshot(second_link, snapshot, {}).refusal.value_or(""),
              "rs232_config.protocol: Seaglider is not one of None, Generic Polled, Generic "
              "Streaming");
}

TEST_F(SnapshotTest, TheScheduleIsStoredAsItsDialogStoresItOnTheSensorsLayout) {
    start();
    Json snapshot = exported();
    snapshot["schedule"]["interval_kind"] = "Every N minutes";
    snapshot["schedule"]["interval_count"] = 45;
    start_second(
        sensor_with([](auto& o) { o.schedule_layout = records::kScheduleLayoutHalfHours; }));
    EXPECT_EQ(
        outcome_text(import_snapshot(second_link, snapshot, {.dry_run = true}).records.at(11)),
        "schedule: would change interval_kind Continuously -> Every 30 minutes, "
        "interval_count 0 -> 30 (this sensor's schedule has no minute intervals: every 30 "
        "minutes)");
    EXPECT_EQ(outcome_text(import_snapshot(second_link, snapshot, {}).records.at(11)),
              "schedule: written (this sensor's schedule has no minute intervals: every 30 "
              "minutes)");
    records::MeasurementSchedule stored;
    ASSERT_EQ(config::read_schedule(second_link, stored), 0);
    EXPECT_EQ(stored.interval_kind, records::kMeasureEveryHalfHour);
    EXPECT_EQ(stored.interval_count, 30);

    snapshot["schedule"]["interval_kind"] = "Every 30 minutes";
    snapshot["schedule"]["interval_count"] = 30;
    EXPECT_EQ(outcome_text(import_snapshot(link, snapshot, {.dry_run = true}).records.at(11)),
              "schedule: would change interval_kind Continuously -> Every N minutes, "
              "interval_count 0 -> 30");
}

TEST_F(SnapshotTest, FirmwareTooOldForTheScheduleDialogKeepsItsSchedule) {
    start(sensor_with([](auto& o) { o.schedule_layout = records::kScheduleLayoutTooOld; }));
    Json snapshot = exported();
    EXPECT_EQ(outcome_text(import_snapshot(link, snapshot, {}).records.at(11)),
              "schedule: unchanged");
    snapshot["schedule"]["stop_enabled"] = 1;
    EXPECT_EQ(import_snapshot(link, snapshot, {}).refusal.value_or(""),
              "schedule: this sensor's firmware is too old for its schedule to be set (layout 1)");
}

TEST_F(SnapshotTest, ARecordThatCannotBeReadRefusesTheSnapshotBeforeAnyWrite) {
    start({}, std::chrono::milliseconds(200));
    Json snapshot = exported();
    snapshot["rs232_config"]["baud"] = 19200;
    sensor->inject(442, {virtual_sensor::FaultKind::no_answer});
    sensor->clear_log();
    for (const bool dry_run : {true, false}) {
        EXPECT_EQ(import_snapshot(link, snapshot, {.dry_run = dry_run}).refusal.value_or(""),
                  "unable to read schedule from sensor (status=14)");
    }
    EXPECT_FALSE(any_write(sensor->logged_codes()));
}

// Each record says what the sensor holds: a lost answer (the sensor may have taken it), a
// write taken whose read-back failed, and the records not tried once the sensor seems gone.
TEST_F(SnapshotTest, EachRecordSaysWhetherItWasWrittenConfirmedOrTried) {
    start({}, std::chrono::milliseconds(200));
    Json snapshot = exported();
    snapshot["rs232_config"]["mode"] = "Debug";
    snapshot["rs485_config"]["slave_address"] = 9;
    snapshot["platform_defaults"]["dive_number"] = 5;
    sensor->inject(449, {virtual_sensor::FaultKind::no_answer}, 1);
    sensor->inject(464, {virtual_sensor::FaultKind::no_answer}, 1, 1);  // after the plan's read
    const auto result = import_snapshot(link, snapshot, {});
    EXPECT_FALSE(result.ok());
    const auto lines = outcome_lines(result);
    EXPECT_EQ(lines.at(8),
              "RS232 configuration: not written: no answer (status 14), the sensor may hold "
              "either");
    EXPECT_EQ(lines.at(9),
              "RS485 configuration: written but not confirmed: the read-back failed (status 14)");
    EXPECT_EQ(lines.at(10), "platform defaults: not tried (the sensor stopped answering)");
    EXPECT_EQ(lines.at(11), "schedule: unchanged");
}

TEST(SnapshotFileTest, AKeyGivenTwiceOrAFolderIsRefused) {
    const auto fault = [](const std::string& text) {
        try {
            parse_snapshot(text);
        } catch (const SnapshotFault& f) {
            return std::string(f.what());
        }
        return std::string();
    };
    EXPECT_EQ(fault(R"({"rs232_config": {"baud": 0, "baud": 9600}})"),
              "rs232_config.baud: given twice");
    EXPECT_EQ(fault(R"({"t": [[1], {"a": 1}, {"a": 2, "b": {}, "a": 3}]})"), "t[2].a: given twice");
    kelpira::testing::TempFolder folder;
    try {
        load_snapshot(folder.path(""));
        ADD_FAILURE() << "a folder was read";
    } catch (const SnapshotFault& f) {
        EXPECT_EQ(std::string(f.what()), folder.path("") + ": cannot read the file");
    }
}

}  // namespace
}  // namespace kelpira::report

// The configuration report against the emulated sensor: the order of the reads, the exact
// lines of each section, the error lines that stand for a failed read, and the file name.
#include <gtest/gtest.h>

#include "config/clock_transfer.hpp"
#include "link/actuator_commands.hpp"
#include "link/platform_commands.hpp"
#include "records/chemistry_config.hpp"
#include "records/chemistry_transfer.hpp"
#include "records/optics_records.hpp"
#include "records/platform_records.hpp"
#include "records/pump_valve_defaults.hpp"
#include "report/config_log_controller.hpp"
#include "report/report_fixture.hpp"

namespace kelpira::report {
namespace {

using namespace std::chrono_literals;
using testing::Lines;
using virtual_sensor::FaultKind;

class ConfigReportTest : public testing::ReportFixture {
  protected:
    void set_nutrient(std::uint8_t adjustment) {
        records::NutrientParams p;
        ASSERT_EQ(records::get_processing_params(link, p), 0);
        p.standard_adjustment = adjustment;
        p.standard2_state = 11;
        p.standard2_nmol = 40500;
        ASSERT_EQ(records::set_processing_params(link, p), 0);
    }
    void set_schedule(std::uint8_t kind, std::uint16_t count) {
        records::MeasurementSchedule s;
        ASSERT_EQ(config::read_schedule(link, s), 0);
        s.interval_kind = kind;
        s.interval_count = count;
        s.start_time = 1796724000;
        ASSERT_EQ(config::write_schedule(link, s), 0);
    }
};

TEST_F(ConfigReportTest, ReadsEveryRecordInOrderAndFramesTheSections) {
    start();
    sensor->clear_log();
    const auto r = report();
    EXPECT_EQ(sensor->logged_codes(),
              (std::vector<std::uint16_t>{262, 260, 290, 400, 402, 368, 352, 404, 404, 404, 448,
                                          464, 440, 442, 294}));
    ASSERT_GT(r.lines.size(), 12u);
    EXPECT_EQ(Lines(r.lines.begin(), r.lines.begin() + 12),
              (Lines{testing::kSeparator, "SENSOR IDENTIFICATION:", testing::kSeparator,
                     "Sensor Device: Marivane KELPIRA Lab-on-Chip Sensor",
                     "Sensor Name: Virtual Sensor", "Sensor Serial Number: 1001",
                     "Processing Board Serial Number: 201", "Bootloader Version: 3",
                     testing::kSeparator, "TIME CONFIGURATION:", testing::kSeparator,
                     "PC time now: 08/12/2026 10:00:00 UTC"}));
    EXPECT_EQ(r.lines[12], "Sensor time now: 08/12/2026 10:00:00");
    const Lines tail(r.lines.end() - 4, r.lines.end());
    EXPECT_EQ(tail, (Lines{"SOFTWARE CONFIGURATION:", testing::kSeparator, "GUI Version: 1.0e",
                           "Firmware Version: KELPIRA_2_8_3"}))
        << "the last section has no closing separator";
    EXPECT_EQ(r.name, "Virtual Sensor");
    EXPECT_EQ(default_report_file_name(r), "Virtual Sensor_config.log");
}

TEST_F(ConfigReportTest, NutrientWithLinearAdjustmentListsBothStandards) {
    start();
    set_nutrient(2);
    EXPECT_EQ(section("CHEMISTRY CONFIGURATION:"),
              (Lines{"Chemistry Type: Nitrate",
                     "Sample Interval (ms): 1000",
                     "Multiplexer: none",
                     "Sensor Version: 0",
                     "Medium Measurement Channel: 0",
                     "Medium Monitoring Channel: None",
                     "Short Measurement Channel: 1",
                     "Short Monitoring Channel: None",
                     "Long Measurement Channel: 2",
                     "Long Monitoring Channel: None",
                     "Output Channel: Medium",
                     "Sample Intake State: 0",
                     "Sample Measurement State: 3",
                     "Blank Measurement State: 1",
                     "Standard Adjustment: Linear",
                     "Standard 1 Measurement State: 10",
                     "Standard 1 Measurement Concentration (uM): 20.000",
                     "Standard 2 Measurement State: 11",
                     "Standard 2 Measurement Concentration (uM): 40.500",
                     "Processing Trigger: Standard 1",
                     "Optical Correction: disabled",
                     "Automatic Deployment Start State: disabled",
                     "Manual Priming Start State: disabled",
                     "Manual Flushing Start State: disabled",
                     "Manual Deployment Start State: 0"}));
}

TEST_F(ConfigReportTest, NutrientWithStandardTwoOnlyListsOnlyIt) {
    start();
    set_nutrient(1);
    const auto lines = section("CHEMISTRY CONFIGURATION:");
    const auto at = std::find(lines.begin(), lines.end(), "Standard Adjustment: Standard 2");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(Lines(at + 1, at + 4), (Lines{"Standard 2 Measurement State: 11",
                                            "Standard 2 Measurement Concentration (uM): 40.500",
                                            "Processing Trigger: Standard 1"}));
}

TEST_F(ConfigReportTest, ScheduleOfOneHourAndOfTwoMinutes) {
    start();
    set_schedule(4, 1);
    EXPECT_EQ(section("SCHEDULE CONFIGURATION:"),
              (Lines{"Start Time: 08/12/2026 10:00:00", "Interval: Measure every 1 hour",
                     "Stop Time: disabled"}));
    set_schedule(5, 2);
    EXPECT_EQ(section("SCHEDULE CONFIGURATION:")[1], "Interval: Measure every 2 minutes");
    set_schedule(1, 30);
    EXPECT_EQ(section("SCHEDULE CONFIGURATION:")[1], "Interval: Measure every 30 minutes");
}

TEST_F(ConfigReportTest, PlatformAndSerialInterfaceSections) {
    start();
    auto platform = records::default_platform_defaults();
    platform.dive_number = 12;
    platform.depth_m = 25.5f;
    platform.direction = records::kDirectionUnknown;
    platform.time_offset_s = -3600;
    platform.p1 = -5;
    ASSERT_EQ(link::set_platform_defaults(link, records::encode(platform)), 0);
    auto rs232 = records::default_rs232_config();
    rs232.parity = records::kParitySpace;
    rs232.protocol = records::kRs232Seaglider;
    rs232.mode = records::kRs232ModeDebug;
    ASSERT_EQ(link::set_rs232_config(link, records::encode(rs232)), 0);
    auto rs485 = records::default_rs485_config();
    rs485.parity = records::kParityEven;
    rs485.protocol = records::kRs485SenseOceanHub;
    rs485.slave_address = 64;
    rs485.poll_rate_s = 300;
    ASSERT_EQ(link::set_rs485_config(link, records::encode(rs485)), 0);
    const auto r = report().lines;
    const auto p = testing::section_of(r, "PLATFORM DEFAULTS CONFIGURATION:");
    ASSERT_EQ(p.size(), 10u);
    EXPECT_EQ(p[0], "Dive Number: 12");
    EXPECT_EQ(p[4], "Depth (m): 25.500");
    EXPECT_EQ(Lines(p.begin() + 5, p.begin() + 8),
              (Lines{"Direction: unknown (0)", "Time Offset (s): -3600", "P1: -5"}));
    const auto s232 = testing::section_of(r, "RS232 CONFIGURATION:");
    EXPECT_EQ(Lines(s232.begin() + 3, s232.end()),
              (Lines{"Parity: Space", "Protocol: Seaglider", "Mode: Debug"}));
    const auto s485 = testing::section_of(r, "RS485 CONFIGURATION:");
    EXPECT_EQ(Lines(s485.begin() + 3, s485.end()),
              (Lines{"Parity: Even", "Protocol: SenseOCEAN Hub", "Slave Address: 64",
                     "Poll Rate (s): 300"}));
}

TEST_F(ConfigReportTest, PhSensorHasNoPmtOrDicLinesAndThePumpMendsShow) {
    virtual_sensor::VirtualSensorOptions o;
    o.chemistry = records::ChemistryType::ph;
    start(o);
    auto pump = records::default_pump_valve_defaults();
    pump.stop_condition = records::kStopStepCount;
    ASSERT_EQ(link::set_pump_valve_defaults(link, records::encode(pump)), 0);
    EXPECT_EQ(
        section("OPTICS, VALVES & PUMP DEFAULTS CONFIGURATION:"),
        (Lines{"LED 0 current (mA): 20.000", "LED 1 current (mA): 20.000",
               "LED 2 current (mA): 20.000", "LED 3 current (mA): 20.000",
               "Photodiodes 5V Power: enabled", "Hall Sensors 5V Power: enabled",
               "Pump Current (mA): 250", "Pump Step Period (us): 1000", "Pump Microstepping: 8",
               "Pump Direction: Inject", "Pump Stop Condition: Step Count",
               "Pump Inject Hall Sensor Limit: 2000", "Pump Withdraw Hall Sensor Limit: 2000",
               "Pump Timeout (s): 30", "Valves Spike Time (ms): 50"}));
    const auto chemistry = section("CHEMISTRY CONFIGURATION:");
    EXPECT_EQ(Lines(chemistry.begin(), chemistry.begin() + 3),
              (Lines{"Chemistry Type: pH", "Sample Interval (ms): 100", "Multiplexer: pH"}));
}

TEST_F(ConfigReportTest, AmmoniaListsItsPmtAndDicItsConductivity) {
    virtual_sensor::VirtualSensorOptions o;
    o.chemistry = records::ChemistryType::ammonia;
    start(o);
    records::PmtConfig pmt;
    pmt.instrument = records::kPmtH10492;
    pmt.control_v = 0.75f;
    ASSERT_EQ(link::set_pmt_config(link, records::encode(pmt)), 0);
    const auto optics = section("OPTICS, VALVES & PUMP DEFAULTS CONFIGURATION:");
    EXPECT_EQ(Lines(optics.begin() + 6, optics.begin() + 9),
              (Lines{"PMT Instrument: Hamamatsu H10492", "PMT Control (V): 0.75000",
                     "Pump Current (mA): 250"}));
    EXPECT_EQ(section("CHEMISTRY CONFIGURATION:").size(), 7u) << "no parameter lines";
}

TEST_F(ConfigReportTest, DicConductivityLines) {
    virtual_sensor::VirtualSensorOptions o;
    o.chemistry = records::ChemistryType::dic;
    start(o);
    const auto optics = section("OPTICS, VALVES & PUMP DEFAULTS CONFIGURATION:");
    ASSERT_GE(optics.size(), 4u);
    EXPECT_EQ(Lines(optics.end() - 4, optics.end()),
              (Lines{"DIC Frequency (kHz): 100", "DIC Excitation (%): 50", "DIC RXGAIN: ON",
                     "DIC Offset (V): 1.2500"}));
    const auto chemistry = section("CHEMISTRY CONFIGURATION:");
    EXPECT_EQ(
        Lines(chemistry.begin() + 3, chemistry.begin() + 11),
        (Lines{"Sensor Version: 0", "Inlet 0 type: Sample", "Inlet 0 intake state: 1",
               "Inlet 0 measurement state: 2", "Inlet 1 type: CRM", "Inlet 1 measurement state: 3",
               "Inlet 1 CRM value (umol/kg): 2012.50", "Inlet 2 type: Unused"}));
}

TEST_F(ConfigReportTest, AmmoniaWhosePmtCannotBeReadGivesOneErrorLine) {
    virtual_sensor::VirtualSensorOptions o;
    o.chemistry = records::ChemistryType::ammonia;
    start(o, 200ms);
    sensor->inject(374, {FaultKind::no_answer});
    sensor->clear_log();
    EXPECT_EQ(section("OPTICS, VALVES & PUMP DEFAULTS CONFIGURATION:"),
              (Lines{"unable to read optics, valves and pump defaults configuration from sensor "
                     "(status=14)"}));
    const auto codes = sensor->logged_codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 352), 0) << "the pump is not read after";
}

TEST_F(ConfigReportTest, UnreadableIdentificationKeepsTheDefaultNameAndTheOtherSections) {
    start({}, 200ms);
    sensor->inject(262, {FaultKind::no_answer});
    sensor->inject(290, {FaultKind::no_answer});
    const auto r = report();
    EXPECT_EQ(testing::section_of(r.lines, "SENSOR IDENTIFICATION:"),
              (Lines{"unable to read DEVICE state/configuration from sensor"}));
    EXPECT_EQ(testing::section_of(r.lines, "TIME CONFIGURATION:")[1],
              "unable to read DEVICE configuration from sensor (status=14)");
    EXPECT_EQ(r.lines.back(), "Firmware Version: KELPIRA_2_8_3");
    EXPECT_EQ(default_report_file_name(r), "KELPIRA_config.log");
}

TEST(ReportFileNames, ASlashInTheNameDoesNotMoveTheProposedFolder) {
    ConfigReport r;
    r.name = "../../.ssh/a/b";
    EXPECT_EQ(default_report_file_name(r), ".._.._.ssh_a_b_config.log");
    EXPECT_EQ(default_snapshot_file_name(r), ".._.._.ssh_a_b_snapshot.json");
}

TEST_F(ConfigReportTest, FailedReadsGiveTheirSectionsErrorLines) {
    start({}, 200ms);
    for (const int code : {400, 404, 294}) {
        sensor->inject(static_cast<std::uint16_t>(code), {FaultKind::no_answer}, 1);
    }
    const auto r = report();
    EXPECT_EQ(testing::section_of(r.lines, "CHEMISTRY CONFIGURATION:"),
              (Lines{"unable to read chemistry configuration from sensor (status=14)"}));
    EXPECT_EQ(testing::section_of(r.lines, "THERMISTORS CONFIGURATION:")[0],
              "unable to read thermistor 0 configuration from sensor (status=14)");
    EXPECT_EQ(testing::section_of(r.lines, "THERMISTORS CONFIGURATION:")[1],
              "Thermistor 1: input channel=6, temperature(C)=0.00000 volt^3 + 0.00000 volt^2 "
              "+ 10.00000 volt + -23.98621");
    EXPECT_EQ(r.lines.back(), "unable to read SOFTWARE configuration from sensor (status=14)");
}

}  // namespace
}  // namespace kelpira::report

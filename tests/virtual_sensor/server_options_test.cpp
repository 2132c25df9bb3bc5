// The command line of kelpira-virtual-sensor.
#include "server_args.hpp"

#include <gtest/gtest.h>

using namespace kelpira;
using namespace kelpira::virtual_sensor;
using kelpira::virtual_sensor_program::parse_server_options;
using namespace std::chrono_literals;

namespace {

ServerOptions parsed(const std::vector<std::string>& args) {
    auto p = parse_server_options(args);
    EXPECT_TRUE(p.options) << p.outcome.err;
    return p.options.value_or(ServerOptions{});
}

std::string refused(const std::vector<std::string>& args) {
    auto p = parse_server_options(args);
    EXPECT_FALSE(p.options);
    EXPECT_EQ(p.outcome.exit_status, 2);
    return p.outcome.error;
}

}  // namespace

TEST(ServerOptions, NoArgumentsServeOneDefaultSensor) {
    const auto o = parsed({});
    EXPECT_FALSE(o.folder);
    EXPECT_EQ(o.restart_delay, 500ms);
    ASSERT_EQ(o.devices.size(), 1u);
    const auto& s = o.devices[0].sensor;
    EXPECT_EQ(s.name, "Virtual Sensor");
    EXPECT_EQ(s.serial_number, 1001);
    EXPECT_EQ(s.board_serial_number, 201);
    EXPECT_EQ(s.running, RunningCode::firmware);
    EXPECT_EQ(s.hardware_id, "VID_04D8&PID_EABC");
}

TEST(ServerOptions, EveryDeviceOptionLandsInItsDevice) {
    const auto o = parsed({"--folder",
                           "/run/x",
                           "--restart-delay",
                           "0",
                           "--name",
                           "Demo Sensor",
                           "--chemistry",
                           "Nitrate",
                           "--serial",
                           "42",
                           "--device",
                           "--name",
                           "Boot",
                           "--bootloader",
                           "--bootloader-version",
                           "7",
                           "--firmware",
                           "KELPIRA_2_7_5",
                           "--chemistry",
                           "ph",
                           "--hardware-id",
                           "vid_c1ca&pid_b4ba",
                           "--board-serial",
                           "65535",
                           "--device-type",
                           "7323",
                           "--device",
                           "--oldest-identity",
                           "--old-optics-test",
                           "--legacy-nutrient-params",
                           "--failed-results",
                           "--fault",
                           "418:late:1500",
                           "--fault",
                           "262:garbage"});
    EXPECT_EQ(o.folder, "/run/x");
    EXPECT_EQ(o.restart_delay, 0ms);
    ASSERT_EQ(o.devices.size(), 3u);
    const auto& a = o.devices[0].sensor;
    EXPECT_EQ(a.name, "Demo Sensor");
    EXPECT_EQ(a.chemistry, records::ChemistryType::nitrate);
    EXPECT_EQ(a.serial_number, 42);
    EXPECT_EQ(a.running, RunningCode::firmware);

    const auto& b = o.devices[1].sensor;
    EXPECT_EQ(b.name, "Boot");
    EXPECT_EQ(b.running, RunningCode::bootloader);
    EXPECT_EQ(b.bootloader_version, 7);
    EXPECT_EQ(b.firmware_version, "KELPIRA_2_7_5");
    EXPECT_EQ(b.chemistry, records::ChemistryType::ph);
    EXPECT_EQ(b.hardware_id, "VID_C1CA&PID_B4BA");
    EXPECT_EQ(b.serial_number, 1002) << "the default follows the device's place";
    EXPECT_EQ(b.board_serial_number, 65535);
    EXPECT_EQ(b.device_type, 7323);

    const auto& c = o.devices[2];
    EXPECT_TRUE(c.sensor.legacy_identity);
    EXPECT_EQ(c.sensor.legacy_layout, 0);
    EXPECT_TRUE(c.sensor.old_optics_test);
    EXPECT_TRUE(c.sensor.legacy_nutrient_params);
    EXPECT_TRUE(c.sensor.failed_results);
    EXPECT_EQ(c.sensor.serial_number, 1003);
    ASSERT_EQ(c.faults.size(), 2u);
    EXPECT_EQ(c.faults[0].code, 418);
    EXPECT_EQ(c.faults[0].fault.kind, FaultKind::late_answer);
    EXPECT_EQ(c.faults[0].fault.delay, 1500ms);
    EXPECT_EQ(c.faults[1].code, 262);
    EXPECT_EQ(c.faults[1].fault.kind, FaultKind::garbage);

    const auto legacy = parsed({"--legacy-identity"}).devices[0].sensor;
    EXPECT_TRUE(legacy.legacy_identity);
    EXPECT_EQ(legacy.legacy_layout, 1);
}

TEST(ServerOptions, RefusesWhatItCannotServe) {
    EXPECT_EQ(refused({"--name", "123456789012345678901"}),
              "--name: 123456789012345678901 longer than 20 characters");
    parsed({"--name", "12345678901234567890"});
    EXPECT_EQ(refused({"--serial", "65536"}),
              "--serial: 65536 not in {seaglider, bridges, eti} or [0, 65535]");
    refused({"--serial", "-1"});
    refused({"--serial", "12x"});
    refused({"--serial", ""});
    EXPECT_EQ(refused({"--serial"}),
              "--serial: 1 required N|PROTOCOL:{seaglider, bridges, eti} or [0, 65535] missing");
    EXPECT_EQ(refused({"--chemistry", "gold"}),
              "--chemistry: gold not in {Generic, Nitrate, Nitrite, Phosphate, Silicate, Iron, "
              "pH, TA, DIC, Ammonia}");
    refused({"--hardware-id", "VID_04D8"});
    refused({"--firmware", "KELPIRA_2_8_3_XXXXXXXXXXXXX"});
    refused({"--folder", "relative/path"});
    refused({"--fault", "418"});
    refused({"--fault", "418:late"});
    refused({"--fault", "418:garbage:5"});
    refused({"--fault", "12:garbage"});
    refused({"--fault", "418:melted"});
    EXPECT_EQ(refused({"--colour", "red"}),
              "The following arguments were not expected: red --colour");
    EXPECT_EQ(refused({"stray"}), "The following argument was not expected: stray");
}

TEST(ServerOptions, WhatTheRunsMeasureAndWhereTheyWrite) {
    const auto o = parsed({"--time-scale", "12.5", "--supply-mv", "8500", "--storage", "/tmp/s",
                           "--concentration", "7.25", "--device", "--chemistry", "ph", "--ph",
                           "7.9", "--pump-timeout", "4"});
    EXPECT_DOUBLE_EQ(o.time_scale, 12.5);
    ASSERT_EQ(o.devices.size(), 2u);
    const auto& n = o.devices[0].sensor;
    EXPECT_EQ(n.supply_mv, 8500);
    EXPECT_EQ(n.run.storage, "/tmp/s");
    EXPECT_DOUBLE_EQ(n.run.target.concentration_um, 7.25);
    EXPECT_EQ(n.run.pump_timeout_state, 255);
    const auto& p = o.devices[1].sensor;
    EXPECT_FALSE(p.run.storage);
    EXPECT_DOUBLE_EQ(p.run.target.ph, 7.9);
    EXPECT_EQ(p.run.pump_timeout_state, 4);
    EXPECT_EQ(refused({"--time-scale", "0"}), "--time-scale: 0 not in [0.001, 100000]");
    EXPECT_EQ(refused({"--ph", "14"}), "--ph: 14 not in [6, 9.5]");
    EXPECT_EQ(refused({"--concentration", "-1"}), "--concentration: -1 not in [0, 10000]");
    EXPECT_EQ(refused({"--pump-timeout", "255"}), "--pump-timeout: 255 not in [0, 254]");
}

TEST(ServerOptions, WhatTheSampleHoldsFromCycleToCycle) {
    const auto o = parsed({"--ta", "2250.5", "--dic", "2010", "--tide", "0.5", "--spike", "4:-2.5",
                           "--stuck", "8:5"});
    const auto& t = o.devices[0].sensor.run.target;
    EXPECT_DOUBLE_EQ(t.ta_umol_kg, 2250.5);
    EXPECT_DOUBLE_EQ(t.dic_umol_kg, 2010);
    EXPECT_DOUBLE_EQ(t.anomaly.tide, 0.5);
    EXPECT_EQ(t.anomaly.spike_cycle, 4u);
    EXPECT_DOUBLE_EQ(t.anomaly.spike_size, -2.5);
    EXPECT_EQ(t.anomaly.stuck_from, 8u);
    EXPECT_EQ(t.anomaly.stuck_cycles, 5u);
    for (const std::string bad : {"0:3", "4", "4:x", "4:3:1", "100001:3", "4:1e5"}) {
        EXPECT_EQ(refused({"--spike", bad}), "--spike: " + bad + " not of the form N:X");
    }
    for (const std::string bad : {"0:5", "8:0", "8", "8:-1"}) {
        EXPECT_EQ(refused({"--stuck", bad}), "--stuck: " + bad + " not of the form M:K");
    }
}

TEST(ServerOptions, HelpEndsTheProgram) {
    const auto help = parse_server_options({"--help"});
    EXPECT_FALSE(help.options);
    EXPECT_EQ(help.outcome.exit_status, 0);
    EXPECT_NE(help.outcome.out.find("  --device "), std::string::npos);
}

TEST(ServerOptions, ScheduleLayoutOfOlderFirmware) {
    EXPECT_EQ(parsed({}).devices[0].sensor.schedule_layout, 3);
    EXPECT_EQ(parsed({"--schedule-layout", "2"}).devices[0].sensor.schedule_layout, 2);
    EXPECT_EQ(refused({"--schedule-layout", "4"}), "--schedule-layout: 4 not in [1, 3]");
}

TEST(ServerOptions, ChemistryCodeMayBeOneNoChemistryCarries) {
    EXPECT_EQ(parsed({"--chemistry-code", "10"}).devices[0].sensor.chemistry,
              static_cast<records::ChemistryType>(10));
    EXPECT_EQ(parsed({"--chemistry-code", "5"}).devices[0].sensor.chemistry,
              records::ChemistryType::nitrite);
    EXPECT_EQ(refused({"--chemistry-code", "256"}), "--chemistry-code: 256 not in [0, 255]");
}

TEST(ServerOptions, Rs232ProtocolMayBeOneNoListOffers) {
    EXPECT_EQ(parsed({}).devices[0].sensor.rs232_protocol, 12u);
    EXPECT_EQ(parsed({"--rs232-protocol", "1"}).devices[0].sensor.rs232_protocol, 1u);
    EXPECT_EQ(refused({"--rs232-protocol", "-1"}), "--rs232-protocol: -1 not in [0, 4294967295]");
}

// kelpira-ctl start, stop and watch against emulated sensors: the run control's messages as
// failures, and the text views' rows as CSV.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include <algorithm>

#include "ctl/ctl_program.hpp"
#include "link/command_catalogue.hpp"
#include "records/chemistry_config.hpp"
#include "virtual_sensor/sensor_host.hpp"

namespace kelpira {
namespace {

using link::CommandCode;

class CtlRunWatch : public ::testing::Test {
  protected:
    CtlRunWatch() {
        virtual_sensor::VirtualSensorOptions o;
        o.name = "Bench";
        // A clock a hundred times fast, so live samples come ten to the real second.
        sensor = &served.serve(
            std::make_unique<virtual_sensor::VirtualSensor>(o, virtual_sensor::scaled_clock(100)),
            "bench");
    }

    std::vector<std::vector<std::uint8_t>> sent(CommandCode code) const {
        std::vector<std::vector<std::uint8_t>> payloads;
        for (const auto& c : sensor->log()) {
            if (c.code == link::code_value(code)) {
                payloads.push_back(c.payload);
            }
        }
        return payloads;
    }

    void set_start_states(std::uint8_t deploy, std::uint8_t special1) {
        sensor->edit_state([=](virtual_sensor::SensorState& s) {
            auto c = records::default_chemistry_config(records::ChemistryType::nitrate);
            c.start_manual_deployment = deploy;
            c.start_special1 = special1;
            const auto bytes = records::encode(c);
            s.records[link::code_value(CommandCode::GET_CHEMISTRY_CONFIG)].assign(bytes.begin(),
                                                                                  bytes.end());
        });
    }

    testing::TempFolder files;
    std::string runtime = files.path("runtime");
    ServedSensors served{runtime};
    virtual_sensor::VirtualSensor* sensor = nullptr;
};

TEST_F(CtlRunWatch, StartByLabelOrNumberAndStop) {
    set_start_states(9, 7);
    CtlRun r = run({"start"}, runtime);  // the first entry of the list: Deploy
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    r = run({"start", "Special1"}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    r = run({"start", "3"}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(sent(CommandCode::START_STATE_MACHINE),
              (std::vector<std::vector<std::uint8_t>>{{9}, {7}, {3}}));
    r = run({"stop"}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(sent(CommandCode::STOP_STATE_MACHINE).size(), 1u);

    r = run({"start", "Prime"}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(": Prime is not a start state of this sensor\n"), std::string::npos)
        << r.err;
    r = run({"start", "Deploy", "now"}, runtime);
    EXPECT_EQ(r.status, 2);
    r = run({"start", "256"}, runtime);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lines_of(r.err).at(1), "Usage: kelpira-ctl start [OPTIONS] [STATE]");
    EXPECT_EQ(sent(CommandCode::START_STATE_MACHINE).size(), 3u);
}

TEST_F(CtlRunWatch, StartFailuresSayWhatTheViewSays) {
    sensor->edit_state([](virtual_sensor::SensorState& s) { s.program.state_count = 0; });
    CtlRun r = run({"start", "0"}, runtime);
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(lines_of(r.err).size(), 1u);
    EXPECT_TRUE(r.err.ends_with(": Sensor has no state machine loaded\n")) << r.err;
    EXPECT_TRUE(r.err.starts_with("kelpira-ctl: " + runtime + "/kelpira/devices/")) << r.err;

    sensor->edit_state([](virtual_sensor::SensorState& s) {
        s.program.state_count = 12;
        s.options.supply_mv = 8000;
    });
    r = run({"start", "0"}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.ends_with(": Voltage too low to run state machine\n")) << r.err;
}

TEST_F(CtlRunWatch, WatchResultsAndDiagnosticsPrintTheViewsRows) {
    sensor->edit_state([](virtual_sensor::SensorState& s) {
        for (std::uint16_t dive = 1; dive <= 3; ++dive) {
            records::OutputRecord r;
            r.dive_number = dive;
            r.value = 12.5 + dive;
            r.validity = dive == 2 ? records::kValidityBad : records::kValidityGood;
            s.stores.outputs.entries.push_back(r);
        }
        s.stores.diagnostics.entries[0].message = "Restarted after reset, cause 1";
    });
    CtlRun r = run({"watch", "--results", "--count", "2"}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    auto lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0],
              "Dive Number,Sensor Timestamp,Platform Timestamp,Nitrate (uM),Validity,"
              "Platform Depth (m),Platform Direction,Platform Salinity (PSU),"
              "Platform Temperature (°C),Medium (uM),Short (uM),Long (uM)");
    EXPECT_EQ(lines[2],
              "2,01/01/1970 00:00:00,01/01/1970 00:00:00,14.500,bad,0.000,unknown,"
              "0.000,0.000,0.000,0.000,0.000");

    r = run({"watch", "--diagnostics", "--count", "1"}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Counter,Task ID,Severity,Function,Line,Message");
    EXPECT_EQ(lines[1], "00000001,00,I,main,120,\"Restarted after reset, cause 1\"");

    EXPECT_EQ(run({"watch", "--raw", "--results"}, runtime).status, 2);
    EXPECT_EQ(run({"watch", "--count", "0"}, runtime).status, 2);
}

TEST_F(CtlRunWatch, AWatchWhoseSensorStopsAnsweringEndsWithAMessage) {
    sensor->edit_state([](virtual_sensor::SensorState& s) {
        s.stores.outputs.entries.resize(2);
        s.stores.diagnostics.entries.resize(1);
    });
    // The first records are printed; the sensor then falls silent.
    sensor->inject(link::code_value(CommandCode::READ_OUTPUT_RECORD),
                   {virtual_sensor::FaultKind::no_answer}, 1, 2);
    CtlRun r = run({"watch", "--results"}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines_of(r.out).size(), 3u) << r.out;
    EXPECT_TRUE(
        r.err.ends_with(": no answer (the last command may or may not have been carried out)\n"))
        << r.err;

    sensor->inject(link::code_value(CommandCode::READ_DIAGNOSTICS),
                   {virtual_sensor::FaultKind::removed}, 1, 1);
    const auto start = std::chrono::steady_clock::now();
    r = run({"watch", "--diagnostics"}, runtime);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines_of(r.out).size(), 2u) << r.out;
    EXPECT_TRUE(r.err.ends_with(": sensor removed\n")) << r.err;
    EXPECT_LT(took, std::chrono::milliseconds(1500)) << "waited for the link's time-out";
    std::printf("watch, sensor removed: ended after %lld ms\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
}

TEST_F(CtlRunWatch, WatchRawFollowsTheRunningProgram) {
    ASSERT_EQ(run({"start", "Deploy"}, runtime).status, 0);
    const CtlRun r = run({"watch", "--count", "2"}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].starts_with("Counter,State,Ch 0,")) << lines[0];
    for (const auto* line : {&lines[1], &lines[2]}) {
        EXPECT_EQ(std::count(line->begin(), line->end(), ','), 19) << *line;
    }
    EXPECT_NE(lines[1], lines[2]);
}

}  // namespace
}  // namespace kelpira

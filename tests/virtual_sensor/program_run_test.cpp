// The virtual sensor running a program: the states the editor's dry run walks, taken by the
// firmware's own step; samples paced by the clock, a result per cycle, refusals and logs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <thread>

#include "records/chemistry_config.hpp"
#include "records/live_sample.hpp"
#include "statemachine/state_transition.hpp"
#include "virtual_sensor/run_fixture.hpp"
#include "virtual_sensor/sensor_log.hpp"

namespace kelpira::virtual_sensor::testing {
namespace {

using namespace std::chrono_literals;

// Intake 10 s, blank 20 s, standard 20 s, sample intake 10 s, sample 20 s, flush 5 s; the
// flush counter sends the third cycle to the idle state 6.
std::vector<statemachine::StateRecord> three_cycles() {
    std::vector<statemachine::StateRecord> p{lit_state(10, 1), lit_state(20, 2), lit_state(20, 3),
                                             lit_state(10, 4), lit_state(20, 5), lit_state(5, 0),
                                             idle_state()};
    p[5].counter[0] = {1, 2, 6, statemachine::kCounterIncAndTest};
    return p;
}

records::NutrientParams three_cycle_params() {
    records::NutrientParams n;
    n.layout = 1;
    n.sample_intake_state = 3;
    n.sample_measurement_state = 4;
    n.blank_measurement_state = 1;
    n.standard1_state = 2;
    n.standard1_nmol = 20000;
    n.processing_trigger = 2;
    return n;
}

// The state of each second of a run from `start`, walked by the editor's dry run.
std::vector<std::uint8_t> expected_states(const std::vector<statemachine::StateRecord>& p,
                                          std::uint8_t start) {
    std::vector<std::uint8_t> seconds;
    statemachine::WalkState walk;
    std::uint8_t s = start;
    while (!statemachine::ends_walk(p[s])) {
        seconds.insert(seconds.end(), p[s].delay_s, s);
        s = statemachine::leave_state(p[s], s, walk);
    }
    return seconds;
}

// The state column of every data row of a raw file.
std::vector<std::uint8_t> row_states(const std::string& text) {
    std::vector<std::uint8_t> states;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] != '%') {
            states.push_back(
                static_cast<std::uint8_t>(std::stoul(line.substr(line.find(',') + 1))));
        }
    }
    return states;
}

class ProgramRun : public RunFixture {};

TEST_F(ProgramRun, StatesFollowTheTransitionFunctionOneRowPerSecond) {
    start_with_storage();
    const auto program = three_cycles();
    load(program);
    ASSERT_EQ(records::set_processing_params(link, three_cycle_params()), 0);
    ASSERT_EQ(link::start_state_machine(link, 0), 0);

    fake_clock.advance(15s);  // into the blank state
    link::RecordBytes<link::kLiveStatusSize> live{};
    ASSERT_EQ(link::get_live_status(link, live), 0);
    const auto status = records::decode_live_status(live);
    EXPECT_EQ(status.mode, records::kModeOperating);
    EXPECT_EQ(status.sample.state, 1);
    EXPECT_EQ(status.sample.counter, 16u);  // samples at 0..15 s

    run_for(10min);
    ASSERT_EQ(link::get_live_status(link, live), 0);
    EXPECT_EQ(records::decode_live_status(live).mode, records::kModeIdle);  // the program ended
    EXPECT_EQ(row_states(file("R0000001.CSV")), expected_states(program, 0));

    const auto records = outputs();
    ASSERT_EQ(records.size(), 3u);  // one per cycle
    for (const auto& r : records) {
        EXPECT_NEAR(r.value, 10.0, 0.01);  // the default modelled concentration
        EXPECT_FLOAT_EQ(r.p1, static_cast<float>(r.value));
    }
}

// Stopped in its sample state, the run's last result is closed by the stop; the platform
// dives for its first five minutes, and that result says so as the others do.
TEST_F(ProgramRun, AResultClosedByTheStopKeepsThePlatformsHeading) {
    start();
    load(three_cycles());
    ASSERT_EQ(records::set_processing_params(link, three_cycle_params()), 0);
    ASSERT_EQ(link::start_state_machine(link, 0), 0);
    run_for(70s);  // into the first sample state, 60 to 80 s
    ASSERT_EQ(link::stop_state_machine(link), 0);
    const auto records = outputs();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].platform_direction, records::kDirectionDiving);
}

// A stored interval of 0 has the sensor sample each second, one below 10 ms every 10 ms: the
// file gives the interval its rows were taken at, which a pH file's processing needs.
TEST_F(ProgramRun, TheRawFileGivesTheIntervalItsRowsWereTakenAt) {
    VirtualSensorOptions o;
    o.chemistry = records::ChemistryType::ph;
    start_with_storage(o);
    load(three_cycles());
    for (const std::uint32_t stored : {0u, 4u}) {
        auto config = records::default_chemistry_config(records::ChemistryType::ph);
        config.sample_interval_ms = stored;
        ASSERT_EQ(records::set_chemistry_config(link, config), 0);
        ASSERT_EQ(link::start_state_machine(link, 0), 0);
        ASSERT_EQ(link::stop_state_machine(link), 0);
    }
    EXPECT_NE(file("R0000001.CSV").find("\n%KELPIRA.CHEMISTRY.SAMPLE_INTERVAL=1000\n"),
              std::string::npos);
    EXPECT_NE(file("R0000002.CSV").find("\n%KELPIRA.CHEMISTRY.SAMPLE_INTERVAL=10\n"),
              std::string::npos);
}

TEST_F(ProgramRun, LowSupplyRefusesTheStartWithResult6) {
    VirtualSensorOptions o;
    o.supply_mv = 8500;
    start_with_storage(o);
    load(three_cycles());
    EXPECT_EQ(link::start_state_machine(link, 0), link::kResultLowVoltage);
    EXPECT_TRUE(std::filesystem::is_empty(storage.root));
    const auto log = diagnostics();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().severity, records::kSeverityError);
    EXPECT_EQ(log.back().message, "Supply voltage too low to start state machine");
}

TEST_F(ProgramRun, AReferenceToAMissingStateEndsTheRunWithAnError) {
    start();
    auto program = three_cycles();
    program[1].default_next = 40;
    load(program);
    ASSERT_EQ(link::start_state_machine(link, 0), 0);
    run_for(1min);
    link::RecordBytes<link::kLiveStatusSize> live{};
    ASSERT_EQ(link::get_live_status(link, live), 0);
    EXPECT_EQ(records::decode_live_status(live).mode, records::kModeIdle);
    EXPECT_EQ(diagnostics().back().message, "Invalid state reference 40");
    EXPECT_EQ(link::start_state_machine(link, 7), kResultBadValue);  // no state 7
}

TEST_F(ProgramRun, RestartLogKeepsTheLastTenAndAutostartRunsAgain) {
    start();
    load(three_cycles());
    auto config = records::default_chemistry_config(records::ChemistryType::nitrate);
    config.start_auto_deployment = 3;
    ASSERT_EQ(records::set_chemistry_config(link, config), 0);
    for (int i = 0; i < 12; ++i) {
        sensor->restart(records::kResetWatchdog);
    }
    std::vector<records::RestartLogEntry> entries;
    link::RecordBytes<link::kRestartLogEntrySize> bytes{};
    for (bool first = true; link::get_restart_log_entry(link, first, bytes) == 0; first = false) {
        entries.push_back(records::decode_restart_log_entry(bytes));
    }
    ASSERT_EQ(entries.size(), 10u);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].reset_cause, records::kResetWatchdog);
        EXPECT_EQ(entries[i].counter, entries[0].counter - i);  // newest first
    }
    EXPECT_NEAR(entries[0].supply_decivolts, 120, 1);  // about 12 V

    link::RecordBytes<link::kLiveStatusSize> live{};
    ASSERT_EQ(link::get_live_status(link, live), 0);
    EXPECT_EQ(records::decode_live_status(live).sample.state, 3);
    const auto log = diagnostics();
    EXPECT_NE(std::find_if(log.begin(), log.end(),
                           [](const auto& e) {
                               return e.message.find("Restarted after reset") != std::string::npos;
                           }),
              log.end());
}

TEST_F(ProgramRun, TaskFlagsDecideWhichLinesReachTheLog) {
    start();
    load(three_cycles());
    ASSERT_EQ(link::clear_diagnostics(link), 0);
    records::TaskFlags flags;
    flags.log_filters.fill(0);
    flags.log_filters[kTaskSampler] = records::kSeverityDebug;
    ASSERT_EQ(link::set_task_flags(link, records::encode(flags)), 0);

    ASSERT_EQ(link::start_state_machine(link, 0), 0);
    fake_clock.advance(35s);
    auto log = diagnostics();
    ASSERT_EQ(log.size(), 3u);  // entering 0, 1 and 2; the start itself is information
    EXPECT_EQ(log[2].message, "Entered state 2");
    EXPECT_EQ(log[2].task_id, kTaskSampler);
    EXPECT_EQ(log[2].severity, records::kSeverityDebug);

    link::RecordBytes<link::kTaskDetailsSize> task{};
    ASSERT_EQ(link::get_task_details(link, kTaskSampler, task), 0);
    EXPECT_EQ(records::decode_task_details(task).log_filters, records::kSeverityDebug);
    EXPECT_EQ(records::decode_task_details(task).name, "Sampler");

    flags.log_filters.fill(0);
    ASSERT_EQ(link::set_task_flags(link, records::encode(flags)), 0);
    ASSERT_EQ(link::clear_diagnostics(link), 0);
    fake_clock.advance(60s);
    EXPECT_TRUE(diagnostics().empty());
}

TEST_F(ProgramRun, ASimulatedPumpTimeOutTakesTheDefaultProgramToHibernation) {
    VirtualSensorOptions o;
    o.run.pump_timeout_state = 0;
    start(o);
    ASSERT_EQ(link::start_state_machine(link, 0), 0);
    fake_clock.advance(59s);  // the flush pump's Hall stop times out after 60 s
    link::RecordBytes<link::kLiveStatusSize> live{};
    ASSERT_EQ(link::get_live_status(link, live), 0);
    EXPECT_EQ(records::decode_live_status(live).sample.state, 0);
    fake_clock.advance(2s);
    ASSERT_EQ(link::get_live_status(link, live), 0);
    EXPECT_EQ(records::decode_live_status(live).mode, records::kModeHibernating);
    EXPECT_EQ(diagnostics().back().message, "State machine stopped at state 8");
}

// A sensor started again on the same storage numbers its files on from the newest one there:
// the first session's file stays, and a link planted under the next name is not written
// through.
TEST_F(ProgramRun, ASecondSessionOnTheSameStorageKeepsTheFirstOnesFiles) {
    start_with_storage();
    load(three_cycles());
    ASSERT_EQ(link::start_state_machine(link, 0), 0);
    run_for(20s);
    ASSERT_EQ(link::stop_state_machine(link), 0);
    const std::string first = file("R0000001.CSV");
    ASSERT_NE(first.find("%KELPIRA.HEADER_END"), std::string::npos);
    const kelpira::testing::TempFolder elsewhere;
    const std::string precious = elsewhere.write("precious", "keep");
    std::filesystem::create_symlink(precious, path("R0000002.CSV"));

    link.Close();
    backend.remove(kPath);
    start_with_storage();
    load(three_cycles());
    ASSERT_EQ(link::start_state_machine(link, 0), 0);
    std::string name;
    ASSERT_EQ(link::get_output_file_name(link, name), 0);
    EXPECT_EQ(name, "R0000003.CSV");
    run_for(20s);
    EXPECT_EQ(file("R0000001.CSV"), first);
    EXPECT_EQ(kelpira::testing::TempFolder::read(precious), "keep");
    EXPECT_EQ(row_states(file("R0000003.CSV")).size(), row_states(first).size());
}

TEST_F(ProgramRun, MountAsDriveNamesTheStorageFolder) {
    start_with_storage();
    std::string mounted = "none";
    DeviceHooks hooks;
    hooks.on_mount = [&mounted](const std::string& folder) { mounted = folder; };
    sensor->set_hooks(std::move(hooks));
    ASSERT_EQ(link::mount_as_drive(link), 0);
    EXPECT_EQ(mounted, storage.root);
}

// The host's ticker and the PC's commands reach the run from two threads; every sample is
// written once, in order.
TEST_F(ProgramRun, TicksFromAnotherThreadWhileCommandsArrive) {
    start_with_storage();
    ASSERT_EQ(link::start_state_machine(link, 0), 0);
    std::atomic<bool> done{false};
    std::thread ticker([&] {
        while (!done.load()) {
            fake_clock.advance(1s);
            sensor->tick();
        }
    });
    link::RecordBytes<link::kLiveStatusSize> live{};
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(link::get_live_status(link, live), 0);
        outputs();
    }
    done = true;
    ticker.join();
    ASSERT_EQ(link::stop_state_machine(link), 0);
    std::istringstream rows(file("R0000001.CSV"));
    std::uint32_t expected = 1;
    for (std::string line; std::getline(rows, line);) {
        if (line[0] != '%') {
            ASSERT_EQ(std::stoul(line), expected++);
        }
    }
    EXPECT_GT(expected, 1u);
}

}  // namespace
}  // namespace kelpira::virtual_sensor::testing

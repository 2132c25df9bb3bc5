// The whole loop of a drifting clock rehearsed at 600 times real speed: the sensor's offset
// recorded at deployment, about five simulated hours of its program, the offset recorded at
// recovery, and its raw file processed with the clock log; every corrected time lies within
// 2 s of the true time the emulation took the sample at. About 30 s of real time.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <tuple>

#include "common/time_text.hpp"
#include "config/clock_offset.hpp"
#include "config/schedule_time.hpp"
#include "link/operation_commands.hpp"
#include "processing/batch_runner.hpp"
#include "processing/raw_row_scan.hpp"
#include "records/clock_log.hpp"
#include "support/temp_folder.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/program_run.hpp"
#include "virtual_sensor/sensor_host.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::virtual_sensor {
namespace {

using namespace std::chrono_literals;

constexpr double kDriftPpm = 200;
constexpr double kStartOffsetS = 42.25;
constexpr auto kRunFor = std::chrono::hours(5);  // simulated; the program stops after 24 cycles
constexpr double kTimeScale = 600;

double seconds_of(TimePoint t) {
    return std::chrono::duration<double>(t.time_since_epoch()).count();
}

// "dd/mm/yyyy hh:mm:ss" as seconds since 1970.
double table_seconds(const std::string& cell) {
    const auto t = config::parse_calendar_text(cell);
    EXPECT_TRUE(t.has_value()) << cell;
    return t ? static_cast<double>(
                   common::utc_seconds({t->year, t->month, t->day, t->hour, t->minute, t->second}))
             : 0;
}

TEST(ClockDriftRehearsal, CorrectedTimesLieWithinTwoSecondsOfTheTrueTimes) {
    kelpira::testing::TempFolder folder;
    VirtualSensorOptions o;
    o.name = "Drifter";
    o.clock_offset_s = kStartOffsetS;
    o.clock_drift_ppm = kDriftPpm;
    o.run.storage = folder.root;
    const SensorClock clock = scaled_clock(kTimeScale);  // what --time-scale 600 serves
    VirtualSensor sensor(o, clock);
    link::InProcessHidBackend backend;
    attach_in_process(backend, "/virtual/drifter", sensor);
    link::SensorLink link{backend};
    ASSERT_EQ(link.Open("/virtual/drifter", 3000ms), 0);
    // The emulation's true UTC stands in for the PC's.
    const config::UtcClock utc = [clock] { return clock(); };
    const std::string log = folder.path("clock.csv");

    ASSERT_TRUE(config::record_clock_offset(link, log, "deployed", utc).ok);
    ASSERT_EQ(link::start_state_machine(link, 0), 0);
    std::string name;
    ASSERT_EQ(link::get_output_file_name(link, name), 0);
    const TimePoint end = clock() + kRunFor;
    const auto give_up = std::chrono::steady_clock::now() + 2 * kRunFor / kTimeScale;
    while (clock() < end && std::chrono::steady_clock::now() < give_up) {
        sensor.tick();  // as the device host does between commands
        std::this_thread::sleep_for(kTickPeriod);
    }
    ASSERT_GE(clock(), end);
    ASSERT_TRUE(config::record_clock_offset(link, log, "recovered", utc).ok);
    ASSERT_EQ(link::stop_state_machine(link), 0);
    link.Close();

    // The true time of each sensor time the raw file holds.
    const std::string raw = folder.path(name);
    auto file = processing::RawFile::open(raw);
    ASSERT_TRUE(file.has_value());
    std::map<std::uint32_t, double> true_time;
    sensor.edit_state([&](SensorState& s) {
        processing::for_each_row(
            *file, processing::RawChemistry::nutrient, [&](const processing::RawRow& row) {
                true_time[row.sensor_time] = seconds_of(sample_true_time(s.run, row.counter));
                return true;
            });
    });

    processing::BatchOptions options;
    options.files = {raw};
    options.clock_log = log;
    options.output = folder.path("results.csv");
    std::istringstream in;
    std::ostringstream out, err;
    ASSERT_EQ(processing::run_batch(options, in, out, err), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    std::ifstream table(*options.output);
    std::string line;
    std::getline(table, line);
    ASSERT_EQ(line.substr(0, 53), "Time (platform),Time (sensor),\"Time (UTC, corrected)\"");
    std::size_t results = 0;
    double worst_with_the_first_offset = 0;
    while (std::getline(table, line)) {
        const std::string sensor_cell = line.substr(20, 19);
        const std::string corrected_cell = line.substr(40, 19);
        const double sensor_time = table_seconds(sensor_cell);
        ASSERT_EQ(true_time.count(static_cast<std::uint32_t>(sensor_time)), 1u) << line;
        const double truth = true_time[static_cast<std::uint32_t>(sensor_time)];
        EXPECT_NEAR(table_seconds(corrected_cell), truth, 2.0) << line;
        worst_with_the_first_offset =
            std::max(worst_with_the_first_offset, std::abs(sensor_time - kStartOffsetS - truth));
        ++results;
    }
    EXPECT_GE(results, 20u);
    // The drift is what the second record corrects: 200 ppm of the 4 h 32 min to the last
    // result is 3.3 s, less the fraction of a second the sensor's time drops.
    EXPECT_GT(worst_with_the_first_offset, 2.0);
    // The two readings of the offset are 200 ppm of the time between them apart.
    std::ifstream log_file(log);
    const auto readings = records::read_clock_log(log_file);
    ASSERT_EQ(readings.records.size(), 2u) << readings.error;
    const auto& [deployed, recovered] = std::tie(readings.records[0], readings.records[1]);
    EXPECT_NEAR(deployed.offset_s, kStartOffsetS, 0.1);
    EXPECT_NEAR(recovered.offset_s - deployed.offset_s,
                kDriftPpm * 1e-6 * static_cast<double>(recovered.utc_ms - deployed.utc_ms) / 1000,
                0.1);
}

}  // namespace
}  // namespace kelpira::virtual_sensor

// kelpira-ctl report and config against an emulated sensor: the report's lines, snapshot
// export and import with their outputs, and the exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>

#include "ctl/ctl_program.hpp"
#include "link/command_catalogue.hpp"
#include "records/chemistry_config.hpp"
#include "report/snapshot.hpp"
#include "report/snapshot_file.hpp"
#include "virtual_sensor/sensor_host.hpp"

namespace kelpira {
namespace {

class CtlReportConfig : public ::testing::Test {
  protected:
    CtlReportConfig() {
        virtual_sensor::VirtualSensorOptions o;
        o.name = "Bench";
        sensor = &served.serve(std::make_unique<virtual_sensor::VirtualSensor>(o), "bench");
    }

    std::string snapshot_file(const std::function<void(report::Json&)>& change) {
        CtlRun r = run({"config", "export", files.path("snap.json")}, runtime);
        EXPECT_EQ(r.status, 0) << r.err;
        auto j = report::load_snapshot(files.path("snap.json"));
        change(j);
        std::ofstream(files.path("changed.json")) << report::snapshot_text(j);
        return files.path("changed.json");
    }

    testing::TempFolder files;
    std::string runtime = files.path("runtime");
    ServedSensors served{runtime};
    virtual_sensor::VirtualSensor* sensor = nullptr;
};

TEST_F(CtlReportConfig, ReportLinesOnStandardOutputOrInAFile) {
    CtlRun r = run({"report"}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = lines_of(r.out);
    ASSERT_GT(lines.size(), 10u);
    EXPECT_EQ(lines[0], std::string(72, '='));
    EXPECT_EQ(lines[4], "Sensor Name: Bench");
    EXPECT_EQ(lines.back(), "Firmware Version: KELPIRA_2_8_3");
    r = run({"report", "-o", files.path("bench.log")}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(lines_of(testing::TempFolder::read(files.path("bench.log"))).size(), lines.size());
    r = run({"report", "extra"}, runtime);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "kelpira-ctl: The following argument was not expected: extra\n"
              "Usage: kelpira-ctl report [OPTIONS]\n");
}

TEST_F(CtlReportConfig, AReportWhoseReadFailedIsPrintedButFails) {
    sensor->inject(link::code_value(link::CommandCode::GET_RS232_CONFIG),
                   {virtual_sensor::FaultKind::no_answer}, 1);
    CtlRun r = run({"report"}, runtime);
    EXPECT_EQ(r.status, 1);
    const auto lines = lines_of(r.out);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "unable to read RS232 configuration from sensor (status=14)"),
              lines.end())
        << r.out;
    EXPECT_EQ(lines.back(), "Firmware Version: KELPIRA_2_8_3") << "the report goes on";
    EXPECT_TRUE(
        r.err.ends_with(": the report is incomplete, 1 of its reads failed: no answer "
                        "(the last command may or may not have been carried out)\n"))
        << r.err;
}

// A sensor that goes away part-way (its socket closed) ends the operation at once rather than
// after the link's time-out (3000 ms) for each exchange tried, and the message says so.
TEST_F(CtlReportConfig, ASensorRemovedPartWayEndsTheOperationAtOnce) {
    using link::CommandCode;
    const std::string snapshot =
        snapshot_file([](report::Json& j) { j["platform_defaults"]["dive_number"] = 12; });
    ASSERT_EQ(run({"sm", "get", files.path("program.json")}, runtime).status, 0);
    struct Case {
        std::vector<std::string> args;
        CommandCode fails;
        virtual_sensor::RunningCode running = virtual_sensor::RunningCode::firmware;
    };
    std::string image(128, '\xff');
    image.replace(0, 13, "KELPIRA_2_8_3");
    const Case cases[] = {
        {{"report"}, CommandCode::GET_RS232_CONFIG},
        {{"config", "import", snapshot}, CommandCode::SET_PLATFORM_DEFAULTS},
        {{"sm", "put", files.path("program.json")}, CommandCode::SET_STATE_RECORD},
        {{"upgrade", files.write("fw.bin", image)},
         CommandCode::WRITE_FIRMWARE_BLOCK,
         virtual_sensor::RunningCode::bootloader},
    };
    virtual_sensor::VirtualSensor* s = sensor;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].args.front());
        if (i > 0) {  // the one before was removed
            virtual_sensor::VirtualSensorOptions o;
            o.running = cases[i].running;
            s = &served.serve(std::make_unique<virtual_sensor::VirtualSensor>(o),
                              "again" + std::to_string(i));
        }
        s->inject(link::code_value(cases[i].fails), {virtual_sensor::FaultKind::removed}, 1);
        const auto start = std::chrono::steady_clock::now();
        const CtlRun r = run(cases[i].args, runtime);
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.ends_with(": sensor removed\n")) << r.err;
        EXPECT_LT(took.count(), 1500) << "waited for the link's time-out";
        std::printf("%s: ended %lld ms after it started\n", cases[i].args.front().c_str(),
                    static_cast<long long>(took.count()));
    }
}

TEST_F(CtlReportConfig, ExportThenImportPrintsEveryRecordUnchanged) {
    const std::string path = snapshot_file([](report::Json&) {});
    sensor->clear_log();
    const CtlRun r = run({"config", "import", path}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 13u) << r.out;
    EXPECT_EQ(lines[0], "chemistry configuration: unchanged");
    EXPECT_EQ(lines[12], "identification: not written (the sensor keeps its own)");
    const std::set<std::uint16_t> sets{261, 353, 369, 373, 375, 401, 403, 405, 441, 443, 449, 465};
    for (const auto code : sensor->logged_codes()) {
        EXPECT_FALSE(sets.contains(code)) << "no record written: " << code;
    }
}

TEST_F(CtlReportConfig, DryRunPrintsWhatWouldChangeAndWritesNothing) {
    const auto platform = sensor->record(440);
    const std::string path =
        snapshot_file([](report::Json& j) { j["platform_defaults"]["dive_number"] = 12; });
    CtlRun r = run({"config", "import", path, "--dry-run"}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("platform defaults: would change dive_number 0 -> 12\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(sensor->record(440), platform);
    r = run({"config", "import", path}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("platform defaults: written\n"), std::string::npos) << r.out;
    EXPECT_NE(sensor->record(440), platform);
}

TEST_F(CtlReportConfig, RefusalsAndUsageErrors) {
    std::string path =
        snapshot_file([](report::Json& j) { j["pump_valve_defaults"]["microstepping"] = "32"; });
    sensor->clear_log();
    CtlRun r = run({"config", "import", path}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "kelpira-ctl: " + path +
                  ": pump_valve_defaults.microstepping: no such choice \"32\": one of 16, 8, 4, "
                  "2, 1\n");
    EXPECT_TRUE(sensor->logged_codes().empty()) << "the sensor is not even opened";

    path = snapshot_file([](report::Json& j) { j["chemistry_config"]["chemistry"] = "Iron"; });
    r = run({"config", "import", path}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(": the snapshot's chemistry is Iron; this sensor is configured for "
                         "Nitrate (--force restores it anyway)\n"),
              std::string::npos)
        << r.err;

    r = run({"config"}, runtime);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lines_of(r.err).at(0), "kelpira-ctl: export or import is required");
    EXPECT_EQ(run({"config", "import"}, runtime).status, 2);
    EXPECT_EQ(run({"config", "import", "a.json", "--fast"}, runtime).status, 2);
    EXPECT_EQ(run({"config", "export"}, runtime).status, 2);
    r = run({"config", "import", files.path("none.json")}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelpira-ctl: " + files.path("none.json") + ": cannot read the file\n");
}

// The report without the lines that tell the time.
std::string report_without_clocks(const std::string& runtime) {
    const CtlRun r = run({"report"}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    std::string kept;
    for (const auto& line : lines_of(r.out)) {
        if (!line.starts_with("PC time now:") && !line.starts_with("Sensor time now:")) {
            kept += line + "\n";
        }
    }
    return kept;
}

TEST_F(CtlReportConfig, EachRefusalNamesTheFieldAndWritesNothing) {
    const auto changed = [this](std::function<void(report::Json&)> change) {
        return [this, change] { return snapshot_file(change); };
    };
    const auto make_dic = [this] {
        sensor->edit_state([](virtual_sensor::SensorState& s) {
            auto c = records::decode_chemistry_config(s.records.at(400));
            c.chemistry = records::ChemistryType::dic;
            const auto bytes = records::encode(c);
            s.records[400].assign(bytes.begin(), bytes.end());
        });
    };
    struct Case {
        std::function<std::string()> file;
        std::string field;
        std::function<void()> before = [] {};
    };
    const std::vector<Case> cases{
        {changed([](auto& j) { j["rs232_config"]["baud"] = 0; }), "rs232_config.baud: 0 is not"},
        {changed([](auto& j) { j["rs232_config"]["parity"] = 77; }),
         "rs232_config.parity: 77 is not"},
        {changed([](auto& j) { j["rs232_config"]["data_bits"] = 0; }),
         "rs232_config.data_bits: 0 is not"},
        {changed([](auto& j) { j["rs232_config"]["stop_bits"] = 9; }),
         "rs232_config.stop_bits: 9 is not"},
        {changed([](auto& j) { j["schedule"]["stop_enabled"] = 7; }),
         "schedule.stop_enabled: 7 is not"},
        {changed([](auto& j) {
             j["dic_config"] = report::Json::parse(R"({"rxgain": 0,
             "offset_v": 0, "frequency_khz": 100, "excitation_pct": 50})");
         }),
         "dic_config: only a DIC sensor has one"},
        {[&] {
             const auto text = testing::TempFolder::read(changed([](auto&) {})());
             const auto at = text.find("\"baud\": ");
             return files.write("twice.json",
                                text.substr(0, at) + "\"baud\": 0, " + text.substr(at));
         },
         "rs232_config.baud: given twice"},
        {[&] { return files.path(""); }, ": cannot read the file"},
        {changed([](auto& j) { j["dic_config"]["excitation_pct"] = 250; }),
         "dic_config.excitation_pct: 250 is outside 0..100", make_dic},
    };
    for (const auto& c : cases) {
        c.before();
        const std::string path = c.file();
        const std::string report = report_without_clocks(runtime);
        for (const bool dry_run : {true, false}) {
            std::vector<std::string> args{"config", "import", path};
            if (dry_run) {
                args.push_back("--dry-run");
            }
            const CtlRun r = run(args, runtime);
            EXPECT_EQ(r.status, 1) << c.field;
            EXPECT_NE(r.err.find(c.field), std::string::npos) << r.err;
            EXPECT_EQ(r.out, "");
        }
        EXPECT_EQ(report_without_clocks(runtime), report) << c.field;
    }
}

}  // namespace
}  // namespace kelpira

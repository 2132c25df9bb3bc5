// kelpira-process end to end on raw files written for each test.
#include "processing/batch_runner.hpp"
#include "batch_args.hpp"

#include <gtest/gtest.h>
#include <netcdf.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "processing/temp_raw_file.hpp"

namespace {

namespace fs = std::filesystem;
using kelpira::process::run_command_line;
using kelpira::processing::testing::TempRawFile;

// One raw row with the given state, input channels 0 and 1, and sensor time.
std::string row(int counter, int state, double ch0, double ch1 = 0, std::uint32_t time = 0) {
    char line[300];
    std::snprintf(line, sizeof line,
                  "%d,%d,%.6f,%.6f,0,0,0,0,0,0,12.0,18.0,0,0,%u,35.0,12.5,6.8,10.0,%u\n", counter,
                  state, ch0, ch1, time, time + 3);
    return line;
}

const std::string kHeadings =
    "%Counter,State,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Supply,Temp,Status,Flags,Time,Salinity,"
    "Temperature,Oxygen,Depth,PlatformTime\n";

const std::string kDicKeys =
    "%KELPIRA.CHEMISTRY.INLET.0.TYPE=2\n"
    "%KELPIRA.CHEMISTRY.INLET.0.MEASUREMENT_STATE=3\n"
    "%KELPIRA.CHEMISTRY.INLET.0.CRM_VALUE=2000\n"
    "%KELPIRA.CHEMISTRY.INLET.1.TYPE=1\n"
    "%KELPIRA.CHEMISTRY.INLET.1.INTAKE_STATE=4\n"
    "%KELPIRA.CHEMISTRY.INLET.1.MEASUREMENT_STATE=5\n";

// Rows of one DIC cycle: a CRM step of 0.5 V, then a sample whose step is `sample_step`.
std::string dic_rows(std::uint32_t time, double sample_step) {
    std::string rows;
    int counter = 0;
    rows += row(counter++, 3, 1.0);
    for (int i = 0; i < 30; ++i) {
        rows += row(counter++, 3, 1.5);
    }
    rows += row(counter++, 4, 0, 0, time);
    rows += row(counter++, 5, 2.0);
    for (int i = 0; i < 30; ++i) {
        rows += row(counter++, 5, 2.0 + sample_step);
    }
    return rows;
}

std::string dic_file(std::uint32_t time, double sample_step) {
    return "%KELPIRA.HEADER_START\n%KELPIRA.CHEMISTRY.TYPE=8\n" + kDicKeys +
           "%KELPIRA.HEADER_END\n" + kHeadings + dic_rows(time, sample_step);
}

std::string ta_file() {
    std::string text =
        "%KELPIRA.HEADER_START\n"
        "%KELPIRA.CHEMISTRY.TYPE=7\n"
        "%KELPIRA.CHEMISTRY.MEASUREMENT_CHANNEL=1\n"
        "%KELPIRA.CHEMISTRY.SAMPLE_INTAKE_STATE=1\n"
        "%KELPIRA.CHEMISTRY.BLANK_MEASUREMENT_STATE_LED1=2\n"
        "%KELPIRA.CHEMISTRY.BLANK_MEASUREMENT_STATE_LED2=3\n"
        "%KELPIRA.CHEMISTRY.SAMPLE_MEASUREMENT_STATE_LED1=4\n"
        "%KELPIRA.CHEMISTRY.SAMPLE_MEASUREMENT_STATE_LED2=5\n"
        "%KELPIRA.CHEMISTRY.PROCESSING_TRIGGER=3\n"
        "%KELPIRA.CHEMISTRY.ACID_MOLARITY=0.002\n"
        "%KELPIRA.CHEMISTRY.pKa=7\n"
        "%KELPIRA.CHEMISTRY.e2=1\n"
        "%KELPIRA.HEADER_END\n" +
        kHeadings;
    text += row(0, 1, 0, 0, 1700000000);
    text += row(1, 2, 0, 1);
    text += row(2, 3, 0, 1);
    text += row(3, 4, 0, 0.1);
    text += row(4, 5, 0, 0.01);
    return text;
}

std::string nutrient_file(const std::string& sensor_name) {
    return "%KELPIRA.HEADER_START\n"
           "%KELPIRA.CORE.SENSOR_NAME=" +
           sensor_name +
           "\n"
           "%KELPIRA.CHEMISTRY.TYPE=1\n"
           "%KELPIRA.CHEMISTRY.SAMPLE_INTAKE_STATE=1\n"
           "%KELPIRA.CHEMISTRY.BLANK_MEASUREMENT_STATE=2\n"
           "%KELPIRA.CHEMISTRY.STANDARD1_MEASUREMENT_STATE=3\n"
           "%KELPIRA.CHEMISTRY.SAMPLE_MEASUREMENT_STATE=4\n"
           "%KELPIRA.CHEMISTRY.STANDARD1_CONCENTRATION=10\n"
           "%KELPIRA.CHEMISTRY.PROCESSING_TRIGGER=2\n"
           "%KELPIRA.HEADER_END\n" +
           kHeadings + row(0, 1, 0, 0, 1700000000) + row(1, 2, 1.0) + row(2, 3, 0.5) +
           row(3, 4, 0.8);
}

const std::string kDicTitles =
    "Time (platform),Meas State,DIC (umol/kg),Sample Step (V),CRM Step (V),Temperature (C),"
    "Validity\n";

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome run(std::vector<std::string> args, const std::string& standard_input = "") {
    std::vector<std::string_view> views(args.begin(), args.end());
    std::istringstream in(standard_input);
    std::ostringstream out, err;
    Outcome r;
    r.status = run_command_line(views, in, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class BatchRunner : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(KELPIRA_BINARY_DIR) / "batch_runner_test" /
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

TEST_F(BatchRunner, SeveralFilesMakeOneTable) {
    TempRawFile a(dic_file(1700000000, 0.4));
    TempRawFile b(dic_file(1700003600, 0.6));
    const Outcome r = run({a.path().string(), b.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, kDicTitles +
                         "14/11/2023 22:13:20,5,1600.000,0.400,0.500,0.000,good\n"
                         "14/11/2023 23:13:20,5,2400.000,0.600,0.500,0.000,good\n");
}

TEST_F(BatchRunner, NutrientTableIsTheMultiFileTableWithSensorNames) {
    // No channel keys: the header leaves all three channels on input 0.
    TempRawFile a(nutrient_file("KELPIRA-0042"));
    TempRawFile b(nutrient_file("KELPIRA-0043, \"Bay\""));
    const Outcome r = run({a.path().string(), b.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string cells =
        "14/11/2023 22:13:23,14/11/2023 22:13:20,3.219,3.219,3.219,10.00,"
        "35.000,12.500,";
    EXPECT_EQ(r.out,
              "Time (platform),Time (sensor),Nutrient (Medium:uM),Nutrient (Short:uM),"
              "Nutrient (Long:uM),Depth (m),S (PSU),T (degC),Sensor Name\n" +
                  cells + "KELPIRA-0042\n" + cells + "\"KELPIRA-0043, \"\"Bay\"\"\"\n");
}

TEST_F(BatchRunner, TaTableCarriesEveryColumn) {
    TempRawFile a(ta_file());
    const Outcome r = run({"--chemistry", "ta", a.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Time (platform),TA (uM),Absorbance LED1,Absorbance LED2,Temperature (C)\n"
              "14/11/2023 22:13:20,226.727,1.000000,2.000000,0.000000\n");
}

TEST_F(BatchRunner, AFileWhoseRowsCompleteNoCycleSaysSo) {
    std::string text = ta_file();
    text.erase(text.rfind("4,5,"));  // the second sample state never comes
    TempRawFile a(text);
    const Outcome r = run({"--chemistry", "ta", a.path().string()});
    EXPECT_EQ(r.status, 0) << "the file was read whole";
    EXPECT_EQ(r.out, "Time (platform),TA (uM),Absorbance LED1,Absorbance LED2,Temperature (C)\n");
    EXPECT_EQ(r.err, "kelpira-process: " + a.path().string() +
                         ": no results: no measurement cycle of TA is complete in its rows (its "
                         "processing parameters name the states a cycle must pass)\n");
}

TEST_F(BatchRunner, FileWithoutHeaderNeedsSet) {
    TempRawFile bare(kHeadings + dic_rows(1700000000, 0.4));
    const Outcome refused = run({bare.path().string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "kelpira-process: " + bare.path().string() +
                               ": no header (no %KELPIRA.HEADER_START line); give its "
                               "parameters with --set KEY=VALUE\n");

    std::vector<std::string> args{"--set", "KELPIRA.CHEMISTRY.TYPE=8"};
    std::istringstream keys(kDicKeys);
    for (std::string line; std::getline(keys, line);) {
        args.push_back("--set=" + line.substr(1));
    }
    args.push_back(bare.path().string());
    const Outcome processed = run(args);
    EXPECT_EQ(processed.status, 0) << processed.err;
    EXPECT_EQ(processed.out,
              kDicTitles + "14/11/2023 22:13:20,5,1600.000,0.400,0.500,0.000,good\n");
}

TEST_F(BatchRunner, SetOverridesTheHeaderOfEveryFile) {
    TempRawFile a(dic_file(1700000000, 0.4));
    TempRawFile b(dic_file(1700003600, 0.4));
    const Outcome r = run({"--set", "KELPIRA.CHEMISTRY.INLET.0.CRM_VALUE=1000", a.path().string(),
                           b.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kDicTitles +
                         "14/11/2023 22:13:20,5,800.000,0.400,0.500,0.000,good\n"
                         "14/11/2023 23:13:20,5,800.000,0.400,0.500,0.000,good\n");
}

TEST_F(BatchRunner, WrongChemistryFailsThatFileOnly) {
    TempRawFile dic(dic_file(1700000000, 0.4));
    TempRawFile ta(ta_file());
    const Outcome r = run({"--chemistry", "ta", dic.path().string(), ta.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelpira-process: " + dic.path().string() +
                         ": wrong chemistry type 8 (DIC) for TA processing\n");
    EXPECT_NE(r.out.find("226.727"), std::string::npos);
}

TEST_F(BatchRunner, UnreadableFileInTheMiddleNeverStopsTheOthers) {
    TempRawFile a(dic_file(1700000000, 0.4));
    TempRawFile b(dic_file(1700003600, 0.6));
    const std::string missing = path("missing.csv");
    const std::string output = path("out.csv");
    const Outcome r =
        run({"--output", output, a.path().string(), missing, dir_.string(), b.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "kelpira-process: " + missing +
                         ": cannot open: No such file or directory\n"
                         "kelpira-process: " +
                         dir_.string() + ": I/O error reading input file\n");
    EXPECT_EQ(slurp(output), kDicTitles +
                                 "14/11/2023 22:13:20,5,1600.000,0.400,0.500,0.000,good\n"
                                 "14/11/2023 23:13:20,5,2400.000,0.600,0.500,0.000,good\n");
}

TEST_F(BatchRunner, NothingProcessedLeavesTheOutputAsItWas) {
    const std::string output = path("out.csv");
    std::ofstream(output) << "earlier results\n";
    TempRawFile bare(kHeadings);
    const Outcome r = run({"--output", output, bare.path().string(), path("missing.csv")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(slurp(output), "earlier results\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 1);  // no temporary file left
}

TEST_F(BatchRunner, OutputThatCannotBeWrittenFails) {
    TempRawFile a(dic_file(1700000000, 0.4));
    const std::string output = path("no/such/folder/out.csv");
    const Outcome r = run({"--output", output, a.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "kelpira-process: cannot write the results to " + output + ": no such folder\n");
    const Outcome folder = run({"--output", dir_.string(), a.path().string()});
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err, "kelpira-process: cannot write the results to " + dir_.string() +
                              ": it is a folder\n");
}

TEST_F(BatchRunner, SeveralChemistriesAreRefusedBeforeAnythingIsWritten) {
    TempRawFile dic(dic_file(1700000000, 0.4));
    TempRawFile ta(ta_file());
    const std::string output = path("out.csv");
    const Outcome r = run({"--output", output, dic.path().string(), ta.path().string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "kelpira-process: the files hold several chemistries (DIC in " +
                         dic.path().string() + ", TA in " + ta.path().string() +
                         "); process one chemistry per run, or choose one with --chemistry\n");
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(BatchRunner, LogCarriesTheEngineLines) {
    TempRawFile a(dic_file(1700000000, 0.4));
    const std::string log = path("run.log");
    const Outcome r = run({"--log", log, "--output", path("out.csv"), a.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string text = slurp(log);
    EXPECT_EQ(text.rfind("Reading file " + a.path().string() + "\n", 0), 0u);
    EXPECT_NE(text.find("\nexited inlet 0 measurement state (3)\n"), std::string::npos);
    EXPECT_NE(text.find("\nprocessed DIC result at 1700000000 = 1600.000000\n"), std::string::npos);
}

TEST_F(BatchRunner, ZeroPhSampleIntervalIsRefused) {
    TempRawFile ph(
        "%KELPIRA.HEADER_START\n%KELPIRA.CHEMISTRY.TYPE=4\n"
        "%KELPIRA.CHEMISTRY.SAMPLE_INTERVAL=0\n%KELPIRA.HEADER_END\n" +
        kHeadings + row(0, 1, 1, 1) + row(1, 2, 1, 1));
    const Outcome r = run({ph.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelpira-process: " + ph.path().string() +
                         ": A sample interval of 0 ms cannot be processed: the sample interval "
                         "must be at least 1 ms.\n");
}

TEST_F(BatchRunner, UsageErrors) {
    TempRawFile a(dic_file(1700000000, 0.4));
    const Outcome none = run({});
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err,
              "kelpira-process: FILE is required\nUsage: kelpira-process [OPTIONS] FILE...\n");

    const Outcome unknown_key =
        run({"--set", "KELPIRA.CHEMISTRY.NO_SUCH_KEY=1", a.path().string()});
    EXPECT_EQ(unknown_key.status, 2);
    EXPECT_EQ(unknown_key.err,
              "kelpira-process: --set KELPIRA.CHEMISTRY.NO_SUCH_KEY=1: not a header key of DIC "
              "files, or its value does not read as a number\n");

    const Outcome over_input = run({"--output", a.path().string(), a.path().string()});
    EXPECT_EQ(over_input.status, 2);
    EXPECT_EQ(over_input.err,
              "kelpira-process: --output " + a.path().string() + " is one of the raw files\n");
    EXPECT_EQ(slurp(a.path()), dic_file(1700000000, 0.4));

    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("\nUsage: kelpira-process [OPTIONS] FILE...\n"), std::string::npos);
}

TEST_F(BatchRunner, ALogThatCannotBeCreatedIsAllThatIsSaid) {
    TempRawFile a(dic_file(1700000000, 0.4));
    const std::string log = path("no/such/folder/run.log");
    const Outcome r = run({"--log", log, a.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelpira-process: cannot write the log to " + log + "\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(BatchRunner, StandardInputAndPipesAreReadThroughACopy) {
    const std::string expected =
        kDicTitles + "14/11/2023 22:13:20,5,1600.000,0.400,0.500,0.000,good\n";
    const Outcome in = run({"--log", "-", "-"}, dic_file(1700000000, 0.4));
    EXPECT_EQ(in.status, 0) << in.err;
    EXPECT_EQ(in.out, expected);
    EXPECT_EQ(in.err.rfind("Reading file -\n", 0), 0u);  // the log on standard error
    EXPECT_NE(in.err.find("\nprocessed DIC result at 1700000000"), std::string::npos);

    const std::string fifo = path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&fifo] { std::ofstream(fifo) << dic_file(1700000000, 0.4); });
    const Outcome piped = run({fifo});
    writer.join();
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, expected);
}

TEST_F(BatchRunner, ANutrientFileWithoutTypeIsProcessedWithAWarning) {
    std::string text = nutrient_file("KELPIRA-0042");
    text.erase(text.find("%KELPIRA.CHEMISTRY.TYPE=1\n"), 26);
    TempRawFile a(text);
    const Outcome r = run({"--chemistry", "nutrient", a.path().string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "kelpira-process: " + a.path().string() +
                         ": no chemistry type (KELPIRA.CHEMISTRY.TYPE) in the header: a dilution "
                         "ratio of 1.0 is used; set the type with --set KELPIRA.CHEMISTRY.TYPE=N "
                         "(1 nitrate, 2 phosphate, 3 silicate, 5 nitrite, 6 iron)\n");
    EXPECT_NE(r.out.find(",3.219,"), std::string::npos);
}

TEST_F(BatchRunner, VersionAndHelp) {
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "kelpira-process 1.0e\n");
    const Outcome help = run({"--help"});
    for (const char* cause :
         {"  0  every file processed", "could not be opened or read",
          "the results or the log could not be written", "  2  the command line is wrong"}) {
        EXPECT_NE(help.out.find(cause), std::string::npos) << cause;
    }
}

TEST_F(BatchRunner, ProgressBarEndsFull) {
    TempRawFile a(dic_file(1700000000, 0.4));
    const Outcome r = run({"--progress", a.path().string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("\r[########################################] 100.0%  file 1 of 1\n"),
              std::string::npos)
        << r.err;
}

}  // namespace

namespace {

std::vector<double> netcdf_values(const std::string& path, const char* name) {
    int id = -1, var = -1, dim = -1;
    std::size_t n = 0;
    EXPECT_EQ(nc_open(path.c_str(), NC_NOWRITE, &id), NC_NOERR) << path;
    nc_inq_varid(id, name, &var);
    nc_inq_vardimid(id, var, &dim);
    nc_inq_dimlen(id, dim, &n);
    std::vector<double> values(n);
    nc_get_var_double(id, var, values.data());
    nc_close(id);
    return values;
}

TEST_F(BatchRunner, NetcdfHoldsEveryFilesResultsInTheGivenOrder) {
    TempRawFile a(dic_file(1700000000, 0.4));
    TempRawFile b(dic_file(1700003600, 0.6));
    const std::string nc = path("results.nc");
    const Outcome r = run({"--format", "netcdf", "--jobs", "2", "--output", nc, a.path().string(),
                           b.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "kelpira-process: " + nc +
                         ": no position for sensor \"unnamed sensor\": the file is not a "
                         "complete CF timeSeries (each sensor needs a latitude and longitude)\n");
    const auto dic = netcdf_values(nc, "dic");
    ASSERT_EQ(dic.size(), 2u);
    EXPECT_NEAR(dic[0], 1600, 1e-9);
    EXPECT_NEAR(dic[1], 2400, 1e-9);
    EXPECT_EQ(netcdf_values(nc, "time"), (std::vector<double>{1700000000, 1700003600}));
    EXPECT_EQ(netcdf_values(nc, "input_file_index"), (std::vector<double>{0, 1}));

    const std::string nowhere = path("missing/results.nc");
    const Outcome failed = run({"--format=netcdf", "--output", nowhere, a.path().string()});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err,
              "kelpira-process: cannot write the results to " + nowhere + ": no such folder\n");
}

// Positions from the command line and from a file; a file that does not read stops the run.
TEST_F(BatchRunner, NetcdfResultsArePlacedWhereTheSensorsWere) {
    TempRawFile a(nutrient_file("Bay 1"));
    TempRawFile b(nutrient_file("Bay 2"));
    std::ofstream(path("places.csv")) << "name,latitude,longitude\nBay 2,51,-5\n";
    const std::string nc = path("placed.nc");
    const Outcome r =
        run({"--format", "netcdf", "--output", nc, "--position", "Bay 1=50.5,-4.25", "--positions",
             path("places.csv"), a.path().string(), b.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(netcdf_values(nc, "lat"), (std::vector<double>{50.5, 51}));
    EXPECT_EQ(netcdf_values(nc, "lon"), (std::vector<double>{-4.25, -5}));

    std::ofstream(path("track.csv")) << "time,latitude,longitude\n2023-11-14T22:13:20Z,50,x\n";
    const Outcome bad = run({"--format", "netcdf", "--output", nc, "--feature-type", "trajectory",
                             "--track", path("track.csv"), a.path().string()});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "kelpira-process: track " + path("track.csv") +
                           ": line 2: not time,latitude,longitude with a UTC time like "
                           "2025-06-01T00:00:00Z, latitude -90..90 and longitude -180..180\n");
}

TEST_F(BatchRunner, ClockLogCorrectsTheTimesOfTheSensorsItNames) {
    TempRawFile a(nutrient_file("Bay 1"));
    TempRawFile b(nutrient_file("Bay 2"));
    // Bay 1: sensor times 22:00:10 and 23:00:20. Its result at 22:13:20 lies 790 s into the
    // 3610 s between them: offset 10 + 10 * 790 / 3610 = 12.188 s, corrected 22:13:07.81.
    std::ofstream(path("clock.csv")) << "utc_time,sensor_name,serial_number,offset_s,event\n"
                                        "2023-11-14T22:00:00.000Z,Bay 1,1001,10.000,deployed\n"
                                        "2023-11-14T23:00:00.000Z,Bay 1,1001,20.000,recovered\n";
    const Outcome r = run({"--clock-log", path("clock.csv"), a.path().string(), b.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string cells = "3.219,3.219,3.219,10.00,35.000,12.500,";
    EXPECT_EQ(r.out,
              "Time (platform),Time (sensor),\"Time (UTC, corrected)\",Nutrient (Medium:uM),"
              "Nutrient (Short:uM),Nutrient (Long:uM),Depth (m),S (PSU),T (degC),Sensor Name\n"
              "14/11/2023 22:13:23,14/11/2023 22:13:20,14/11/2023 22:13:08," +
                  cells + "Bay 1\n14/11/2023 22:13:23,14/11/2023 22:13:20,14/11/2023 22:13:20," +
                  cells + "Bay 2\n");
    EXPECT_EQ(r.err, "kelpira-process: " + b.path().string() +
                         ": no record of sensor \"Bay 2\" in the clock log " + path("clock.csv") +
                         ": its times are left uncorrected\n");

    const std::string nc = path("results.nc");
    const Outcome n = run({"--clock-log", path("clock.csv"), "--format", "netcdf", "--output", nc,
                           a.path().string()});
    EXPECT_EQ(n.status, 0) << n.err;
    const auto time = netcdf_values(nc, "time");
    ASSERT_EQ(time.size(), 1u);
    EXPECT_NEAR(time[0], 1699999987.8116, 1e-3);
    EXPECT_EQ(netcdf_values(nc, "sensor_time"), (std::vector<double>{1700000000}));

    std::ofstream(path("bad.csv")) << "utc_time,sensor_name,serial_number,offset_s,event\n"
                                      "2023-11-14T22:00:00.000Z,Bay 1,1001,10.000,deployed\n"
                                      "2023-11-14T22:00:00.000Z,Bay 1,1001,11.000,check\n";
    const Outcome refused = run({"--clock-log", path("bad.csv"), a.path().string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "kelpira-process: clock log " + path("bad.csv") +
                               ": line 3: repeats the record of sensor \"Bay 1\" at the time of "
                               "line 2\n");
}

// kelpira-process with quality control: DIC results of 2000, 2000, 2400, 2000, 2000 umol/kg an
// hour apart (a DIC of 4000 x the sample step) flagged with a spike test of 100/200.
class BatchQuality : public BatchRunner {
  protected:
    Outcome run_qc(std::vector<std::uint32_t> hours, std::vector<double> steps,
                   std::string parameters, std::optional<std::string> netcdf = std::nullopt) {
        std::vector<std::unique_ptr<TempRawFile>> files;
        kelpira::processing::BatchOptions options;
        for (std::size_t i = 0; i < hours.size(); ++i) {
            files.push_back(
                std::make_unique<TempRawFile>(dic_file(1700000000 + hours[i] * 3600, steps[i])));
            options.files.push_back(files.back()->path().string());
        }
        std::ofstream(path("qc.json")) << parameters;
        options.qc = path("qc.json");
        options.jobs = 2;
        if (netcdf) {
            options.output = *netcdf;
            options.format.format = kelpira::processing::OutputFormat::netcdf;
        }
        std::istringstream in;
        std::ostringstream out, err;
        Outcome r;
        r.status = kelpira::processing::run_batch(options, in, out, err);
        r.out = out.str();
        r.err = err.str();
        return r;
    }
};

const std::string kSpikeOnly =
    R"({"gross_range": {"sensor_span": [0, 4000]},
        "spike": {"suspect_threshold": 100, "fail_threshold": 200}})";
const std::string kDicFlagTitles =
    "Time (platform),Meas State,DIC (umol/kg),Sample Step (V),CRM Step (V),Temperature (C),"
    "Validity,DIC gross_range,DIC spike,DIC rate_of_change,DIC flat_line,DIC aggregate\n";

TEST_F(BatchQuality, CsvGainsTheFlagsAfterItsColumns) {
    const Outcome r = run_qc({0, 1, 2, 3, 4}, {0.5, 0.5, 0.6, 0.5, 0.5}, kSpikeOnly);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // Spike: 2000 beside 2000 and 2400 is 200 off the reference, at the fail threshold: 3.
    EXPECT_EQ(r.out, kDicFlagTitles +
                         "14/11/2023 22:13:20,5,2000.000,0.500,0.500,0.000,good,1,2,2,2,1\n"
                         "14/11/2023 23:13:20,5,2000.000,0.500,0.500,0.000,good,1,3,2,2,3\n"
                         "15/11/2023 00:13:20,5,2400.000,0.600,0.500,0.000,good,1,4,2,2,4\n"
                         "15/11/2023 01:13:20,5,2000.000,0.500,0.500,0.000,good,1,3,2,2,3\n"
                         "15/11/2023 02:13:20,5,2000.000,0.500,0.500,0.000,good,1,2,2,2,1\n");
}

TEST_F(BatchQuality, SeriesIsPutInTimeOrderAndAnExactRepeatTakesItsTwinsFlags) {
    // Files given out of time order, the one at 2 h twice (overlapping files), then one at
    // 1 h that differs: left out of the series and told.
    const Outcome r = run_qc({2, 0, 2, 1, 1}, {0.6, 0.5, 0.6, 0.5, 0.55}, kSpikeOnly);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kDicFlagTitles +
                         "15/11/2023 00:13:20,5,2400.000,0.600,0.500,0.000,good,1,2,2,2,1\n"
                         "14/11/2023 22:13:20,5,2000.000,0.500,0.500,0.000,good,1,2,2,2,1\n"
                         "15/11/2023 00:13:20,5,2400.000,0.600,0.500,0.000,good,1,2,2,2,1\n"
                         "14/11/2023 23:13:20,5,2000.000,0.500,0.500,0.000,good,1,3,2,2,3\n"
                         "14/11/2023 23:13:20,5,2200.000,0.550,0.500,0.000,good,2,2,2,2,2\n");
    EXPECT_EQ(r.err,
              "kelpira-process: --qc: unnamed sensor DIC: two results at 14/11/2023 23:13:20 "
              "differ (2000.000 and 2200.000); the second is left out of the quality control\n");
}

TEST_F(BatchQuality, ConfigurationErrorNamesTheKeyAndWritesNothing) {
    const std::string nc = path("results.nc");
    const Outcome r =
        run_qc({0, 1}, {0.5, 0.5},
               R"({"DIC": {"spike": {"suspect_threshold": 3, "fail_threshold": 2}}})", nc);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "kelpira-process: --qc " + path("qc.json") +
                  ": line 1: DIC.spike.suspect_threshold: is above fail_threshold (3 > 2)\n");
    EXPECT_FALSE(fs::exists(nc));

    const Outcome other = run_qc({0}, {0.5}, R"({"pH": {}})");
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.out, "");
    const std::string prefix =
        "kelpira-process: --qc " + path("qc.json") + ": no parameters for DIC, the results of ";
    EXPECT_EQ(other.err.substr(0, prefix.size()), prefix);
}

std::string netcdf_text(const std::string& path, const char* var, const char* name) {
    int id = -1, v = NC_GLOBAL;
    std::size_t n = 0;
    EXPECT_EQ(nc_open(path.c_str(), NC_NOWRITE, &id), NC_NOERR);
    nc_inq_varid(id, var, &v);
    nc_inq_attlen(id, v, name, &n);
    std::string text(n, '\0');
    nc_get_att_text(id, v, name, text.data());
    nc_close(id);
    return text;
}

TEST_F(BatchQuality, NetcdfFlagVariablesEqualTheCsvColumns) {
    const std::string nc = path("results.nc");
    const Outcome r = run_qc({0, 1, 2, 3, 4}, {0.5, 0.5, 0.6, 0.5, 0.5}, kSpikeOnly, nc);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(netcdf_values(nc, "dic_gross_range_test_quality_flag"),
              (std::vector<double>{1, 1, 1, 1, 1}));
    EXPECT_EQ(netcdf_values(nc, "dic_spike_test_quality_flag"),
              (std::vector<double>{2, 3, 4, 3, 2}));
    EXPECT_EQ(netcdf_values(nc, "dic_flat_line_test_quality_flag"),
              (std::vector<double>{2, 2, 2, 2, 2}));
    EXPECT_EQ(netcdf_values(nc, "dic_aggregate_quality_flag"),
              (std::vector<double>{1, 3, 4, 3, 1}));
    EXPECT_EQ(netcdf_text(nc, "dic", "ancillary_variables"),
              "validity dic_gross_range_test_quality_flag dic_spike_test_quality_flag "
              "dic_rate_of_change_test_quality_flag dic_flat_line_test_quality_flag "
              "dic_aggregate_quality_flag");
    EXPECT_EQ(netcdf_text(nc, "dic_spike_test_quality_flag", "standard_name"),
              "spike_test_quality_flag");
    EXPECT_EQ(netcdf_text(nc, "dic_aggregate_quality_flag", "standard_name"),
              "aggregate_quality_flag");
    EXPECT_EQ(netcdf_text(nc, "dic_spike_test_quality_flag", "flag_meanings"),
              "pass not_evaluated suspect fail missing");
    EXPECT_EQ(netcdf_text(nc, "dic_flat_line_test_quality_flag", "comment"),
              "not run (flag 2): the parameters file has no flat_line");
    EXPECT_EQ(netcdf_values(nc, "dic_spike_test_quality_flag"),
              (std::vector<double>{2, 3, 4, 3, 2}));
}

TEST_F(BatchQuality, SeriesAloneIsFlaggedFromTheCommandLine) {
    // The nitrate example of the definition, times in three of the forms taken.
    std::ofstream(path("a.csv")) << "time,value\n"
                                    "2026-12-08T00:00:00Z,12.0\n"
                                    "2026-12-08T01:00:00,12.5\n"
                                    "2026-12-08 02:00:00,12.25\n"
                                    "2026-12-08T04:00:00+01:00,14.5\n"
                                    "1796702400,12.5\n"
                                    "1796706000,\n"
                                    "1796709600,12.75\n"
                                    "1796713200,12.5\n"
                                    "1796716800,12.5\n"
                                    "1796720400,12.5\n"
                                    "1796724000,12.5\n";
    std::ofstream(path("a.json")) << R"({"max_gap_s": 10800,
              "gross_range": {"sensor_span": [-0.5, 60], "user_span": [0, 40]},
              "spike": {"suspect_threshold": 1.0, "fail_threshold": 2.0},
              "rate_of_change": {"n_dev": 3, "tim_dev_s": 90000, "floor": 0.5, "min_count": 3},
              "flat_line": {"suspect_run": 3, "fail_run": 5, "eps": 0.005}})";
    const Outcome r = run({"--qc", path("a.json"), "--series", path("a.csv")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "time,value,gross_range,spike,rate_of_change,flat_line,aggregate\n"
              "2026-12-08T00:00:00Z,12.0,1,2,2,2,1\n"
              "2026-12-08T01:00:00,12.5,1,1,2,1,1\n"
              "2026-12-08 02:00:00,12.25,1,3,2,1,3\n"
              "2026-12-08T04:00:00+01:00,14.5,1,4,3,1,4\n"
              "1796702400,12.5,1,3,1,1,3\n"
              "1796706000,,9,9,9,9,9\n"
              "1796709600,12.75,1,1,1,1,1\n"
              "1796713200,12.5,1,1,1,1,1\n"
              "1796716800,12.5,1,1,1,1,1\n"
              "1796720400,12.5,1,1,1,3,3\n"
              "1796724000,12.5,1,2,1,3,3\n");

    // Only a spike test: the other columns are 2.
    std::ofstream(path("spike.json")) << R"({"TA": {"spike": {"suspect_threshold": 0.5,
        "fail_threshold": 1.0}}, "DIC": {}})";
    std::ofstream(path("c.csv")) << "time,value\n0,5\n3600,5\n7200,nan\n10800,7\n14400,5\n"
                                    "18000,5\n21600,5\n";
    const Outcome c = run({"--qc", path("spike.json"), "--kind", "TA", "--series", path("c.csv"),
                           "--output", path("c.out")});
    EXPECT_EQ(c.status, 0) << c.err;
    EXPECT_EQ(slurp(path("c.out")),
              "time,value,gross_range,spike,rate_of_change,flat_line,aggregate\n"
              "0,5,2,2,2,2,2\n3600,5,2,3,2,2,3\n7200,nan,2,9,2,2,9\n10800,7,2,4,2,2,4\n"
              "14400,5,2,3,2,2,3\n18000,5,2,1,2,2,1\n21600,5,2,2,2,2,2\n");

    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--qc", path("spike.json"), "--series", path("c.csv")},
         "kelpira-process: --qc " + path("spike.json") +
             ": holds the parameters of several kinds (DIC, TA): choose one with --kind\n"},
        {{"--qc", path("spike.json"), "--kind", "pH", "--series", path("c.csv")},
         "kelpira-process: --qc " + path("spike.json") + ": no parameters for pH\n"},
        {{"--qc", path("a.json"), "--series", path("spike.json")},
         "kelpira-process: " + path("spike.json") +
             ": line 1: the header needs the columns \"time\" and \"value\"\n"},
        {{"--qc", path("none.json"), "--series", path("a.csv")},
         "kelpira-process: --qc " + path("none.json") +
             ": cannot be read: No such file or directory\n"},
    };
    for (const auto& [args, err] : refused) {
        const Outcome n = run(args);
        EXPECT_EQ(n.status, 1);
        EXPECT_EQ(n.out, "");
        EXPECT_EQ(n.err, err);
    }
    std::ofstream(path("back.csv")) << "time,value\n0,5\n3600,5\n3600,6\n";
    const Outcome back =
        run({"--qc", path("a.json"), "--series", path("back.csv"), "--output", path("back.out")});
    EXPECT_EQ(back.status, 1);
    EXPECT_EQ(back.err, "kelpira-process: " + path("back.csv") +
                            ": line 4: time \"3600\" does not come after the time of the line "
                            "before\n");
    EXPECT_FALSE(fs::exists(path("back.out")));

    const Outcome usage = run({"--series", path("a.csv")});
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.err,
              "kelpira-process: --series: needs --qc PARAMS.json or --qc default\n"
              "Usage: kelpira-process [OPTIONS] [FILE...]\n");
    EXPECT_EQ(run({"--qc", "default", "--series", path("a.csv"), path("a.csv")}).status, 2);
}

TEST_F(BatchQuality, ShippedDefaultsFromTheCommandLine) {
    TempRawFile a(dic_file(1700000000, 0.5));
    TempRawFile b(dic_file(1700003600, 0.5));
    const Outcome r = run({"--qc", "default", a.path().string(), b.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kDicFlagTitles +
                         "14/11/2023 22:13:20,5,2000.000,0.500,0.500,0.000,good,1,2,2,2,1\n"
                         "14/11/2023 23:13:20,5,2000.000,0.500,0.500,0.000,good,1,2,2,2,1\n");
}

}  // namespace

// kelpira-process with several jobs: the same table, log and messages as one job, in the order
// the files were given, and an interrupted run that leaves no file behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "batch_args.hpp"
#include "processing/batch_runner.hpp"
#include "support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
using kelpira::process::run_command_line;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
    bool operator==(const Outcome&) const = default;
};

Outcome run(std::vector<std::string> args) {
    const std::vector<std::string_view> views(args.begin(), args.end());
    std::istringstream in;
    std::ostringstream out, err;
    Outcome r;
    r.status = run_command_line(views, in, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// A nutrient file of `cycles` cycles named `name`, its readings scaled by `scale`, so every
// file's lines differ.
std::string nutrient_file(const std::string& name, int cycles, double scale) {
    std::string text = "%KELPIRA.HEADER_START\n%KELPIRA.CORE.SENSOR_NAME=" + name +
                       "\n%KELPIRA.CHEMISTRY.TYPE=1\n"
                       "%KELPIRA.CHEMISTRY.SAMPLE_INTAKE_STATE=1\n"
                       "%KELPIRA.CHEMISTRY.BLANK_MEASUREMENT_STATE=2\n"
                       "%KELPIRA.CHEMISTRY.STANDARD1_MEASUREMENT_STATE=3\n"
                       "%KELPIRA.CHEMISTRY.SAMPLE_MEASUREMENT_STATE=4\n"
                       "%KELPIRA.CHEMISTRY.STANDARD1_CONCENTRATION=10\n"
                       "%KELPIRA.CHEMISTRY.PROCESSING_TRIGGER=2\n"
                       "%KELPIRA.HEADER_END\n";
    char line[200];
    unsigned counter = 0;
    for (int c = 0; c < cycles; ++c) {
        for (const auto& [state, volts] : {std::pair{1, 0.0}, {2, 1.0}, {3, 0.5}, {4, 0.8}}) {
            std::snprintf(line, sizeof line,
                          "%u,%d,%.6f,0,0,0,0,0,0,0,12.0,18.0,0,0,%u,35.0,12.5,6.8,10.0,%u\n",
                          counter, state, volts * scale, 1700000000 + counter * 60,
                          1700000003 + counter * 60);
            text += line;
            ++counter;
        }
    }
    return text;
}

struct BatchJobs : ::testing::Test {
    kelpira::testing::TempFolder folder;
};

TEST_F(BatchJobs, SeveralJobsWriteWhatOneJobWritesInTheGivenOrder) {
    std::vector<std::string> files;
    for (int i = 0; i < 9; ++i) {
        const std::string name = "KELPIRA-" + std::to_string(100 + i);
        files.push_back(
            folder.write(name + ".csv", nutrient_file(name, 3 + i * 7, 1.0 + i / 10.0)));
    }
    // Files that cannot be opened or read, between the others.
    files.insert(files.begin() + 2, folder.path("missing.csv"));
    files.insert(files.begin() + 6, folder.path(""));
    const auto with = [&](const std::string& jobs, const std::string& out) {
        std::vector<std::string> args{"--jobs", jobs, "--log", "-", "--output", folder.path(out)};
        args.insert(args.end(), files.begin(), files.end());
        Outcome r = run(args);
        r.out = kelpira::testing::TempFolder::read(folder.path(out));
        return r;
    };
    const Outcome one = with("1", "one.csv");
    EXPECT_EQ(one.status, 1);
    std::size_t at = 0;
    for (int i = 0; i < 9; ++i) {
        at = one.out.find("KELPIRA-" + std::to_string(100 + i) + "\n", at);
        EXPECT_NE(at, std::string::npos) << i;
    }
    EXPECT_NE(one.err.find("missing.csv: cannot open"), std::string::npos);
    for (const char* jobs : {"2", "3", "8"}) {
        EXPECT_EQ(with(jobs, "many.csv"), one) << jobs << " jobs";
    }
}

TEST_F(BatchJobs, JobsTakeANumberOfFiles) {
    const std::string file = folder.write("a.csv", nutrient_file("A", 1, 1.0));
    for (const char* bad : {"0", "x", "2x", "-1", "257", "4294967298", ""}) {
        const Outcome r = run({"--jobs", bad, file});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_EQ(r.err, "kelpira-process: --jobs: " + std::string(*bad ? bad : "an empty value") +
                             " not in [1, 256]\nUsage: kelpira-process [OPTIONS] FILE...\n");
    }
    EXPECT_EQ(run({"--jobs=256", file}).status, 0);
}

// Ctrl+C while two jobs process: the program ends by the signal, and neither the results (CSV
// or NetCDF) nor the log, nor any temporary file, is left.
TEST_F(BatchJobs, InterruptedParallelRunLeavesNoOutputFile) {
    std::string big = nutrient_file("BIG", 60000, 1.0);  // 240000 rows, about 20 MB
    const std::string a = folder.write("a.csv", big);
    const std::string b = folder.write("b.csv", big);
    big.clear();
    const std::string log = folder.path("out.log");

    for (const std::string format : {"csv", "netcdf"}) {
        const std::string output = folder.path("out." + format);
        int err_pipe[2];
        ASSERT_EQ(::pipe(err_pipe), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, err_pipe[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, err_pipe[0]);
        const std::string program = std::string(KELPIRA_BINARY_DIR) + "/kelpira-process";
        std::vector<std::string> args{program,    "--jobs", "2",        "--progress",
                                      "--format", format,   "--output", output,
                                      "--log",    log,      a,          b};
        std::vector<char*> argv;
        for (auto& s : args) {
            argv.push_back(s.data());
        }
        argv.push_back(nullptr);
        pid_t pid = 0;
        ASSERT_EQ(::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(err_pipe[1]);

        // The bar is first drawn after the first rows of a file: the files are being processed.
        char c = 0;
        ASSERT_EQ(::read(err_pipe[0], &c, 1), 1);
        ASSERT_EQ(::kill(pid, SIGINT), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ::close(err_pipe[0]);

        ASSERT_TRUE(WIFSIGNALED(status)) << format << ": exit status " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), SIGINT);
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(folder.path(""))) {
            left.push_back(entry.path().filename().string());
        }
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"a.csv", "b.csv"})) << format;
    }
}

}  // namespace

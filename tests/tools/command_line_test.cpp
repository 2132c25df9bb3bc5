// The four programs' command lines as a script sees them: the same version, every kind of usage
// error worded by the one generator (program, option, what is wrong, the usage line) with exit
// status 2, and a help that lists every option with its range.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ctl/ctl_program.hpp"
#include "support/temp_folder.hpp"

namespace kelpira {
namespace {

struct ProgramRun {
    CtlRun result;
    std::string what;
};

ProgramRun run_program(const std::string& program, const std::vector<std::string>& args) {
    static testing::TempFolder files;
    const std::string runtime = files.path("runtime");  // no sensor attached
    CtlProcess p = spawn_program(std::string(KELPIRA_BINARY_DIR) + "/" + program, args, runtime);
    std::string what = program;
    for (const auto& a : args) {
        what += " " + a;
    }
    return {finish(p), what};
}

TEST(ProgramCommandLines, VersionAndValuesGivenEitherWay) {
    for (const std::string program :
         {"kelpira", "kelpira-ctl", "kelpira-process", "kelpira-virtual-sensor"}) {
        const ProgramRun r = run_program(program, {"--version"});
        EXPECT_EQ(r.result.status, 0) << r.what;
        EXPECT_EQ(r.result.out, program + " 1.0e\n") << r.what;
    }
    // "--opt=value" and "--opt value" both reach the work, which finds no sensor.
    for (const auto& args : {std::vector<std::string>{"--device=Absent", "info"},
                             std::vector<std::string>{"--device", "Absent", "info"}}) {
        const ProgramRun r = run_program("kelpira-ctl", args);
        EXPECT_EQ(r.result.status, 1) << r.what;
        EXPECT_EQ(r.result.err, "kelpira-ctl: no sensor attached\n") << r.what;
    }
}

TEST(ProgramCommandLines, EveryUsageErrorIsWordedByTheOneGenerator) {
    const std::string ctl = "Usage: kelpira-ctl [OPTIONS] [SUBCOMMAND]\n";
    const std::string process = "Usage: kelpira-process [OPTIONS] FILE...\n";
    const std::string sensor = "Usage: kelpira-virtual-sensor [OPTIONS]\n";
    const struct {
        std::string program;
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {"kelpira",
         {"--version=2"},
         "kelpira: --version: takes no value\nUsage: kelpira [OPTIONS]\n"},
        {"kelpira",
         {"--help="},
         "kelpira: --help: needs a value, not an empty one\n"
         "Usage: kelpira [OPTIONS]\n"},
        // An option the program does not know, a missing value, a value glued to a short option.
        {"kelpira-process",
         {"--frobnicate", "a.csv"},
         "kelpira-process: The following argument was not expected: --frobnicate\n" + process},
        {"kelpira-process",
         {"a.csv", "--output"},
         "kelpira-process: --output: 1 required FILE missing\n" + process},
        {"kelpira-process",
         {"--output=", "a.csv"},
         "kelpira-process: --output: needs a value, not an empty one\n" + process},
        {"kelpira-process", {}, "kelpira-process: FILE is required\n" + process},
        {"kelpira-process",
         {"--progress=yes", "a.csv"},
         "kelpira-process: --progress: takes no value\n" + process},
        // Numbers: out of range, hexadecimal, trailing text, an exponent for a whole number.
        {"kelpira-process",
         {"--jobs", "0", "a.csv"},
         "kelpira-process: --jobs: 0 not in [1, 256]\n" + process},
        {"kelpira-process",
         {"--jobs=0x10", "a.csv"},
         "kelpira-process: --jobs: 0x10 not in [1, 256]\n" + process},
        {"kelpira-process",
         {"--jobs=5x", "a.csv"},
         "kelpira-process: --jobs: 5x not in [1, 256]\n" + process},
        {"kelpira-process",
         {"--jobs=1e2", "a.csv"},
         "kelpira-process: --jobs: 1e2 not in [1, 256]\n" + process},
        {"kelpira-virtual-sensor",
         {"--time-scale", "inf"},
         "kelpira-virtual-sensor: --time-scale: inf not in [0.001, 100000]\n" + sensor},
        {"kelpira-virtual-sensor",
         {"--ph", "0x8p0"},
         "kelpira-virtual-sensor: --ph: 0x8p0 not in [6, 9.5]\n" + sensor},
        // Names and forms.
        {"kelpira-process",
         {"--chemistry=gold", "a.csv"},
         "kelpira-process: --chemistry: gold not in {auto, nutrient, ph, ta, dic}\n" + process},
        {"kelpira-virtual-sensor",
         {"--chemistry=gold"},
         "kelpira-virtual-sensor: --chemistry: gold not in {Generic, Nitrate, Nitrite, "
         "Phosphate, Silicate, Iron, pH, TA, DIC, Ammonia}\n" +
             sensor},
        {"kelpira-process",
         {"--set", "NOVALUE", "a.csv"},
         "kelpira-process: --set: NOVALUE not of the form KEY=VALUE\n" + process},
        {"kelpira-virtual-sensor",
         {"--name", "123456789012345678901"},
         "kelpira-virtual-sensor: --name: 123456789012345678901 longer than 20 characters\n" +
             sensor},
        {"kelpira-virtual-sensor",
         {"--name"},
         "kelpira-virtual-sensor: --name: 1 required TEXT:at most 20 characters missing\n" +
             sensor},
        {"kelpira-virtual-sensor",
         {"stray"},
         "kelpira-virtual-sensor: The following argument was not expected: stray\n" + sensor},
        // Options that go together, or not.
        {"kelpira-process",
         {"--format", "netcdf", "a.csv"},
         "kelpira-process: --format: netcdf needs --output FILE: a NetCDF file is never "
         "written to standard output\n" +
             process},
        // kelpira-ctl: the global options, the command, and each command's own usage line.
        {"kelpira-ctl", {"--device"}, "kelpira-ctl: --device: 1 required SELECTOR missing\n" + ctl},
        {"kelpira-ctl", {}, "kelpira-ctl: COMMAND is required\n" + ctl},
        {"kelpira-ctl",
         {"bogus"},
         "kelpira-ctl: The following argument was not expected: bogus\n" + ctl},
        {"kelpira-ctl",
         {"info", "--device", "x"},
         "kelpira-ctl: The following arguments were not expected: x --device\n"
         "Usage: kelpira-ctl info [OPTIONS]\n"},
        {"kelpira-ctl",
         {"sm", "summary", "a.asm", "--dry-run=x"},
         "kelpira-ctl: --dry-run: x not in [0, 4294967295]\n"
         "Usage: kelpira-ctl sm summary [OPTIONS] FILE\n"},
        {"kelpira-ctl",
         {"sm", "summary", "a.asm", "-o=x"},
         "kelpira-ctl: -o: takes its value as -o VALUE, not -o=x\n" + ctl},
        {"kelpira-ctl",
         {"sm", "summary", "a.asm", "--pump-timeout", "3"},
         "kelpira-ctl: --pump-timeout requires --dry-run\n"
         "Usage: kelpira-ctl sm summary [OPTIONS] FILE\n"},
        {"kelpira-ctl",
         {"start", "Launch"},
         "kelpira-ctl: STATE: Launch not in {Deploy, Prime, Flush, Special1, Special2, "
         "Special3} or [0, 255]\n"
         "Usage: kelpira-ctl start [OPTIONS] [STATE]\n"},
        {"kelpira-ctl",
         {"watch", "--count"},
         "kelpira-ctl: --count: 1 required N:[1, 4294967295] missing\n"
         "Usage: kelpira-ctl watch [OPTIONS]\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun r = run_program(c.program, c.args);
        EXPECT_EQ(r.result.status, 2) << r.what;
        EXPECT_EQ(r.result.out, "") << r.what;
        EXPECT_EQ(r.result.err, c.err) << r.what;
    }
}

TEST(ProgramCommandLines, HelpListsEveryOptionWithItsRange) {
    const struct {
        std::string program;
        std::vector<std::string> args;
        std::vector<std::string> lines;  // each starts a line of the help
    } cases[] = {
        {"kelpira", {"--help"}, {"  -h,--help", "  --version"}},
        {"kelpira-process",
         {"--help"},
         {"  FILE TEXT ... REQUIRED", "  --chemistry C:{auto, nutrient, ph, ta, dic} ...",
          "  --set KEY=VALUE ...", "  --output FILE", "  --format F:{csv, netcdf}",
          "  --attr NAME=VALUE ...", "  --position NAME=LAT,LON ...", "  --positions FILE",
          "  --feature-type T:{timeSeries, trajectory}", "  --track FILE", "  --log FILE",
          "  --clock-log FILE", "  --progress", "  --jobs N:[1, 256]"}},
        {"kelpira-virtual-sensor",
         {"--help"},
         {"  --folder DIR",
          "  --restart-delay MS:[0, 60000]",
          "  --time-scale N:[0.001, 100000]",
          "  --device",
          "  --name TEXT:at most 20 characters",
          "  --serial N|PROTOCOL:{seaglider, bridges, eti} or [0, 65535]",
          "  --serial-fault KIND[:N]",
          "  --stored-results N:[0, 5000]",
          "  --failed-results",
          "  --board-serial N:[0, 65535]",
          "  --chemistry NAME:{Generic, Nitrate, Nitrite, Phosphate, Silicate, Iron, pH, TA, "
          "DIC, Ammonia}",
          "  --chemistry-code N:[0, 255]",
          "  --firmware TEXT:at most 25 characters",
          "  --bootloader",
          "  --bootloader-version N:[0, 255]",
          "  --device-type N:[0, 65535]",
          "  --hardware-id VID_xxxx&PID_xxxx",
          "  --legacy-identity",
          "  --oldest-identity",
          "  --old-optics-test",
          "  --legacy-nutrient-params",
          "  --clock-offset-s S:[-1000000000, 1000000000]",
          "  --clock-drift-ppm N:[-100000, 100000]",
          "  --supply-mv MV:[0, 40000]",
          "  --board-variant N:[0, 4294967295]",
          "  --storage DIR",
          "  --concentration UM:[0, 10000]",
          "  --ph VALUE:[6, 9.5]",
          "  --ta UMOL_KG:[0, 10000]",
          "  --dic UMOL_KG:[0, 4000]",
          "  --tide AMPLITUDE:[0, 10000]",
          "  --spike N:X",
          "  --stuck M:K",
          "  --pump-timeout STATE:[0, 254]",
          "  --schedule-layout N:[1, 3]",
          "  --empty-program",
          "  --refuse-block BLOCK:RESULT",
          "  --rs232-protocol N:[0, 4294967295]",
          "  --fault CODE:KIND"}},
        {"kelpira-ctl",
         {"--help"},
         {"  --device SELECTOR", "  --progress", "  --start-firmware", "  check", "  clock",
          "  config", "  info", "  list", "  report", "  simulate", "  sm", "  start", "  stop",
          "  upgrade", "  watch"}},
        {"kelpira-ctl",
         {"sm", "summary", "--help"},
         {"  FILE TEXT REQUIRED", "  --dry-run START:[0, 4294967295]",
          "  --pump-timeout STATE:[0, 4294967295] Needs: --dry-run", "  -o OUT",
          "  --format LAYOUT:{asm, dat, json}"}},
        {"kelpira-ctl",
         {"simulate", "--help"},
         {"  --platform P:{seaglider, bridges, eti} REQUIRED", "  --port PORT REQUIRED",
          "  --dive N:[0, 2147483647]", "  --min-depth M:[-2147483648, 2147483647]",
          "  --update S:[1, 99999]", "  --sample S:[1, 99999]",
          "  --salinity PSU:[-1000000000, 1000000000]", "  --p3 N:[-2147483648, 2147483647]",
          "  --download", "  --duration S:[1, 2147483647]"}},
        {"kelpira-ctl",
         {"check", "--help"},
         {"  --days N", "  --stroke-ul V", "  --reagent VALVE=ML ...",
          "  --platform P:{seaglider, bridges, eti, generic}", "  --json"}},
        {"kelpira-ctl",
         {"clock", "--help"},
         {"  --set \"DD/MM/YYYY HH:MM:SS\"", "  --sync-pc Excludes: --set",
          "  --utc Needs: --sync-pc", "  --log FILE",
          "  --event E:{deployed, recovered, check} Needs: --log"}},
        {"kelpira-ctl",
         {"watch", "--help"},
         {"  --raw Excludes: --results --diagnostics", "  --count N:[1, 4294967295]"}},
    };
    for (const auto& c : cases) {
        const ProgramRun r = run_program(c.program, c.args);
        EXPECT_EQ(r.result.status, 0) << r.what;
        for (const auto& line : c.lines) {
            EXPECT_NE(("\n" + r.result.out).find("\n" + line), std::string::npos)
                << r.what << " lists no \"" << line << "\":\n"
                << r.result.out;
        }
    }
}

}  // namespace
}  // namespace kelpira

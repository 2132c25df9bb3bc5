// kelpira-ctl as a script runs it: exit statuses, standard output and error, the files it
// writes, and state-machine transfer with an emulated sensor served in a private folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ctl/ctl_program.hpp"
#include "link/device_socket_names.hpp"
#include "link/socket_hid.hpp"
#include "statemachine/state_files.hpp"
#include "support/temp_folder.hpp"
#include "virtual_sensor/sensor_host.hpp"

extern char** environ;

namespace kelpira {
namespace {

using statemachine::StateMachineImage;

class KelpiraCtl : public ::testing::Test {
  protected:
    testing::TempFolder files;
    std::string runtime = files.path("runtime");  // holds no sensor unless a test serves one

    std::string save(const std::string& name, const StateMachineImage& image) {
        EXPECT_TRUE(statemachine::save_file(files.path(name), image));
        return files.path(name);
    }
};

// Two states: 0 pumps with valves 1 and 4 open and goes to 1; 1 is idle.
StateMachineImage small_program() {
    StateMachineImage image;
    statemachine::clear_image(image);
    image.last_index = 1;
    statemachine::new_default_state(image, 1);
    auto& s = image.states[0];
    s.valve_mask = 0b10010;
    s.pump_on = 1;
    s.winding_current_ma = 300;
    s.step_period_us = 1500;
    s.pump_timeout_s = 45;
    s.pump_timeout_next = 1;
    s.led_drive = {0, 0, 0xFFFF, 0};
    s.delay_s = 12;
    s.default_next = 1;
    s.counter[0] = {2, 5, 1, statemachine::kCounterIncAndTest};
    image.states[1].power_mode = statemachine::kPowerIdle;
    return image;
}

TEST_F(KelpiraCtl, VersionHelpAndUsageErrors) {
    CtlRun r = run({"--version"}, runtime);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "kelpira-ctl 1.0e\n");
    r = run({"--help"}, runtime);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\n  sm "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n  list "), std::string::npos);
    r = run({"sm", "--help"}, runtime);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\n  convert "), std::string::npos) << r.out;
    r = run({}, runtime);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "kelpira-ctl: COMMAND is required\n"
              "Usage: kelpira-ctl [OPTIONS] [SUBCOMMAND]\n");
    r = run({"sm", "summary", "a.asm", "--pump-timeout", "1"}, runtime);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lines_of(r.err).at(0), "kelpira-ctl: --pump-timeout requires --dry-run");
    EXPECT_EQ(run({"sm", "convert", "one.asm"}, runtime).status, 2);
}

TEST_F(KelpiraCtl, SummaryAsTheDefinitionDialogSavesIt) {
    const std::string program = save("small.asm", small_program());
    const std::string out = files.path("summary.csv");
    CtlRun r = run({"sm", "summary", program, "-o", out}, runtime);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    const auto lines = lines_of(testing::TempFolder::read(out));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0],
              "state,mode,valves open,pump,leds on,pd5V,rec,delay,default next,counter1 trigger,"
              "counter2 trigger,counter3 trigger,counter4 trigger,counter5 trigger,"
              "counter6 trigger,diving depth trigger,climbing depth trigger,pump timeout trigger");
    EXPECT_EQ(lines[1],
              "0,operating,1.4,300mA;1500\xC2\xB5s;16x;withdraw;hall;45s,2,on,on,12s,"
              "goto state 1,inc by 2 and if > 5 goto state 1,,,,,,,,"
              "if pump times out goto state 1");
    EXPECT_EQ(lines[2], "1,idle,,,,,,,,,,,,,,,,");

    r = run({"sm", "summary", program, "--dry-run", "0"}, runtime);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(lines_of(r.out).at(1),
              "0,operating,1.4,300mA;1500\xC2\xB5s;16x;withdraw;hall;45s,2,on,on,12s,"
              "goto state 1,if 2 > 5 goto state 1,,,,,,,,if pump times out goto state 1");
    EXPECT_EQ(r.err, "kelpira-ctl: Dry-run ended at IDLE state.\n");

    r = run({"sm", "summary", program, "--dry-run", "2"}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "kelpira-ctl: " + program + ": state 2 does not exist (the program has 2 states)\n");

    StateMachineImage broken = small_program();
    broken.states[0].default_next = 7;
    broken.states[0].counter[0] = {};
    r = run({"sm", "summary", save("broken.asm", broken), "--dry-run", "0"}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelpira-ctl: Dry run terminated by invalid state reference (7)\n");
}

TEST_F(KelpiraCtl, ConvertByFileName) {
    const std::string program = save("small.asm", small_program());
    ASSERT_EQ(run({"sm", "convert", program, files.path("small.json")}, runtime).status, 0);
    ASSERT_EQ(
        run({"sm", "convert", files.path("small.json"), files.path("again.asm")}, runtime).status,
        0);
    EXPECT_EQ(testing::TempFolder::read(files.path("again.asm")),
              testing::TempFolder::read(program));
    ASSERT_EQ(run({"sm", "convert", program, files.path("small.DAT")}, runtime).status, 0);
    EXPECT_EQ(testing::TempFolder::read(files.path("small.DAT")).size(), 2u * 102u);
    const CtlRun out = run({"sm", "convert", program, "-", "--format", "json"}, runtime);
    EXPECT_EQ(out.out, testing::TempFolder::read(files.path("small.json")));

    const CtlRun missing = run({"sm", "convert", files.path("none.asm"), "x.asm"}, runtime);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "kelpira-ctl: " + files.path("none.asm") + ": cannot open the file\n");

    StateMachineImage hibernating = small_program();
    hibernating.states[1].power_mode = statemachine::kPowerHibernating;
    const std::string lossy = save("lossy.asm", hibernating);
    CtlRun r = run({"sm", "convert", lossy, files.path("lossy.dat")}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelpira-ctl: " + files.path("lossy.dat") +
                         ": the legacy layout (.dat) cannot keep all of this program: hibernation "
                         "(read back as idle); nothing written (--allow-loss writes it anyway)\n");
    EXPECT_FALSE(std::filesystem::exists(files.path("lossy.dat")));
    r = run({"sm", "convert", lossy, files.path("lossy.dat"), "--allow-loss"}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(testing::TempFolder::read(files.path("lossy.dat")).size(), 2u * 102u);
    EXPECT_EQ(run({"sm", "put", lossy, "--allow-loss"}, runtime).status, 2);
}

TEST_F(KelpiraCtl, GetAndPutWithTheSensor) {
    EXPECT_EQ(run({"sm", "get", files.path("x.asm")}, runtime).err,
              "kelpira-ctl: no sensor attached\n");

    std::filesystem::create_directories(runtime + "/kelpira");
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    std::filesystem::permissions(runtime + "/kelpira", std::filesystem::perms::owner_all);
    ASSERT_EQ(link::prepare_device_folder(runtime + "/kelpira/devices"), "");
    virtual_sensor::DeviceServer server(runtime + "/kelpira/devices");
    virtual_sensor::VirtualSensorOptions options;
    options.name = "Bench";
    virtual_sensor::VirtualSensor sensor(options);
    std::string error;
    ASSERT_TRUE(
        virtual_sensor::serve_sensor(server, sensor, "bench", std::chrono::milliseconds(0), error))
        << error;
    std::thread serving([&server] { server.run(); });

    CtlRun r = run({"--device", "Bench", "sm", "get", files.path("got.json")}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    StateMachineImage got;
    std::string why;
    ASSERT_TRUE(statemachine::load_file(files.path("got.json"), got, why)) << why;
    EXPECT_EQ(got.state_count(), 12u);  // the nitrate sensor's default program, states 0 to 11

    sensor.clear_log();
    r = run({"sm", "put", save("small.asm", small_program())}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::uint16_t> sets;
    for (const auto& c : sensor.log()) {
        if (c.code == 436) {
            sets.push_back(c.payload.at(1));
        }
    }
    EXPECT_EQ(sets, (std::vector<std::uint16_t>{0, 1}));

    // A damaged file is refused before the first state is sent.
    const struct {
        const char* name;
        std::string text;
        const char* why;
    } damaged[] = {
        {"empty.asm", "", "byte 0: no states (the file is empty)"},
        {"cut.asm", std::string(900, '\0'), "byte 847: a partial record (53 of 77 bytes)"},
        {"long.asm", std::string(300 * 77, '\0'), "byte 19635: more than 255 states"},
        {"none.json", "[]", "line 1: no states"},
    };
    for (const auto& d : damaged) {
        sensor.clear_log();
        std::ofstream(files.path(d.name), std::ios::binary) << d.text;
        r = run({"sm", "put", files.path(d.name)}, runtime);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "kelpira-ctl: " + files.path(d.name) + ": " + d.why + "\n");
        for (const auto& c : sensor.log()) {
            EXPECT_NE(c.code, 436) << d.name;
        }
    }

    r = run({"--device", "Nobody", "list"}, runtime);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\tBench\t1001\tFirmware\t"), std::string::npos) << r.out;
    r = run({"--device", "Nobody", "info"}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines_of(r.err).at(0), "kelpira-ctl: no sensor matches \"Nobody\"; found:");

    // Held by another program (the window, say): told, never silently left out.
    const std::string listed = lines_of(run({"list"}, runtime).out).at(0);
    const std::string path = listed.substr(0, listed.find('\t'));
    link::SocketHidBackend other(runtime + "/kelpira/devices");
    const auto held = other.open(path);
    ASSERT_TRUE(held);
    r = run({"list"}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "kelpira-ctl: " + path + " could not be opened: another program may be using it\n");
    r = run({"info"}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines_of(r.err).at(1), "kelpira-ctl: no sensor could be opened");

    server.stop();
    serving.join();
}

// A name that is not UTF-8 is shown the same way by every command, and a snapshot of it is
// written (the JSON writer takes nothing but UTF-8) and read back.
TEST_F(KelpiraCtl, ANameThatIsNotUtf8IsShownAlikeAndExported) {
    ServedSensors served(runtime);
    virtual_sensor::VirtualSensorOptions options;
    options.name = "\xb5mol \xff sensor";
    served.serve(std::make_unique<virtual_sensor::VirtualSensor>(options), "odd");
    const std::string shown = "\\xB5mol \\xFF sensor";
    CtlRun r = run({"list"}, runtime);
    EXPECT_NE(r.out.find("\t" + shown + "\t"), std::string::npos) << r.out;
    r = run({"check"}, runtime);
    EXPECT_NE(r.out.find(shown), std::string::npos) << r.out;
    r = run({"check", "--json"}, runtime);
    EXPECT_NE(r.out.find("\\\\xB5mol \\\\xFF sensor"), std::string::npos) << r.out;
    r = run({"report"}, runtime);
    EXPECT_NE(r.out.find("Sensor Name: " + shown + "\n"), std::string::npos) << r.out;
    r = run({"--device", shown, "config", "export", files.path("odd.json")}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(testing::TempFolder::read(files.path("odd.json"))
                  .find("\"name\": \"\\\\xB5mol \\\\xFF sensor\""),
              std::string::npos);
    r = run({"config", "import", "--include-identity", files.path("odd.json")}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("identification: unchanged"), std::string::npos) << r.out;
}

// A sensor's name is printed, not obeyed by the terminal; a devices folder that is not the
// user's own lists nothing and says why, once.
TEST_F(KelpiraCtl, SensorTextsAreEscapedAndAnUntrustedFolderIsTold) {
    ServedSensors served(runtime);
    virtual_sensor::VirtualSensorOptions options;
    options.name = "\x1b]0;owned\a\x1b[2J";
    served.serve(std::make_unique<virtual_sensor::VirtualSensor>(options), "odd");
    CtlRun r = run({"list"}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\t\\e]0;owned\\a\\e[2J\t1001\t"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
    r = run({"--device", "Nobody", "info"}, runtime);
    EXPECT_NE(r.err.find("\t\\e]0;owned\\a\\e[2J\t"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos);

    const std::string folder = runtime + "/kelpira/devices";
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    r = run({"list"}, runtime);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "kelpira-ctl: Virtual sensors in " + folder + " are not listed: " + folder +
                         " is open to other users\n");
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to plant a folder of another user";
    }
    ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
    ASSERT_EQ(::chown((runtime + "/kelpira").c_str(), 65534, 65534), 0);
    r = run({"info"}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelpira-ctl: Virtual sensors in " + folder + " are not listed: " + runtime +
                         "/kelpira belongs to another user (uid 65534)\n"
                         "kelpira-ctl: no sensor attached\n");
    ASSERT_EQ(::chown((runtime + "/kelpira").c_str(), 0, 0), 0);
}

}  // namespace
}  // namespace kelpira

// Text from a sensor or a file reaches the terminal only in its visible form: control
// sequences planted in each source (the sensor's name and firmware text, a snapshot's keys and
// choices, a program's field names, a raw file's header, a serial reply) never reach standard
// output or standard error of kelpira-ctl or kelpira-process as bytes.
#include <fstream>
#include <future>

#include "ctl/ctl_program.hpp"
#include "host_platform/pty_peer.hpp"

namespace kelpira {
namespace {

// Retitles the terminal and clears it.
const std::string kPlanted = "\x1b]0;owned\x07\x1b[2J";
const std::string kShown = "\\e]0;owned\\a\\e[2J";

// Standard output and error hold no planted byte, and show the visible form where they
// quote the planted text.
void expect_visible(const CtlRun& r, const std::string& what) {
    const std::string both = r.out + r.err;
    EXPECT_EQ(both.find_first_of("\x1b\x07"), std::string::npos) << what << ": " << both;
    EXPECT_NE(both.find(kShown), std::string::npos) << what << ": " << both;
}

TEST(VisibleOutput, PlantedSequencesReachNoTerminal) {
    const testing::TempFolder files;
    const std::string runtime = files.path("runtime");
    ServedSensors served(runtime);
    virtual_sensor::VirtualSensorOptions o;
    o.name = "A" + kPlanted;
    o.firmware_version = "KELPIRA_2_8_3" + kPlanted;
    served.serve(std::make_unique<virtual_sensor::VirtualSensor>(o), "planted");
    ASSERT_EQ(run({"config", "export", files.path("snap.json")}, runtime).status, 0);
    ASSERT_EQ(run({"sm", "get", files.path("program.json")}, runtime).status, 0);
    // The same files with the planted text as a key and as a value where the reader quotes it.
    const auto planted_copy = [&](const std::string& from, const std::string& to,
                                  const std::string& text, const std::string& with) {
        std::string content = testing::TempFolder::read(files.path(from));
        const auto at = content.find(text);
        EXPECT_NE(at, std::string::npos) << text;
        content.replace(at, text.size(), with);
        std::ofstream(files.path(to)) << content;
        return files.path(to);
    };
    const std::string json_planted = "\\u001b]0;owned\\u0007\\u001b[2J";
    std::string raw = "%KELPIRA.HEADER_START\n%KELPIRA.CORE.SENSOR_NAME=A" + kPlanted +
                      "\n%KELPIRA.CHEMISTRY.TYPE=1\n%KELPIRA.CHEMISTRY.SAMPLE_INTAKE_STATE=1\n"
                      "%KELPIRA.CHEMISTRY.BLANK_MEASUREMENT_STATE=2\n"
                      "%KELPIRA.CHEMISTRY.STANDARD1_MEASUREMENT_STATE=3\n"
                      "%KELPIRA.CHEMISTRY.SAMPLE_MEASUREMENT_STATE=4\n"
                      "%KELPIRA.CHEMISTRY.STANDARD1_CONCENTRATION=10\n"
                      "%KELPIRA.CHEMISTRY.PROCESSING_TRIGGER=2\n%KELPIRA.HEADER_END\n";
    for (int row = 0; row < 8; ++row) {
        const char* volts[] = {"0.0", "1.0", "0.5", "0.8"};
        const std::string time = std::to_string(1700000000 + row * 60);
        raw += std::to_string(row) + "," + std::to_string(row % 4 + 1) + "," + volts[row % 4] +
               ",0,0,0,0,0,0,0,12.0,18.0,0,0," + time + ",35.0,12.5,6.8,10.0," + time + "\n";
    }
    const std::string raw_file = files.write("raw.csv", raw);
    const std::string choice = planted_copy("snap.json", "choice.json", "\"multiplexer\": \"None\"",
                                            "\"multiplexer\": \"" + json_planted + "\"");
    const std::string key = planted_copy("snap.json", "key.json", "\"control_v\"",
                                         "\"" + json_planted + "\": 0, \"control_v\"");
    const std::string record = planted_copy("snap.json", "record.json", "\"pmt_config\"",
                                            "\"" + json_planted + "\": {}, \"pmt_config\"");
    const std::string field = planted_copy("program.json", "field.json", "\"hall_power\"",
                                           "\"" + json_planted + "\": 0, \"hall_power\"");
    const std::string process = std::string(KELPIRA_BINARY_DIR) + "/kelpira-process";
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {kProgram, {"list"}},
        {kProgram, {"info"}},
        {kProgram, {"report"}},
        {kProgram, {"check"}},
        {kProgram, {"config", "import", choice, "--dry-run"}},
        {kProgram, {"config", "import", key, "--dry-run"}},
        {kProgram, {"config", "import", record, "--dry-run"}},
        {kProgram, {"sm", "summary", field}},
        {kProgram, {"sm", "convert", field, files.path("field.asm")}},
        {kProgram, {"sm", "put", field}},
        {process, {raw_file}},
        {process, {"--log", "-", "--output", "-", raw_file}},
    };
    for (const auto& [program, args] : cases) {
        CtlProcess p = spawn_program(program, args, runtime);
        expect_visible(finish(p), args.front() + " " + args.back());
    }
}

TEST(VisibleOutput, APlantedSerialReplyReachesNoTerminal) {
    const testing::TempFolder runtime;
    testing::PtyPeer peer;
    auto done = std::async(std::launch::async, [&] {
        return run({"simulate", "--platform", "seaglider", "--port", peer.path(), "--sample", "1",
                    "--update", "60", "--duration", "2"},
                   runtime.path(""));
    });
    // Whatever the simulator says first, the first sample it asks for is answered with the
    // planted text.
    for (int line = 0; line < 20 && peer.read_line() != "sample\r"; ++line) {
    }
    peer.write(kPlanted + "\r");
    expect_visible(done.get(), "simulate");
}

}  // namespace
}  // namespace kelpira

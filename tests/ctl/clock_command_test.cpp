// kelpira-ctl clock against an emulated sensor: what it prints, what it sends, and its exit
// statuses.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "config/schedule_time.hpp"
#include "ctl/ctl_program.hpp"
#include "link/command_catalogue.hpp"
#include "records/clock_records.hpp"

namespace kelpira {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int64_t kSensorSeconds = 1796724000;  // 08/12/2026 10:00:00

class CtlClock : public ::testing::Test {
  protected:
    CtlClock() {
        virtual_sensor::VirtualSensorOptions o;
        o.name = "Bench";
        sensor = &served.serve(
            std::make_unique<virtual_sensor::VirtualSensor>(
                o, [] { return virtual_sensor::TimePoint(std::chrono::seconds(kSensorSeconds)); }),
            "bench");
    }

    std::vector<Bytes> sent_clocks() const {
        std::vector<Bytes> payloads;
        for (const auto& c : sensor->log()) {
            if (c.code == link::code_value(link::CommandCode::SET_RTC_TIME)) {
                payloads.push_back(c.payload);
            }
        }
        return payloads;
    }

    // Seconds from the PC's UTC clock now to the clock the last SET_RTC_TIME sent.
    std::int64_t sent_ahead_of_utc() const {
        const auto sent = records::decode_rtc_time(sent_clocks().back());
        const auto seconds = config::schedule_seconds(config::calendar_of(sent));
        return static_cast<std::int64_t>(seconds.value_or(0)) - std::time(nullptr);
    }

    testing::TempFolder files;
    std::string runtime = files.path("runtime");
    ServedSensors served{runtime};
    virtual_sensor::VirtualSensor* sensor = nullptr;
};

TEST_F(CtlClock, PrintsAndSetsAsTheDialogShows) {
    CtlRun r = run({"clock"}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "08/12/2026 10:00:00\n");
    EXPECT_EQ(r.err, "");
    r = run({"clock", "--set", "29/02/2024 13:05:09"}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "29/02/2024 13:05:09\n");
    EXPECT_EQ(sent_clocks(), (std::vector<Bytes>{{0, 0xE8, 0x07, 2, 29, 13, 5, 9}}));
}

TEST_F(CtlClock, SyncSendsLocalTimeOrUtc) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    ::setenv("TZ", "<+05>-5", 1);  // the program inherits a zone five hours east
    const CtlRun local = run({"clock", "--sync-pc"}, runtime);
    const std::int64_t local_ahead = sent_ahead_of_utc();
    const CtlRun utc = run({"--device", "Bench", "clock", "--sync-pc", "--utc"}, runtime);
    const std::int64_t utc_ahead = sent_ahead_of_utc();
    old ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
    EXPECT_EQ(local.status, 0) << local.err;
    EXPECT_EQ(utc.status, 0) << utc.err;
    // Within the few seconds a run takes.
    EXPECT_NEAR(static_cast<double>(local_ahead), 5 * 3600, 5);
    EXPECT_NEAR(static_cast<double>(utc_ahead), 0, 5);
}

TEST_F(CtlClock, UsageErrors) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"clock", "--utc"},
             {"clock", "--set", "31/02/2024 00:00:00"},
             {"clock", "--set", "01/03/2024 00:00:00", "--sync-pc"},
             {"clock", "--set"},
             {"clock", "now"},
             {"clock", "--event", "check"},
             {"clock", "--log", "x.csv", "--event", "lost"}}) {
        const CtlRun r = run(args, runtime);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_EQ(lines_of(r.err).back(), "Usage: kelpira-ctl clock [OPTIONS]");
    }
    EXPECT_EQ(lines_of(run({"clock", "--set", "31/02/2024 00:00:00"}, runtime).err).front(),
              "kelpira-ctl: --set: 31/02/2024 00:00:00 not of the form DD/MM/YYYY HH:MM:SS");
    EXPECT_TRUE(sent_clocks().empty());
}

TEST_F(CtlClock, LogAppendsTheOffsetToTheSecondsFraction) {
    virtual_sensor::VirtualSensorOptions o;
    o.name = "Bay, 1";  // a name that must be quoted
    o.serial_number = 1234;
    auto& ahead = served.serve(std::make_unique<virtual_sensor::VirtualSensor>(o), "ahead");
    ahead.edit_state([](auto& s) { s.rtc_offset = std::chrono::seconds(42); });
    const std::string log = files.path("clock.csv");
    std::vector<std::string> printed;
    for (const char* event : {"deployed", "recovered"}) {
        const CtlRun r =
            run({"--device", "1234", "clock", "--log", log, "--event", event}, runtime);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(r.err.starts_with("kelpira-ctl: offset read to +-0.0")) << r.err;
        printed.push_back(r.out);
    }
    const auto lines = lines_of(testing::TempFolder::read(log));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "utc_time,sensor_name,serial_number,offset_s,event");
    for (std::size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(lines[i] + "\n", printed[i - 1]);
        // 2026-12-09T19:30:00.123Z,"Bay, 1",1234,42.000,deployed: the sensor's second starts
        // with the host's, 42 s ahead, read to a few milliseconds.
        ASSERT_EQ(lines[i].size(), 45u + (i == 1 ? 9 : 10)) << lines[i];
        EXPECT_EQ(lines[i].substr(23, 16), "Z,\"Bay, 1\",1234,") << lines[i];
        EXPECT_NEAR(std::stod(lines[i].substr(39, 6)), 42.0, 0.02) << lines[i];
        EXPECT_EQ(lines[i].substr(45), i == 1 ? ",deployed" : ",recovered");
    }
    // Not a clock log: refused, the file untouched.
    const std::string other = files.write("other.csv", "a,b\n");
    const CtlRun r = run({"--device", "1234", "clock", "--log", other}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.ends_with(other + " is not a clock log: its first line is not "
                                        "\"utc_time,sensor_name,serial_number,offset_s,event\"\n"))
        << r.err;
    EXPECT_EQ(testing::TempFolder::read(other), "a,b\n");
}

TEST_F(CtlClock, FailuresNameTheDevice) {
    sensor->inject(link::code_value(link::CommandCode::GET_RTC_TIME),
                   {virtual_sensor::FaultKind::no_answer});
    CtlRun r = run({"clock"}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(
        r.err.ends_with(": cannot read the sensor's clock (status=14): no answer (the "
                        "last command may or may not have been carried out)\n"))
        << r.err;
    EXPECT_TRUE(r.err.starts_with("kelpira-ctl: /")) << "the device path first: " << r.err;

    r = run({"--device", "Nobody", "clock"}, runtime);
    EXPECT_EQ(r.status, 1);
}

}  // namespace
}  // namespace kelpira

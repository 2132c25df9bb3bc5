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
             {"clock", "now"}}) {
        const CtlRun r = run(args, runtime);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_EQ(lines_of(r.err).back(),
                  "usage: kelpira-ctl [--device SELECTOR] clock [--set \"DD/MM/YYYY HH:MM:SS\" | "
                  "--sync-pc [--utc]]");
    }
    EXPECT_EQ(lines_of(run({"clock", "--set", "31/02/2024 00:00:00"}, runtime).err).front(),
              "kelpira-ctl: --set takes a date and time \"DD/MM/YYYY HH:MM:SS\", not "
              "\"31/02/2024 00:00:00\"");
    EXPECT_TRUE(sent_clocks().empty());
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

// Correcting result times with a clock log: the log's lines, and the interpolation of its
// offsets, with every offset written out by hand.
#include "processing/clock_correction.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace kelpira::processing {
namespace {

using records::ClockLogRecord;

constexpr std::int64_t kT0 = 1796724000;  // 2026-12-08T10:00:00Z

ClockLogRecord at(std::int64_t utc_s, double offset_s, std::string name = "Bay 1") {
    ClockLogRecord r;
    r.utc_ms = utc_s * 1000;
    r.sensor_name = std::move(name);
    r.offset_s = offset_s;
    return r;
}

TEST(ClockCorrection, TwoRecordsInsideAndOutside) {
    // Sensor times 10:00:10 and 20:00:17.2: 7.2 s gained in 36007.2 s of the sensor's clock.
    const std::vector<ClockLogRecord> r{at(kT0, 10.0), at(kT0 + 36000, 17.2)};
    const std::pair<double, double> cases[] = {
        {kT0 + 10, 10.0},            // on the first record
        {kT0 + 10 + 18003.6, 13.6},  // half way
        {kT0 + 10 + 27005.4, 15.4},  // three quarters
        {kT0 - 90, 10.0},            // before the first: its offset holds
        {kT0 + 36017.2 + 50, 17.2},  // after the last: its offset holds
    };
    for (const auto& [sensor_time, offset] : cases) {
        EXPECT_NEAR(offset_at(r, sensor_time), offset, 1e-6) << sensor_time - kT0;
        EXPECT_NEAR(corrected_time(r, sensor_time), sensor_time - offset, 1e-6);
    }
    CorrectionSpan span;
    span.add(kT0 - 90);
    span.add(kT0 + 36017.2 + 3725);
    const ClockLog log{"clock.csv", r};
    EXPECT_EQ(correction_warnings(log, "Bay 1", r, span),
              (std::vector<std::string>{
                  "results of sensor \"Bay 1\" lie up to 1 min 40 s before its first clock log "
                  "record (2026-12-08T10:00:00.000Z): that record's offset is used there",
                  "results of sensor \"Bay 1\" lie up to 1 h 2 min after its last clock log "
                  "record (2026-12-08T20:00:00.000Z): that record's offset is used there"}));
}

TEST(ClockCorrection, ThreeRecordsWithAChangeOfSlope) {
    // 10 s to 12 s over the first 36002 s of the sensor's clock, then back to 11 s over the
    // next 36000 s; the log's order is not the clock's.
    const ClockLog log{"clock.csv",
                       {at(kT0 + 72001, 11.0), at(kT0, 10.0), at(kT0 + 36000, 12.0),
                        at(kT0 + 100, 99.0, "Other")}};
    const auto r = sensor_records(log, "Bay 1");
    ASSERT_EQ(r.size(), 3u);
    EXPECT_NEAR(offset_at(r, kT0 + 10 + 18001), 11.0, 1e-6);
    EXPECT_NEAR(offset_at(r, kT0 + 36012), 12.0, 1e-6);
    EXPECT_NEAR(offset_at(r, kT0 + 36012 + 9000), 11.75, 1e-6);
    CorrectionSpan span;
    span.add(kT0 + 36012);
    EXPECT_TRUE(correction_warnings(log, "Bay 1", r, span).empty());
}

TEST(ClockCorrection, SensorAbsentOrOnlyAnotherNamed) {
    const ClockLog log{"clock.csv", {at(kT0, 10.0, "Bay 2"), at(kT0 + 3600, 11.0, "Bay 2")}};
    for (const std::string name : {"Bay 1", ""}) {
        const auto r = sensor_records(log, name);
        EXPECT_TRUE(r.empty());
        EXPECT_EQ(corrected_time(r, kT0 + 5), kT0 + 5);
        CorrectionSpan span;
        span.add(kT0 + 5);
        EXPECT_EQ(correction_warnings(log, name, r, span),
                  (std::vector<std::string>{"no record of sensor \"" + name +
                                            "\" in the clock log clock.csv: its times are left "
                                            "uncorrected"}));
    }
    EXPECT_EQ(corrected_time_text(kT0 + 12.5), "08/12/2026 10:00:13");
}

TEST(ClockLog, LinesReadBackAndBadLogsAreRefusedByLine) {
    ClockLogRecord r = at(kT0, -3.25, "Bay, \"1\"");
    r.utc_ms += 250;
    r.serial_number = 1001;
    r.event = "deployed";
    const std::string line = records::clock_log_line(r);
    EXPECT_EQ(line, "2026-12-08T10:00:00.250Z,\"Bay, \"\"1\"\"\",1001,-3.250,deployed\n");
    const std::string header = "utc_time,sensor_name,serial_number,offset_s,event\n";
    std::istringstream good(header + line + "\r\n" + "2026-12-08T11:00:00Z,'=x,7,1.5,check\r\n");
    const auto read = records::read_clock_log(good);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[0].sensor_name, "Bay, \"1\"");
    EXPECT_EQ(read.records[0].utc_ms, (kT0 * 1000) + 250);
    EXPECT_EQ(read.records[0].offset_s, -3.25);
    EXPECT_EQ(read.records[1].sensor_name, "=x");  // as the CSV writer guarded it

    // A name holding control bytes is written visibly and read back as the same bytes.
    ClockLogRecord odd = at(kT0, 1.0, std::string("Bay\x1b]0;x\x07\\", 10));
    const std::string odd_line = records::clock_log_line(odd);
    EXPECT_EQ(odd_line, "2026-12-08T10:00:00.000Z,Bay\\e]0;x\\a\\\\,0,1.000,check\n");
    std::istringstream odd_in(header + odd_line);
    const auto odd_read = records::read_clock_log(odd_in);
    ASSERT_EQ(odd_read.records.size(), 1u);
    EXPECT_EQ(odd_read.records[0].sensor_name, std::string("Bay\x1b]0;x\x07\\", 10));

    const std::string ok = "2026-12-08T10:00:00Z,Bay 1,1001,42.000,check\n";
    const std::pair<std::string, std::string> bad[] = {
        {"utc_time,sensor_name,serial_number,offset_s\n",
         "line 1: not the clock log's header \"utc_time,sensor_name,serial_number,offset_s,"
         "event\""},
        {"", "line 1: empty: no clock log header"},
        {header + ok + ok, "line 3: repeats the record of sensor \"Bay 1\" at the time of line 2"},
        {header + ok + "2026-12-08T10:00:01Z,Bay 1,1001,41.000,check\n",
         "line 3: repeats the record of sensor \"Bay 1\" at the time of line 2"},
        {header + "2026-02-30T10:00:00Z,Bay 1,1001,42.000,check\n",
         "line 2: utc_time \"2026-02-30T10:00:00Z\" is not an ISO 8601 UTC time such as "
         "2026-12-08T10:00:00.250Z"},
        {header + "2026-12-08 10:00:00,Bay 1,1001,42.000,check\n",
         "line 2: utc_time \"2026-12-08 10:00:00\" is not an ISO 8601 UTC time such as "
         "2026-12-08T10:00:00.250Z"},
        {header + "\n2026-12-08T10:00:00Z,Bay 1,1001,42.000\n",
         "line 3: not five cells utc_time,sensor_name,serial_number,offset_s,event"},
        {header + "2026-12-08T10:00:00Z,\"Bay 1,1001,42.000,check\n",
         "line 2: not five cells utc_time,sensor_name,serial_number,offset_s,event"},
        {header + "2026-12-08T10:00:00Z,Bay 1,1001,42 s,check\n",
         "line 2: offset_s \"42 s\" is not a number of seconds"},
        {header + "2026-12-08T10:00:00Z,Bay 1,1001,nan,check\n",
         "line 2: offset_s \"nan\" is not a number of seconds"},
        {header + "2026-12-08T10:00:00Z,Bay 1,70000,42,check\n",
         "line 2: serial_number \"70000\" is not a serial number"},
        {header + "2026-12-08T10:00:00Z,Bay 1,1001,42,lost\n",
         "line 2: event \"lost\" is not deployed, recovered or check"},
    };
    for (const auto& [text, error] : bad) {
        std::istringstream in(text);
        const auto refused = records::read_clock_log(in);
        EXPECT_EQ(refused.error, error) << text;
        EXPECT_TRUE(refused.records.empty());
    }
}

}  // namespace
}  // namespace kelpira::processing

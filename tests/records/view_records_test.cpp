// Processed result, diagnostics line, restart entry, task details and task flags: field
// offsets on the wire.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "records/diagnostics_records.hpp"
#include "records/output_record.hpp"
#include "support/counting_bytes.hpp"

namespace kelpira::records {
namespace {

using testing::counting_bytes;

TEST(ViewRecords, OutputRecordFieldsSitAtTheirOffsets) {
    const auto bytes = counting_bytes<OutputRecord::size>();
    const OutputRecord o = decode_output_record(bytes);
    EXPECT_EQ(o.dive_number, 0x0302);
    EXPECT_EQ(o.sensor_time, 0x07060504u);
    EXPECT_EQ(o.platform_time, 0x0b0a0908u);
    EXPECT_EQ(o.validity, 40);
    EXPECT_EQ(o.platform_direction, 41);
    EXPECT_EQ(encode(o), bytes);

    OutputRecord v;
    v.value = 1.5;  // 0x3FF8000000000000 at offset 23
    v.p3 = 2.0f;    // 0x40000000 at offset 49
    const auto out = encode(v);
    EXPECT_EQ(out[29], 0xF8);
    EXPECT_EQ(out[30], 0x3F);
    EXPECT_EQ(out[52], 0x40);
    EXPECT_EQ(decode_output_record(out).value, 1.5);
}

TEST(ViewRecords, DiagnosticsEntryTextsStopAtTheFieldEnd) {
    auto bytes = counting_bytes<DiagnosticsEntry::size>();
    const DiagnosticsEntry e = decode_diagnostics_entry(bytes);
    EXPECT_EQ(e.counter, 0x05040302u);
    EXPECT_EQ(e.function.size(), 32u);  // no terminator within the field
    EXPECT_EQ(e.line, 0x29282726);
    EXPECT_EQ(e.task_id, 42);
    EXPECT_EQ(e.severity, 43);
    EXPECT_EQ(e.message.size(), 71u);
    EXPECT_EQ(encode(e), bytes);
}

TEST(ViewRecords, RestartEntryAndTaskDetails) {
    const auto restart = counting_bytes<RestartLogEntry::size>();
    const RestartLogEntry r = decode_restart_log_entry(restart);
    EXPECT_EQ(r.usb_connected, 2);
    EXPECT_EQ(r.reset_cause, 0x0403);
    EXPECT_EQ(r.supply_decivolts, 0x0605);
    EXPECT_EQ(r.counter, 0x0a090807u);
    EXPECT_EQ(r.rtc_time, 0x0e0d0c0bu);
    EXPECT_EQ(encode(r), restart);

    TaskDetails t;
    t.name = "Sampler";
    t.stack_start = 0x100;
    t.stack_end = 0x1FF;
    t.stack_top = 0x1C0;
    t.active = 1;
    t.log_filters = 5;
    const auto bytes = encode(t);
    EXPECT_EQ(bytes[1], 'S');
    EXPECT_EQ(bytes[34], 0x00);
    EXPECT_EQ(bytes[35], 0x01);
    EXPECT_EQ(bytes[46], 1);
    EXPECT_EQ(bytes[47], 5);
    EXPECT_EQ(decode_task_details(bytes), t);
}

TEST(ViewRecords, TaskFlagsAreSeventeenFiltersThenNineZeros) {
    TaskFlags f;
    f.log_filters.fill(7);
    const auto bytes = encode(f);
    ASSERT_EQ(bytes.size(), 26u);
    for (std::size_t i = 0; i < 17; ++i) {
        EXPECT_EQ(bytes[i], 7) << i;
    }
    for (std::size_t i = 17; i < 26; ++i) {
        EXPECT_EQ(bytes[i], 0) << i;
    }
    EXPECT_EQ(decode_task_flags(bytes), f);
}

}  // namespace
}  // namespace kelpira::records

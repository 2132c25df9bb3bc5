// The typed get/set of the optics and pump records: their tables' command pairs and exact bytes.
#include <gtest/gtest.h>

#include <vector>

#include "records/actuator_fields.hpp"
#include "records/chemistry_transfer.hpp"
#include "scripted_sensor.hpp"

namespace kelpira::link::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct RecordTransfer : SensorFixture {
    Bytes payload_sent(std::size_t i) const {
        const auto r = sent().at(i);
        return Bytes(r.begin() + kPayloadOffset, r.begin() + kPayloadOffset + r[5]);
    }
};

TEST_F(RecordTransfer, SetSendsTheRecordUnderItsSetCode) {
    open([](const SensorCommand&) { return Answer{0, {}}; });
    records::PmtConfig p;
    p.instrument = records::kPmtH10492;
    p.control_v = 1.1f;
    p.reserved6[13] = 0x5A;  // a byte the sensor gave, going back as it came
    ASSERT_EQ(records::set_record(link, p), 0);
    EXPECT_EQ(code_sent(0), 375);
    EXPECT_EQ(payload_sent(0), (Bytes{0x00, 0x01, 0xCD, 0xCC, 0x8C, 0x3F, 0, 0, 0, 0,
                                      0,    0,    0,    0,    0,    0,    0, 0, 0, 0x5A}));
}

TEST_F(RecordTransfer, GetReadsTheAnswerOnlyOnSuccess) {
    int calls = 0;
    open([&calls](const SensorCommand&) {
        return Answer{static_cast<std::uint8_t>(calls++ == 0 ? 0 : 9), counting_payload(25)};
    });
    records::PumpValveDefaults p;
    ASSERT_EQ(records::get_record(link, p), 0);
    EXPECT_EQ(code_sent(0), 352);
    EXPECT_TRUE(payload_sent(0).empty());
    EXPECT_EQ(p.current_ma, 0x0403);
    EXPECT_EQ(p.valve_spike_ms, 0x1918);
    records::PumpValveDefaults kept;
    EXPECT_EQ(records::get_record(link, kept), 9);
    EXPECT_EQ(kept, records::PumpValveDefaults{});
}

}  // namespace
}  // namespace kelpira::link::testing

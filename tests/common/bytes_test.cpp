// Packed little-endian records: exact bytes, bounded text fields, overruns.
#include "common/bytes.hpp"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using kelpira::common::ByteReader;
using kelpira::common::ByteWriter;

TEST(Bytes, WritesFieldsPackedLittleEndian) {
    std::array<std::uint8_t, 15> buf{};
    ByteWriter w(buf);
    w.u8(0xAB);
    w.u16(0x1234);
    w.i32(-2);
    w.f32(1.0f);
    w.text("hi", 4);
    EXPECT_FALSE(w.overrun());
    EXPECT_EQ(w.position(), 15u);
    const std::array<std::uint8_t, 15> want{0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x00,
                                            0x00, 0x80, 0x3F, 'h',  'i',  0,    0};
    EXPECT_EQ(buf, want);
}

TEST(Bytes, ReadsBackWhatWasWritten) {
    std::array<std::uint8_t, 11> buf{};
    ByteWriter w(buf);
    w.i16(-300);
    w.u32(4000000000u);
    w.f32(-12.5f);
    w.i8(-7);
    ByteReader r(buf);
    EXPECT_EQ(r.i16(), -300);
    EXPECT_EQ(r.u32(), 4000000000u);
    EXPECT_FLOAT_EQ(r.f32(), -12.5f);
    EXPECT_EQ(r.i8(), -7);
    EXPECT_FALSE(r.overrun());
    EXPECT_EQ(r.remaining(), 0u);
}

TEST(Bytes, TextWithoutTerminatorStopsAtItsWidth) {
    const std::vector<std::uint8_t> buf{'A', 'B', 'C', 'D', 'E', 0x42};
    ByteReader r(buf);
    EXPECT_EQ(r.text(5), "ABCDE");
    EXPECT_EQ(r.u8(), 0x42);
}

TEST(Bytes, TextStopsAtTerminatorButConsumesWholeWidth) {
    const std::vector<std::uint8_t> buf{'X', 0, 'Y', 'Z', 7};
    ByteReader r(buf);
    EXPECT_EQ(r.text(4), "X");
    EXPECT_EQ(r.u8(), 7);
}

TEST(Bytes, WriterCutsLongTextToWidth) {
    std::array<std::uint8_t, 3> buf{};
    ByteWriter w(buf);
    w.text("ABCDEF", 3);
    EXPECT_FALSE(w.overrun());
    EXPECT_EQ(buf, (std::array<std::uint8_t, 3>{'A', 'B', 'C'}));
}

TEST(Bytes, ReadingPastTheEndGivesZerosAndMarksOverrun) {
    const std::vector<std::uint8_t> buf{1, 2, 3};
    ByteReader r(buf);
    EXPECT_EQ(r.u16(), 0x0201);
    EXPECT_EQ(r.u32(), 0u);
    EXPECT_TRUE(r.overrun());
    EXPECT_EQ(r.u8(), 0u);
    ByteReader t(buf);
    EXPECT_EQ(t.text(10), std::string("\x01\x02\x03"));
    EXPECT_TRUE(t.overrun());
}

TEST(Bytes, WritingPastTheEndIsDropped) {
    std::array<std::uint8_t, 3> buf{9, 9, 9};
    ByteWriter w(buf);
    w.u16(0x0102);
    w.u16(0x0304);
    EXPECT_TRUE(w.overrun());
    EXPECT_EQ(buf, (std::array<std::uint8_t, 3>{2, 1, 9}));
}

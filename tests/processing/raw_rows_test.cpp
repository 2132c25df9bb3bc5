// Row scanning: the 20- and 15-column acceptance per chemistry and the row pass.
#include "processing/raw_row_scan.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "temp_raw_file.hpp"

namespace kelpira::processing {
namespace {

using testing::TempRawFile;

constexpr std::string_view kRow20 =
    "17,258,0.5,1.5,2.5,3.5,4.5,5.5,6.5,7.5,8.5,9.5,10,11,1700000000,35.1,12.5,250.0,4.25,"
    "1700000001";
constexpr std::string_view kRow15 = "18,3,1,2,3,4,5,6,7,8,9,10,11,12,1700000002";

std::string values(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        s += (i == 0 ? "" : ",") + std::to_string(i + 1);
    }
    return s;
}

TEST(RawRowScan, AllTwentyColumns) {
    RawRow row;
    ASSERT_TRUE(parse_row(kRow20, RawChemistry::nutrient, row));
    EXPECT_EQ(row.counter, 17u);
    EXPECT_EQ(row.state, 2);  // low 8 bits of 258
    EXPECT_EQ(row.channels[0], 0.5);
    EXPECT_EQ(row.channels[7], 7.5);
    EXPECT_EQ(row.unused_real[1], 9.5);
    EXPECT_EQ(row.unused_int[0], 10u);
    EXPECT_EQ(row.unused_int[1], 11u);
    EXPECT_EQ(row.sensor_time, 1700000000u);
    EXPECT_TRUE(row.has_platform);
    EXPECT_EQ(row.salinity, 35.1);
    EXPECT_EQ(row.temperature, 12.5);
    EXPECT_EQ(row.oxygen, 250.0);
    EXPECT_EQ(row.depth, 4.25);
    EXPECT_EQ(row.platform_time, 1700000001u);
}

TEST(RawRowScan, AcceptanceByChemistry) {
    RawRow row;
    for (auto c : {RawChemistry::nutrient, RawChemistry::nutrient_multi, RawChemistry::ph,
                   RawChemistry::ta, RawChemistry::dic}) {
        SCOPED_TRACE(static_cast<int>(c));
        EXPECT_TRUE(parse_row(kRow20, c, row));
        EXPECT_FALSE(parse_row(values(14), c, row));
        EXPECT_FALSE(parse_row("", c, row));
        EXPECT_FALSE(parse_row("%" + std::string(kRow20), c, row));
        // A 21st value is never looked at: the pattern ends after 20.
        EXPECT_TRUE(parse_row(values(21), c, row));
    }
    EXPECT_TRUE(parse_row(kRow15, RawChemistry::nutrient, row));
    EXPECT_FALSE(parse_row(kRow15, RawChemistry::ph, row));
    EXPECT_TRUE(parse_row(kRow15, RawChemistry::ta, row));
    EXPECT_TRUE(parse_row(kRow15, RawChemistry::dic, row));
    // TA and DIC scan 15 columns, so a row of 17 or 19 values has its first 15 read.
    EXPECT_FALSE(parse_row(values(17), RawChemistry::nutrient, row));
    EXPECT_FALSE(parse_row(values(17), RawChemistry::ph, row));
    EXPECT_TRUE(parse_row(values(17), RawChemistry::dic, row));
    EXPECT_FALSE(parse_row(values(19), RawChemistry::nutrient, row));
    EXPECT_FALSE(parse_row(values(19), RawChemistry::ph, row));
    EXPECT_TRUE(parse_row(values(19), RawChemistry::ta, row));
}

TEST(RawRowScan, FifteenColumnRowsHaveNoPlatformValues) {
    RawRow row;
    ASSERT_TRUE(parse_row(kRow20, RawChemistry::nutrient, row));
    ASSERT_TRUE(parse_row(kRow15, RawChemistry::nutrient, row));
    EXPECT_FALSE(row.has_platform);
    EXPECT_EQ(row.sensor_time, 1700000002u);
    EXPECT_EQ(row.salinity, 0.0);
    EXPECT_EQ(row.depth, 0.0);
    EXPECT_EQ(row.platform_time, 0u);
    ASSERT_TRUE(parse_row(kRow20, RawChemistry::ta, row));  // TA reads 15 columns only
    EXPECT_EQ(row.salinity, 0.0);
    EXPECT_EQ(row.platform_time, 0u);
}

TEST(RawRowScan, ScanRulesOfTheColumns) {
    RawRow row;
    // White space before a value is skipped, before a comma it ends the row.
    EXPECT_EQ(scan_row(" 1,\t2, 3", row), 3);
    EXPECT_EQ(scan_row("1 ,2", row), 1);
    EXPECT_EQ(scan_row("-1,2", row), 2);
    EXPECT_EQ(row.counter, 4294967295u);
    EXPECT_EQ(scan_row("1,2,nan,-inf,0x10,1e999", row), 6);
    EXPECT_TRUE(std::isnan(row.channels[0]));
    EXPECT_EQ(row.channels[1], -INFINITY);
    EXPECT_EQ(row.channels[2], 16.0);
    EXPECT_EQ(row.channels[3], INFINITY);
    EXPECT_EQ(scan_row("1.5,2", row), 1);  // "%u" stops at the '.', no comma follows
    EXPECT_EQ(scan_row(std::string(kRow20) + "\r", row), 20);
    EXPECT_EQ(scan_row(std::string(kRow20) + ",garbage", row), 20);
}

// A row's channel 0 after a row that held `before` there, through one memo: a repeated text
// is taken as kept, and anything else is read afresh.
TEST(RawRowScan, RepeatedTextsAcrossRows) {
    struct Case {
        std::string_view before, text;
        double value;
        int values = 20;
    };
    const Case cases[] = {
        {"1.5", "1.5", 1.5},
        {"1.5", "1.55", 1.55},     // the kept text is a prefix
        {"1.5", "1.5e3", 1500.0},  // a prefix continued by an exponent
        {"12.5", "1.25", 1.25},    // as long as the kept text
        {"1e5", "1e5", 100000.0},
        {"0", "0x10", 16.0},  // a kept "0" followed by the x of a hexadecimal real
        {"2.5", " 2.5", 2.5},
        {"2.5", "-2.5", -2.5},
        {"1.2345678901234567", "1.2345678901234567", 1.2345678901234567},  // too long to keep
        {"7.25", "7.25x", 7.25, 3},  // no comma follows: the row ends after channel 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " then " + std::string(c.text));
        const auto line = [](std::string_view ch0) {
            return "1,4," + std::string(ch0) + ",2,3,4,5,6,7,8,9,10,11,12,1700000000,35,12,250,4,1";
        };
        RowMemo memo;
        RawRow row;
        ASSERT_EQ(scan_row(line(c.before), row, memo), 20);
        ASSERT_EQ(scan_row(line(c.text), row, memo), c.values);
        EXPECT_EQ(row.channels[0], c.value);
        EXPECT_EQ(row.channels[1], 2.0);  // repeated
    }
}

TEST(RawRowPass, RowsInOrderThenTheClosingRow) {
    TempRawFile t("%KELPIRA.HEADER_START\n%KELPIRA.HEADER_END\n%Counter,State\n" +
                  std::string(kRow20) + "\r\nnot a row\n" + values(17) + "\n" +
                  std::string(kRow15) + "\n");
    auto f = t.open();
    std::vector<RawRow> rows;
    EXPECT_EQ(for_each_row(f, RawChemistry::nutrient,
                           [&](const RawRow& r) {
                               rows.push_back(r);
                               return true;
                           }),
              RowPass::completed);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].counter, 17u);
    EXPECT_EQ(rows[1].counter, 18u);
    EXPECT_EQ(rows[2].state, 255);
    EXPECT_EQ(rows[2].counter, 0u);
    EXPECT_EQ(rows[2].sensor_time, 0u);

    rows.clear();  // pH skips the 15-column row; a second pass starts over
    EXPECT_EQ(for_each_row(f, RawChemistry::ph,
                           [&](const RawRow& r) {
                               rows.push_back(r);
                               return true;
                           }),
              RowPass::completed);
    EXPECT_EQ(rows.size(), 2u);
}

TEST(RawRowPass, StoppingEndsWithoutClosingRow) {
    TempRawFile t(std::string(kRow20) + "\n" + std::string(kRow20) + "\n");
    auto f = t.open();
    int seen = 0;
    EXPECT_EQ(for_each_row(f, RawChemistry::nutrient, [&](const RawRow&) { return ++seen < 1; }),
              RowPass::stopped);
    EXPECT_EQ(seen, 1);
}

TEST(RawRowPass, ReadErrorGivesNoClosingRow) {
    auto f = RawFile::open(KELPIRA_TEST_DATA);
    if (!f) {
        GTEST_SKIP() << "directories cannot be opened here";
    }
    int seen = 0;
    EXPECT_EQ(for_each_row(*f, RawChemistry::nutrient,
                           [&](const RawRow&) {
                               ++seen;
                               return true;
                           }),
              RowPass::read_error);
    EXPECT_EQ(seen, 0);
}

}  // namespace
}  // namespace kelpira::processing

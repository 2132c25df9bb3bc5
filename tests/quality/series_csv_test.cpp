// A series given as CSV: the time and value forms it takes, what it refuses, and the flagged
// table it writes back.
#include "quality/series_csv.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace kelpira::quality {
namespace {

TEST(SeriesCsv, TimeForms) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"1796724000", 1796724000.0},
        {"12.5", 12.5},
        {"2026-12-08T10:00:00", 1796724000.0},  // UTC when no zone is given
        {"2026-12-08 10:00:00Z", 1796724000.0},
        {"2026-12-08T11:30:00+01:30", 1796724000.0},
        {"2026-12-08T08:00:00.25-02:00", 1796724000.25},
        {"2024-02-29T00:00:00", 1709164800.0},
        {"2026-02-29T00:00:00", std::nullopt},  // not a leap year
        {"2026-12-08T24:00:00", std::nullopt},
        {"2026-12-08", std::nullopt},
        {"2026-12-08T10:00:00 ", std::nullopt},
        {"-5", std::nullopt},
        {"08/12/2026 10:00:00", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(series_time(text), expected) << text;
    }
}

TEST(SeriesCsv, ValueForms) {
    EXPECT_EQ(series_value("12.500"), 12.5);
    EXPECT_EQ(series_value("-0.25"), -0.25);
    EXPECT_EQ(series_value("+3e1"), 30.0);
    for (const char* missing : {"", "nan", "NaN"}) {
        const auto v = series_value(missing);
        ASSERT_TRUE(v) << missing;
        EXPECT_TRUE(std::isnan(*v)) << missing;
    }
    for (const char* refused : {"inf", "1,5", "12 ", "0x10", "--1"}) {
        EXPECT_EQ(series_value(refused), std::nullopt) << refused;
    }
}

TEST(SeriesCsv, Refusals) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "line 1: the header needs the columns \"time\" and \"value\""},
        {"time,x\n0,1\n", "line 1: the header needs the columns \"time\" and \"value\""},
        {"time,value\n0,1\n1\n", "line 3: 1 cells, the header has 2"},
        {"time,value\n0,1\n0,2\n",
         "line 3: time \"0\" does not come after the time of the line before"},
        {"time,value\n2026-12-08T10:00:00,1\n1796724000,2\n",
         "line 3: time \"1796724000\" does not come after the time of the line before"},
        {"time,value\nnoon,1\n",
         "line 2: time \"noon\" is neither seconds since 1970 nor an ISO 8601 date and time"},
        {"time,value\n0,high\n", "line 2: value \"high\" is not a number"},
        {"time,value\n0,\"1\n", "line 2: a quoted cell does not end"},
    };
    for (const auto& [text, expected] : cases) {
        std::string error;
        EXPECT_FALSE(read_series_csv(text, error)) << text;
        EXPECT_EQ(error, expected);
    }
}

TEST(SeriesCsv, FlaggedTableKeepsTheCellsAsGiven) {
    std::string error;
    const auto table = read_series_csv(
        "site,value,time\r\n"
        "\"Bay, north\",5.000,2026-12-08T10:00:00Z\r\n"
        "a,5.000,2026-12-08T11:00:00Z\r\n"
        "b,,2026-12-08T12:00:00Z\r\n"
        "c,7.000,2026-12-08T13:00:00Z\r\n"
        "d,99,2026-12-08T14:00:00Z\r\n",
        error);
    ASSERT_TRUE(table) << error;
    SeriesParameters p;
    p.gross_range = GrossRangeTest{{0, 60}, std::nullopt};
    p.spike = SpikeTest{0.5, 1.0};
    EXPECT_EQ(flagged_series_csv(p, *table),
              "time,value,gross_range,spike,rate_of_change,flat_line,aggregate\n"
              "2026-12-08T10:00:00Z,5.000,1,2,2,2,1\n"
              "2026-12-08T11:00:00Z,5.000,1,3,2,2,3\n"  // ref 5.667 from 5 and 7
              "2026-12-08T12:00:00Z,,9,9,2,2,9\n"
              "2026-12-08T13:00:00Z,7.000,1,2,2,2,1\n"
              "2026-12-08T14:00:00Z,99,4,2,2,2,4\n");
}

}  // namespace
}  // namespace kelpira::quality

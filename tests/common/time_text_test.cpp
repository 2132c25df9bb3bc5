// UTC time texts of sensor times.
#include "common/time_text.hpp"

#include <gtest/gtest.h>

using namespace kelpira::common;

TEST(TimeText, FormatsDayMonthYearInUtc) {
    EXPECT_EQ(utc_time_text(0), "01/01/1970 00:00:00");
    EXPECT_EQ(utc_time_text(951782400), "29/02/2000 00:00:00");
    EXPECT_EQ(utc_time_text(1700000000), "14/11/2023 22:13:20");
}

TEST(TimeText, LargestConvertibleValueIsADate) {
    EXPECT_EQ(utc_time_text(2147483647u), "19/01/2038 03:14:07");
}

TEST(TimeText, ValuesAbove2147483647AreShownAsNumbers) {
    EXPECT_EQ(utc_time_text(2147483648u), "2147483648");
    EXPECT_EQ(utc_time_text(0xFFFFFFFFu), "4294967295");
}

TEST(TimeText, FieldsAndSecondsRoundTrip) {
    for (std::int64_t s : {0LL, 59LL, 86399LL, 951868799LL, 4102444800LL, -1LL}) {
        EXPECT_EQ(utc_seconds(utc_fields(s)), s) << s;
    }
    const auto f = utc_fields(-1);
    EXPECT_EQ(f.year, 1969);
    EXPECT_EQ(f.month, 12);
    EXPECT_EQ(f.day, 31);
    EXPECT_EQ(f.second, 59);
}

TEST(TimeText, OutOfRangeFieldsRollOver) {
    EXPECT_EQ(utc_seconds({2023, 13, 1, 0, 0, 0}), utc_seconds({2024, 1, 1, 0, 0, 0}));
    EXPECT_EQ(utc_seconds({2024, 3, 0, 0, 0, 0}), utc_seconds({2024, 2, 29, 0, 0, 0}));
}

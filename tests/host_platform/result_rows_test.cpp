// The cells of a sample's row: a value below zero is shown as the negative it is.
#include "host_platform/result_rows.hpp"

#include <gtest/gtest.h>

namespace {

using kelpira::host_platform::sample_row;
using kelpira::host_platform::SampleReply;

TEST(SampleRow, ValueAndTemperatureAreSignedTheDeviationIsNot) {
    struct Case {
        std::int32_t value, temperature, std_dev;
        const char *value_text, *temperature_text, *std_dev_text;
    };
    const Case cases[] = {
        {-1, -1900, 1, "-0.001", "-1.900", "0.001"},
        {4294, 12500, -1, "4.294", "12.500", "4294967.295"},
        {0, 0, 0, "0.000", "0.000", "0.000"},
    };
    for (const auto& c : cases) {
        SampleReply r;
        r.value = c.value;
        r.temperature = c.temperature;
        r.std_dev = c.std_dev;
        const auto row = sample_row(r);
        EXPECT_EQ(row[2], c.value_text);
        EXPECT_EQ(row[3], c.std_dev_text);
        EXPECT_EQ(row[8], c.temperature_text);
        EXPECT_EQ(row[5], "-") << "a placeholder";
    }
}

}  // namespace

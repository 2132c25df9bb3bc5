// Each record's outcome in words: a lost answer is told apart from a refusal.
#include "link/write_outcome.hpp"

#include <gtest/gtest.h>

namespace kelpira::link {
namespace {

TEST(WriteOutcome, EachStateInWords) {
    const struct {
        RecordWrite write;
        const char* text;
    } cases[] = {
        {record_write("chemistry", 0), "chemistry written"},
        {record_write("chemistry", 0, 14),
         "chemistry written but not confirmed: the read-back failed (status 14)"},
        {record_write("thermistor 2", 14),
         "thermistor 2 not written: no answer (status 14), the sensor may hold either"},
        {record_write("thermistor 2", 5),
         "thermistor 2 not written: no answer (status 5), the sensor may hold either"},
        {record_write("thermistor 2", 4), "thermistor 2 not written: refused (status 4)"},
        {record_write("thermistor 2", 15), "thermistor 2 not written: refused (status 15)"},
        {RecordWrite{"thermistor 3"}, "thermistor 3 not tried"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(write_text(c.write), c.text);
    }
    const RecordWrite two[] = {record_write("chemistry", 0), record_write("parameters", 14)};
    EXPECT_EQ(writes_text(two),
              "Chemistry written; parameters not written: no answer (status 14), the sensor may "
              "hold either");
    EXPECT_FALSE(all_written(two));
    EXPECT_TRUE(all_written(std::span(two, 1)));
}

}  // namespace
}  // namespace kelpira::link

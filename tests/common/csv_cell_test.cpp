#include "common/csv_cell.hpp"

#include <gtest/gtest.h>

namespace kelpira::common {
namespace {

TEST(CsvCell, QuotesOnlyCellsThatWouldSplitOrEndALine) {
    EXPECT_EQ(csv_cell("Bay 1"), "Bay 1");
    EXPECT_EQ(csv_cell(""), "");
    EXPECT_EQ(csv_cell("-1.250"), "-1.250");
    EXPECT_EQ(csv_cell("Bay 1, north"), "\"Bay 1, north\"");
    EXPECT_EQ(csv_cell("the \"old\" one"), "\"the \"\"old\"\" one\"");
    EXPECT_EQ(csv_cell("\""), "\"\"\"\"");
    EXPECT_EQ(csv_cell("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(csv_cell("cr\r"), "\"cr\r\"");
    std::string line = "a,";
    append_csv_cell(line, "b,c");
    EXPECT_EQ(line, "a,\"b,c\"");
}

}  // namespace
}  // namespace kelpira::common

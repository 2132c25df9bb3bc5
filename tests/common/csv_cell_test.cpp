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
    EXPECT_EQ(csv_cell("-"), "-");  // the placeholder of a missing value
    EXPECT_EQ(csv_cell("--"), "'--");
    std::string line = "a,";
    append_csv_cell(line, "b,c");
    EXPECT_EQ(line, "a,\"b,c\"");
}

TEST(CsvCell, TextASpreadsheetWouldTakeForAFormulaStaysText) {
    EXPECT_EQ(csv_cell("=HYPERLINK(\"http://x\")"), "\"'=HYPERLINK(\"\"http://x\"\")\"");
    EXPECT_EQ(csv_cell("=1+1"), "'=1+1");
    EXPECT_EQ(csv_cell("+Bay"), "'+Bay");
    EXPECT_EQ(csv_cell("-Bay 1"), "'-Bay 1");
    EXPECT_EQ(csv_cell("@SUM(A1)"), "'@SUM(A1)");
    EXPECT_EQ(csv_cell("-2+3"), "'-2+3");
    EXPECT_EQ(csv_cell("1=1"), "1=1");
    for (const char* number : {"-1.250", "+3", "-0.5e-3", "+2E+7", "-.5", "-7.", "-nan", "-inf"}) {
        EXPECT_EQ(csv_cell(number), number);
    }
}

}  // namespace
}  // namespace kelpira::common

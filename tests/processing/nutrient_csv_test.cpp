// Cell texts of the nutrient result table.
#include "processing/nutrient_csv.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kelpira::processing {
namespace {

using ::testing::ElementsAre;

TEST(NutrientCsv, CellFormats) {
    NutrientResult r;
    r.platform_time = 1700000000;  // 14/11/2023 22:13:20
    r.sensor_time = 2147483648u;   // beyond what converts to a date
    r.medium = 3.2192809f;
    r.short_path = -0.0004f;
    r.long_path = 12.5f;
    r.depth = 4.125f;
    r.salinity = 35.0f;
    r.temperature = -1.5f;
    EXPECT_THAT(nutrient_result_cells(r),
                ElementsAre("14/11/2023 22:13:20", "2147483648", "3.219", "-0.000", "12.500",
                            "4.12", "35.000", "-1.500"));
    EXPECT_THAT(nutrient_multi_result_cells(r, "K-17"),
                ElementsAre("14/11/2023 22:13:20", "2147483648", "3.219", "-0.000", "12.500",
                            "4.12", "35.000", "-1.500", "K-17"));
}

TEST(NutrientCsv, ColumnTitlesOfBothDialogs) {
    EXPECT_THAT(kNutrientResultColumns,
                ElementsAre("Time (platform)", "Time (sensor)", "Nutrient (Medium:uM)",
                            "Nutrient (Short:uM)", "Nutrient (Long:uM)", "Depth (m)", "S (PSU)",
                            "T (degC)"));
    EXPECT_THAT(kNutrientMultiResultColumns,
                ElementsAre("Time (platform)", "Time (sensor)", "Nutrient (Medium:uM)",
                            "Nutrient (Short:uM)", "Nutrient (Long:uM)", "Depth (m)", "S (PSU)",
                            "T (degC)", "Sensor Name"));
}

}  // namespace
}  // namespace kelpira::processing

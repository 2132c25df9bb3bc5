// The spool gives back exactly what it held, whether in memory or spilled to a file.
#include "processing/result_spool.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using kelpira::processing::ResultSpool;

TEST(ResultSpool, GivesBackEverythingAcrossTheSpill) {
    ResultSpool spool;
    std::string expected;
    for (int i = 0; expected.size() < 3 * ResultSpool::kMemoryLimit; ++i) {
        const std::string line = "14/11/2023 22:13:20,5," + std::to_string(i) + ",good\n";
        spool.append(line);
        expected += line;
    }
    std::ostringstream out;
    ASSERT_TRUE(spool.move_to(out));
    EXPECT_EQ(out.str(), expected);
    std::ostringstream again;
    ASSERT_TRUE(spool.move_to(again));
    EXPECT_EQ(again.str(), "");  // moved, not copied
}

TEST(ResultSpool, ClearDropsWhatAFailedFileAdded) {
    ResultSpool spool;
    spool.append(std::string(ResultSpool::kMemoryLimit + 10, 'x'));
    spool.clear();
    spool.append("kept\n");
    std::ostringstream out;
    ASSERT_TRUE(spool.move_to(out));
    EXPECT_EQ(out.str(), "kept\n");
}

}  // namespace

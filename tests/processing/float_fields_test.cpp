// Doubles reach float fields only through common::to_f32: a bare cast of a value beyond a
// float's range is undefined, and no compiler check catches a double-to-float cast.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

TEST(FloatFields, ProcessingConvertsOnlyThroughTheCheckedHelper) {
    const auto root = std::filesystem::path(KELPIRA_TEST_DATA).parent_path().parent_path();
    int files = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(root / "src" / "processing")) {
        if (entry.path().extension() != ".cpp" && entry.path().extension() != ".hpp") {
            continue;
        }
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_EQ(text.str().find("static_cast<float>"), std::string::npos) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 10);
}

}  // namespace

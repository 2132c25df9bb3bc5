// A raw output file written into the build folder for one test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "processing/raw_file.hpp"

namespace kelpira::processing::testing {

class TempRawFile {
  public:
    explicit TempRawFile(std::string_view content) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::path(KELPIRA_BINARY_DIR) / "test_raw_files" /
                (std::string(info->test_suite_name()) + "." + info->name() + "." +
                 std::to_string(counter_++) + ".csv");
        std::filesystem::create_directories(path_.parent_path());
        std::ofstream out(path_, std::ios::binary);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    TempRawFile(const TempRawFile&) = delete;
    TempRawFile& operator=(const TempRawFile&) = delete;
    ~TempRawFile() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }

    const std::filesystem::path& path() const { return path_; }
    RawFile open(std::size_t max_line = RawFile::kDefaultMaxLine) const {
        auto f = RawFile::open(path_, nullptr, max_line);
        EXPECT_TRUE(f.has_value());
        return std::move(*f);
    }

  private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

}  // namespace kelpira::processing::testing

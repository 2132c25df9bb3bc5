// Line reading of raw output files: line ends, long lines, blocks, failures.
#include "processing/raw_file.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_raw_file.hpp"

namespace kelpira::processing {
namespace {

using testing::TempRawFile;

std::vector<std::string> all_lines(RawFile& f) {
    std::vector<std::string> lines;
    std::string_view line;
    while (f.next_line(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

TEST(RawFileLines, LineEndsAndLastLineWithoutFeed) {
    TempRawFile t("a\r\nb\n\nc\rd\nlast");
    auto f = t.open();
    EXPECT_EQ(all_lines(f), (std::vector<std::string>{"a", "b", "", "c\rd", "last"}));
    EXPECT_FALSE(f.failed());
    EXPECT_EQ(f.position(), f.size());
}

TEST(RawFileLines, EmptyFileHasNoLines) {
    TempRawFile t("");
    auto f = t.open();
    EXPECT_TRUE(all_lines(f).empty());
    EXPECT_FALSE(f.failed());
}

TEST(RawFileLines, LongLinesAreReadWholeAcrossBlocks) {
    const std::string long_line(3'000'001, 'x');
    TempRawFile t("first\n" + long_line + "\nlast\n");
    auto f = t.open();
    const auto lines = all_lines(f);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], long_line);
    EXPECT_EQ(lines[2], "last");
}

TEST(RawFileLines, LinesBeyondTheLimitAreCutAndTheRestDropped) {
    TempRawFile t("12345678901234567890\nshort\n123456789\n1234567890");
    auto f = t.open(10);
    EXPECT_EQ(all_lines(f),
              (std::vector<std::string>{"1234567890", "short", "123456789", "1234567890"}));
}

TEST(RawFileLines, RewindStartsOver) {
    TempRawFile t("one\ntwo\n");
    auto f = t.open();
    EXPECT_EQ(all_lines(f).size(), 2u);
    f.rewind();
    EXPECT_EQ(all_lines(f), (std::vector<std::string>{"one", "two"}));
}

TEST(RawFileLines, MissingFileGivesTheReason) {
    std::string error;
    EXPECT_FALSE(RawFile::open("/nonexistent/kelpira.csv", &error).has_value());
    EXPECT_EQ(error, "No such file or directory");
}

TEST(RawFileLines, ReadingADirectoryIsAReadError) {
    auto f = RawFile::open(KELPIRA_TEST_DATA);
    if (!f) {
        GTEST_SKIP() << "directories cannot be opened here";
    }
    std::string_view line;
    EXPECT_FALSE(f->next_line(line));
    EXPECT_TRUE(f->failed());
}

}  // namespace
}  // namespace kelpira::processing

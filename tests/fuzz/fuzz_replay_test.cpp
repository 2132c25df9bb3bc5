// Every input that once made a fuzz program fail (tests/data/fuzz/<program>/), and every seed
// of the fuzz programs (fuzz/corpus/<program>/), fed again to the same entry point: a fault
// that returns shows here, under the sanitizers of the asan preset.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "fuzz_inputs.hpp"

namespace {

namespace fs = std::filesystem;

using Entry = int (*)(const std::uint8_t*, std::size_t);

const std::map<std::string, Entry> kEntries{
    {"raw_file", kelpira::fuzz::raw_file_input},
    {"device_answer", kelpira::fuzz::device_answer_input},
    {"state_program", kelpira::fuzz::state_program_input},
    {"process_args", kelpira::fuzz::process_args_input},
    {"ctl_args", kelpira::fuzz::ctl_args_input},
    {"snapshot", kelpira::fuzz::snapshot_input},
    {"serial_reply", kelpira::fuzz::serial_reply_input},
    {"graph", kelpira::fuzz::graph_input},
    {"identity_text", kelpira::fuzz::identity_text_input},
    {"input_spool", kelpira::fuzz::input_spool_input},
};

std::vector<std::uint8_t> bytes_of(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Feeds every file under root/<program>/ to its program's entry; returns how many.
std::size_t replay(const fs::path& root) {
    std::size_t fed = 0;
    for (const auto& folder : fs::directory_iterator(root)) {
        const std::string program = folder.path().filename().string();
        const auto entry = kEntries.find(program);
        EXPECT_NE(entry, kEntries.end()) << "no fuzz program " << program;
        if (entry == kEntries.end()) {
            continue;
        }
        for (const auto& file : fs::directory_iterator(folder)) {
            SCOPED_TRACE(file.path().string());
            const auto data = bytes_of(file.path());
            EXPECT_EQ(entry->second(data.data(), data.size()), 0);
            ++fed;
        }
    }
    return fed;
}

TEST(FuzzReplay, InputsThatOnceFailedRunClean) {
    // The folder comes with the first crash a fuzz program finds.
    const fs::path failed = fs::path(KELPIRA_TEST_DATA) / "fuzz";
    if (fs::exists(failed)) {
        EXPECT_GT(replay(failed), 0u);
    }
}

TEST(FuzzReplay, SeedsOfEveryProgramRunClean) {
    const fs::path seeds = fs::path(KELPIRA_TEST_DATA) / ".." / ".." / "fuzz" / "corpus";
    for (const auto& [program, entry] : kEntries) {
        EXPECT_TRUE(fs::is_directory(seeds / program)) << "no seeds for " << program;
    }
    EXPECT_GE(replay(seeds), kEntries.size());
}

}  // namespace

// The factory records against their bytes written out by hand: the virtual sensor keeps what
// the program encodes, so only this catches a layout fault both would share.
#include "records/factory_records.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kelpira::records {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(FactoryRecords, ExactBytesBothWays) {
    const FramSettings fram{2, 201, {0, 0, 0}, 0x01020304};
    const Bytes fram_bytes{2, 201, 0, 0, 0, 0x04, 0x03, 0x02, 0x01};
    const auto f = encode(fram);
    EXPECT_EQ(Bytes(f.begin(), f.end()), fram_bytes);
    EXPECT_EQ(decode_fram_settings(fram_bytes), fram);

    const NvramSettings nvram{0, 42, {0, 0, 0}};
    const Bytes nvram_bytes{0, 42, 0, 0, 0};
    const auto n = encode(nvram);
    EXPECT_EQ(Bytes(n.begin(), n.end()), nvram_bytes);
    EXPECT_EQ(decode_nvram_settings(nvram_bytes), nvram);
}

// Bytes 01 02 03 ...: every field from its place, the reserved bytes kept.
TEST(FactoryRecords, ReservedBytesComeBackAsRead) {
    const Bytes fram_bytes{1, 2, 3, 4, 5, 6, 7, 8, 9};
    const FramSettings fram = decode_fram_settings(fram_bytes);
    EXPECT_EQ(fram, (FramSettings{1, 2, {3, 4, 5}, 0x09080706}));
    const auto f = encode(fram);
    EXPECT_EQ(Bytes(f.begin(), f.end()), fram_bytes);

    const Bytes nvram_bytes{1, 2, 3, 4, 5};
    const NvramSettings nvram = decode_nvram_settings(nvram_bytes);
    EXPECT_EQ(nvram, (NvramSettings{1, 2, {3, 4, 5}}));
    const auto n = encode(nvram);
    EXPECT_EQ(Bytes(n.begin(), n.end()), nvram_bytes);
}

}  // namespace
}  // namespace kelpira::records

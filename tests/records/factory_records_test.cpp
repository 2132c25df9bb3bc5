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

}  // namespace
}  // namespace kelpira::records

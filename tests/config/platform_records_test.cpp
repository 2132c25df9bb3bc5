// The platform defaults, RS232 and RS485 records: exact bytes of filled records and of the
// factory values, and the lists' entries kept for values the dialogs do not offer.
#include <gtest/gtest.h>

#include <vector>

#include "config/platform_lists.hpp"
#include "records/platform_records.hpp"
#include "support/counting_bytes.hpp"

namespace kelpira::config {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N>
Bytes bytes_of(const std::array<std::uint8_t, N>& a) {
    return Bytes(a.begin(), a.end());
}

TEST(PlatformRecords, PlatformDefaultsBytes) {
    records::PlatformDefaults p;
    p.dive_number = 4464;
    p.salinity_psu = 1.0f;
    p.temperature_c = -2.0f;
    p.depth_m = 0.5f;
    p.direction = records::kDirectionClimbing;
    p.time_offset_s = -3600;
    p.p1 = 1;
    p.p2 = -1;
    p.p3 = 0x01020304;
    const Bytes filled{0x01, 0x70, 0x11, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0xC0, 0x00,
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x3F, 0x03, 0xF0, 0xF1, 0xFF, 0xFF,
                       0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01};
    EXPECT_EQ(bytes_of(records::encode(p)), filled);
    EXPECT_EQ(records::decode_platform_defaults(filled), p);

    const auto counted = testing::counting_bytes<records::PlatformDefaults::size>();
    const auto d = records::decode_platform_defaults(counted);
    EXPECT_EQ(d.dive_number, 0x0302);
    EXPECT_EQ(d.direction, 20);
    EXPECT_EQ(d.time_offset_s, 0x18171615);
    EXPECT_EQ(d.p3, 0x24232221);
    EXPECT_EQ(bytes_of(records::encode(d)), bytes_of(counted));

    const auto factory = records::encode(records::default_platform_defaults());
    EXPECT_EQ(factory[0], 1) << "reserved0 is written 1";
    EXPECT_EQ(records::decode_platform_defaults(factory).p3, 100);
}

TEST(PlatformRecords, SerialConfigBytes) {
    records::Rs232Config a;
    a.baud = 115200;
    a.parity = records::kParityNone;
    a.data_bits = 7;
    a.stop_bits = 2;
    a.protocol = records::kRs232Seaglider;
    a.mode = records::kRs232ModeDebug;
    const Bytes a_bytes{0x00, 0x00, 0xC2, 0x01, 0x00, 0x04, 0x07,
                        0x02, 0x01, 0x00, 0x00, 0x00, 0x01};
    EXPECT_EQ(bytes_of(records::encode(a)), a_bytes);
    EXPECT_EQ(records::decode_rs232_config(a_bytes), a);
    EXPECT_EQ(
        bytes_of(records::encode(records::default_rs232_config())),
        (Bytes{0x00, 0x80, 0x25, 0x00, 0x00, 0x04, 0x08, 0x01, 0x0C, 0x00, 0x00, 0x00, 0x00}));

    records::Rs485Config b;
    b.baud = 19200;
    b.parity = records::kParityEven;
    b.protocol = records::kRs485SenseOceanHub;
    b.slave_address = 71;
    b.poll_rate_s = 300;
    const Bytes b_bytes{0x00, 0x00, 0x4B, 0x00, 0x00, 0x00, 0x08, 0x01, 0x01,
                        0x00, 0x00, 0x00, 0x47, 0x2C, 0x01, 0x00, 0x00};
    EXPECT_EQ(bytes_of(records::encode(b)), b_bytes);
    EXPECT_EQ(records::decode_rs485_config(b_bytes), b);
    const auto counted = testing::counting_bytes<records::Rs485Config::size>();
    EXPECT_EQ(bytes_of(records::encode(records::decode_rs485_config(counted))), bytes_of(counted));
}

TEST(PlatformLists, KeptChoices) {
    const std::vector<ListChoice> offered{
        {0, "None"}, {12, "Generic Polled"}, {13, "Generic Streaming"}};
    EXPECT_EQ(rs232_protocol_choices(13), offered);
    auto seaglider = offered;
    seaglider.push_back({1, "Seaglider"});
    EXPECT_EQ(rs232_protocol_choices(1), seaglider);
    EXPECT_EQ(rs232_protocol_choices(7).back(), (ListChoice{7, "unknown or obsolete (7)"}));
    EXPECT_EQ(rs485_protocol_choices(2).size(), 3u);
    EXPECT_EQ(rs485_protocol_choices(5).back(), (ListChoice{5, "unknown (5)"}));
    EXPECT_EQ(rs232_mode_choices(1), (std::vector<ListChoice>{{0, "Normal"}, {1, "Debug"}}));
    EXPECT_EQ(rs232_mode_choices(2).back(), (ListChoice{2, "unknown (2)"}));
}

}  // namespace
}  // namespace kelpira::config

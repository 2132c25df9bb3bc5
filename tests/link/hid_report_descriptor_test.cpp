// Report ids read from report descriptors shaped like real devices'.
#include "link/hid_report_descriptor.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace kelpira::link;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Ids = std::set<std::uint8_t>;

// A vendor-defined 128-byte in/out device without report ids, as simple USB sensors have.
const Bytes kVendorNoIds = {
    0x06, 0x00, 0xFF,        // Usage Page (vendor 0xFF00)
    0x09, 0x01,              // Usage 1
    0xA1, 0x01,              // Collection (Application)
    0x19, 0x01, 0x29, 0x40,  //   Usage Minimum 1, Usage Maximum 64
    0x15, 0x00,              //   Logical Minimum 0
    0x26, 0xFF, 0x00,        //   Logical Maximum 255
    0x75, 0x08, 0x95, 0x80,  //   Report Size 8, Report Count 128
    0x81, 0x02,              //   Input (Data, Var, Abs)
    0x19, 0x01, 0x29, 0x40,  //   Usage Minimum 1, Usage Maximum 64
    0x91, 0x02,              //   Output (Data, Var, Abs)
    0xC0,                    // End Collection
};

// The same device with report id 1 on both reports.
const Bytes kVendorId1 = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01,                          // Report ID 1
    0x09, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x80, 0x81, 0x02,  // Input
    0x09, 0x03, 0x95, 0x80, 0x91, 0x02,                                            // Output
    0xC0,
};

// A keyboard and mouse combination: keyboard input 1 with LED output 1, mouse input 2.
const Bytes kKeyboardMouse = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,  // Generic Desktop, Keyboard, Collection
    0x85, 0x01,                          //   Report ID 1
    0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01,
    0x95, 0x08, 0x81, 0x02,                                      //   Input (modifiers)
    0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x95, 0x05, 0x91, 0x02,  //   Output (LEDs)
    0xC0, 0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,  // Generic Desktop, Mouse, Collection
    0x85, 0x02,                                //   Report ID 2
    0x09, 0x01, 0xA1, 0x00,                    //   Pointer, Collection (Physical)
    0x05, 0x09, 0x19, 0x01, 0x29, 0x03, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02,  //     Input (buttons)
    0xC0, 0xC0,
};

}  // namespace

TEST(ReportDescriptor, WithoutReportIdsEveryReportIsIdZero) {
    const ReportIds ids = parse_report_ids(kVendorNoIds);
    EXPECT_FALSE(ids.numbered);
    EXPECT_EQ(ids.input, Ids{0});
    EXPECT_EQ(ids.output, Ids{0});
    EXPECT_TRUE(ids.feature.empty());
}

TEST(ReportDescriptor, ReportId1OnBothReports) {
    const ReportIds ids = parse_report_ids(kVendorId1);
    EXPECT_TRUE(ids.numbered);
    EXPECT_EQ(ids.input, Ids{1});
    EXPECT_EQ(ids.output, Ids{1});
}

TEST(ReportDescriptor, SeveralCollectionsWithTheirOwnIds) {
    const ReportIds ids = parse_report_ids(kKeyboardMouse);
    EXPECT_TRUE(ids.numbered);
    EXPECT_EQ(ids.input, (Ids{1, 2}));
    EXPECT_EQ(ids.output, Ids{1});
}

TEST(ReportDescriptor, ReportId1OnlyOnOutputDoesNotDeclareInput1) {
    const Bytes d = {
        0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85,
        0x02, 0x75, 0x08, 0x95, 0x80, 0x81, 0x02,  // input report 2
        0x85, 0x01, 0x95, 0x80, 0x91, 0x02,        // output report 1
        0x85, 0x03, 0x95, 0x04, 0xB1, 0x02,        // feature report 3
        0xC0,
    };
    const ReportIds ids = parse_report_ids(d);
    EXPECT_EQ(ids.input, Ids{2});
    EXPECT_EQ(ids.output, Ids{1});
    EXPECT_EQ(ids.feature, Ids{3});
    EXPECT_EQ(ids.input.count(1), 0u);
}

TEST(ReportDescriptor, PopRestoresTheReportIdPushed) {
    const Bytes d = {
        0x85, 0x01,              // Report ID 1
        0xA4,                    // Push
        0x85, 0x03, 0xB1, 0x02,  // feature report 3
        0xB4,                    // Pop: back to id 1
        0x81, 0x02,              // input report 1
        0xB4,                    // a Pop with nothing pushed changes nothing
        0x91, 0x02,              // output report 1
    };
    const ReportIds ids = parse_report_ids(d);
    EXPECT_EQ(ids.input, Ids{1});
    EXPECT_EQ(ids.output, Ids{1});
    EXPECT_EQ(ids.feature, Ids{3});
}

TEST(ReportDescriptor, OnlyTheGlobalReportIdItemAndMainItemsCount) {
    const Bytes d = {
        0x89, 0x05,                    // String Minimum (local tag 8), not a report id
        0x27, 0xFF, 0xFF, 0x00, 0x00,  // Logical Maximum with four data bytes: 0x81 inside
        0xFE, 0x02, 0x10, 0x85, 0x07,  // a long item whose data looks like Report ID 7
        0x81, 0x02,                    // input report 0
    };
    const ReportIds ids = parse_report_ids(d);
    EXPECT_FALSE(ids.numbered);
    EXPECT_EQ(ids.input, Ids{0});
}

TEST(ReportDescriptor, TruncatedDescriptorKeepsWhatCameBefore) {
    EXPECT_EQ(parse_report_ids(Bytes{0x85, 0x01, 0x81, 0x02, 0x26, 0xFF}).input, Ids{1});
    EXPECT_TRUE(parse_report_ids(Bytes{0x85}).input.empty());
    EXPECT_TRUE(parse_report_ids(Bytes{0x81, 0x02, 0xFE, 0x40}).input == Ids{0});
    EXPECT_TRUE(parse_report_ids(Bytes{0xFE, 0xFF, 0x00, 0x81, 0x02}).input.empty());
    EXPECT_TRUE(parse_report_ids(Bytes{}).input.empty());
}

// Firmware version parsing with C-scan semantics, the release table and the verdict rows.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/compatibility_verdict.hpp"
#include "link/firmware_releases.hpp"
#include "link/firmware_version.hpp"

using namespace kelpira::link;

namespace {

std::optional<std::pair<std::int64_t, std::int64_t>> parse(std::string_view text) {
    const auto v = ParseFirmwareVersion(text);
    if (!v) {
        return std::nullopt;
    }
    return std::pair{v->number, v->test};
}

using P = std::pair<std::int64_t, std::int64_t>;

std::vector<std::string> texts(const CompatibilityVerdict& v) {
    std::vector<std::string> out;
    for (const auto& r : v.verdict) {
        out.push_back(r.text);
    }
    return out;
}

const std::vector<std::string> kHeader{
    "Sensor's Firmware Version: ",
    "Latest Firmware Version supported by this GUI: KELPIRA_2_8_3",
    "This GUI Version: 1.0e",
    "",
};

std::vector<std::string> header_for(const std::string& version) {
    auto h = kHeader;
    h[0] += version;
    return h;
}

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(ParseFirmwareVersion, ReadsTheThreeFormsInOrder) {
    EXPECT_EQ(parse("KELPIRA_2_8_3"), (P{2008003, -1}));
    EXPECT_EQ(parse("KELPIRA_2_8_2_T4"), (P{2008002, 4}));
    EXPECT_EQ(parse("KELPIRA_2_6_T9"), (P{2006009, -1})) << "the third form: a release";
    EXPECT_EQ(parse("KELPIRA_1_0_1"), (P{1000001, -1}));
    EXPECT_EQ(parse("KELPIRA_1_0_1_T5"), (P{1000001, 5}));
    EXPECT_EQ(parse("KELPIRA_1_0_1_T0"), (P{1000001, 0}));
}

TEST(ParseFirmwareVersion, FollowsCScanRules) {
    EXPECT_EQ(parse("KELPIRA_2_8"), std::nullopt);
    EXPECT_EQ(parse("KELPIRA_2_3_X"), std::nullopt);
    EXPECT_EQ(parse("KELPIRA_2_2_X"), std::nullopt);
    EXPECT_EQ(parse(""), std::nullopt);
    EXPECT_EQ(parse("kelpira_2_8_3"), std::nullopt);
    EXPECT_EQ(parse(" KELPIRA_2_8_3"), std::nullopt) << "literal text does not skip spaces";
    EXPECT_EQ(parse("KELPIRA_ 2_\t+8_-3"), (P{2007997, -1})) << "%d skips spaces, takes a sign";
    EXPECT_EQ(parse("KELPIRA_2_8_3 and more"), (P{2008003, -1}));
    EXPECT_EQ(parse("KELPIRA_2_8_3_Tx"), (P{2008003, -1})) << "the second form matches all";
    EXPECT_EQ(parse("KELPIRA_2_8_3_T-1"), (P{2008003, -1}));
    EXPECT_EQ(parse("KELPIRA_2_8_-"), std::nullopt) << "a sign without digits";
    EXPECT_EQ(parse("KELPIRA_2_8_T"), std::nullopt);
    const auto huge = ParseFirmwareVersion("KELPIRA_99999999999999999999_0_0");
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->number, std::int64_t{2147483647} * 1000000);
}

TEST(FirmwareReleases, TableKeysParseExceptTheTwoInternalBuilds) {
    ASSERT_EQ(kFirmwareReleases.size(), 95u);
    EXPECT_EQ(kFirmwareReleases.front().key, "KELPIRA_2_8_3");
    EXPECT_EQ(kFirmwareReleases.back().key, "KELPIRA_1_0_1_T2");
    EXPECT_EQ(kFirmwareReleases.back().changes, "First release (for testing)");
    EXPECT_EQ(std::count_if(kFirmwareReleases.begin(), kFirmwareReleases.end(),
                            [](const auto& r) { return r.warning.has_value(); }),
              42);
    std::int64_t previous = std::numeric_limits<std::int64_t>::max();
    for (const auto& r : kFirmwareReleases) {
        SCOPED_TRACE(r.key);
        EXPECT_EQ(r.date.size(), 10u);
        EXPECT_EQ(r.date[2], '/');
        EXPECT_EQ(r.date[5], '/');
        const auto v = ParseFirmwareVersion(r.key);
        if (r.key == "KELPIRA_2_3_X" || r.key == "KELPIRA_2_2_X") {
            EXPECT_FALSE(v);
            continue;
        }
        ASSERT_TRUE(v);
        EXPECT_LE(v->number, previous) << "newest first";
        previous = v->number;
    }
}

TEST(CompatibilityVerdict, LatestFirmwareIsSafe) {
    const auto v = judge_firmware("KELPIRA_2_8_3");
    EXPECT_EQ(texts(v), concat(header_for("KELPIRA_2_8_3"),
                               {"The firmware you are running is the latest supported by this GUI.",
                                "", "All operations are safe."}));
    for (std::size_t i = 0; i + 1 < v.verdict.size(); ++i) {
        EXPECT_EQ(v.verdict[i].colour, kBlack);
    }
    EXPECT_EQ(v.verdict.back().colour, kGreen);
    ASSERT_EQ(v.table.size(), 95u);
    EXPECT_EQ(v.table[0].colour, kBlack);
    EXPECT_EQ(v.table[0].date, "01/02/2021");
    EXPECT_EQ(v.table[0].changes, "Added support for Ammonia chemistry");
    EXPECT_TRUE(std::all_of(v.table.begin() + 1, v.table.end(),
                            [](const auto& r) { return r.colour == kGrey; }));
}

TEST(CompatibilityVerdict, OlderReleaseListsTheWarningsOfNewerOnes) {
    const auto v = judge_firmware("KELPIRA_2_8_1");
    EXPECT_EQ(texts(v),
              concat(header_for("KELPIRA_2_8_1"),
                     {"The firmware you are running is not the latest supported by this GUI.",
                      "Please observe any compatibility warnings listed here:", "",
                      "Do not try to configure Ammonia chemistry", "",
                      "All other operations are safe."}));
    EXPECT_EQ(v.verdict[7].colour, kRed);
    EXPECT_EQ(v.verdict.back().colour, kBlack);
    EXPECT_EQ(v.table[2].colour, kBlack);
    EXPECT_EQ(v.table[1].colour, kGrey);

    const auto clean = judge_firmware("KELPIRA_2_8_2");
    EXPECT_EQ(clean.verdict.size(), 10u);
    EXPECT_EQ(clean.verdict[7].text, "Do not try to configure Ammonia chemistry");
}

TEST(CompatibilityVerdict, ThirdFormReleaseWalksDownToItsOwnRow) {
    const auto v = judge_firmware("KELPIRA_2_6_T9");
    // The 18 rows above it that carry a warning, from KELPIRA_2_8_3 down to KELPIRA_2_7_1; the
    // 14th is KELPIRA_2_7_5's. Its own warning is not among them.
    const auto t = texts(v);
    ASSERT_EQ(t.size(), 4u + 3u + 18u + 2u);
    EXPECT_EQ(std::vector<std::string>(t.begin(), t.begin() + 7),
              concat(header_for("KELPIRA_2_6_T9"),
                     {"The firmware you are running is not the latest supported by this GUI.",
                      "Please observe any compatibility warnings listed here:", ""}));
    EXPECT_EQ(t[7], "Do not try to configure Ammonia chemistry");
    EXPECT_EQ(t[7 + 13], "Do not use TA processing");
    EXPECT_EQ(std::count(t.begin(), t.end(),
                         "Do not set Platform to GENERIC POLLED or GENERIC STREAMING in "
                         "Configure/RS232"),
              0);
    EXPECT_EQ(std::vector<std::string>(t.end() - 2, t.end()),
              (std::vector<std::string>{"", "All other operations are safe."}));
    EXPECT_EQ(v.table[30].key, "KELPIRA_2_6_T9");
    EXPECT_EQ(v.table[30].colour, kBlack);
}

TEST(CompatibilityVerdict, TestBuildsAndUnknownTextsAreNotForDeployment) {
    const auto test = judge_firmware("KELPIRA_2_8_2_T4");
    EXPECT_EQ(texts(test), concat(header_for("KELPIRA_2_8_2_T4"),
                                  {"The firmware you are running is for testing only.",
                                   "Please do not deploy this firmware."}));
    EXPECT_EQ(test.verdict[4].colour, kRed);
    EXPECT_EQ(test.verdict[5].colour, kRed);
    EXPECT_EQ(test.table[1].colour, kBlack) << "KELPIRA_2_8_2 shares the number";

    const auto old_test = judge_firmware("KELPIRA_1_0_1_T5");
    EXPECT_EQ(old_test.verdict[4].text, "The firmware you are running is for testing only.");
    int black = 0;
    for (const auto& r : old_test.table) {
        const bool is_101 = r.key.starts_with("KELPIRA_1_0_1");
        EXPECT_EQ(r.colour, is_101 ? kBlack : kGrey) << r.key;
        black += is_101 ? 1 : 0;
    }
    EXPECT_EQ(black, 22);  // KELPIRA_1_0_1 and its 21 test builds

    const auto unknown = judge_firmware("KELPIRA_2_8");
    EXPECT_EQ(texts(unknown),
              concat(header_for("KELPIRA_2_8"), {"The firmware you are running is unrecognised.",
                                                 "Please do not deploy this firmware."}));
    EXPECT_TRUE(std::all_of(unknown.table.begin(), unknown.table.end(),
                            [](const auto& r) { return r.colour == kGrey; }));
    EXPECT_EQ(judge_firmware("KELPIRA_2_3_X").verdict[4].text,
              "The firmware you are running is unrecognised.");
}

TEST(CompatibilityVerdict, NewerThanLatest) {
    const auto v = judge_firmware("KELPIRA_3_0_0");
    EXPECT_EQ(
        texts(v),
        concat(header_for("KELPIRA_3_0_0"),
               {"The firmware you are running is newer than than the latest known to this "
                "GUI so there may be compatbility problems.",
                "Please check your firmware's release notes or upgrade to the latest GUI.", "",
                "Starting & stopping the sensor and downloading data files will be safe."}));
    EXPECT_EQ(v.verdict[4].colour, kRed);
    EXPECT_EQ(v.verdict[5].colour, kRed);
    EXPECT_EQ(v.verdict[7].colour, kBlack);
}

TEST(CompatibilityVerdict, UnlistedReleaseGetsOnlyTheWarningsOfNewerReleases) {
    // 2.7.14 lies between 2.7.15 and 2.7.13: the 2.7.15 warning and those above it apply,
    // none of the older ones.
    const auto v = judge_firmware("KELPIRA_2_7_14");
    const auto t = texts(v);
    EXPECT_NE(std::find(t.begin(), t.end(), "Do not set the nutrient Output to Adaptive"), t.end());
    EXPECT_EQ(std::find(t.begin(), t.end(), "Do not save log filters in Task Details"), t.end());
    EXPECT_EQ(std::find(t.begin(), t.end(),
                        "This firmware is so old that the only safe operation is to read data "
                        "files from the sensor"),
              t.end());
    EXPECT_TRUE(std::all_of(v.table.begin(), v.table.end(),
                            [](const auto& r) { return r.colour == kGrey; }));
}

// Chemistry table, chemistry configuration and thermistor records: exact bytes and round trips.
#include <gtest/gtest.h>

#include <vector>

#include "records/chemistry_config.hpp"
#include "records/chemistry_type.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::records {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N>
Bytes bytes_of(const std::array<std::uint8_t, N>& a) {
    return Bytes(a.begin(), a.end());
}

TEST(ChemistryTable, TabOrderIsNotCodeOrder) {
    EXPECT_EQ(chemistry_tab_index(ChemistryType::nitrite), 2u);
    EXPECT_EQ(chemistry_tab_index(ChemistryType::phosphate), 3u);
    EXPECT_EQ(chemistry_tab_index(ChemistryType::ph), 6u);
    EXPECT_EQ(chemistry_tab_index(static_cast<ChemistryType>(10)), kChemistryTable.size());
    EXPECT_EQ(kChemistryTable[2].tab_text, "Nitrite");
}

TEST(ChemistryTable, RecordLengthsAndReportTexts) {
    EXPECT_EQ(processing_record_length(ChemistryType::generic), 67u);
    EXPECT_EQ(processing_record_length(ChemistryType::iron), 29u);
    EXPECT_EQ(processing_record_length(ChemistryType::ph), 38u);
    EXPECT_EQ(processing_record_length(ChemistryType::ta), 39u);
    EXPECT_EQ(processing_record_length(ChemistryType::dic), 25u);
    EXPECT_EQ(processing_record_length(ChemistryType::ammonia), 2u);
    EXPECT_EQ(processing_record_length(static_cast<ChemistryType>(42)), 0u);
    EXPECT_EQ(chemistry_report_text(ChemistryType::ta), "Chemistry Type: Total Alkalinity (TA)");
    EXPECT_EQ(chemistry_report_text(static_cast<ChemistryType>(200)),
              "Chemistry Type: unknown (200)");
    EXPECT_TRUE(is_nutrient(ChemistryType::nitrite));
    EXPECT_FALSE(is_nutrient(ChemistryType::ph));
    EXPECT_FALSE(is_nutrient(static_cast<ChemistryType>(10)));
}

TEST(ChemistryTable, DilutionRatios) {
    EXPECT_EQ(dilution_ratio(ChemistryType::nitrate), 1.5);
    EXPECT_EQ(dilution_ratio(ChemistryType::phosphate), 3.0);
    EXPECT_EQ(dilution_ratio(ChemistryType::silicate), 4.0);
    EXPECT_EQ(dilution_ratio(ChemistryType::nitrite), 2.0);
    EXPECT_EQ(dilution_ratio(ChemistryType::iron), 1.135);
    EXPECT_EQ(dilution_ratio(ChemistryType::ph), 1.0);
}

TEST(ChemistryConfigRecord, ExactBytesAndRoundTrip) {
    ChemistryConfig c;
    c.reserved0 = 0xA5;
    c.chemistry = ChemistryType::nitrite;
    c.sample_interval_ms = 0x01020304;
    c.multiplexer = 1;
    c.start_auto_deployment = 7;
    c.start_manual_flushing = 8;
    c.start_manual_priming = 9;
    c.start_manual_deployment = 10;
    c.start_special1 = 11;
    c.start_special2 = 12;
    c.start_special3 = 13;
    c.reserved14 = {0xEE, 0xEF};
    c.reserved16 = 0x1234;
    const Bytes expected{0xA5, 5,  0x04, 0x03, 0x02, 0x01, 1,    7,    8,
                         9,    10, 11,   12,   13,   0xEE, 0xEF, 0x34, 0x12};
    EXPECT_EQ(bytes_of(encode(c)), expected);
    EXPECT_EQ(decode_chemistry_config(expected), c);
}

TEST(ChemistryConfigRecord, PageDefaults) {
    const Bytes nitrate{0, 1, 0xE8, 0x03, 0, 0, 0, 255, 255, 255, 0, 255, 255, 255, 0, 0, 0, 0};
    EXPECT_EQ(bytes_of(encode(default_chemistry_config(ChemistryType::nitrate))), nitrate);
    const Bytes ph{0, 4, 100, 0, 0, 0, 1, 255, 255, 255, 0, 255, 255, 255, 0, 0, 0, 0};
    EXPECT_EQ(bytes_of(encode(default_chemistry_config(ChemistryType::ph))), ph);
}

TEST(ChemistryConfigRecord, ShortInputDecodesToZeros) {
    const Bytes partial{0, 8};
    const auto c = decode_chemistry_config(partial);
    EXPECT_EQ(c.chemistry, ChemistryType::dic);
    EXPECT_EQ(c.sample_interval_ms, 0u);
}

TEST(ThermistorRecord, ExactBytesAndRoundTrip) {
    ThermistorConfig t;
    t.input_channel = 3;
    t.a3 = 1.0f;
    t.a2 = -2.0f;
    t.a1 = 0.5f;
    t.a0 = 0.0f;
    const Bytes expected{0, 3, 0, 0, 0x80, 0x3F, 0, 0, 0, 0xC0, 0, 0, 0, 0x3F, 0, 0, 0, 0};
    EXPECT_EQ(bytes_of(encode(t)), expected);
    EXPECT_EQ(decode_thermistor_config(expected), t);
}

}  // namespace
}  // namespace kelpira::records

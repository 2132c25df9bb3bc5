// The reader and the nutrient engine over bad input: empty files, binary garbage, a 10 MB
// line, NaN and infinities, wrong column counts, a header that never ends. Nothing may crash
// or hang (this runs under the sanitizers), and what comes out must make sense.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "processing/nutrient_csv.hpp"
#include "processing/nutrient_engine.hpp"
#include "processing/raw_header.hpp"
#include "processing/raw_row_scan.hpp"
#include "temp_raw_file.hpp"

namespace kelpira::processing {
namespace {

constexpr RawChemistry kAll[] = {RawChemistry::nutrient, RawChemistry::nutrient_multi,
                                 RawChemistry::ph, RawChemistry::ta, RawChemistry::dic};

std::filesystem::path corpus(const char* name) {
    return std::filesystem::path(KELPIRA_TEST_DATA) / "raw" / name;
}

struct Outcome {
    HeaderReading header;
    RawHeader params;
    RowPass pass = RowPass::completed;
    std::vector<RawRow> rows;
    int results = 0;
};

// Header, rows, and for nutrient the engine and the table cells of every result.
Outcome process(RawFile& file, RawChemistry chemistry) {
    Outcome o;
    o.header = read_header(file, chemistry, o.params);
    NutrientEngine engine{[](const std::string& line) { EXPECT_LT(line.size(), 256u); }};
    const auto type = o.params.chemistry.value_or(records::ChemistryType::nitrate);
    o.pass = for_each_row(file, chemistry, [&](const RawRow& row) {
        o.rows.push_back(row);
        if (chemistry == RawChemistry::nutrient || chemistry == RawChemistry::nutrient_multi) {
            if (const auto r = engine.feed(type, o.params.nutrient, row)) {
                ++o.results;
                const auto cells = nutrient_result_cells(*r);
                for (const auto& cell : cells) {
                    EXPECT_FALSE(cell.empty());
                }
            }
        }
        return true;
    });
    return o;
}

Outcome process(const std::filesystem::path& path, RawChemistry chemistry) {
    auto file = RawFile::open(path);
    EXPECT_TRUE(file.has_value()) << path;
    return file ? process(*file, chemistry) : Outcome{};
}

TEST(RawBadInput, EmptyFile) {
    for (auto c : kAll) {
        const auto o = process(corpus("empty.csv"), c);
        EXPECT_FALSE(o.header.found);
        EXPECT_EQ(o.pass, RowPass::completed);
        ASSERT_EQ(o.rows.size(), 1u);  // just the closing row
        EXPECT_EQ(o.rows[0].state, 255);
    }
}

TEST(RawBadInput, BinaryGarbage) {
    for (auto c : kAll) {
        const auto o = process(corpus("binary_garbage.bin"), c);
        // The stray start line inside the noise counts, as any line beginning with it does.
        EXPECT_TRUE(o.header.found);
        EXPECT_FALSE(o.header.read_error);
        EXPECT_EQ(o.pass, RowPass::completed);
        EXPECT_EQ(o.rows.size(), 1u);
    }
}

TEST(RawBadInput, NaNAndInfinitiesAreCarriedNotCrashedOn) {
    const auto o = process(corpus("nan_and_infinities.csv"), RawChemistry::nutrient);
    ASSERT_TRUE(o.header.found);
    EXPECT_EQ(o.params.nutrient.standard1_nmol, 0u);  // NaN concentration stores 0
    EXPECT_EQ(o.params.nutrient.standard2_nmol, 0xFFFFFFFFu);
    ASSERT_EQ(o.rows.size(), 6u);
    EXPECT_TRUE(std::isnan(o.rows[1].channels[0]));
    EXPECT_EQ(o.rows[1].channels[1], INFINITY);
    EXPECT_EQ(o.rows[1].channels[2], -INFINITY);
    EXPECT_EQ(o.rows[1].channels[4], INFINITY);
    EXPECT_EQ(o.rows[1].channels[5], -0.0);
    EXPECT_EQ(o.rows[1].channels[6], 8.0);
    EXPECT_EQ(o.rows[3].depth, INFINITY);
    EXPECT_EQ(o.results, 1);  // the cycle is listed; its channels fail on the NaN sample

    const auto ph = process(corpus("nan_and_infinities.csv"), RawChemistry::ph);
    EXPECT_EQ(ph.params.ph.absorbance_min_434, -INFINITY);
}

TEST(RawBadInput, ColumnCounts) {
    EXPECT_EQ(process(corpus("column_counts.csv"), RawChemistry::nutrient).rows.size(), 5u + 1);
    EXPECT_EQ(process(corpus("column_counts.csv"), RawChemistry::ph).rows.size(), 4u + 1);
    EXPECT_EQ(process(corpus("column_counts.csv"), RawChemistry::ta).rows.size(), 7u + 1);
    EXPECT_EQ(process(corpus("column_counts.csv"), RawChemistry::dic).rows.size(), 7u + 1);
}

TEST(RawBadInput, HeaderThatNeverEnds) {
    const auto o = process(corpus("header_without_end.csv"), RawChemistry::nutrient);
    EXPECT_TRUE(o.header.found);
    EXPECT_EQ(o.params.chemistry, records::ChemistryType::nitrite);
    EXPECT_EQ(o.params.nutrient.sample_intake_state, 7);
    EXPECT_EQ(o.params.nutrient.blank_measurement_state, 8);
    // Nothing stopped the pass, so even the last line (without a line feed) counts.
    EXPECT_EQ(o.params.nutrient.standard1_state, 9);
    EXPECT_EQ(o.rows.size(), 2u);
}

TEST(RawBadInput, TenMegabyteLinesAreReadWhole) {
    // A key line with 10 MB of trailing text, a row with 10 MB of padding inside, a line of
    // 10 MB of digits, and a comment line whose tail looks like a row: none is cut into
    // pieces that could turn into phantom rows.
    const std::string pad(10u << 20, ' ');
    const std::string digits(10u << 20, '7');
    const std::string row20 = "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20";
    testing::TempRawFile t("%KELPIRA.HEADER_START\n%KELPIRA.CHEMISTRY.TYPE=3" + pad + "junk\n" +
                           "%KELPIRA.HEADER_END\n" + "1,2," + pad + "3" + row20.substr(5) + "\n" +
                           digits + "\n" + "%" + digits + "," + row20 + "\n" + row20 + "\n");
    auto f = t.open();
    const auto o = process(f, RawChemistry::nutrient);
    EXPECT_EQ(o.params.chemistry, records::ChemistryType::silicate);
    ASSERT_EQ(o.rows.size(), 3u);
    EXPECT_EQ(o.rows[0].channels[0], 3.0);
    EXPECT_EQ(o.rows[0].platform_time, 20u);
    EXPECT_EQ(o.rows[1].counter, 1u);
    EXPECT_EQ(o.rows[2].state, 255);
}

}  // namespace
}  // namespace kelpira::processing

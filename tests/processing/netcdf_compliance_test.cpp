// The compliance gate: the files the writer makes for every chemistry, mixed nutrients, a
// glider and inputs out of order pass scripts/check-netcdf (CF 1.8, ACDD 1.3, the NCEI
// template), which refuses a file without lat, with a uint32 variable or with times going back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "processing/netcdf_writer.hpp"
#include "support/temp_folder.hpp"

namespace {

using namespace kelpira::processing;

const std::string kChecker = std::string(KELPIRA_TEST_DATA) + "/../../scripts/check-netcdf";

// What the user gives on the command line: with it, the ACDD notes are met too.
const std::vector<NetcdfAttribute> kUserAttributes{
    {"creator_name", "A. Diver"},
    {"creator_email", "a.diver@example.org"},
    {"creator_url", "https://example.org"},
    {"institution", "Bay Lab"},
    {"project", "Bay watch"},
    {"publisher_name", "Bay Lab data"},
    {"publisher_email", "data@example.org"},
    {"publisher_url", "https://example.org/data"},
    {"license", "CC-BY-4.0"},
    {"acknowledgment", "Bay Lab"},
};

struct Output {
    int status = -1;
    std::string text;
};

Output run(const std::string& arguments) {
    Output out;
    std::FILE* p =
        ::popen(("/usr/bin/python3 " + kChecker + " " + arguments + " 2>&1").c_str(), "r");
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, p) != nullptr) {
        out.text += buffer;
    }
    const int status = ::pclose(p);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

NetcdfDescription described(ChemistryChoice chemistry,
                            std::vector<kelpira::records::ChemistryType> types) {
    NetcdfDescription d;
    d.chemistry = chemistry;
    for (std::size_t i = 0; i < types.size(); ++i) {
        NetcdfInput in;
        in.path = "R" + std::to_string(i) + ".CSV";
        in.sensor_name = "Bay " + std::to_string(i + 1);
        if (chemistry == ChemistryChoice::nutrient) {
            in.header.chemistry = types[i];
        }
        d.inputs.push_back(in);
        d.positions.push_back({in.sensor_name, 50.0 + static_cast<double>(i), -4.5, {}, {}});
    }
    d.attributes = kUserAttributes;
    d.history = "kelpira-process --format netcdf";
    d.created = 1765276800;
    return d;
}

NutrientResult nutrient(std::uint32_t t, float depth) {
    NutrientResult r;
    r.sensor_time = t;
    r.platform_time = t;
    r.medium = 12.5f;
    r.short_path = NAN;
    r.long_path = 13;
    r.depth = depth;
    r.salinity = 35;
    r.temperature = 12;
    r.validity = 1;
    return r;
}

TEST(NetcdfCompliance, EveryFileTheWriterMakesPassesTheChecker) {
    if (std::system("/usr/bin/python3 -c 'import netCDF4' >/dev/null 2>&1") != 0 ||
        std::system("udunits2 -H m -W m >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "python3-netcdf4 and udunits-bin are not installed";
    }
    using kelpira::records::ChemistryType;
    kelpira::testing::TempFolder folder;
    struct File {
        std::string name;
        NetcdfDescription description;
        std::vector<NetcdfRow> rows;
    };
    std::vector<File> files{
        {"nitrate.nc",
         described(ChemistryChoice::nutrient, {ChemistryType::nitrate}),
         {{0, nutrient(1700000000, 5)}, {0, nutrient(1700003600, 5)}}},
        {"ph.nc",
         described(ChemistryChoice::ph, {ChemistryType::ph}),
         {{0, PhResult{1700000000, 1, 35, 11, 6, 8.04, 1.2, 1.2, 21}},
          {0, PhResult{1700003600, 1, 35, 11, 6, 8.05, 1.2, 1.2, 21}}}},
        {"ta.nc",
         described(ChemistryChoice::ta, {ChemistryType::ta}),
         {{0, TaResult{1700000000, 2201, 1, 0.1f, INFINITY, 21}},
          {0, TaResult{1700003600, 2202, 1, 0.1f, 0.2f, 21}}}},
        {"dic.nc",
         described(ChemistryChoice::dic, {ChemistryType::dic}),
         {{0, DicResult{5, 1700000000, 2033, 1, 0.4f, 0.5f, 20}},
          {0, DicResult{0, 1700003600, 0, 2, 0, 0, 0}}}},
        {"mixed.nc",
         described(ChemistryChoice::nutrient, {ChemistryType::nitrate, ChemistryType::phosphate}),
         {{0, nutrient(1700000000, 5)},
          {1, nutrient(1700000000, 5)},
          {0, nutrient(1700003600, 5)},
          {1, nutrient(1700003600, 5)}}},
        // Given out of order: the second file's results come before the first's.
        {"unordered.nc",
         described(ChemistryChoice::nutrient, {ChemistryType::nitrate, ChemistryType::nitrate}),
         {{0, nutrient(1700007200, 5)},
          {1, nutrient(1700000000, 5)},
          {1, nutrient(1700003600, 5)}}},
        {"glider.nc",
         described(ChemistryChoice::nutrient, {ChemistryType::nitrate}),
         {{0, nutrient(1700000000, 5)}, {0, nutrient(1700001800, 95)}}},
    };
    files[5].description.inputs[1].sensor_name = "Bay 1";
    files[6].description.feature_type = FeatureType::trajectory;
    files[6].description.track = {{1699999000, 50, -5}, {1700002000, 51, -4}};
    std::string paths;
    for (const auto& f : files) {
        std::string error;
        ASSERT_TRUE(write_netcdf_file(folder.path(f.name), f.description, f.rows, error)) << error;
        paths += " " + folder.path(f.name);
    }
    const Output checked = run("--strict" + paths);
    EXPECT_EQ(checked.status, 0) << checked.text;
    EXPECT_EQ(checked.text, "7 passed, 0 failed\n");

    const Output broken = run("--self-test " + folder.path("nitrate.nc"));
    EXPECT_EQ(broken.status, 0) << broken.text;
    EXPECT_NE(broken.text.find("refused as it should be, no lat: "), std::string::npos);
    EXPECT_NE(broken.text.find("refused as it should be, uint32: "), std::string::npos);
    EXPECT_NE(broken.text.find("refused as it should be, backwards: "), std::string::npos);
}

}  // namespace

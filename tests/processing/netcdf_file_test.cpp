// NetCDF results files read back through the netCDF library: the same values, times and
// texts as the CSV table made from the same results, the CF/ACDD attributes, units UDUNITS
// converts, and a file xarray opens.
#include <gtest/gtest.h>
#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "common/time_text.hpp"
#include "processing/netcdf_library.hpp"
#include "processing/netcdf_writer.hpp"
#include "processing/nutrient_csv.hpp"
#include "processing/result_csv.hpp"
#include "support/temp_folder.hpp"

namespace {

using namespace kelpira::processing;

// Reads a file through the netCDF library.
class NcFile {
  public:
    explicit NcFile(const std::string& path) {
        EXPECT_EQ(nc_open(path.c_str(), NC_NOWRITE, &id_), NC_NOERR);
    }
    ~NcFile() { nc_close(id_); }

    int var(const std::string& name) const {
        int v = -1;
        EXPECT_EQ(nc_inq_varid(id_, name.c_str(), &v), NC_NOERR) << name;
        return v;
    }
    std::string text(int var, const std::string& name) const {
        std::size_t n = 0;
        if (nc_inq_attlen(id_, var, name.c_str(), &n) != NC_NOERR) {
            return "(none)";
        }
        std::string s(n, '\0');
        nc_get_att_text(id_, var, name.c_str(), s.data());
        return s;
    }
    double number(int var, const std::string& name) const {
        double v = NAN;
        EXPECT_EQ(nc_get_att_double(id_, var, name.c_str(), &v), NC_NOERR) << name;
        return v;
    }
    std::size_t length(int var) const {
        int dim = -1;
        std::size_t n = 0;
        nc_inq_vardimid(id_, var, &dim);
        nc_inq_dimlen(id_, dim, &n);
        return n;
    }
    std::vector<double> values(int var) const {
        std::vector<double> out(length(var));
        nc_get_var_double(id_, var, out.data());
        return out;
    }
    std::vector<std::string> strings(int var) const {
        const std::size_t n = length(var);
        std::vector<char*> raw(n);
        nc_get_var_string(id_, var, raw.data());
        std::vector<std::string> out(raw.begin(), raw.end());
        nc_free_string(n, raw.data());
        return out;
    }
    // The variable whose long_name is `title`.
    int titled(const std::string& title) const {
        int count = 0;
        nc_inq_nvars(id_, &count);
        for (int v = 0; v < count; ++v) {
            if (text(v, "long_name") == title) {
                return v;
            }
        }
        ADD_FAILURE() << "no variable titled " << title;
        return -1;
    }
    int id() const { return id_; }

    std::vector<int> vars() const {
        int count = 0;
        nc_inq_nvars(id_, &count);
        std::vector<int> out(count);
        for (int v = 0; v < count; ++v) {
            out[v] = v;
        }
        return out;
    }

  private:
    int id_ = -1;
};

NetcdfInput input(ChemistryChoice chemistry, std::string sensor, double standard1 = 10) {
    NetcdfInput in;
    in.path = "R" + sensor + ".CSV";
    in.sensor_name = std::move(sensor);
    in.header.chemistry = chemistry == ChemistryChoice::nutrient
                              ? kelpira::records::ChemistryType::nitrate
                              : std::optional<kelpira::records::ChemistryType>{};
    in.header.nutrient.standard1_nmol = static_cast<std::uint32_t>(standard1 * 1000);
    return in;
}

NutrientResult nutrient(std::uint32_t t, float medium, float depth) {
    NutrientResult r;
    r.sensor_time = t;
    r.platform_time = t + 3;
    r.medium = medium;
    r.short_path = medium * 2;
    r.long_path = NAN;  // the engine could not compute it: a missing value, not a number
    r.depth = depth;
    r.salinity = 35.1f;
    r.temperature = 12.25f;
    r.validity = static_cast<std::uint8_t>(medium > 0 ? 1 : 2);
    return r;
}

struct Case {
    ChemistryChoice chemistry;
    std::vector<std::string_view> titles;
    std::vector<NetcdfRow> rows;
    std::vector<std::vector<std::string>> cells;
};

template <typename Titles, typename Result, typename Cells>
Case make_case(ChemistryChoice chemistry, const Titles& titles, std::vector<Result> results,
               Cells cells) {
    Case c{chemistry, {titles.begin(), titles.end()}, {}, {}};
    for (const auto& r : results) {
        c.rows.push_back({0, r});
        const auto line = cells(r);
        c.cells.emplace_back(line.begin(), line.end());
    }
    return c;
}

std::vector<Case> cases() {
    PhResult ph{1700000000, 1, 35.2f, 11.5f, 6.1f, 8.0412, 1.23456, 1.2346, 21.4567};
    TaResult ta{1700000600, 2201.2345, 1, 0.123456f, 0.654321f, 21.5f};
    DicResult good{5, 1700001200, 2033.4567, 1, 0.4f, 0.5f, 20.125f};
    DicResult bad{0, 1700004800, 0, 2, 0, 0, 0};
    return {
        make_case(ChemistryChoice::nutrient, kNutrientMultiResultColumns,
                  std::vector{nutrient(1700000000, 12.5f, 10.25f), nutrient(1700003600, 0, 20.5f)},
                  [](const NutrientResult& r) { return nutrient_multi_result_cells(r, "Bay 1"); }),
        make_case(ChemistryChoice::ph, kPhResultColumns, std::vector{ph}, ph_result_cells),
        make_case(ChemistryChoice::ta, kTaResultColumns, std::vector{ta}, ta_result_cells),
        make_case(ChemistryChoice::dic, kDicResultColumns, std::vector{good, bad},
                  dic_result_cells),
    };
}

std::string write(const kelpira::testing::TempFolder& folder, const NetcdfDescription& d,
                  std::span<const NetcdfRow> rows, std::vector<std::string>* warnings = nullptr) {
    const std::string path = folder.path("out.nc");
    std::string error;
    EXPECT_TRUE(write_netcdf_file(path, d, rows, error, warnings)) << error;
    return path;
}

double seconds_of(const std::string& cell) {
    kelpira::common::UtcFields f{};
    EXPECT_EQ(std::sscanf(cell.c_str(), "%d/%d/%d %d:%d:%d", &f.day, &f.month, &f.year, &f.hour,
                          &f.minute, &f.second),
              6)
        << cell;
    return static_cast<double>(kelpira::common::utc_seconds(f));
}

TEST(NetcdfFile, HoldsWhatTheCsvTableShows) {
    kelpira::testing::TempFolder folder;
    for (const Case& c : cases()) {
        NetcdfDescription d;
        d.chemistry = c.chemistry;
        d.inputs = {input(c.chemistry, "Bay 1")};
        const NcFile nc(write(folder, d, c.rows));
        for (std::size_t col = 0; col < c.titles.size(); ++col) {
            const std::string title(c.titles[col]);
            SCOPED_TRACE(title);
            const bool name = title == "Sensor Name";
            const auto got = nc.values(name ? nc.var("station_index") : nc.titled(title));
            ASSERT_EQ(got.size(), c.cells.size());
            for (std::size_t row = 0; row < got.size(); ++row) {
                const std::string& cell = c.cells[row][col];
                // A failed DIC cycle computed nothing: its CSV zeros are the fill value.
                const bool failed = c.chemistry == ChemistryChoice::dic && row == 1 &&
                                    !title.starts_with("Time") && title != "Validity";
                if (failed) {
                    EXPECT_EQ(got[row], title == "Meas State"      ? double{NC_FILL_INT}
                                        : title == "DIC (umol/kg)" ? NC_FILL_DOUBLE
                                                                   : double{NC_FILL_FLOAT});
                } else if (name) {
                    EXPECT_EQ(
                        nc.strings(nc.var("timeseries_id")).at(static_cast<std::size_t>(got[row])),
                        cell);
                } else if (title.starts_with("Time")) {
                    EXPECT_EQ(got[row], seconds_of(cell));
                } else if (title == "Validity") {
                    EXPECT_EQ(got[row], cell == "good" ? 1 : 2);
                } else if (cell == "nan") {
                    EXPECT_EQ(got[row], static_cast<double>(NC_FILL_FLOAT));
                } else {
                    const auto dot = cell.find('.');
                    const int decimals = dot == std::string::npos ? 0 : int(cell.size() - dot - 1);
                    EXPECT_NEAR(got[row], std::stod(cell), 0.5 * std::pow(10.0, -decimals) + 1e-9)
                        << cell;
                }
            }
        }
    }
}

TEST(NetcdfFile, CarriesTheCfAndAcddAttributes) {
    kelpira::testing::TempFolder folder;
    NetcdfDescription d;
    d.chemistry = ChemistryChoice::nutrient;
    d.inputs = {input(d.chemistry, "Bay 1"), input(d.chemistry, "Bay 2"),
                input(d.chemistry, "Bay 1")};
    d.attributes = {{"creator_name", "A. Diver"},
                    {"title", "Bay nitrate"},
                    {"history", "2025-12-01T08:00:00Z logged"},
                    {"geospatial_lat_min", "-50.5"}};
    d.history = "kelpira-process --format netcdf";
    d.column_titles = {"Time (platform)", "Time (sensor)", "Nitrate (Medium.uM)"};
    d.created = 1765276800;  // 2025-12-09T10:40:00Z
    const std::vector<NetcdfRow> rows{{0, nutrient(1700000000, 1, 5)},
                                      {1, nutrient(1700007200, 2, 42.5f)},
                                      {2, nutrient(1700003600, 3, 1.5f)},
                                      {1, nutrient(1700010800, 2, 4)}};
    std::vector<std::string> warnings;
    const NcFile nc(write(folder, d, rows, &warnings));
    EXPECT_EQ(nc.text(NC_GLOBAL, "Conventions"), "CF-1.8, ACDD-1.3");
    EXPECT_EQ(nc.text(NC_GLOBAL, "featureType"), "timeSeries");
    EXPECT_EQ(nc.text(NC_GLOBAL, "title"), "Bay nitrate");
    EXPECT_EQ(nc.text(NC_GLOBAL, "creator_name"), "A. Diver");
    EXPECT_EQ(nc.text(NC_GLOBAL, "date_created"), "2025-12-09T10:40:00Z");
    EXPECT_EQ(nc.text(NC_GLOBAL, "history"),
              "2025-12-01T08:00:00Z logged\n2025-12-09T10:40:00Z kelpira-process --format netcdf");
    EXPECT_EQ(nc.text(NC_GLOBAL, "time_coverage_start"), "2023-11-14T22:13:20Z");
    EXPECT_EQ(nc.text(NC_GLOBAL, "time_coverage_end"), "2023-11-15T01:13:20Z");
    EXPECT_EQ(nc.text(NC_GLOBAL, "time_coverage_duration"), "PT3H");
    EXPECT_EQ(nc.text(NC_GLOBAL, "time_coverage_resolution"), "PT1H");
    EXPECT_EQ(nc.text(NC_GLOBAL, "ncei_template_version"),
              "NCEI_NetCDF_TimeSeries_Incomplete_Template_v2.0");
    EXPECT_EQ(nc.text(NC_GLOBAL, "standard_name_vocabulary"), "CF Standard Name Table v79");
    EXPECT_EQ(nc.text(NC_GLOBAL, "naming_authority"), "local.kelpira");
    EXPECT_EQ(nc.text(NC_GLOBAL, "id"), "kelpira_nitrate_bay_1_bay_2_20231114T221320Z");
    nc_type kind = NC_NAT;
    nc_inq_atttype(nc.id(), NC_GLOBAL, "geospatial_lat_min", &kind);
    EXPECT_EQ(kind, NC_DOUBLE);
    EXPECT_EQ(nc.number(NC_GLOBAL, "geospatial_lat_min"), -50.5);
    for (const int v : nc.vars()) {
        EXPECT_NE(nc.text(v, "coverage_content_type"), "(none)") << v;
    }
    EXPECT_EQ(nc.text(nc.var("nitrate_medium"), "coverage_content_type"), "physicalMeasurement");
    EXPECT_EQ(nc.text(nc.var("validity"), "coverage_content_type"), "qualityInformation");
    EXPECT_EQ(nc.text(nc.var("nitrate_medium"), "instrument"), "instrument");
    EXPECT_EQ(nc.text(nc.var("nitrate_medium"), "platform"), "platform");
    EXPECT_EQ(nc.text(nc.var("instrument"), "long_name"),
              "Kelpira lab-on-chip wet-chemistry sensor");
    // No positions: written, but said to be incomplete.
    EXPECT_EQ(nc.text(nc.var("nitrate_medium"), "coordinates"), "time depth");
    EXPECT_EQ(warnings,
              (std::vector<std::string>{
                  "no position for sensor \"Bay 1\": the file is not a complete CF timeSeries "
                  "(each sensor needs a latitude and longitude)",
                  "no position for sensor \"Bay 2\": the file is not a complete CF timeSeries "
                  "(each sensor needs a latitude and longitude)"}));
    EXPECT_EQ(nc.number(NC_GLOBAL, "geospatial_vertical_min"), 1.5);
    EXPECT_EQ(nc.number(NC_GLOBAL, "geospatial_vertical_max"), 42.5);
    EXPECT_EQ(nc.strings(nc.var("timeseries_id")), (std::vector<std::string>{"Bay 1", "Bay 2"}));
    EXPECT_EQ(nc.text(nc.var("timeseries_id"), "cf_role"), "timeseries_id");
    EXPECT_EQ(nc.values(nc.var("station_index")), (std::vector<double>{0, 1, 0, 1}));
    EXPECT_EQ(nc.text(nc.var("time"), "units"), "seconds since 1970-01-01T00:00:00Z");
    EXPECT_EQ(nc.text(nc.var("time"), "axis"), "T");
    EXPECT_EQ(nc.text(nc.var("depth"), "positive"), "down");

    // Medium is the output channel of every input: the reported nitrate.
    const int medium = nc.var("nitrate_medium");
    EXPECT_EQ(nc.text(medium, "standard_name"), "mole_concentration_of_nitrate_in_sea_water");
    EXPECT_EQ(nc.text(medium, "long_name"), "Nitrate (Medium.uM)");
    EXPECT_EQ(nc.text(nc.var("nitrate_short"), "long_name"), "Nutrient (Short:uM)");
    EXPECT_EQ(nc.text(medium, "units"), "umol L-1");
    EXPECT_EQ(nc.text(medium, "ancillary_variables"), "validity");
    EXPECT_EQ(nc.number(medium, "standard1_concentration"), 10);
    EXPECT_EQ(nc.text(nc.var("nitrate_short"), "standard_name"), "(none)");
    EXPECT_EQ(nc.text(nc.var("validity"), "flag_meanings"), "good bad");
}

// A nitrate file with a phosphate file: one variable per nutrient and channel, each with its
// standard name, the fill value in the other nutrient's rows; the coded parameters say what
// their codes mean.
TEST(NetcdfFile, MixedNutrientsGetOneVariablePerNutrientAndChannel) {
    kelpira::testing::TempFolder folder;
    NetcdfDescription d;
    d.chemistry = ChemistryChoice::nutrient;
    d.inputs = {input(d.chemistry, "A", 10), input(d.chemistry, "B", 20)};
    d.inputs[1].header.chemistry = kelpira::records::ChemistryType::phosphate;
    d.inputs[1].header.nutrient.output_channel = 1;  // short
    const std::vector<NetcdfRow> rows{{0, nutrient(1700000000, 1, 5)},
                                      {1, nutrient(1700000100, 2, 5)}};
    const NcFile nc(write(folder, d, rows));
    const double fill = NC_FILL_FLOAT;
    EXPECT_EQ(nc.values(nc.var("nitrate_medium")), (std::vector<double>{1, fill}));
    EXPECT_EQ(nc.values(nc.var("phosphate_medium")), (std::vector<double>{fill, 2}));
    EXPECT_EQ(nc.values(nc.var("phosphate_short")), (std::vector<double>{fill, 4}));
    EXPECT_EQ(nc.text(nc.var("nitrate_medium"), "standard_name"),
              "mole_concentration_of_nitrate_in_sea_water");
    EXPECT_EQ(nc.text(nc.var("phosphate_short"), "standard_name"),
              "mole_concentration_of_phosphate_in_sea_water");
    EXPECT_EQ(nc.text(nc.var("phosphate_medium"), "standard_name"), "(none)");
    EXPECT_EQ(nc.text(nc.var("phosphate_medium"), "long_name"),
              "Nutrient (Medium:uM) of the phosphate input files");
    EXPECT_EQ(nc.values(nc.var("standard1_concentration")), (std::vector<double>{10, 20}));
    EXPECT_EQ(nc.strings(nc.var("input_file_name")),
              (std::vector<std::string>{"RA.CSV", "RB.CSV"}));

    const int type = nc.var("type");
    EXPECT_EQ(nc.values(type), (std::vector<double>{1, 2}));
    std::vector<int> codes(10);
    nc_get_att_int(nc.id(), type, "flag_values", codes.data());
    EXPECT_EQ(codes, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(nc.text(type, "flag_meanings"),
              "generic nitrate phosphate silicate ph nitrite iron total_alkalinity "
              "dissolved_inorganic_carbon ammonia");
    const int channel = nc.var("output_channel_selection");
    EXPECT_EQ(nc.values(channel), (std::vector<double>{0, 1}));
    EXPECT_EQ(nc.text(channel, "flag_meanings"), "medium short long adaptive");
}

// Files that share their parameters keep them as attributes, but for the coded ones, which
// only a variable can explain.
TEST(NetcdfFile, SharedCodedParametersAreStillVariables) {
    kelpira::testing::TempFolder folder;
    NetcdfDescription d;
    d.chemistry = ChemistryChoice::dic;
    d.inputs = {input(d.chemistry, "A"), input(d.chemistry, "B")};
    d.inputs[0].header.dic.inlet[1].type = 2;
    d.inputs[1].header.dic.inlet[1].type = 2;
    const std::vector<NetcdfRow> rows{{0, DicResult{5, 1700001200, 2033.5, 1, 0.4f, 0.5f, 20}}};
    const NcFile nc(write(folder, d, rows));
    const int inlet = nc.var("inlet_1_type");
    EXPECT_EQ(nc.values(inlet), (std::vector<double>{2, 2}));
    EXPECT_EQ(nc.text(inlet, "flag_meanings"), "unused sample certified_reference_material");
    EXPECT_EQ(nc.number(nc.var("dic"), "inlet_1_crm_value"), 0);
    int absent = -1;
    EXPECT_NE(nc_inq_varid(nc.id(), "inlet_1_crm_value", &absent), NC_NOERR);
}

// A header without TYPE (a nutrient file processed with --chemistry nutrient) has one
// parameter fewer: every other value still belongs to its own file, in either order, and the
// missing one is the fill value. Whole numbers are signed ints, as CF allows.
TEST(NetcdfFile, ParametersOfInputsThatHoldOtherKeysStayWithTheirFile) {
    kelpira::testing::TempFolder folder;
    for (const bool typed_first : {true, false}) {
        NetcdfDescription d;
        d.chemistry = ChemistryChoice::nutrient;
        NetcdfInput typed = input(d.chemistry, "A", 10);
        NetcdfInput untyped = input(d.chemistry, "B", 20);
        untyped.header.chemistry.reset();
        typed.header.nutrient.sensor_version = 3;
        untyped.header.nutrient.sensor_version = 4;
        d.inputs = typed_first ? std::vector{typed, untyped} : std::vector{untyped, typed};
        const std::vector<NetcdfRow> rows{{0, nutrient(1700000000, 1, 5)}};
        const NcFile nc(write(folder, d, rows));
        const std::vector<double> standard1 =
            typed_first ? std::vector<double>{10, 20} : std::vector<double>{20, 10};
        const std::vector<double> version =
            typed_first ? std::vector<double>{3, 4} : std::vector<double>{4, 3};
        const std::vector<double> type =
            typed_first ? std::vector<double>{1, -2147483647} : std::vector<double>{-2147483647, 1};
        EXPECT_EQ(nc.values(nc.var("standard1_concentration")), standard1) << typed_first;
        EXPECT_EQ(nc.values(nc.var("sensor_version")), version) << typed_first;
        EXPECT_EQ(nc.values(nc.var("type")), type) << typed_first;
        nc_type kind = NC_NAT;
        nc_inq_vartype(nc.id(), nc.var("sensor_version"), &kind);
        EXPECT_EQ(kind, NC_INT);
    }
}

// A sensor moved between deployments is one instance per deployment; a sensor without a
// position still has its results, the fill value as position and a warning.
TEST(NetcdfFile, PositionsMakeEachSensorAPlacedTimeSeries) {
    kelpira::testing::TempFolder folder;
    NetcdfDescription d;
    d.chemistry = ChemistryChoice::nutrient;
    d.inputs = {input(d.chemistry, "Bay 1"), input(d.chemistry, "Pier")};
    // 2023-11-14T23:00:00Z, between the two results of Bay 1.
    d.positions = {{"Bay 1", 50.5, -4.25, {}, 1700002800}, {"Bay 1", 51, -5, 1700002800, {}}};
    const std::vector<NetcdfRow> rows{{0, nutrient(1700000000, 1, 5)},
                                      {1, nutrient(1700000000, 2, 5)},
                                      {0, nutrient(1700003600, 3, 5)}};
    std::vector<std::string> warnings;
    const NcFile nc(write(folder, d, rows, &warnings));
    EXPECT_EQ(nc.strings(nc.var("timeseries_id")),
              (std::vector<std::string>{"Bay 1 (../2023-11-14T23:00:00Z)", "Pier",
                                        "Bay 1 (2023-11-14T23:00:00Z/..)"}));
    EXPECT_EQ(nc.values(nc.var("station_index")), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(nc.values(nc.var("lat")), (std::vector<double>{50.5, NC_FILL_DOUBLE, 51}));
    EXPECT_EQ(nc.values(nc.var("lon")), (std::vector<double>{-4.25, NC_FILL_DOUBLE, -5}));
    EXPECT_EQ(nc.text(nc.var("lat"), "standard_name"), "latitude");
    EXPECT_EQ(nc.text(nc.var("lon"), "units"), "degrees_east");
    EXPECT_EQ(nc.text(nc.var("lat"), "axis"), "Y");
    EXPECT_EQ(nc.text(nc.var("nitrate_medium"), "coordinates"), "time lat lon depth");
    EXPECT_EQ(nc.number(NC_GLOBAL, "geospatial_lat_min"), 50.5);
    EXPECT_EQ(nc.number(NC_GLOBAL, "geospatial_lat_max"), 51);
    EXPECT_EQ(nc.number(NC_GLOBAL, "geospatial_lon_min"), -5);
    EXPECT_EQ(nc.number(NC_GLOBAL, "geospatial_lon_max"), -4.25);
    EXPECT_EQ(nc.text(NC_GLOBAL, "geospatial_bounds"),
              "POLYGON ((50.5 -5, 51 -5, 51 -4.25, 50.5 -4.25, 50.5 -5))");
    EXPECT_EQ(nc.text(NC_GLOBAL, "title"),
              "Nitrate from the Kelpira lab-on-chip sensors Bay 1, Pier");
    EXPECT_EQ(warnings, (std::vector<std::string>{
                            "no position for sensor \"Pier\": the file is not a complete CF "
                            "timeSeries (each sensor needs a latitude and longitude)"}));
}

TEST(NetcdfFile, ATrajectoryTakesItsPositionsFromTheTrack) {
    kelpira::testing::TempFolder folder;
    NetcdfDescription d;
    d.chemistry = ChemistryChoice::nutrient;
    d.feature_type = FeatureType::trajectory;
    d.inputs = {input(d.chemistry, "Glider")};
    d.track = {{1700000000, 50, -5}, {1700003600, 51, -4}};
    const std::vector<NetcdfRow> rows{{0, nutrient(1700000900, 1, 5)},
                                      {0, nutrient(1700003600, 2, 95)},
                                      {0, nutrient(1700003601, 3, 50)}};
    std::vector<std::string> warnings;
    const NcFile nc(write(folder, d, rows, &warnings));
    EXPECT_EQ(nc.text(NC_GLOBAL, "featureType"), "trajectory");
    EXPECT_EQ(nc.text(NC_GLOBAL, "cdm_data_type"), "Trajectory");
    EXPECT_EQ(nc.text(NC_GLOBAL, "ncei_template_version"), "NCEI_NetCDF_Trajectory_Template_v2.0");
    EXPECT_EQ(nc.strings(nc.var("trajectory_id")), (std::vector<std::string>{"Glider"}));
    EXPECT_EQ(nc.text(nc.var("trajectory_id"), "cf_role"), "trajectory_id");
    EXPECT_EQ(nc.text(nc.var("trajectory_index"), "instance_dimension"), "trajectory");
    EXPECT_EQ(nc.values(nc.var("lat")), (std::vector<double>{50.25, 51, NC_FILL_DOUBLE}));
    EXPECT_EQ(nc.values(nc.var("lon")), (std::vector<double>{-4.75, -4, NC_FILL_DOUBLE}));
    EXPECT_EQ(nc.text(NC_GLOBAL, "geospatial_bounds"),
              "POLYGON ((50.25 -4.75, 51 -4.75, 51 -4, 50.25 -4, 50.25 -4.75))");
    EXPECT_EQ(warnings, (std::vector<std::string>{
                            "RGlider.CSV: 1 result lies outside the track's times: their latitude "
                            "and longitude are the fill value"}));
}

// Names that are not UTF-8 are shown escaped, a file name keeps its bytes in hexadecimal.
TEST(NetcdfFile, TextsAreUtf8AndFileNamesKeepTheirBytes) {
    kelpira::testing::TempFolder folder;
    NetcdfDescription d;
    d.chemistry = ChemistryChoice::nutrient;
    d.inputs = {input(d.chemistry, "Baie \xe9t\xe9")};
    d.inputs[0].path = "caf\xe9.CSV";
    const std::vector<NetcdfRow> rows{{0, nutrient(1700000000, 1, 5)}};
    const NcFile nc(write(folder, d, rows));
    EXPECT_EQ(nc.strings(nc.var("timeseries_id")), (std::vector<std::string>{"Baie \\xE9t\\xE9"}));
    const int name = nc.var("input_file_name");
    EXPECT_EQ(nc.strings(name), (std::vector<std::string>{"caf\\xE9.CSV"}));
    char* hex = nullptr;
    nc_get_att_string(nc.id(), name, "name_bytes_hex", &hex);
    EXPECT_STREQ(hex, "636166E92E435356");
    nc_free_string(1, &hex);
    EXPECT_EQ(nc.text(NC_GLOBAL, "title"),
              "Nitrate from the Kelpira lab-on-chip sensor Baie \\xE9t\\xE9");
}

// Files given out of order: each sensor's results are put in time order, in the places its
// results hold, and the files are named.
TEST(NetcdfFile, EachSensorsResultsAreInTimeOrder) {
    kelpira::testing::TempFolder folder;
    NetcdfDescription d;
    d.chemistry = ChemistryChoice::nutrient;
    d.inputs = {input(d.chemistry, "Bay 1"), input(d.chemistry, "Pier"),
                input(d.chemistry, "Bay 1")};
    d.inputs[2].path = "early.CSV";
    const std::vector<NetcdfRow> rows{{0, nutrient(1700007200, 1, 5)},
                                      {1, nutrient(1700000000, 2, 5)},
                                      {2, nutrient(1700000000, 3, 5)},
                                      {2, nutrient(1700003600, 4, 5)}};
    std::vector<std::string> warnings;
    const NcFile nc(write(folder, d, rows, &warnings));
    EXPECT_EQ(nc.values(nc.var("time")),
              (std::vector<double>{1700000000, 1700000000, 1700003600, 1700007200}));
    EXPECT_EQ(nc.values(nc.var("nitrate_medium")), (std::vector<double>{3, 2, 4, 1}));
    EXPECT_EQ(nc.values(nc.var("station_index")), (std::vector<double>{0, 1, 0, 0}));
    EXPECT_EQ(nc.values(nc.var("input_file_index")), (std::vector<double>{2, 1, 2, 0}));
    EXPECT_EQ(warnings.at(0),
              "the results of sensor \"Bay 1\" were not in time order (RBay 1.CSV, early.CSV "
              "overlap in time or were given out of order): they are sorted by time");
}

// An infinite absorbance is no number; a file that failed half-way is listed with its error
// and is no instance.
TEST(NetcdfFile, NonFiniteValuesAndFailedFilesAreMarked) {
    kelpira::testing::TempFolder folder;
    NetcdfDescription d;
    d.chemistry = ChemistryChoice::ta;
    d.inputs = {input(d.chemistry, "A"), input(d.chemistry, "B")};
    std::string error;
    const std::string path = folder.path("ta.nc");
    auto writer = NetcdfWriter::create(path, d, error);
    ASSERT_TRUE(writer) << error;
    EXPECT_TRUE(writer->add(0, TaResult{1700000600, 2201.5, 1, INFINITY, -INFINITY, 21.5f}));
    writer->fail_input(1, "cannot read the file (input/output error)");
    EXPECT_TRUE(writer->finish()) << writer->error();
    const NcFile nc(path);
    EXPECT_EQ(nc.values(nc.var("absorbance_led1")), (std::vector<double>{NC_FILL_FLOAT}));
    EXPECT_EQ(nc.values(nc.var("absorbance_led2")), (std::vector<double>{NC_FILL_FLOAT}));
    EXPECT_EQ(nc.strings(nc.var("input_file_error")),
              (std::vector<std::string>{"", "cannot read the file (input/output error)"}));
    EXPECT_EQ(nc.strings(nc.var("timeseries_id")), (std::vector<std::string>{"A"}));
    EXPECT_EQ(nc.text(NC_GLOBAL, "title"),
              "Total alkalinity from the Kelpira lab-on-chip sensor A");
}

// The canonical units of each standard name the files use, from the CF standard name table.
const std::vector<std::pair<std::string, std::string>> kCanonical{
    {"time", "days since 2000-01-01"},  // any time since an epoch
    {"depth", "m"},
    {"sea_water_practical_salinity", "1"},
    {"sea_water_temperature", "K"},
    {"mole_concentration_of_nitrate_in_sea_water", "mol m-3"},
    {"sea_water_ph_reported_on_total_scale", "1"},
    {"sea_water_alkalinity_expressed_as_mole_equivalent", "mol m-3"},
    {"moles_of_dissolved_inorganic_carbon_per_unit_mass_in_sea_water", "mol kg-1"},
};

bool udunits_converts(const std::string& from, const std::string& to) {
    const std::string command = "udunits2 -H '" + from + "' -W '" + to + "' 2>&1";
    std::FILE* p = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, p) != nullptr) {
        out += buffer;
    }
    return ::pclose(p) == 0 && out.find(" = ") != std::string::npos &&
           out.find("not") == std::string::npos;
}

TEST(NetcdfFile, UnitsConvertToTheStandardNamesCanonicalUnits) {
    if (std::system("udunits2 -H m -W m >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "udunits2 (Debian's udunits-bin) is not installed";
    }
    EXPECT_FALSE(udunits_converts("umol L-1", "K"));  // the check can fail
    kelpira::testing::TempFolder folder;
    for (const Case& c : cases()) {
        NetcdfDescription d;
        d.chemistry = c.chemistry;
        d.inputs = {input(c.chemistry, "Bay 1")};
        const NcFile nc(write(folder, d, c.rows));
        for (const int v : nc.vars()) {
            const std::string units = nc.text(v, "units");
            const std::string name = nc.text(v, "standard_name");
            if (units == "(none)") {
                continue;
            }
            SCOPED_TRACE(units);
            const std::string time_base = "seconds since";
            EXPECT_TRUE(
                udunits_converts(units, units.starts_with(time_base) ? "s @ 1970-01-01" : units));
            if (name != "(none)") {
                const auto it = std::find_if(kCanonical.begin(), kCanonical.end(),
                                             [&](const auto& p) { return p.first == name; });
                ASSERT_NE(it, kCanonical.end()) << name;
                EXPECT_TRUE(udunits_converts(units, it->second)) << name;
            }
        }
    }
}

TEST(NetcdfFile, XarrayOpensItAndDecodesTheTimes) {
    if (std::system("/usr/bin/python3 -c 'import xarray, netCDF4' >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "python3-xarray and python3-netcdf4 are not installed";
    }
    kelpira::testing::TempFolder folder;
    NetcdfDescription d;
    d.chemistry = ChemistryChoice::nutrient;
    d.inputs = {input(d.chemistry, "Bay 1")};
    const std::vector<NetcdfRow> rows{{0, nutrient(1700000000, 12.5f, 5)}};
    const std::string path = write(folder, d, rows);
    const std::string script =
        "import sys, xarray\n"
        "ds = xarray.open_dataset(sys.argv[1])\n"
        "print(str(ds.time.values[0])[:19], float(ds.nitrate_medium[0]),\n"
        "      bool(ds.nitrate_long.isnull()[0]), ds.nitrate_medium.attrs['units'])\n";
    const std::string command = "/usr/bin/python3 -c \"" + script + "\" " + path + " 2>&1";
    std::FILE* p = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, p) != nullptr) {
        out += buffer;
    }
    EXPECT_EQ(::pclose(p), 0) << out;
    EXPECT_EQ(out, "2023-11-14T22:13:20 12.5 True umol L-1\n");
}

}  // namespace

// The library is loaded when a file is first written: a missing or foreign library is a
// reason the user reads, not a crash.
TEST(NetcdfLibrary, AMissingOrForeignLibraryIsAReason) {
    std::string error;
    EXPECT_FALSE(kelpira::processing::load_netcdf_calls("libkelpira-absent.so.0", error));
    EXPECT_EQ(error.rfind("the netCDF library could not be loaded: libkelpira-absent.so.0: ", 0),
              0u)
        << error;
    EXPECT_FALSE(kelpira::processing::load_netcdf_calls("libm.so.6", error));
    EXPECT_EQ(
        error.rfind("the netCDF library libm.so.6 lacks nc_close, nc_create, nc_def_dim, ", 0), 0u)
        << error;
    EXPECT_TRUE(error.ends_with(", nc_redef, nc_strerror")) << error;
}

// What the NetCDF writer reads from the user: sensor positions, glider tracks and global
// attributes, and the texts of its profile (durations, the default id).
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "processing/netcdf_positions.hpp"
#include "processing/netcdf_profile.hpp"

namespace {

using namespace kelpira::processing;

constexpr std::int64_t kJune1 = 1748736000;  // 2025-06-01T00:00:00Z

TEST(NetcdfMetadata, PositionOptionsReadOnlyNameLatLon) {
    std::string error;
    EXPECT_EQ(parse_position("Bay 1=50.25,-4.5", error),
              (SensorPosition{"Bay 1", 50.25, -4.5, {}, {}}));
    EXPECT_EQ(parse_position("a=b=-90,180", error), (SensorPosition{"a=b", -90, 180, {}, {}}));
    for (const char* bad : {"Bay 1", "=50,4", "Bay=91,0", "Bay=0,180.5", "Bay=50", "Bay=+5,1",
                            "Bay=5,1e", "Bay=nan,1", "Bay=0x10,1"}) {
        EXPECT_FALSE(parse_position(bad, error)) << bad;
        EXPECT_EQ(error, "\"" + std::string(bad) +
                             "\" is not NAME=LAT,LON with LAT -90..90 and LON -180..180 in "
                             "decimal degrees");
    }
}

TEST(NetcdfMetadata, PositionFilesHoldDeploymentsThatDoNotOverlap) {
    std::string error;
    const auto read = parse_positions_csv(
        "name,latitude,longitude,start,end\n"
        "\"Bay, north\",50.5,-4,,2025-06-01T00:00:00Z\n"
        "\n"
        "\"Bay, north\",51,-5,2025-06-01T00:00:00Z,\r\n"
        "Pier,10,20\n",
        error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(*read, (std::vector<SensorPosition>{{"Bay, north", 50.5, -4, {}, kJune1},
                                                  {"Bay, north", 51, -5, kJune1, {}},
                                                  {"Pier", 10, 20, {}, {}}}));
    // Each deployment places the sensor for its own times; the end belongs to the next.
    EXPECT_EQ(deployment_at(*read, "Bay, north", kJune1 - 1), 0u);
    EXPECT_EQ(deployment_at(*read, "Bay, north", kJune1), 1u);
    EXPECT_EQ(deployment_at(*read, "Bay", kJune1), std::nullopt);

    const std::vector<std::pair<std::string, std::string>> refused{
        {"Pier,10\n",
         "line 1: not name,latitude,longitude[,start,end] with latitude -90..90 and "
         "longitude -180..180"},
        {"name,lat,lon\nPier,10,20,2025-06-31T00:00:00Z,\n",
         "line 2: \"2025-06-31T00:00:00Z\" is not a UTC time like 2025-06-01T00:00:00Z"},
        {"Pier,10,20,2025-06-02T00:00:00Z,2025-06-01T00:00:00Z\n",
         "line 1: the deployment ends before it starts"},
        {"Pier,10,20,,2025-06-02T00:00:00Z\nPier,11,20,2025-06-01T00:00:00Z,\n",
         "line 2: a deployment of \"Pier\" that overlaps an earlier line's"},
    };
    for (const auto& [text, message] : refused) {
        EXPECT_FALSE(parse_positions_csv(text, error)) << text;
        EXPECT_EQ(error, message);
    }
}

TEST(NetcdfMetadata, TracksAreInterpolatedInTimeAndNeverExtrapolated) {
    std::string error;
    // Given out of order: sorted by time. Across the 180th meridian the short way round.
    const auto track = parse_track_csv(
        "time,latitude,longitude\n"
        "2025-06-01T01:00:00Z,51,-4\n"
        "2025-06-01T00:00:00Z,50,-5\n"
        "2025-06-01T02:00:00Z,52,-4\n"
        "2025-06-01T03:00:00Z,52,179\n"
        "2025-06-01T04:00:00Z,52,-179\n",
        error);
    ASSERT_TRUE(track) << error;
    EXPECT_EQ(track->front(), (TrackPoint{kJune1, 50, -5}));
    const auto at = [&](double seconds) { return track_position(*track, kJune1 + seconds); };
    const std::vector<std::pair<double, std::optional<std::pair<double, double>>>> cases{
        {-1, std::nullopt},              // before the track
        {0, std::pair{50.0, -5.0}},      // on a point
        {900, std::pair{50.25, -4.75}},  // a quarter of the way to the next point
        {5400, std::pair{51.5, -4.0}},
        {3 * 3600 + 1800, std::pair{52.0, 180.0}},  // half way from 179 E to 179 W
        {3 * 3600 + 2700, std::pair{52.0, -179.5}},
        {4 * 3600, std::pair{52.0, -179.0}},
        {4 * 3600 + 1, std::nullopt},  // after the track
    };
    for (const auto& [seconds, expected] : cases) {
        const auto p = at(seconds);
        ASSERT_EQ(p.has_value(), expected.has_value()) << seconds;
        if (p) {
            EXPECT_DOUBLE_EQ(p->latitude, expected->first) << seconds;
            EXPECT_DOUBLE_EQ(p->longitude, expected->second) << seconds;
        }
    }
    EXPECT_FALSE(parse_track_csv("2025-06-01T00:00:00Z,1,2\n2025-06-01T00:00:00Z,1,3\n", error));
    EXPECT_EQ(error, "line 2: a second position at one time");
}

TEST(NetcdfMetadata, UserAttributesFollowTheRuleTheMessageStates) {
    const auto name_rule = [](const std::string& name) {
        return "\"" + name + "\" is not a NAME of letters, digits and _ starting with a letter";
    };
    const std::vector<std::tuple<std::string, std::string, std::optional<std::string>>> cases{
        {"creator_name", "A. Diver", std::nullopt},
        {"geospatial_lat_min", "-50.1", std::nullopt},
        {"a@b", "x", name_rule("a@b")},
        {"a.b", "x", name_rule("a.b")},
        {"_a", "x", name_rule("_a")},
        {"", "x", name_rule("")},
        {"featureType", "point", "featureType is set by the file's layout and cannot be given"},
        {"Conventions", "CF-1.6", "Conventions is set by the file's layout and cannot be given"},
        {"title", "", "title has an empty value: give a value or leave the attribute out"},
        {"geospatial_lon_max", "4E",
         "geospatial_lon_max needs a number in decimal degrees or metres, not \"4E\""},
    };
    for (const auto& [name, value, problem] : cases) {
        EXPECT_EQ(netcdf_attribute_problem(name, value), problem) << name;
    }
}

TEST(NetcdfMetadata, DurationsAndIdsAreTextsACatalogueReads) {
    const std::vector<std::pair<std::int64_t, std::string>> durations{
        {0, "PT0S"},    {59, "PT59S"},         {3600, "PT1H"},
        {86400, "P1D"}, {93784, "P1DT2H3M4S"}, {-5, "PT0S"},
    };
    for (const auto& [seconds, text] : durations) {
        EXPECT_EQ(iso_duration(seconds), text);
    }
    const std::vector<std::string> sensors{"Bay 1", "Baie \\xE9t\\xE9"};
    EXPECT_EQ(default_file_id("nitrate", sensors, 1700000000),
              "kelpira_nitrate_bay_1_baie_xe9t_xe9_20231114T221320Z");
}

}  // namespace

// The processing dialogs' "NetCDF metadata" form: which positions it refuses and what it adds
// to the file's description.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "processing/dialogs/netcdf_metadata.hpp"

namespace {

using namespace kelpira::processing;

NetcdfMetadata at(std::string latitude, std::string longitude) {
    NetcdfMetadata m;
    m.latitude = std::move(latitude);
    m.longitude = std::move(longitude);
    return m;
}

TEST(NetcdfMetadataForm, APositionIsBothNumbersInRangeOrNeither) {
    const std::string half = "Give both the latitude and the longitude, or neither.";
    const std::string range =
        "The latitude must be a decimal number of degrees north from -90 to 90, the longitude "
        "one of degrees east from -180 to 180.";
    const std::vector<std::pair<NetcdfMetadata, std::optional<std::string>>> cases{
        {at("", ""), std::nullopt},
        {at("50.5", "-4.25"), std::nullopt},
        {at("-90", "180"), std::nullopt},
        {at("50.5", ""), half},
        {at("", "4"), half},
        {at("90.5", "0"), range},
        {at("50,5", "4"), range},
        {at("50.5", "east"), range},
    };
    for (const auto& [m, problem] : cases) {
        EXPECT_EQ(netcdf_metadata_problem(m), problem) << m.latitude << " " << m.longitude;
    }
}

TEST(NetcdfMetadataForm, FilledLinesBecomeAttributesAndThePositionPlacesEverySensor) {
    NetcdfMetadata m = at("50.5", "-4.25");
    m.creator_name = "A. Diver";
    m.license = "CC-BY-4.0";
    NetcdfDescription d;
    d.inputs.resize(2);
    d.inputs[0].sensor_name = "Bay 1";
    d.inputs[1].sensor_name = "Bay 1";
    apply_netcdf_metadata(m, d);
    ASSERT_EQ(d.attributes.size(), 2u);
    EXPECT_EQ(d.attributes[0].name, "creator_name");
    EXPECT_EQ(d.attributes[0].value, "A. Diver");
    EXPECT_EQ(d.attributes[1].name, "license");
    EXPECT_EQ(d.positions, (std::vector<SensorPosition>{{"Bay 1", 50.5, -4.25, {}, {}}}));
}

}  // namespace

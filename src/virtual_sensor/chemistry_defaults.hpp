// The processing parameters an emulated sensor leaves the factory with: for the chemistry it
// is set up for, values a deployment of that chemistry would carry; for every other chemistry
// the defaults of a freshly chosen page, as a sensor switched to it would hold.
#pragma once

#include <cstdint>
#include <vector>

#include "records/chemistry_type.hpp"

namespace kelpira::virtual_sensor {

// In the layout the sensor expects: nutrient and pH records with layout 1, or the older
// 23-byte nutrient layout when `legacy_nutrient` is set. Empty for a code no tab carries.
std::vector<std::uint8_t> factory_processing_params(records::ChemistryType chemistry,
                                                    bool own_chemistry, bool legacy_nutrient);

}  // namespace kelpira::virtual_sensor

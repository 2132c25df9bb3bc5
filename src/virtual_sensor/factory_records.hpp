// The records an emulated sensor leaves the factory with, written out field by field from the
// sensor's documented defaults rather than taken from the PC's pages: a wrong default on
// either side then shows when the program reads the emulator.
#pragma once

#include <cstdint>
#include <vector>

#include "records/chemistry_config.hpp"
#include "records/chemistry_type.hpp"
#include "records/optics_records.hpp"
#include "records/platform_records.hpp"
#include "records/pump_valve_defaults.hpp"

namespace kelpira::virtual_sensor {

// The chemistry record of a sensor set up for `chemistry`: samples each second (pH: ten a
// second, with its multiplexer), Manual Deployment starts at state 0, the other starts are off.
records::ChemistryConfig factory_chemistry_config(records::ChemistryType chemistry);

// The processing parameters for `chemistry`: for the chemistry the sensor is set up for
// (`own_chemistry`), values a deployment of it would carry; for every other one the documented
// defaults. Nutrient and pH records carry layout 1, or the older 23-byte nutrient layout when
// `legacy_nutrient` is set. Empty for a code the sensor does not know.
std::vector<std::uint8_t> factory_processing_params(records::ChemistryType chemistry,
                                                    bool own_chemistry, bool legacy_nutrient);

records::OpticsDefaults factory_optics_defaults();
records::PmtConfig factory_pmt_config();
records::DicConductivityConfig factory_dic_conductivity_config();
records::PumpValveDefaults factory_pump_valve_defaults();
records::PlatformDefaults factory_platform_defaults();
// RS232 at 9600 8N1 speaking `protocol`; RS485 at 9600 8N1 with no protocol.
records::Rs232Config factory_rs232_config(std::uint32_t protocol);
records::Rs485Config factory_rs485_config();

}  // namespace kelpira::virtual_sensor

// The chemistry records' get/set over the byte wrappers of link/chemistry_commands.hpp:
// chemistry configuration, processing parameters with the fallback to the older nutrient
// layout, and thermistor settings.
#pragma once

#include <span>

#include "link/chemistry_commands.hpp"
#include "records/chemistry_config.hpp"
#include "records/chemistry_type.hpp"
#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::records {

link::CommandResult get_chemistry_config(link::SensorLink& link, ChemistryConfig& record);
link::CommandResult set_chemistry_config(link::SensorLink& link, const ChemistryConfig& record);

// The processing record of `chemistry`, its length n = record.size() (at most 119). For a
// nutrient chemistry a sensor answering 4 is asked again for the older 23-byte layout, which
// is returned converted to the current one; if that second transaction fails the result is 4.
link::CommandResult get_processing_params(link::SensorLink& link, ChemistryType chemistry,
                                          std::span<std::uint8_t> record);
// Writes the n-byte record; for a nutrient chemistry a sensor answering 4 is sent the older
// 23-byte layout; if that second transaction fails the result is 4.
link::CommandResult set_processing_params(link::SensorLink& link, ChemistryType chemistry,
                                          std::span<const std::uint8_t> record);

// The same for the typed records; a nutrient record always takes the fallback.
link::CommandResult get_processing_params(link::SensorLink& link, NutrientParams& record);
link::CommandResult set_processing_params(link::SensorLink& link, const NutrientParams& record);
link::CommandResult get_processing_params(link::SensorLink& link, GenericParams& record);
link::CommandResult set_processing_params(link::SensorLink& link, const GenericParams& record);
link::CommandResult get_processing_params(link::SensorLink& link, PhParams& record);
link::CommandResult set_processing_params(link::SensorLink& link, const PhParams& record);
link::CommandResult get_processing_params(link::SensorLink& link, TaParams& record);
link::CommandResult set_processing_params(link::SensorLink& link, const TaParams& record);
link::CommandResult get_processing_params(link::SensorLink& link, DicParams& record);
link::CommandResult set_processing_params(link::SensorLink& link, const DicParams& record);
link::CommandResult get_processing_params(link::SensorLink& link, AmmoniaParams& record);
link::CommandResult set_processing_params(link::SensorLink& link, const AmmoniaParams& record);

// Thermistor index 0..2 as the one-byte request.
link::CommandResult get_thermistor_config(link::SensorLink& link, std::uint8_t index,
                                          ThermistorConfig& record);
link::CommandResult set_thermistor_config(link::SensorLink& link, std::uint8_t index,
                                          const ThermistorConfig& record);

}  // namespace kelpira::records

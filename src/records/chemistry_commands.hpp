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

namespace kelpira::link {

CommandResult get_chemistry_config(SensorLink& link, config::ChemistryConfig& record);
CommandResult set_chemistry_config(SensorLink& link, const config::ChemistryConfig& record);

// The processing record of `chemistry`, its length n = record.size() (at most 119). For a
// nutrient chemistry a sensor answering 4 is asked again for the older 23-byte layout, which
// is returned converted to the current one; if that second transaction fails the result is 4.
CommandResult get_processing_params(SensorLink& link, config::ChemistryType chemistry,
                                    std::span<std::uint8_t> record);
// Writes the n-byte record; for a nutrient chemistry a sensor answering 4 is sent the older
// 23-byte layout; if that second transaction fails the result is 4.
CommandResult set_processing_params(SensorLink& link, config::ChemistryType chemistry,
                                    std::span<const std::uint8_t> record);

// The same for the typed records; a nutrient record always takes the fallback.
CommandResult get_processing_params(SensorLink& link, config::NutrientParams& record);
CommandResult set_processing_params(SensorLink& link, const config::NutrientParams& record);
CommandResult get_processing_params(SensorLink& link, config::GenericParams& record);
CommandResult set_processing_params(SensorLink& link, const config::GenericParams& record);
CommandResult get_processing_params(SensorLink& link, config::PhParams& record);
CommandResult set_processing_params(SensorLink& link, const config::PhParams& record);
CommandResult get_processing_params(SensorLink& link, config::TaParams& record);
CommandResult set_processing_params(SensorLink& link, const config::TaParams& record);
CommandResult get_processing_params(SensorLink& link, config::DicParams& record);
CommandResult set_processing_params(SensorLink& link, const config::DicParams& record);
CommandResult get_processing_params(SensorLink& link, config::AmmoniaParams& record);
CommandResult set_processing_params(SensorLink& link, const config::AmmoniaParams& record);

// Thermistor index 0..2 as the one-byte request.
CommandResult get_thermistor_config(SensorLink& link, std::uint8_t index,
                                    config::ThermistorConfig& record);
CommandResult set_thermistor_config(SensorLink& link, std::uint8_t index,
                                    const config::ThermistorConfig& record);

}  // namespace kelpira::link

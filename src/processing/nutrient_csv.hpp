// The nutrient result table: column titles and cell texts shared by the nutrient dialogs'
// lists, their "Save" and kelpira-process.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "processing/nutrient_engine.hpp"

namespace kelpira::processing {

// The single-file dialog retitles columns 3 to 5 after the nutrient type
// ("Nitrate (Medium.uM)"); these are the titles before that and in the multi-file dialog.
inline constexpr std::array<std::string_view, 8> kNutrientResultColumns{"Time (platform)",
                                                                        "Time (sensor)",
                                                                        "Nutrient (Medium:uM)",
                                                                        "Nutrient (Short:uM)",
                                                                        "Nutrient (Long:uM)",
                                                                        "Depth (m)",
                                                                        "S (PSU)",
                                                                        "T (degC)"};

// The multi-file table: the same columns and the sensor name of each row's file.
inline constexpr std::array<std::string_view, 9> kNutrientMultiResultColumns{"Time (platform)",
                                                                             "Time (sensor)",
                                                                             "Nutrient (Medium:uM)",
                                                                             "Nutrient (Short:uM)",
                                                                             "Nutrient (Long:uM)",
                                                                             "Depth (m)",
                                                                             "S (PSU)",
                                                                             "T (degC)",
                                                                             "Sensor Name"};

// Times as "dd/mm/yyyy hh:mm:ss" UTC (the plain number from 2^31 on), concentrations,
// salinity and temperature "%.3f", depth "%.2f".
std::array<std::string, 8> nutrient_result_cells(const NutrientResult& r);
// The same cells and the file's sensor name in its visible form.
std::array<std::string, 9> nutrient_multi_result_cells(const NutrientResult& r,
                                                       std::string_view sensor_name);

}  // namespace kelpira::processing

// The pass of each processing dialog over its file: the chemistry's engine fed row by row,
// its results as list rows, its log lines; and the columns of each result list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "processing/chemistry_table.hpp"
#include "processing/dialogs/processing_controller.hpp"
#include "processing/ph_engine.hpp"
#include "processing/ta_engine.hpp"
#include "records/chemistry_type.hpp"
#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"

namespace kelpira::processing {

// The result list's columns of a chemistry's table, with the widths the lists were laid out
// with.
std::vector<ResultColumn> result_columns(const ChemistryEntry& entry);

PassJob nutrient_pass_job(std::string path, records::ChemistryType type,
                          records::NutrientParams params);
PassJob ph_pass_job(std::string path, records::PhParams params, std::uint32_t interval_ms,
                    PhThermistors thermistors);
PassJob ta_pass_job(std::string path, records::TaParams params, TaThermistors thermistors);
PassJob dic_pass_job(std::string path, records::DicParams params,
                     records::ThermistorConfig thermistor0);

// The multi-file nutrient pass: each file with its own header and a fresh engine, all results
// in one list with the file's sensor name. `several` is true when more than one file was
// chosen, which decides the log texts.
PassJob nutrient_multi_pass_job(std::vector<std::string> paths, bool several);

}  // namespace kelpira::processing

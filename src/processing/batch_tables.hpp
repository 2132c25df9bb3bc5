// The result table of one chemistry for kelpira-process: its title line, and the engine that
// turns the rows of one file into table lines.
#pragma once

#include <string>
#include <string_view>

#include "processing/batch_options.hpp"
#include "processing/dic_engine.hpp"
#include "processing/engine_log.hpp"
#include "processing/nutrient_engine.hpp"
#include "processing/ph_engine.hpp"
#include "processing/raw_header.hpp"
#include "processing/result_spool.hpp"
#include "processing/ta_engine.hpp"

namespace kelpira::processing {

// "nutrient", "pH", "TA", "DIC" as messages name them.
std::string_view chemistry_display_name(ChemistryChoice c);

// The line of column titles the chemistry's dialog saves: nine columns with "Sensor Name"
// for nutrient (the multi-file dialog's table), all columns for pH, TA and DIC.
std::string table_header_line(ChemistryChoice c);

// One pass over the rows of one file with the parameters of its header; each result becomes
// one table line in the spool.
class TableWriter {
  public:
    TableWriter(ChemistryChoice chemistry, const RawHeader& header, LogSink log,
                ResultSpool& spool);

    void feed(const RawRow& row);

  private:
    ChemistryChoice chemistry_;
    const RawHeader& header_;
    ResultSpool& spool_;
    NutrientEngine nutrient_;
    PhEngine ph_;
    TaEngine ta_;
    DicEngine dic_;
};

}  // namespace kelpira::processing

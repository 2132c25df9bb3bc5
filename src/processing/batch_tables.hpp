// The result table of one chemistry for kelpira-process: its title line, and the engine that
// turns the rows of one file into table lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "processing/batch_options.hpp"
#include "processing/dic_engine.hpp"
#include "processing/engine_log.hpp"
#include "processing/netcdf_input.hpp"
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
// one table line in the spool, or one record for a NetCDF file.
class TableWriter {
  public:
    TableWriter(ChemistryChoice chemistry, const RawHeader& header, LogSink log,
                ResultSpool& spool);
    TableWriter(ChemistryChoice chemistry, const RawHeader& header, LogSink log,
                std::vector<ResultRecord>& records);

    void feed(const RawRow& row);

  private:
    TableWriter(ChemistryChoice chemistry, const RawHeader& header, const LogSink& log,
                ResultSpool* spool, std::vector<ResultRecord>* records);

    template <typename Result, typename Cells>
    void emit(const std::optional<Result>& result, Cells cells);

    ChemistryChoice chemistry_;
    const RawHeader& header_;
    ResultSpool* spool_ = nullptr;
    std::vector<ResultRecord>* records_ = nullptr;
    NutrientEngine nutrient_;
    PhEngine ph_;
    TaEngine ta_;
    DicEngine dic_;
};

}  // namespace kelpira::processing

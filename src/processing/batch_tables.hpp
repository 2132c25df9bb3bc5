// The result table of one chemistry for kelpira-process: its title line, and the engine that
// turns the rows of one file into table lines.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "processing/batch_options.hpp"
#include "processing/clock_correction.hpp"
#include "processing/dic_engine.hpp"
#include "processing/engine_log.hpp"
#include "processing/netcdf_input.hpp"
#include "processing/nutrient_engine.hpp"
#include "processing/ph_engine.hpp"
#include "processing/raw_header.hpp"
#include "processing/result_spool.hpp"
#include "processing/ta_engine.hpp"

namespace kelpira::processing {

// The line of column titles the chemistry's dialog saves: nine columns with "Sensor Name"
// for nutrient (the multi-file dialog's table), all columns for pH, TA and DIC; with
// `corrected`, "Time (UTC, corrected)" after the time columns.
std::string table_header_line(ChemistryChoice c, bool corrected = false);

// A result's cells with the corrected time after the time columns.
std::vector<std::string> with_corrected_time(std::span<const std::string> cells,
                                             ChemistryChoice chemistry, double corrected);

// One pass over the rows of one file with the parameters of its header; each result becomes
// one table line in the spool, or one record for a NetCDF file.
class TableWriter {
  public:
    TableWriter(ChemistryChoice chemistry, const RawHeader& header, LogSink log,
                ResultSpool& spool);
    TableWriter(ChemistryChoice chemistry, const RawHeader& header, LogSink log,
                std::vector<ResultRecord>& records);

    void feed(const RawRow& row);

    // Corrects every result's time with `records` (none: the sensor time is kept), adding the
    // corrected time to each table line, and notes the sensor times in `span`. Both must
    // outlive the writer.
    void correct_times(std::span<const records::ClockLogRecord> records, CorrectionSpan& span);

  private:
    TableWriter(ChemistryChoice chemistry, const RawHeader& header, const LogSink& log,
                ResultSpool* spool, std::vector<ResultRecord>* records);

    template <typename Result, typename Cells>
    void emit(const std::optional<Result>& result, Cells cells);

    ChemistryChoice chemistry_;
    const RawHeader& header_;
    ResultSpool* spool_ = nullptr;
    std::vector<ResultRecord>* records_ = nullptr;
    std::optional<std::span<const records::ClockLogRecord>> clock_;
    CorrectionSpan* span_ = nullptr;
    NutrientEngine nutrient_;
    PhEngine ph_;
    TaEngine ta_;
    DicEngine dic_;
};

}  // namespace kelpira::processing

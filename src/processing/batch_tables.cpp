// Result tables of kelpira-process, one per chemistry.
#include "processing/batch_tables.hpp"

#include <span>

#include "processing/chemistry_table.hpp"
#include "processing/nutrient_csv.hpp"
#include "processing/result_csv.hpp"

namespace kelpira::processing {

std::string table_header_line(ChemistryChoice c, bool corrected) {
    const ChemistryEntry& entry = chemistry_entry(c);
    if (!corrected) {
        return csv_line(entry.columns);
    }
    std::vector<std::string_view> titles(entry.columns.begin(), entry.columns.end());
    titles.insert(titles.begin() + static_cast<std::ptrdiff_t>(entry.time_columns),
                  kCorrectedTimeColumn);
    return csv_line(titles);
}

std::vector<std::string> with_corrected_time(std::span<const std::string> cells,
                                             ChemistryChoice chemistry, double corrected) {
    std::vector<std::string> out(cells.begin(), cells.end());
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(chemistry_entry(chemistry).time_columns),
               corrected_time_text(corrected));
    return out;
}

TableWriter::TableWriter(ChemistryChoice chemistry, const RawHeader& header, const LogSink& log,
                         ResultSpool* spool, std::vector<ResultRecord>* records)
    : chemistry_(chemistry),
      header_(header),
      spool_(spool),
      records_(records),
      nutrient_(log),
      ph_(log),
      ta_(log),
      dic_(log) {
    nutrient_.reset();
    ph_.reset();
    ta_.reset();
    dic_.reset();
}

TableWriter::TableWriter(ChemistryChoice chemistry, const RawHeader& header, LogSink log,
                         ResultSpool& spool)
    : TableWriter(chemistry, header, log, &spool, nullptr) {}

TableWriter::TableWriter(ChemistryChoice chemistry, const RawHeader& header, LogSink log,
                         std::vector<ResultRecord>& records)
    : TableWriter(chemistry, header, log, nullptr, &records) {}

template <typename Result, typename Cells>
void TableWriter::emit(const std::optional<Result>& result, Cells cells) {
    if (!result) {
        return;
    }
    const double sensor_time = result_sensor_time(ResultRecord(*result));
    if (clock_) {
        span_->add(sensor_time);
    }
    if (records_ != nullptr) {
        records_->push_back(*result);
    } else if (clock_) {
        const auto line = cells(*result);
        spool_->append(
            csv_line(with_corrected_time(line, chemistry_, corrected_time(*clock_, sensor_time))));
    } else {
        const auto line = cells(*result);
        spool_->append(csv_line(std::span<const std::string>(line)));
    }
}

void TableWriter::correct_times(std::span<const records::ClockLogRecord> records,
                                CorrectionSpan& span) {
    clock_ = records;
    span_ = &span;
}

void TableWriter::feed(const RawRow& row) {
    switch (chemistry_) {
        case ChemistryChoice::ph:
            emit(ph_.feed(header_.ph, row, header_.ph_sample_interval_ms, header_.thermistors),
                 ph_result_cells);
            break;
        case ChemistryChoice::ta:
            emit(ta_.feed(header_.ta, row, header_.thermistors), ta_result_cells);
            break;
        case ChemistryChoice::dic:
            emit(dic_.feed(header_.dic, row, header_.thermistors[0]), dic_result_cells);
            break;
        case ChemistryChoice::automatic:
        case ChemistryChoice::nutrient:
            // A file without a TYPE key has no dilution ratio of its own: 1.0, as for any
            // other type.
            emit(nutrient_.feed(header_.chemistry.value_or(records::ChemistryType::generic),
                                header_.nutrient, row),
                 [this](const NutrientResult& r) {
                     return nutrient_multi_result_cells(r, header_.sensor_name);
                 });
            break;
    }
}

}  // namespace kelpira::processing

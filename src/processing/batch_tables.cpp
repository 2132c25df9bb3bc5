// Result tables of kelpira-process, one per chemistry.
#include "processing/batch_tables.hpp"

#include <span>

#include "processing/nutrient_csv.hpp"
#include "processing/result_csv.hpp"

namespace kelpira::processing {

std::string_view chemistry_display_name(ChemistryChoice c) {
    switch (c) {
        case ChemistryChoice::ph:
            return "pH";
        case ChemistryChoice::ta:
            return "TA";
        case ChemistryChoice::dic:
            return "DIC";
        case ChemistryChoice::automatic:
        case ChemistryChoice::nutrient:
            break;
    }
    return "nutrient";
}

std::string table_header_line(ChemistryChoice c) {
    switch (c) {
        case ChemistryChoice::ph:
            return csv_line(std::span<const std::string_view>(kPhResultColumns));
        case ChemistryChoice::ta:
            return csv_line(std::span<const std::string_view>(kTaResultColumns));
        case ChemistryChoice::dic:
            return csv_line(std::span<const std::string_view>(kDicResultColumns));
        case ChemistryChoice::automatic:
        case ChemistryChoice::nutrient:
            break;
    }
    return csv_line(std::span<const std::string_view>(kNutrientMultiResultColumns));
}

TableWriter::TableWriter(ChemistryChoice chemistry, const RawHeader& header, LogSink log,
                         ResultSpool& spool)
    : chemistry_(chemistry),
      header_(header),
      spool_(spool),
      nutrient_(log),
      ph_(log),
      ta_(log),
      dic_(log) {
    nutrient_.reset();
    ph_.reset();
    ta_.reset();
    dic_.reset();
}

void TableWriter::feed(const RawRow& row) {
    switch (chemistry_) {
        case ChemistryChoice::ph:
            if (auto r =
                    ph_.feed(header_.ph, row, header_.ph_sample_interval_ms, header_.thermistors)) {
                spool_.append(csv_line(std::span<const std::string>(ph_result_cells(*r))));
            }
            break;
        case ChemistryChoice::ta:
            if (auto r = ta_.feed(header_.ta, row, header_.thermistors)) {
                spool_.append(csv_line(std::span<const std::string>(ta_result_cells(*r))));
            }
            break;
        case ChemistryChoice::dic:
            if (auto r = dic_.feed(header_.dic, row, header_.thermistors[0])) {
                spool_.append(csv_line(std::span<const std::string>(dic_result_cells(*r))));
            }
            break;
        case ChemistryChoice::automatic:
        case ChemistryChoice::nutrient:
            // A file without a TYPE key has no dilution ratio of its own: 1.0, as for any
            // other type.
            if (auto r = nutrient_.feed(header_.chemistry.value_or(config::ChemistryType::generic),
                                        header_.nutrient, row)) {
                spool_.append(csv_line(std::span<const std::string>(
                    nutrient_multi_result_cells(*r, header_.sensor_name))));
            }
            break;
    }
}

}  // namespace kelpira::processing

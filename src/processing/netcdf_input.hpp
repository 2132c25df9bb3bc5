// What a NetCDF results file is made from: the results as the engines hand them over (the same
// records the CSV cells are made from) and the raw files they came from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "processing/batch_options.hpp"
#include "processing/dic_engine.hpp"
#include "processing/netcdf_positions.hpp"
#include "processing/nutrient_engine.hpp"
#include "processing/output_format.hpp"
#include "processing/ph_engine.hpp"
#include "processing/raw_file.hpp"
#include "processing/raw_header.hpp"
#include "processing/ta_engine.hpp"
#include "quality/qc_parameters_file.hpp"
#include "records/clock_log.hpp"

namespace kelpira::processing {

using ResultRecord = std::variant<NutrientResult, PhResult, TaResult, DicResult>;

// The time of the sensor's clock a result carries (seconds since 1970).
std::uint32_t result_sensor_time(const ResultRecord& record);

// One raw file whose results go into the file.
struct NetcdfInput {
    std::string path;  // as the user named it
    // The parameters the results were processed with: the file's header, or what the dialog
    // showed.
    RawHeader header;
    std::string sensor_name;  // from the header's KELPIRA.CORE.SENSOR_NAME; may be empty
    // With a clock log: the records of this sensor that correct its times (none: left
    // uncorrected).
    std::vector<records::ClockLogRecord> clock_records;
};

// A result and the input (index into the inputs) it came from.
struct NetcdfRow {
    std::uint32_t input = 0;
    ResultRecord record;
};

struct NetcdfDescription {
    ChemistryChoice chemistry = ChemistryChoice::nutrient;  // never `automatic`
    std::vector<NetcdfInput> inputs;
    std::vector<NetcdfAttribute> attributes;
    // The CSV's column titles, when they are not the table's own (the single-file nutrient
    // dialog names its columns after the nutrient); empty: the table's own.
    std::vector<std::string> column_titles;
    // The clock log the times were corrected with, if any: `time` is then the corrected
    // time and `sensor_time` the sensor's own.
    std::optional<std::string> clock_log;
    // With --qc: the parameters the results were flagged with; each reported variable then
    // has its quality flag variables (netcdf_quality.hpp).
    std::optional<quality::QcParametersFile> quality;
    // Where the sensors were: fixed positions for a time series, a track for a trajectory.
    FeatureType feature_type = FeatureType::time_series;
    std::vector<SensorPosition> positions;
    std::vector<TrackPoint> track;
    std::string history;       // the command line, or what wrote the file
    std::int64_t created = 0;  // seconds since 1970-01-01 UTC
};

// The sensor name a raw file's header gives, whatever its chemistry (only the multi-file
// nutrient processing reads it for its own use); empty when it has none or cannot be read.
std::string read_sensor_name(RawFile& file);

}  // namespace kelpira::processing

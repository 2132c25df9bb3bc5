// Writing processed results as a CF/ACDD NetCDF-4 file with the netCDF C library.
#include "processing/netcdf_writer.hpp"

#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "common/number_scan.hpp"
#include "common/safe_file.hpp"
#include "common/time_text.hpp"
#include "common/version.hpp"
#include "common/visible_text.hpp"
#include "processing/clock_correction.hpp"
#include "processing/netcdf_columns.hpp"
#include "processing/netcdf_parameters.hpp"
#include "processing/netcdf_quality.hpp"

namespace kelpira::processing {

namespace {

// Rows written at once.
constexpr std::size_t kBlockRows = 16384;
// The chunk length of every variable along the results. Chunks are compressed, so the last,
// partly filled one costs little in a file of a few results.
constexpr std::size_t kChunkRows = 4096;

constexpr signed char kFlagGood = 1;
constexpr signed char kFlagBad = 2;

std::string iso_time(std::int64_t seconds) {
    const auto f = common::utc_fields(seconds);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", f.year, f.month, f.day,
                  f.hour, f.minute, f.second);
    return text;
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items) {
        text += (text.empty() ? "" : ", ") + item;
    }
    return text;
}

struct Range {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();

    void add(double v) {
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    bool empty() const { return low > high; }
};

}  // namespace

struct NetcdfWriter::State {
    int ncid = -1;
    NetcdfDescription description;
    std::vector<NetcdfColumn> columns;
    std::vector<int> column_ids;
    int station_index_id = -1;
    int input_index_id = -1;
    std::vector<std::string> stations;        // sensor names, in order of first appearance
    std::vector<int> station_of_input;        // index into `stations`
    std::vector<std::vector<double>> values;  // per column, the rows not written yet
    std::vector<int> station_rows;
    std::vector<int> input_rows;
    // Parameters that differ between inputs: each variable's value per input.
    std::vector<std::pair<int, std::vector<double>>> parameter_tables;
    std::size_t time_column = 0;
    std::optional<std::size_t> depth_column;
    Range time_range;
    Range depth_range;
    QualityVariables quality;
    std::string error;

    // False, with `error` saying what failed, when the library returned an error.
    bool check(int status, std::string_view what) {
        if (status == NC_NOERR) {
            return true;
        }
        if (error.empty()) {
            error = std::string(what) + ": " + nc_strerror(status);
        }
        return false;
    }

    bool text(int var, const char* name, std::string_view value) {
        return check(nc_put_att_text(ncid, var, name, value.size(), value.data()), name);
    }

    bool define();
    bool define_column(const NetcdfColumn& c, int obs, bool has_flag, bool has_depth, int& id);
    bool define_parameters(int input_dim);
    bool define_clock_correction();
    bool write_tables();
    bool write_global_attributes(std::size_t rows);
};

bool NetcdfWriter::State::define_column(const NetcdfColumn& c, int obs, bool has_flag,
                                        bool has_depth, int& id) {
    nc_type type = NC_FLOAT;
    switch (c.storage) {
        case NetcdfStorage::time:
        case NetcdfStorage::real64:
            type = NC_DOUBLE;
            break;
        case NetcdfStorage::real32:
            break;
        case NetcdfStorage::integer:
            type = NC_INT;
            break;
        case NetcdfStorage::flag:
            type = NC_BYTE;
            break;
    }
    const std::size_t chunk = kChunkRows;
    if (!check(nc_def_var(ncid, c.name.c_str(), type, 1, &obs, &id), c.name) ||
        !check(nc_def_var_chunking(ncid, id, NC_CHUNKED, &chunk), c.name) ||
        !check(nc_def_var_deflate(ncid, id, 1, 1, 1), c.name)) {
        return false;
    }
    // Empty cells (a value the engine could not compute) are missing values, never numbers.
    if (type == NC_FLOAT) {
        const float fill = NC_FILL_FLOAT;
        check(nc_put_att_float(ncid, id, "_FillValue", NC_FLOAT, 1, &fill), c.name);
    } else if (c.storage == NetcdfStorage::real64) {
        const double fill = NC_FILL_DOUBLE;
        check(nc_put_att_double(ncid, id, "_FillValue", NC_DOUBLE, 1, &fill), c.name);
    }
    text(id, "long_name", c.long_name);
    if (!c.units.empty()) {
        text(id, "units", c.units);
    }
    if (!c.standard_name.empty()) {
        text(id, "standard_name", c.standard_name);
    }
    if (c.storage == NetcdfStorage::time) {
        text(id, "calendar", "standard");
        if (c.name == "time") {
            text(id, "axis", "T");
        }
    } else if (c.positive_down) {
        text(id, "positive", "down");
        text(id, "axis", "Z");
    } else {
        text(id, "coordinates", has_depth ? "time depth" : "time");
    }
    if (c.storage == NetcdfStorage::flag) {
        const signed char flags[] = {kFlagGood, kFlagBad};
        check(nc_put_att_schar(ncid, id, "flag_values", NC_BYTE, 2, flags), c.name);
        text(id, "flag_meanings", "good bad");
    }
    if (c.reported && has_flag && !c.standard_name.empty()) {
        text(id, "ancillary_variables", kValidityName);
    }
    return error.empty();
}

bool NetcdfWriter::State::define() {
    const auto& inputs = description.inputs;
    for (const auto& in : inputs) {
        const std::string id =
            in.sensor_name.empty() ? "unnamed sensor" : common::visible_text(in.sensor_name);
        const auto at = std::find(stations.begin(), stations.end(), id);
        station_of_input.push_back(static_cast<int>(at - stations.begin()));
        if (at == stations.end()) {
            stations.push_back(id);
        }
    }
    columns = netcdf_columns(description.chemistry, inputs);
    retitle_columns(columns, description.chemistry, description.column_titles);
    if (description.clock_log) {
        // The sensor's own time beside the corrected one.
        const auto time = std::find_if(columns.begin(), columns.end(),
                                       [](const NetcdfColumn& c) { return c.name == "time"; });
        NetcdfColumn own = *time;
        own.name = "sensor_time";
        own.standard_name.clear();
        time->long_name = std::string(kCorrectedTimeColumn);
        columns.insert(time + 1, own);
    }
    values.resize(columns.size());
    int obs = -1, station = -1, input = -1;
    if (!check(nc_def_dim(ncid, "obs", NC_UNLIMITED, &obs), "obs") ||
        !check(nc_def_dim(ncid, "station", stations.size(), &station), "station") ||
        !check(nc_def_dim(ncid, "input_file", inputs.size(), &input), "input_file")) {
        return false;
    }
    const auto has = [&](auto test) { return std::any_of(columns.begin(), columns.end(), test); };
    const bool has_flag =
        has([](const NetcdfColumn& c) { return c.storage == NetcdfStorage::flag; });
    const bool has_depth = has([](const NetcdfColumn& c) { return c.positive_down; });
    column_ids.resize(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name == "time") {
            time_column = i;
        } else if (columns[i].positive_down) {
            depth_column = i;
        }
        if (!define_column(columns[i], obs, has_flag, has_depth, column_ids[i])) {
            return false;
        }
    }
    if (description.quality) {
        std::vector<QualityTarget> targets;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].reported) {
                targets.push_back({column_ids[i], columns[i].name,
                                   quality_parameters(*description.quality, description.chemistry,
                                                      inputs.front(), targets.size())});
            }
        }
        if (!define_quality_variables(ncid, obs, targets, quality, error)) {
            return false;
        }
    }

    int id = -1;
    if (!check(nc_def_var(ncid, "timeseries_id", NC_STRING, 1, &station, &id), "timeseries_id")) {
        return false;
    }
    text(id, "cf_role", "timeseries_id");
    text(id, "long_name", "sensor name");
    const std::size_t chunk = kChunkRows;
    for (auto [name, var, long_name, instance] :
         {std::tuple{"station_index", &station_index_id,
                     "index of the sensor (station) that measured the result", "station"},
          std::tuple{"input_file_index", &input_index_id,
                     "index of the raw output file (input_file) the result came from", ""}}) {
        if (!check(nc_def_var(ncid, name, NC_INT, 1, &obs, var), name) ||
            !check(nc_def_var_chunking(ncid, *var, NC_CHUNKED, &chunk), name) ||
            !check(nc_def_var_deflate(ncid, *var, 1, 1, 1), name)) {
            return false;
        }
        text(*var, "long_name", long_name);
        if (*instance != '\0') {
            text(*var, "instance_dimension", instance);
        }
    }
    if (!check(nc_def_var(ncid, "input_file_name", NC_STRING, 1, &input, &id), "input_file_name")) {
        return false;
    }
    text(id, "long_name", "raw output file, as it was named");
    return define_parameters(input) && define_clock_correction() &&
           check(nc_enddef(ncid), "definitions") && write_tables();
}

namespace {

// A parameter over the inputs: its value in each input that has it. Inputs differ in which
// parameters they hold (a header without TYPE), so the values are gathered by name.
struct ParameterOverInputs {
    const ProcessingParameter* first = nullptr;  // name, key and kind, as the first input has it
    std::vector<std::optional<double>> values;

    // CF allows no unsigned types: a whole number is an int, or a double when one does not fit.
    bool as_int() const {
        return first->integer &&
               std::all_of(values.begin(), values.end(), [](const std::optional<double>& v) {
                   return !v || (*v >= std::numeric_limits<int>::min() &&
                                 *v <= std::numeric_limits<int>::max());
               });
    }
};

// Every parameter any input has, in the order they first appear.
std::vector<ParameterOverInputs> parameters_by_name(
    const std::vector<std::vector<ProcessingParameter>>& per_input) {
    std::vector<ParameterOverInputs> out;
    for (std::size_t i = 0; i < per_input.size(); ++i) {
        for (const auto& p : per_input[i]) {
            auto it = std::find_if(out.begin(), out.end(), [&](const ParameterOverInputs& o) {
                return o.first->name == p.name;
            });
            if (it == out.end()) {
                out.push_back({&p, std::vector<std::optional<double>>(per_input.size())});
                it = out.end() - 1;
            }
            it->values[i] = p.value;
        }
    }
    return out;
}

}  // namespace

// The parameters of every input as attributes of the reported values when all inputs share
// them, otherwise as one variable per parameter over the inputs, the fill value where an input
// lacks it.
bool NetcdfWriter::State::define_parameters(int input_dim) {
    std::vector<std::vector<ProcessingParameter>> per_input;
    for (const auto& in : description.inputs) {
        per_input.push_back(processing_parameters(description.chemistry, in.header));
    }
    const auto parameters = parameters_by_name(per_input);
    const bool shared = std::all_of(per_input.begin(), per_input.end(),
                                    [&](const auto& p) { return p == per_input.front(); });
    if (shared) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (!columns[i].reported) {
                continue;
            }
            for (const auto& p : parameters) {
                const double value = *p.values.front();
                const int whole = p.as_int() ? static_cast<int>(value) : 0;
                check(p.as_int() ? nc_put_att_int(ncid, column_ids[i], p.first->name.c_str(),
                                                  NC_INT, 1, &whole)
                                 : nc_put_att_double(ncid, column_ids[i], p.first->name.c_str(),
                                                     NC_DOUBLE, 1, &value),
                      p.first->name);
            }
        }
        return error.empty();
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].reported) {
            text(column_ids[i], "comment",
                 "the input files differ in their processing parameters: see the variables over "
                 "the input_file dimension");
        }
    }
    for (const auto& p : parameters) {
        const bool whole = p.as_int();
        int id = -1;
        if (!check(nc_def_var(ncid, p.first->name.c_str(), whole ? NC_INT : NC_DOUBLE, 1,
                              &input_dim, &id),
                   p.first->name)) {
            return false;
        }
        const int int_fill = NC_FILL_INT;
        const double double_fill = NC_FILL_DOUBLE;
        check(nc_def_var_fill(ncid, id, 0,
                              whole ? static_cast<const void*>(&int_fill) : &double_fill),
              p.first->name);
        text(id, "long_name",
             "processing parameter " + p.first->key +
                 " of each input file (the fill value where its header has none)");
        std::vector<double> table;
        for (const auto& value : p.values) {
            table.push_back(value.value_or(whole ? double{NC_FILL_INT} : NC_FILL_DOUBLE));
        }
        parameter_tables.emplace_back(id, std::move(table));
    }
    return error.empty();
}

// What `time` says of its correction: how, with which log, and the offsets of the records
// used, in their order by sensor.
bool NetcdfWriter::State::define_clock_correction() {
    if (!description.clock_log) {
        return true;
    }
    const int id = column_ids[time_column];
    std::vector<std::string> sensors;
    std::vector<std::string> uncorrected;
    std::vector<double> offsets;
    std::vector<double> times;
    std::vector<std::string> used;
    for (const auto& in : description.inputs) {
        const std::string name = common::visible_text(in.sensor_name);
        const auto quoted = "\"" + name + "\"";
        auto& list = in.clock_records.empty() ? uncorrected : sensors;
        if (std::find(list.begin(), list.end(), quoted) != list.end()) {
            continue;
        }
        list.push_back(quoted);
        for (const auto& r : in.clock_records) {
            offsets.push_back(r.offset_s);
            times.push_back(static_cast<double>(r.utc_ms) / 1000.0);
            used.push_back(name);
        }
    }
    std::string comment =
        "sensor_time corrected for the sensor clock's offset from UTC with the clock log " +
        *description.clock_log +
        ": time = sensor_time - offset, the offset interpolated linearly by sensor time "
        "(utc_time + offset_s) between the log's records of the sensor named in each raw "
        "file's header, the nearest record's offset before the first and after the last; the "
        "records used are clock_offset_s at clock_offset_utc_time for clock_offset_sensor";
    if (!sensors.empty()) {
        comment += "; corrected: " + joined(sensors);
    }
    if (!uncorrected.empty()) {
        comment += "; no record, left uncorrected: " + joined(uncorrected);
    }
    text(id, "comment", comment);
    if (!offsets.empty()) {
        std::vector<const char*> names;
        for (const auto& n : used) {
            names.push_back(n.c_str());
        }
        check(nc_put_att_double(ncid, id, "clock_offset_s", NC_DOUBLE, offsets.size(),
                                offsets.data()),
              "clock_offset_s");
        check(nc_put_att_double(ncid, id, "clock_offset_utc_time", NC_DOUBLE, times.size(),
                                times.data()),
              "clock_offset_utc_time");
        check(nc_put_att_string(ncid, id, "clock_offset_sensor", names.size(), names.data()),
              "clock_offset_sensor");
    }
    return error.empty();
}

bool NetcdfWriter::State::write_tables() {
    const auto put_strings = [&](const char* name, const std::vector<std::string>& items) {
        int id = -1;
        std::vector<const char*> texts;
        for (const auto& s : items) {
            texts.push_back(s.c_str());
        }
        const std::size_t start = 0, count = texts.size();
        return check(nc_inq_varid(ncid, name, &id), name) &&
               check(nc_put_vara_string(ncid, id, &start, &count, texts.data()), name);
    };
    std::vector<std::string> names;
    for (const auto& in : description.inputs) {
        names.push_back(in.path);
    }
    for (const auto& [id, table] : parameter_tables) {
        // The library converts to the variable's type, whole numbers exactly.
        check(nc_put_var_double(ncid, id, table.data()), "parameters");
    }
    return put_strings("timeseries_id", stations) && put_strings("input_file_name", names) &&
           error.empty();
}

bool NetcdfWriter::State::write_global_attributes(std::size_t rows) {
    const auto& d = description;
    const std::string quantity = netcdf_quantity_name(d.chemistry, d.inputs);
    const std::string created = iso_time(d.created);
    const std::string program = "kelpira-process " + std::string(common::kProgramVersion);
    if (!check(nc_redef(ncid), "global attributes")) {
        return false;
    }
    const int g = NC_GLOBAL;
    text(g, "Conventions", "CF-1.8, ACDD-1.3");
    text(g, "featureType", "timeSeries");
    text(g, "cdm_data_type", "Station");
    text(g, "title",
         quantity + " from the Kelpira lab-on-chip sensor" + (stations.size() > 1 ? "s " : " ") +
             joined(stations));
    text(g, "summary",
         quantity + ", one result per measurement cycle, processed by " + program + " from " +
             std::to_string(d.inputs.size()) + " raw output file" +
             (d.inputs.size() == 1 ? "" : "s") +
             " of an autonomous lab-on-chip wet-chemistry sensor, with the processing parameters "
             "of each file's header. " +
             (d.clock_log ? "Times are the sensor's clock corrected with a clock log of its "
                            "offsets from UTC (see time:comment)."
                          : "Times are the sensor's clock."));
    std::string keyword = quantity;
    std::transform(keyword.begin(), keyword.end(), keyword.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    text(g, "keywords", keyword + ", sea water, in situ chemical analysis, lab-on-chip sensor");
    text(g, "date_created", created);
    text(g, "history", created + " " + d.history);
    text(g, "source", "raw output files of a Kelpira lab-on-chip sensor, processed by " + program);
    text(g, "processing_level",
         d.quality ? "computed from the sensor's raw optical and conductivity readings with the "
                     "calibration of each file's header; real-time quality flags (gross range, "
                     "spike, rate of change, flat line and their aggregate) on each reported "
                     "value"
                   : "computed from the sensor's raw optical and conductivity readings with the "
                     "calibration of each file's header; no quality control beyond the results' "
                     "own validity");
    std::vector<std::string> instruments;
    for (std::size_t i = 0; i < stations.size(); ++i) {
        instruments.push_back("Kelpira lab-on-chip sensor " + stations[i]);
    }
    text(g, "instrument", joined(instruments));
    if (rows > 0 && !time_range.empty()) {
        text(g, "time_coverage_start", iso_time(static_cast<std::int64_t>(time_range.low)));
        text(g, "time_coverage_end", iso_time(static_cast<std::int64_t>(time_range.high)));
    }
    if (!depth_range.empty()) {
        // Of the depth variable's type, so that they read as its values do.
        const float low = common::to_f32(depth_range.low);
        const float high = common::to_f32(depth_range.high);
        check(nc_put_att_float(ncid, g, "geospatial_vertical_min", NC_FLOAT, 1, &low),
              "geospatial_vertical_min");
        check(nc_put_att_float(ncid, g, "geospatial_vertical_max", NC_FLOAT, 1, &high),
              "geospatial_vertical_max");
        text(g, "geospatial_vertical_units", "m");
        text(g, "geospatial_vertical_positive", "down");
    }
    for (const auto& a : d.attributes) {
        text(g, a.name.c_str(), a.value);
    }
    return error.empty();
}

NetcdfWriter::NetcdfWriter(std::unique_ptr<State> state) : state_(std::move(state)) {}

NetcdfWriter::~NetcdfWriter() {
    if (state_->ncid >= 0) {
        nc_close(state_->ncid);
    }
}

std::unique_ptr<NetcdfWriter> NetcdfWriter::create(const std::string& path,
                                                   NetcdfDescription description,
                                                   std::string& error) {
    if (description.inputs.empty()) {
        error = "no input file";
        return nullptr;
    }
    auto state = std::make_unique<State>();
    state->description = std::move(description);
    if (!state->check(nc_create(path.c_str(), NC_NETCDF4 | NC_CLOBBER, &state->ncid), path)) {
        error = state->error;
        return nullptr;
    }
    std::unique_ptr<NetcdfWriter> writer(new NetcdfWriter(std::move(state)));
    if (!writer->state_->define()) {
        error = writer->state_->error;
        return nullptr;
    }
    return writer;
}

bool NetcdfWriter::add(std::uint32_t input, const ResultRecord& record,
                       std::span<const QualityFlags> flags) {
    State& s = *state_;
    if (!s.error.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < s.columns.size(); ++i) {
        s.values[i].push_back(s.columns[i].value(record));
    }
    if (s.description.clock_log) {
        auto& time = s.values[s.time_column].back();
        time = corrected_time(s.description.inputs.at(input).clock_records, time);
    }
    s.time_range.add(s.values[s.time_column].back());
    if (s.depth_column) {
        s.depth_range.add(s.values[*s.depth_column].back());
    }
    if (!s.quality.ids.empty()) {
        add_quality_flags(s.quality, flags);
    }
    s.station_rows.push_back(s.station_of_input.at(input));
    s.input_rows.push_back(static_cast<int>(input));
    return ++pending_rows_ < kBlockRows || flush();
}

bool NetcdfWriter::flush() {
    State& s = *state_;
    const std::size_t start = rows_written_;
    const std::size_t count = pending_rows_;
    if (count == 0) {
        return s.error.empty();
    }
    for (std::size_t i = 0; i < s.columns.size(); ++i) {
        const auto& v = s.values[i];
        const int id = s.column_ids[i];
        const auto& name = s.columns[i].name;
        switch (s.columns[i].storage) {
            case NetcdfStorage::time:
            case NetcdfStorage::real64: {
                std::vector<double> out(v);
                std::replace_if(
                    out.begin(), out.end(), [](double x) { return std::isnan(x); }, NC_FILL_DOUBLE);
                s.check(nc_put_vara_double(s.ncid, id, &start, &count, out.data()), name);
                break;
            }
            case NetcdfStorage::real32: {
                std::vector<float> out(v.size());
                std::transform(v.begin(), v.end(), out.begin(), [](double x) {
                    return std::isnan(x) ? NC_FILL_FLOAT : common::to_f32(x);
                });
                s.check(nc_put_vara_float(s.ncid, id, &start, &count, out.data()), name);
                break;
            }
            case NetcdfStorage::integer: {
                std::vector<int> out(v.begin(), v.end());
                s.check(nc_put_vara_int(s.ncid, id, &start, &count, out.data()), name);
                break;
            }
            case NetcdfStorage::flag: {
                std::vector<signed char> out(v.size());
                std::transform(v.begin(), v.end(), out.begin(),
                               [](double x) { return x == 1 ? kFlagGood : kFlagBad; });
                s.check(nc_put_vara_schar(s.ncid, id, &start, &count, out.data()), name);
                break;
            }
        }
        s.values[i].clear();
    }
    s.check(nc_put_vara_int(s.ncid, s.station_index_id, &start, &count, s.station_rows.data()),
            "station_index");
    s.check(nc_put_vara_int(s.ncid, s.input_index_id, &start, &count, s.input_rows.data()),
            "input_file_index");
    write_quality_flags(s.ncid, start, s.quality, s.error);
    s.station_rows.clear();
    s.input_rows.clear();
    rows_written_ += count;
    pending_rows_ = 0;
    return s.error.empty();
}

bool NetcdfWriter::finish() {
    State& s = *state_;
    bool ok = flush() && s.write_global_attributes(rows_written_);
    ok = s.check(nc_close(s.ncid), "closing the file") && ok;
    s.ncid = -1;
    return ok;
}

const std::string& NetcdfWriter::error() const {
    return state_->error;
}

bool write_netcdf_file(const std::string& path, const NetcdfDescription& description,
                       std::span<const NetcdfRow> rows, std::string& error) {
    std::string refusal;
    const bool written = common::write_path_safely(
        path,
        [&](const std::string& temporary) {
            auto writer = NetcdfWriter::create(temporary, description, error);
            if (!writer) {
                return false;
            }
            // Flagged here, with every row at hand, when the description has parameters.
            const auto flagged =
                description.quality
                    ? flag_results(*description.quality, description.chemistry, description.inputs,
                                   rows, description.clock_log.has_value())
                    : RunQuality{};
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const auto flags = flagged.rows.empty() ? std::span<const QualityFlags>{}
                                                        : std::span(flagged.rows[i]);
                if (!writer->add(rows[i].input, rows[i].record, flags)) {
                    break;
                }
            }
            if (!writer->finish()) {
                error = writer->error();
                return false;
            }
            return true;
        },
        &refusal);
    if (!refusal.empty()) {
        error = refusal;
    }
    return written;
}

}  // namespace kelpira::processing

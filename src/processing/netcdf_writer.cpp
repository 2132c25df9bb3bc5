// Writing processed results as a CF/ACDD NetCDF-4 file with the netCDF C library.
#include "processing/netcdf_writer.hpp"

#include "processing/netcdf_library.hpp"

#include <algorithm>
#include <charconv>
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
#include "processing/netcdf_profile.hpp"
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

// A number attribute's value, which netcdf_attribute_problem let through.
double decimal_degrees(std::string_view text) {
    const bool negative = text.starts_with('-');
    const double v = common::decimal_real(negative ? text.substr(1) : text).value_or(0);
    return negative ? -v : v;
}

// The ACDD coverage content type of a results variable.
const char* coverage_of(const NetcdfColumn& c) {
    if (c.name == "time" || c.positive_down) {
        return "coordinate";
    }
    switch (c.storage) {
        case NetcdfStorage::flag:
            return "qualityInformation";
        case NetcdfStorage::time:
        case NetcdfStorage::integer:
            return "auxiliaryInformation";
        case NetcdfStorage::real32:
        case NetcdfStorage::real64:
            break;
    }
    return "physicalMeasurement";
}

// The shortest decimal that reads back as `v`.
std::string shortest_text(double v) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, v).ptr;
    return {text, end};
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

struct NetcdfWriter::State {
    int ncid = -1;
    NetcdfDescription description;
    std::vector<NetcdfColumn> columns;
    std::vector<int> column_ids;
    int station_index_id = -1;
    int input_index_id = -1;
    // A sensor at one place (a time series) or on its path (a trajectory), in order of its
    // first result: a sensor without results is no instance.
    struct Station {
        std::string id;  // the sensor's visible name, and its deployment when it had several
        std::string sensor;
        std::optional<LatLon> position;
    };
    std::vector<Station> stations;
    std::vector<std::string> input_sensor;    // per input, the sensor's visible name
    std::vector<std::vector<double>> values;  // per column, the rows not written yet
    std::vector<int> station_rows;
    std::vector<int> input_rows;
    int instance_id = -1;  // timeseries_id or trajectory_id
    int lat_id = -1;       // over the stations (time series) or the results (trajectory)
    int lon_id = -1;
    std::vector<double> lat_rows;  // a trajectory's positions of the rows not written yet
    std::vector<double> lon_rows;
    std::vector<std::size_t> outside_track;  // per input, results the track does not reach
    Range lat_range;
    Range lon_range;
    std::vector<std::string> warnings;
    // Parameters that differ between inputs: each variable's value per input.
    std::vector<std::pair<int, std::vector<double>>> parameter_tables;
    std::size_t time_column = 0;
    std::optional<std::size_t> depth_column;
    Range time_range;
    Range depth_range;
    int input_error_id = -1;
    std::vector<std::string> input_errors;  // per input, why it failed; empty: it did not
    // Each result's time and instance, to sort each instance's results by time at the end and
    // find the typical time between two.
    std::vector<double> row_times;
    std::vector<int> row_stations;
    std::vector<double> station_last;                  // the latest time of each instance so far
    std::vector<std::uint32_t> station_last_input;     // and the input it came from
    std::vector<std::vector<std::uint32_t>> disorder;  // per instance, inputs out of order
    // With --qc: the flag variables, and for each flagged variable its column and the series of
    // the chemistry (Medium, Short, Long for nutrients) its flags come from.
    QualityVariables quality;
    std::vector<std::pair<std::size_t, std::size_t>> quality_columns;
    std::string error;

    // False, with `error` saying what failed, when the library returned an error.
    bool check(int status, std::string_view what) {
        if (status == NC_NOERR) {
            return true;
        }
        if (error.empty()) {
            error = std::string(what) + ": " + netcdf().strerror(status);
        }
        return false;
    }

    bool text(int var, const char* name, std::string_view value) {
        return check(netcdf().put_att_text(ncid, var, name, value.size(), value.data()), name);
    }

    bool time_series() const { return description.feature_type == FeatureType::time_series; }
    bool define();
    bool define_column(const NetcdfColumn& c, int obs, bool has_flag,
                       const std::string& coordinates, int& id);
    bool define_instances(int obs, int instance_dim);
    int station_of(std::uint32_t input, double time);
    void add_position(std::uint32_t input, double time);
    bool write_instances();
    void warn_of_positions();
    bool write_geospatial_attributes();
    std::optional<std::int64_t> typical_step() const;
    void content(int var, const char* type) { text(var, "coverage_content_type", type); }
    bool define_platform();
    bool define_input_texts(int name_id, int input_dim);
    bool write_input_errors();
    bool sort_by_time();
    void note_order(std::uint32_t input, int station, double time);
    bool define_parameters(int input_dim);
    bool put_parameter_attributes(const ParameterOverInputs& p);
    bool define_parameter_variable(const ParameterOverInputs& p, int input_dim);
    bool define_clock_correction();
    bool write_tables();
    bool write_global_attributes(std::size_t rows);
};

bool NetcdfWriter::State::define_column(const NetcdfColumn& c, int obs, bool has_flag,
                                        const std::string& coordinates, int& id) {
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
    if (!check(netcdf().def_var(ncid, c.name.c_str(), type, 1, &obs, &id), c.name) ||
        !check(netcdf().def_var_chunking(ncid, id, NC_CHUNKED, &chunk), c.name) ||
        !check(netcdf().def_var_deflate(ncid, id, 1, 1, 1), c.name)) {
        return false;
    }
    // Empty cells (a value the engine could not compute) are missing values, never numbers.
    if (type == NC_FLOAT) {
        const float fill = NC_FILL_FLOAT;
        check(netcdf().put_att_float(ncid, id, "_FillValue", NC_FLOAT, 1, &fill), c.name);
    } else if (c.storage == NetcdfStorage::real64) {
        const double fill = NC_FILL_DOUBLE;
        check(netcdf().put_att_double(ncid, id, "_FillValue", NC_DOUBLE, 1, &fill), c.name);
    } else if (c.storage == NetcdfStorage::integer) {
        const int fill = NC_FILL_INT;
        check(netcdf().put_att_int(ncid, id, "_FillValue", NC_INT, 1, &fill), c.name);
    }
    text(id, "long_name", c.long_name);
    content(id, coverage_of(c));
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
        text(id, "coordinates", coordinates);
    }
    if (c.storage == NetcdfStorage::flag) {
        const signed char flags[] = {kFlagGood, kFlagBad};
        check(netcdf().put_att_schar(ncid, id, "flag_values", NC_BYTE, 2, flags), c.name);
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
        input_sensor.push_back(in.sensor_name.empty() ? "unnamed sensor"
                                                      : common::visible_text(in.sensor_name));
    }
    outside_track.resize(inputs.size());
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
    // The instances are known once their results are: a sensor that gave none is none.
    const char* instance_dim = time_series() ? "station" : "trajectory";
    if (!check(netcdf().def_dim(ncid, "obs", NC_UNLIMITED, &obs), "obs") ||
        !check(netcdf().def_dim(ncid, instance_dim, NC_UNLIMITED, &station), instance_dim) ||
        !check(netcdf().def_dim(ncid, "input_file", inputs.size(), &input), "input_file")) {
        return false;
    }
    const auto has = [&](auto test) { return std::any_of(columns.begin(), columns.end(), test); };
    const bool has_flag =
        has([](const NetcdfColumn& c) { return c.storage == NetcdfStorage::flag; });
    const bool has_depth = has([](const NetcdfColumn& c) { return c.positive_down; });
    const bool has_position =
        time_series() ? !description.positions.empty() : !description.track.empty();
    const std::string coordinates =
        std::string("time") + (has_position ? " lat lon" : "") + (has_depth ? " depth" : "");
    column_ids.resize(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name == "time") {
            time_column = i;
        } else if (columns[i].positive_down) {
            depth_column = i;
        }
        if (!define_column(columns[i], obs, has_flag, coordinates, column_ids[i])) {
            return false;
        }
    }

    if (description.quality) {
        // Every nutrient's variables take the flags of their channel's series; another
        // nutrient's channel, empty in a row, is flagged missing there (add).
        const std::size_t series_count = quality_series_names(description.chemistry).size();
        std::vector<QualityTarget> targets;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].reported) {
                const std::size_t series = targets.size() % series_count;
                targets.push_back({column_ids[i], columns[i].name,
                                   quality_parameters(*description.quality, description.chemistry,
                                                      inputs.front(), series)});
                quality_columns.emplace_back(i, series);
            }
        }
        if (!define_quality_variables(ncid, obs, targets, quality, error)) {
            return false;
        }
    }
    if (!define_instances(obs, station)) {
        return false;
    }
    const std::size_t chunk = kChunkRows;
    if (!check(netcdf().def_var(ncid, "input_file_index", NC_INT, 1, &obs, &input_index_id),
               "input_file_index") ||
        !check(netcdf().def_var_chunking(ncid, input_index_id, NC_CHUNKED, &chunk),
               "input_file_index") ||
        !check(netcdf().def_var_deflate(ncid, input_index_id, 1, 1, 1), "input_file_index")) {
        return false;
    }
    text(input_index_id, "long_name",
         "index of the raw output file (input_file) the result came from");
    int id = -1;
    if (!check(netcdf().def_var(ncid, "input_file_name", NC_STRING, 1, &input, &id),
               "input_file_name")) {
        return false;
    }
    text(id, "long_name", "raw output file, as it was named");
    if (!define_input_texts(id, input)) {
        return false;
    }
    content(id, "referenceInformation");
    content(input_index_id, "referenceInformation");
    return define_platform() && define_parameters(input) && define_clock_correction() &&
           check(netcdf().enddef(ncid), "definitions") && write_tables();
}

// The instance variables: the sensor's name (and deployment) with its CF role, its index per
// result, and where it was: lat/lon per instance for a time series, per result for a
// trajectory.
bool NetcdfWriter::State::define_instances(int obs, int instance_dim) {
    const bool series = time_series();
    const char* name = series ? "timeseries_id" : "trajectory_id";
    if (!check(netcdf().def_var(ncid, name, NC_STRING, 1, &instance_dim, &instance_id), name)) {
        return false;
    }
    text(instance_id, "cf_role", name);
    content(instance_id, "referenceInformation");
    text(instance_id, "long_name",
         series ? "sensor name, with its deployment when it was moved" : "sensor name");
    const char* index = series ? "station_index" : "trajectory_index";
    const std::size_t chunk = kChunkRows;
    if (!check(netcdf().def_var(ncid, index, NC_INT, 1, &obs, &station_index_id), index) ||
        !check(netcdf().def_var_chunking(ncid, station_index_id, NC_CHUNKED, &chunk), index) ||
        !check(netcdf().def_var_deflate(ncid, station_index_id, 1, 1, 1), index)) {
        return false;
    }
    text(station_index_id, "long_name",
         series ? "index of the sensor (station) that measured the result"
                : "index of the sensor (trajectory) that measured the result");
    text(station_index_id, "instance_dimension", series ? "station" : "trajectory");
    content(station_index_id, "referenceInformation");
    if (series ? description.positions.empty() : description.track.empty()) {
        return error.empty();
    }
    const int along = series ? instance_dim : obs;
    for (auto [var, vname, standard, units, axis] :
         {std::tuple{&lat_id, "lat", "latitude", "degrees_north", "Y"},
          std::tuple{&lon_id, "lon", "longitude", "degrees_east", "X"}}) {
        if (!check(netcdf().def_var(ncid, vname, NC_DOUBLE, 1, &along, var), vname)) {
            return false;
        }
        const double fill = NC_FILL_DOUBLE;
        check(netcdf().put_att_double(ncid, *var, "_FillValue", NC_DOUBLE, 1, &fill), vname);
        text(*var, "standard_name", standard);
        text(*var, "long_name",
             series ? std::string(standard) + " of the sensor's deployment"
                    : std::string(standard) + " on the track at the result's time");
        text(*var, "units", units);
        text(*var, "axis", axis);
        content(*var, "coordinate");
    }
    return error.empty();
}

// The instance of a result of `input` at `time`: its sensor, and for a time series the
// deployment that places it then.
int NetcdfWriter::State::station_of(std::uint32_t input, double time) {
    Station station{input_sensor.at(input), input_sensor.at(input), std::nullopt};
    if (time_series()) {
        const auto& positions = description.positions;
        auto at = deployment_at(positions, description.inputs[input].sensor_name, time);
        if (!at) {
            at = deployment_at(positions, station.sensor, time);
        }
        if (at) {
            const auto& p = positions[*at];
            station.position = LatLon{p.latitude, p.longitude};
            const auto deployments =
                std::count_if(positions.begin(), positions.end(),
                              [&](const SensorPosition& o) { return o.sensor == p.sensor; });
            if (deployments > 1) {
                station.id += " (" + (p.start ? iso_time(*p.start) : std::string("..")) + "/" +
                              (p.end ? iso_time(*p.end) : std::string("..")) + ")";
            }
        }
    }
    const auto it = std::find_if(stations.begin(), stations.end(),
                                 [&](const Station& s) { return s.id == station.id; });
    if (it != stations.end()) {
        return static_cast<int>(it - stations.begin());
    }
    if (station.position) {
        lat_range.add(station.position->latitude);
        lon_range.add(station.position->longitude);
    }
    stations.push_back(std::move(station));
    return static_cast<int>(stations.size() - 1);
}

// A trajectory's position of a result: the track's at its time, the fill value off the track.
void NetcdfWriter::State::add_position(std::uint32_t input, double time) {
    if (time_series() || lat_id < 0) {
        return;
    }
    const auto p = track_position(description.track, time);
    lat_rows.push_back(p ? p->latitude : NC_FILL_DOUBLE);
    lon_rows.push_back(p ? p->longitude : NC_FILL_DOUBLE);
    if (p) {
        lat_range.add(p->latitude);
        lon_range.add(p->longitude);
    } else {
        ++outside_track.at(input);
    }
}

bool NetcdfWriter::State::write_instances() {
    std::vector<const char*> ids;
    std::vector<double> lats;
    std::vector<double> lons;
    for (const auto& s : stations) {
        ids.push_back(s.id.c_str());
        lats.push_back(s.position ? s.position->latitude : NC_FILL_DOUBLE);
        lons.push_back(s.position ? s.position->longitude : NC_FILL_DOUBLE);
    }
    const std::size_t start = 0, count = ids.size();
    if (count == 0) {
        return error.empty();
    }
    check(netcdf().put_vara_string(ncid, instance_id, &start, &count, ids.data()), "instances");
    if (time_series() && lat_id >= 0) {
        check(netcdf().put_vara_double(ncid, lat_id, &start, &count, lats.data()), "lat");
        check(netcdf().put_vara_double(ncid, lon_id, &start, &count, lons.data()), "lon");
    }
    return error.empty();
}

// What keeps the file from being a complete CF feature: a sensor with no position, results
// off the track.
void NetcdfWriter::State::warn_of_positions() {
    if (!time_series()) {
        if (description.track.empty()) {
            warnings.emplace_back(
                "no track: the results have no positions, so the file is not a complete CF "
                "trajectory");
        }
        for (std::size_t i = 0; i < outside_track.size(); ++i) {
            if (outside_track[i] > 0) {
                warnings.push_back(common::visible_text(description.inputs[i].path) + ": " +
                                   std::to_string(outside_track[i]) +
                                   (outside_track[i] == 1 ? " result lies" : " results lie") +
                                   " outside the track's times: their latitude and longitude "
                                   "are the fill value");
            }
        }
        return;
    }
    for (const auto& s : stations) {
        if (!s.position) {
            warnings.push_back("no position for sensor \"" + s.id +
                               "\": the file is not a complete CF timeSeries (each sensor "
                               "needs a latitude and longitude)");
        }
    }
}

// The median time between two successive results of one instance, whole seconds; nothing
// when no instance has two at different times.
std::optional<std::int64_t> NetcdfWriter::State::typical_step() const {
    std::vector<std::vector<double>> own(stations.size());
    for (std::size_t r = 0; r < row_times.size(); ++r) {
        if (std::isfinite(row_times[r])) {
            own[static_cast<std::size_t>(row_stations[r])].push_back(row_times[r]);
        }
    }
    std::vector<double> steps;
    for (auto& times : own) {
        std::sort(times.begin(), times.end());
        for (std::size_t i = 1; i < times.size(); ++i) {
            if (times[i] > times[i - 1]) {
                steps.push_back(times[i] - times[i - 1]);
            }
        }
    }
    if (steps.empty()) {
        return std::nullopt;
    }
    const auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
    std::nth_element(steps.begin(), middle, steps.end());
    return static_cast<std::int64_t>(std::llround(*middle));
}

// The error of each input that failed, and the bytes of a file name that is not text, which
// input_file_name shows in its visible form.
bool NetcdfWriter::State::define_input_texts(int name_id, int input_dim) {
    if (!check(
            netcdf().def_var(ncid, "input_file_error", NC_STRING, 1, &input_dim, &input_error_id),
            "input_file_error")) {
        return false;
    }
    text(input_error_id, "long_name",
         "why the raw output file gave no results, empty for a file that was processed");
    content(input_error_id, "auxiliaryInformation");
    input_errors.resize(description.inputs.size());
    std::vector<std::string> hex;
    bool escaped = false;
    for (const auto& in : description.inputs) {
        escaped = escaped || common::visible_text(in.path) != in.path;
        std::string h;
        for (const unsigned char c : in.path) {
            constexpr std::string_view kDigits = "0123456789ABCDEF";
            h += kDigits[c >> 4];
            h += kDigits[c & 15];
        }
        hex.push_back(std::move(h));
    }
    if (escaped) {
        std::vector<const char*> texts;
        for (const auto& h : hex) {
            texts.push_back(h.c_str());
        }
        check(netcdf().put_att_string(ncid, name_id, "name_bytes_hex", texts.size(), texts.data()),
              "name_bytes_hex");
        text(name_id, "comment",
             "a name that is not UTF-8 text is shown with its other bytes as \\xNN; "
             "name_bytes_hex holds every name's bytes in hexadecimal");
    }
    return error.empty();
}

bool NetcdfWriter::State::write_input_errors() {
    std::vector<std::string> shown;
    std::vector<const char*> texts;
    for (const auto& e : input_errors) {
        shown.push_back(common::visible_text(e));
    }
    for (const auto& e : shown) {
        texts.push_back(e.c_str());
    }
    const std::size_t start = 0, count = texts.size();
    return check(netcdf().put_vara_string(ncid, input_error_id, &start, &count, texts.data()),
                 "input_file_error");
}

// Remembers each result's time and instance, and a result that comes before the latest one of
// its instance with the inputs that gave the two.
void NetcdfWriter::State::note_order(std::uint32_t input, int station, double time) {
    const auto k = static_cast<std::size_t>(station);
    if (station_last.size() <= k) {
        station_last.resize(k + 1, -std::numeric_limits<double>::infinity());
        station_last_input.resize(k + 1, 0);
        disorder.resize(k + 1);
    }
    row_times.push_back(time);
    row_stations.push_back(station);
    if (!(time < station_last[k])) {
        if (std::isfinite(time)) {
            station_last[k] = time;
            station_last_input[k] = input;
        }
        return;
    }
    auto& inputs = disorder[k];
    for (const auto i : {station_last_input[k], input}) {
        if (std::find(inputs.begin(), inputs.end(), i) == inputs.end()) {
            inputs.push_back(i);
        }
    }
}

// Puts each instance's results in increasing time order, in the places its results hold (a
// result without a time last), and says which files were out of order.
bool NetcdfWriter::State::sort_by_time() {
    if (std::all_of(disorder.begin(), disorder.end(), [](const auto& d) { return d.empty(); })) {
        return error.empty();
    }
    const std::size_t rows = row_times.size();
    std::vector<std::size_t> order(rows);  // order[place] = the row that goes there
    std::vector<std::vector<std::size_t>> places(stations.size());
    for (std::size_t r = 0; r < rows; ++r) {
        places[static_cast<std::size_t>(row_stations[r])].push_back(r);
    }
    const auto earlier = [&](std::size_t a, std::size_t b) {
        const double ta = row_times[a], tb = row_times[b];
        return std::isnan(tb) ? !std::isnan(ta) : ta < tb;
    };
    for (const auto& p : places) {
        std::vector<std::size_t> sorted = p;
        std::stable_sort(sorted.begin(), sorted.end(), earlier);
        for (std::size_t i = 0; i < p.size(); ++i) {
            order[p[i]] = sorted[i];
        }
    }
    std::vector<int> ids = column_ids;
    ids.insert(ids.end(), quality.ids.begin(), quality.ids.end());
    ids.push_back(station_index_id);
    ids.push_back(input_index_id);
    if (!time_series() && lat_id >= 0) {
        ids.push_back(lat_id);
        ids.push_back(lon_id);
    }
    // Through double: every type the results are stored as converts there and back exactly.
    std::vector<double> before(rows), after(rows);
    const std::size_t start = 0;
    for (const int id : ids) {
        if (!check(netcdf().get_vara_double(ncid, id, &start, &rows, before.data()), "sorting")) {
            return false;
        }
        for (std::size_t i = 0; i < rows; ++i) {
            after[i] = before[order[i]];
        }
        if (!check(netcdf().put_vara_double(ncid, id, &start, &rows, after.data()), "sorting")) {
            return false;
        }
    }
    for (std::size_t k = 0; k < disorder.size(); ++k) {
        if (disorder[k].empty()) {
            continue;
        }
        std::vector<std::string> files;
        for (const auto i : disorder[k]) {
            files.push_back(common::visible_text(description.inputs[i].path));
        }
        warnings.push_back("the results of sensor \"" + stations[k].id +
                           "\" were not in time order (" + joined(files) +
                           (files.size() > 1 ? " overlap in time or were given out of order"
                                             : " goes back in time") +
                           "): they are sorted by time");
    }
    return error.empty();
}

// The template's platform and instrument variables, which every measured value names.
bool NetcdfWriter::State::define_platform() {
    int platform = -1, instrument = -1;
    if (!check(netcdf().def_var(ncid, "platform", NC_INT, 0, nullptr, &platform), "platform") ||
        !check(netcdf().def_var(ncid, "instrument", NC_INT, 0, nullptr, &instrument),
               "instrument")) {
        return false;
    }
    text(platform, "long_name",
         time_series() ? "the moorings or stations the sensors were deployed on"
                       : "the glider or vehicle that carried the sensor");
    text(platform, "comment",
         "the global attributes platform and platform_vocabulary name it when they are given");
    content(platform, "referenceInformation");
    text(instrument, "long_name", "Kelpira lab-on-chip wet-chemistry sensor");
    text(instrument, "comment",
         "an autonomous microfluidic sensor that measures a chemistry by colorimetry; each "
         "sensor is named in the instance variable");
    content(instrument, "referenceInformation");
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].storage != NetcdfStorage::time && !columns[i].positive_down) {
            text(column_ids[i], "platform", "platform");
            text(column_ids[i], "instrument", "instrument");
        }
    }
    return error.empty();
}

bool NetcdfWriter::State::write_geospatial_attributes() {
    if (lat_range.empty()) {
        return error.empty();
    }
    const int g = NC_GLOBAL;
    for (auto [name, v] : {std::pair{"geospatial_lat_min", lat_range.low},
                           {"geospatial_lat_max", lat_range.high},
                           {"geospatial_lon_min", lon_range.low},
                           {"geospatial_lon_max", lon_range.high}}) {
        check(netcdf().put_att_double(ncid, g, name, NC_DOUBLE, 1, &v), name);
    }
    text(g, "geospatial_lat_units", "degrees_north");
    text(g, "geospatial_lon_units", "degrees_east");
    // Well-known text in the axis order of EPSG:4326: latitude first.
    const auto point = [](double lat, double lon) {
        return shortest_text(lat) + " " + shortest_text(lon);
    };
    const bool one_point = lat_range.low == lat_range.high && lon_range.low == lon_range.high;
    text(g, "geospatial_bounds",
         one_point ? "POINT (" + point(lat_range.low, lon_range.low) + ")"
                   : "POLYGON ((" + point(lat_range.low, lon_range.low) + ", " +
                         point(lat_range.high, lon_range.low) + ", " +
                         point(lat_range.high, lon_range.high) + ", " +
                         point(lat_range.low, lon_range.high) + ", " +
                         point(lat_range.low, lon_range.low) + "))");
    text(g, "geospatial_bounds_crs", "EPSG:4326");
    return error.empty();
}

// A parameter every input shares, as an attribute of each reported value.
bool NetcdfWriter::State::put_parameter_attributes(const ParameterOverInputs& p) {
    const double value = *p.values.front();
    const int whole = p.as_int() ? static_cast<int>(value) : 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].reported) {
            check(p.as_int() ? netcdf().put_att_int(ncid, column_ids[i], p.first->name.c_str(),
                                                    NC_INT, 1, &whole)
                             : netcdf().put_att_double(ncid, column_ids[i], p.first->name.c_str(),
                                                       NC_DOUBLE, 1, &value),
                  p.first->name);
        }
    }
    return error.empty();
}

// A parameter as a variable over the inputs, the fill value where an input lacks it; a coded
// one says what its codes mean.
bool NetcdfWriter::State::define_parameter_variable(const ParameterOverInputs& p, int input_dim) {
    const bool whole = p.as_int();
    int id = -1;
    if (!check(netcdf().def_var(ncid, p.first->name.c_str(), whole ? NC_INT : NC_DOUBLE, 1,
                                &input_dim, &id),
               p.first->name)) {
        return false;
    }
    const int int_fill = NC_FILL_INT;
    const double double_fill = NC_FILL_DOUBLE;
    check(netcdf().def_var_fill(ncid, id, 0,
                                whole ? static_cast<const void*>(&int_fill) : &double_fill),
          p.first->name);
    text(id, "long_name",
         "processing parameter " + p.first->key +
             " of each input file (the fill value where its header has none)");
    content(id, "auxiliaryInformation");
    if (!p.first->codes.empty()) {
        std::vector<int> codes;
        std::string words;
        for (const auto& c : p.first->codes) {
            codes.push_back(c.value);
            words += (words.empty() ? "" : " ") + std::string(c.meaning);
        }
        check(netcdf().put_att_int(ncid, id, "flag_values", NC_INT, codes.size(), codes.data()),
              p.first->name);
        text(id, "flag_meanings", words);
    }
    std::vector<double> table;
    for (const auto& value : p.values) {
        table.push_back(value.value_or(whole ? double{NC_FILL_INT} : NC_FILL_DOUBLE));
    }
    parameter_tables.emplace_back(id, std::move(table));
    return error.empty();
}

// The parameters of every input as attributes of the reported values when all inputs share
// them, otherwise as one variable per parameter over the inputs. A coded parameter is always a
// variable: only a variable can say what its codes mean.
bool NetcdfWriter::State::define_parameters(int input_dim) {
    std::vector<std::vector<ProcessingParameter>> per_input;
    for (const auto& in : description.inputs) {
        per_input.push_back(processing_parameters(description.chemistry, in.header));
    }
    const auto parameters = parameters_by_name(per_input);
    const bool shared = std::all_of(per_input.begin(), per_input.end(),
                                    [&](const auto& p) { return p == per_input.front(); });
    if (!shared) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].reported) {
                text(column_ids[i], "comment",
                     "the input files differ in their processing parameters: see the variables "
                     "over the input_file dimension");
            }
        }
    }
    for (const auto& p : parameters) {
        const bool ok = shared && p.first->codes.empty() ? put_parameter_attributes(p)
                                                         : define_parameter_variable(p, input_dim);
        if (!ok) {
            return false;
        }
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
        common::visible_text(*description.clock_log) +
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
        check(netcdf().put_att_double(ncid, id, "clock_offset_s", NC_DOUBLE, offsets.size(),
                                      offsets.data()),
              "clock_offset_s");
        check(netcdf().put_att_double(ncid, id, "clock_offset_utc_time", NC_DOUBLE, times.size(),
                                      times.data()),
              "clock_offset_utc_time");
        check(netcdf().put_att_string(ncid, id, "clock_offset_sensor", names.size(), names.data()),
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
        return check(netcdf().inq_varid(ncid, name, &id), name) &&
               check(netcdf().put_vara_string(ncid, id, &start, &count, texts.data()), name);
    };
    std::vector<std::string> names;
    for (const auto& in : description.inputs) {
        names.push_back(common::visible_text(in.path));
    }
    for (const auto& [id, table] : parameter_tables) {
        // The library converts to the variable's type, whole numbers exactly.
        check(netcdf().put_var_double(ncid, id, table.data()), "parameters");
    }
    return put_strings("input_file_name", names) && error.empty();
}

bool NetcdfWriter::State::write_global_attributes(std::size_t rows) {
    const auto& d = description;
    const std::string quantity = netcdf_quantity_name(d.chemistry, d.inputs);
    const std::string created = iso_time(d.created);
    const std::string program = "kelpira-process " + std::string(common::kProgramVersion);
    if (!check(netcdf().redef(ncid), "global attributes")) {
        return false;
    }
    std::vector<std::string> sensors;  // that gave results, in order of their first
    for (const auto& station : stations) {
        if (std::find(sensors.begin(), sensors.end(), station.sensor) == sensors.end()) {
            sensors.push_back(station.sensor);
        }
    }
    const int g = NC_GLOBAL;
    text(g, "Conventions", "CF-1.8, ACDD-1.3");
    text(g, "featureType", time_series() ? "timeSeries" : "trajectory");
    text(g, "cdm_data_type", time_series() ? "Station" : "Trajectory");
    text(g, "ncei_template_version", ncei_template_version(d.feature_type));
    text(g, "standard_name_vocabulary", kStandardNameVocabulary);
    text(g, "title",
         quantity + " from the Kelpira lab-on-chip sensor" + (sensors.size() > 1 ? "s " : " ") +
             joined(sensors));
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
    for (const auto& sensor : sensors) {
        instruments.push_back("Kelpira lab-on-chip sensor " + sensor);
    }
    text(g, "instrument", joined(instruments));
    const auto start = static_cast<std::int64_t>(time_range.empty() ? 0 : time_range.low);
    text(g, "naming_authority", kDefaultNamingAuthority);
    text(g, "id", default_file_id(keyword, sensors, start));
    if (rows > 0 && !time_range.empty()) {
        const auto end = static_cast<std::int64_t>(time_range.high);
        text(g, "time_coverage_start", iso_time(start));
        text(g, "time_coverage_end", iso_time(end));
        text(g, "time_coverage_duration", iso_duration(end - start));
        if (const auto step = typical_step()) {
            text(g, "time_coverage_resolution", iso_duration(*step));
        }
    }
    if (!depth_range.empty()) {
        // Of the depth variable's type, so that they read as its values do.
        const float low = common::to_f32(depth_range.low);
        const float high = common::to_f32(depth_range.high);
        check(netcdf().put_att_float(ncid, g, "geospatial_vertical_min", NC_FLOAT, 1, &low),
              "geospatial_vertical_min");
        check(netcdf().put_att_float(ncid, g, "geospatial_vertical_max", NC_FLOAT, 1, &high),
              "geospatial_vertical_max");
        text(g, "geospatial_vertical_units", "m");
        text(g, "geospatial_vertical_positive", "down");
    }
    write_geospatial_attributes();
    // The user's attributes win, but for those the layout decides; the history they give is
    // continued with this run.
    std::string history = created + " " + d.history;
    for (const auto& a : d.attributes) {
        if (netcdf_attribute_problem(a.name, a.value)) {
            continue;  // refused as a usage error before the file was begun
        }
        if (a.name == "history") {
            history = common::visible_text(a.value) + "\n" + history;
        } else if (is_number_attribute(a.name)) {
            const double v = decimal_degrees(a.value);
            check(netcdf().put_att_double(ncid, g, a.name.c_str(), NC_DOUBLE, 1, &v), a.name);
        } else {
            text(g, a.name.c_str(), common::visible_text(a.value));
        }
    }
    text(g, "history", history);
    return error.empty();
}

NetcdfWriter::NetcdfWriter(std::unique_ptr<State> state) : state_(std::move(state)) {}

NetcdfWriter::~NetcdfWriter() {
    if (state_->ncid >= 0) {
        netcdf().close(state_->ncid);
    }
}

std::unique_ptr<NetcdfWriter> NetcdfWriter::create(const std::string& path,
                                                   NetcdfDescription description,
                                                   std::string& error) {
    if (description.inputs.empty()) {
        error = "no input file";
        return nullptr;
    }
    if (!netcdf_loaded(error)) {
        return nullptr;
    }
    auto state = std::make_unique<State>();
    state->description = std::move(description);
    if (!state->check(netcdf().create(path.c_str(), NC_NETCDF4 | NC_CLOBBER, &state->ncid),
                      "creating the file")) {
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
    const auto nutrient = s.description.chemistry == ChemistryChoice::nutrient
                              ? nutrient_of(s.description.inputs.at(input))
                              : std::string_view{};
    for (std::size_t i = 0; i < s.columns.size(); ++i) {
        const auto& c = s.columns[i];
        // Another nutrient's channel has no value in this row.
        s.values[i].push_back(c.nutrient.empty() || c.nutrient == nutrient
                                  ? c.value(record)
                                  : std::numeric_limits<double>::quiet_NaN());
    }
    if (s.description.clock_log) {
        auto& time = s.values[s.time_column].back();
        time = corrected_time(s.description.inputs.at(input).clock_records, time);
    }
    const double time = s.values[s.time_column].back();
    s.time_range.add(time);
    if (s.depth_column) {
        s.depth_range.add(s.values[*s.depth_column].back());
    }
    if (!s.quality.ids.empty()) {
        constexpr QualityFlags kMissing{quality::Flag::missing, quality::Flag::missing,
                                        quality::Flag::missing, quality::Flag::missing,
                                        quality::Flag::missing};
        std::vector<QualityFlags> per_variable;
        for (const auto& [column, series] : s.quality_columns) {
            const bool empty = std::isnan(s.values[column].back());
            per_variable.push_back(empty || series >= flags.size() ? kMissing : flags[series]);
        }
        add_quality_flags(s.quality, per_variable);
    }
    s.add_position(input, time);
    const int station = s.station_of(input, time);
    s.note_order(input, station, time);
    s.station_rows.push_back(station);
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
                    out.begin(), out.end(), [](double x) { return !std::isfinite(x); },
                    NC_FILL_DOUBLE);
                s.check(netcdf().put_vara_double(s.ncid, id, &start, &count, out.data()), name);
                break;
            }
            case NetcdfStorage::real32: {
                std::vector<float> out(v.size());
                std::transform(v.begin(), v.end(), out.begin(), [](double x) {
                    const float f = common::to_f32(x);
                    return std::isfinite(f) ? f : NC_FILL_FLOAT;
                });
                s.check(netcdf().put_vara_float(s.ncid, id, &start, &count, out.data()), name);
                break;
            }
            case NetcdfStorage::integer: {
                std::vector<int> out(v.size());
                std::transform(v.begin(), v.end(), out.begin(), [](double x) {
                    return std::isfinite(x) ? static_cast<int>(x) : NC_FILL_INT;
                });
                s.check(netcdf().put_vara_int(s.ncid, id, &start, &count, out.data()), name);
                break;
            }
            case NetcdfStorage::flag: {
                std::vector<signed char> out(v.size());
                std::transform(v.begin(), v.end(), out.begin(),
                               [](double x) { return x == 1 ? kFlagGood : kFlagBad; });
                s.check(netcdf().put_vara_schar(s.ncid, id, &start, &count, out.data()), name);
                break;
            }
        }
        s.values[i].clear();
    }
    s.check(
        netcdf().put_vara_int(s.ncid, s.station_index_id, &start, &count, s.station_rows.data()),
        "station_index");
    s.check(netcdf().put_vara_int(s.ncid, s.input_index_id, &start, &count, s.input_rows.data()),
            "input_file_index");
    write_quality_flags(s.ncid, start, s.quality, s.error);
    if (!s.lat_rows.empty()) {
        s.check(netcdf().put_vara_double(s.ncid, s.lat_id, &start, &count, s.lat_rows.data()),
                "lat");
        s.check(netcdf().put_vara_double(s.ncid, s.lon_id, &start, &count, s.lon_rows.data()),
                "lon");
    }
    s.station_rows.clear();
    s.input_rows.clear();
    s.lat_rows.clear();
    s.lon_rows.clear();
    rows_written_ += count;
    pending_rows_ = 0;
    return s.error.empty();
}

bool NetcdfWriter::finish() {
    State& s = *state_;
    bool ok = flush() && s.sort_by_time() && s.write_instances() && s.write_input_errors() &&
              s.write_global_attributes(rows_written_);
    ok = s.check(netcdf().close(s.ncid), "closing the file") && ok;
    s.ncid = -1;
    if (ok) {
        s.warn_of_positions();
    }
    return ok;
}

const std::string& NetcdfWriter::error() const {
    return state_->error;
}

void NetcdfWriter::fail_input(std::uint32_t input, const std::string& why) {
    state_->input_errors.at(input) = why;
}

const std::vector<std::string>& NetcdfWriter::warnings() const {
    return state_->warnings;
}

bool write_netcdf_file(const std::string& path, const NetcdfDescription& description,
                       std::span<const NetcdfRow> rows, std::string& error,
                       std::vector<std::string>* warnings) {
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
            if (warnings != nullptr) {
                *warnings = writer->warnings();
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

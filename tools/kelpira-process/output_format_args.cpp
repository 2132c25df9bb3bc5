// The --format, --attr and placing options of kelpira-process.
#include "output_format_args.hpp"

#include <string>
#include <utility>
#include <vector>

#include "processing/netcdf_profile.hpp"

namespace kelpira::process {

namespace {

using processing::FeatureType;
using processing::OutputFormat;

// A NAME=VALUE the writer takes as a global attribute; the reason when it does not.
CLI::Validator attribute_validator() {
    return {[](std::string& text) -> std::string {
                const auto eq = text.find('=');
                if (eq == std::string::npos) {
                    return text + " not of the form NAME=VALUE";
                }
                return processing::netcdf_attribute_problem(text.substr(0, eq), text.substr(eq + 1))
                    .value_or("");
            },
            ""};
}

CLI::Validator position_validator() {
    return {[](std::string& text) -> std::string {
                std::string error;
                return processing::parse_position(text, error) ? "" : error;
            },
            ""};
}

bool not_empty(const std::string& text) {
    return !text.empty();
}

}  // namespace

void declare_output_format(CLI::App& app, processing::OutputFormatOptions& format) {
    app.add_option_function<std::string>(
           "--format",
           [&format](const std::string& name) {
               format.format = name == "netcdf" ? OutputFormat::netcdf : OutputFormat::csv;
           },
           "csv (default) or netcdf: one CF/ACDD NetCDF-4 file of every result,\n"
           "which needs --output FILE.nc")
        ->type_name("F")
        ->transform(common::one_of({"csv", "netcdf"}));
    app.add_option_function<std::vector<std::string>>(
           "--attr",
           [&format](const std::vector<std::string>& given) {
               for (const auto& text : given) {
                   const auto eq = text.find('=');
                   format.attributes.push_back({text.substr(0, eq), text.substr(eq + 1)});
               }
           },
           "a global attribute of the NetCDF file (repeatable), such as\n"
           "--attr institution=\"Bay Lab\" --attr license=CC-BY-4.0; it replaces\n"
           "the one kelpira-process would write, but for Conventions, featureType,\n"
           "cdm_data_type and ncei_template_version, which the layout sets; a\n"
           "history is continued. NAME: a letter, then letters, digits and _")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false)
        ->check(attribute_validator());
    app.add_option_function<std::vector<std::string>>(
           "--position",
           [&format](const std::vector<std::string>& given) {
               for (const auto& text : given) {
                   std::string error;  // the check has refused a text that does not read
                   if (auto position = processing::parse_position(text, error)) {
                       format.positions.push_back(std::move(*position));
                   }
               }
           },
           "where the sensor NAME (as its files' headers name it) was moored, in\n"
           "decimal degrees north and east (repeatable), such as\n"
           "--position \"Bay 1=50.1,-4.2\": the NetCDF file's lat and lon")
        ->type_name("NAME=LAT,LON")
        ->allow_extra_args(false)
        ->check(position_validator());
    common::add_optional(app, "--positions", format.positions_file,
                         "the positions of the sensors from a CSV file of\n"
                         "name,latitude,longitude[,start,end] (UTC times such as\n"
                         "2025-06-01T00:00:00Z, one line per deployment of a moved sensor)")
        ->type_name("FILE")
        ->check(common::of_form("FILE", not_empty));
    app.add_option_function<std::string>(
           "--feature-type",
           [&format](const std::string& name) {
               format.feature_type =
                   name == "trajectory" ? FeatureType::trajectory : FeatureType::time_series;
           },
           "timeSeries (default: each sensor at one place) or trajectory (a sensor\n"
           "on a glider, placed by --track)")
        ->type_name("T")
        ->transform(common::one_of({"timeSeries", "trajectory"}));
    common::add_optional(app, "--track", format.track_file,
                         "a trajectory's positions from a CSV file of time,latitude,longitude,\n"
                         "interpolated in time; results outside its times get none")
        ->type_name("FILE")
        ->check(common::of_form("FILE", not_empty));
}

void check_output_format(const processing::OutputFormatOptions& format,
                         const std::optional<std::string>& output) {
    if (format.format == OutputFormat::netcdf && (!output || *output == "-")) {
        throw common::usage_problem("--format",
                                    "netcdf needs --output FILE: a NetCDF file is never written to "
                                    "standard output");
    }
    if (format.format == OutputFormat::csv && !format.attributes.empty()) {
        throw common::usage_problem("--attr",
                                    "sets attributes of a NetCDF file: give --format netcdf");
    }
    const bool placed = !format.positions.empty() || format.positions_file;
    const bool tracked = format.track_file.has_value();
    const bool trajectory = format.feature_type == FeatureType::trajectory;
    if (format.format == OutputFormat::csv &&
        (placed || tracked || format.feature_type != FeatureType::time_series)) {
        throw common::usage_problem(placed    ? "--position"
                                    : tracked ? "--track"
                                              : "--feature-type",
                                    "places the results of a NetCDF file: give --format netcdf");
    }
    if (trajectory && placed) {
        throw common::usage_problem(
            "--position", "places a moored sensor: a trajectory takes its places from --track");
    }
    if (tracked && !trajectory) {
        throw common::usage_problem("--track",
                                    "places a glider's results: give --feature-type trajectory");
    }
}

}  // namespace kelpira::process

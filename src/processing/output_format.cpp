// The --format and --attr options of kelpira-process.
#include "processing/output_format.hpp"

#include <algorithm>

namespace kelpira::processing {

namespace {

// A name the netCDF library takes for an attribute: a letter, then letters, digits and
// "_.+-@".
bool is_attribute_name(std::string_view name) {
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    return !name.empty() && letter(name.front()) &&
           std::all_of(name.begin(), name.end(), [&](char c) {
               return letter(c) || (c >= '0' && c <= '9') ||
                      std::string_view("_.+-@").find(c) != std::string_view::npos;
           });
}

}  // namespace

bool take_output_format_option(std::string_view name, std::string_view value,
                               OutputFormatOptions& options, std::string& error) {
    if (name == "--format") {
        if (value == "csv") {
            options.format = OutputFormat::csv;
        } else if (value == "netcdf") {
            options.format = OutputFormat::netcdf;
        } else {
            error = "unknown format \"" + std::string(value) + "\" (choose csv or netcdf)";
        }
        return true;
    }
    if (name != "--attr") {
        return false;
    }
    const auto eq = value.find('=');
    const std::string_view attribute = value.substr(0, eq);
    if (eq == std::string_view::npos || !is_attribute_name(attribute)) {
        error =
            "--attr needs NAME=VALUE with a NAME of letters, digits and _ starting with a "
            "letter, for example --attr creator_name=\"A. Diver\"";
        return true;
    }
    options.attributes.push_back({std::string(attribute), std::string(value.substr(eq + 1))});
    return true;
}

std::optional<std::string> output_format_problem(const OutputFormatOptions& options,
                                                 const std::optional<std::string>& output) {
    if (options.format == OutputFormat::netcdf && (!output || *output == "-")) {
        return "--format netcdf needs --output FILE: a NetCDF file is never written to "
               "standard output";
    }
    if (options.format == OutputFormat::csv && !options.attributes.empty()) {
        return "--attr sets attributes of a NetCDF file: give --format netcdf";
    }
    return std::nullopt;
}

}  // namespace kelpira::processing

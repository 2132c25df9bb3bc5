// The --format and --attr options of kelpira-process.
#include "output_format_args.hpp"

#include <algorithm>
#include <string_view>
#include <vector>

namespace kelpira::process {

namespace {

using processing::OutputFormat;

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
           "the one kelpira-process would write. NAME: a letter, then letters,\n"
           "digits and _.+-@")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false)
        ->check(common::of_form("NAME=VALUE", [](const std::string& text) {
            const auto eq = text.find('=');
            return eq != std::string::npos && is_attribute_name(text.substr(0, eq));
        }));
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
}

}  // namespace kelpira::process

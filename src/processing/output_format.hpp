// kelpira-process's choice of output: a CSV table (the default) or a NetCDF file, and the
// global attributes the user gives the NetCDF file (--format, --attr).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelpira::processing {

enum class OutputFormat { csv, netcdf };

// A global attribute given by the user (--attr NAME=VALUE); it wins over the one the writer
// would have made.
struct NetcdfAttribute {
    std::string name;
    std::string value;
};

struct OutputFormatOptions {
    OutputFormat format = OutputFormat::csv;
    std::vector<NetcdfAttribute> attributes;
};

inline constexpr std::string_view kOutputFormatUsage =
    "[--format csv|netcdf] [--attr NAME=VALUE]...";

// What the help says of the two options.
inline constexpr std::string_view kOutputFormatHelp =
    "  --format F       csv (default) or netcdf: one CF/ACDD NetCDF-4 file of every\n"
    "                   result, which needs --output FILE.nc\n"
    "  --attr NAME=VALUE  a global attribute of the NetCDF file (repeatable), such as\n"
    "                   --attr institution=\"Bay Lab\" --attr license=CC-BY-4.0; it\n"
    "                   replaces the one kelpira-process would write\n";

// True when `name` is --format or --attr, which then takes `value`; `error` is set when the
// value is wrong.
bool take_output_format_option(std::string_view name, std::string_view value,
                               OutputFormatOptions& options, std::string& error);

// Why the options do not go with the output (none: standard output), if they do not.
std::optional<std::string> output_format_problem(const OutputFormatOptions& options,
                                                 const std::optional<std::string>& output);

}  // namespace kelpira::processing

// kelpira-process's choice of output: --format csv|netcdf, the NetCDF file's global
// attributes (--attr NAME=VALUE) and where its results were (--position, --positions,
// --feature-type, --track).
#pragma once

#include <optional>
#include <string>

#include "common/cli_app.hpp"
#include "processing/output_format.hpp"

namespace kelpira::process {

// Declares the options on `app`, read into `format`.
void declare_output_format(CLI::App& app, processing::OutputFormatOptions& format);

// Throws a usage problem when `format` does not go with the output (none: standard output).
void check_output_format(const processing::OutputFormatOptions& format,
                         const std::optional<std::string>& output);

}  // namespace kelpira::process

// The quality-control options of kelpira-process: --qc, --series and --kind.
#pragma once

#include "common/cli_app.hpp"
#include "processing/batch_options.hpp"

namespace kelpira::process {

// Declares --qc, --series and --kind on `app`, read into `options`. `files` is the raw files'
// option: --series takes the place of the raw files, which it then no longer requires.
void declare_quality_control(CLI::App& app, processing::BatchOptions& options, CLI::Option* files);

// Throws a usage problem when the options do not go together.
void check_quality_control(const processing::BatchOptions& options);

}  // namespace kelpira::process

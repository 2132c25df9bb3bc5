// Choosing the raw output file a processing dialog reads.
#pragma once

#include <string>

#include "common/prompter.hpp"

namespace kelpira::processing {

// "Raw Output File": raw output files (*.csv) or all files, default extension "csv".
common::FileRequest raw_file_request();

// Shown when a chosen file cannot be opened for reading.
std::string cannot_open_text(const std::string& path);

}  // namespace kelpira::processing

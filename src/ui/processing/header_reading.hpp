// Reading a raw file's header for a processing dialog without holding up the window: a pH
// header pass reads the whole file, which can be gigabytes.
#pragma once

#include <optional>
#include <string>

#include "processing/dialogs/raw_pass.hpp"

namespace kelpira::ui {

// read_raw_header on a worker, while the UI thread keeps painting (user input waits, under a
// busy cursor, until the header is read).
std::optional<processing::OpenedRawFile> read_header_off_thread(const std::string& path,
                                                                processing::RawChemistry chemistry);

}  // namespace kelpira::ui

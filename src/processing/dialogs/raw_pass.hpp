// Reading a raw file for a processing dialog: the header when the dialog opens, and the rows
// of a pass with progress, cancel and the closing row.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "common/prompter.hpp"
#include "processing/dialogs/processing_controller.hpp"
#include "processing/raw_header.hpp"
#include "processing/raw_row.hpp"

namespace kelpira::processing {

struct OpenedRawFile {
    std::string path;
    RawHeader header;
    bool found = false;  // a header start line was seen
};

// Reads the header of `path` for `chemistry`; nothing when the file cannot be opened or read.
std::optional<OpenedRawFile> read_raw_header(const std::string& path, RawChemistry chemistry);

// The opening of a single-file dialog, in two steps so that a window can read the header off
// its own thread: the user chooses the file (nothing when the chooser was cancelled), then the
// header read of it is checked (nothing when it could not be read, said under `caption`).
std::optional<std::string> choose_raw_path(common::Prompter& prompter);
std::optional<OpenedRawFile> checked_raw_file(common::Prompter& prompter,
                                              const std::string& caption, const std::string& path,
                                              std::optional<OpenedRawFile> read);

enum class RowPassEnd { done, cannot_open, read_error, cancelled };

// Opens `path` and hands every row the chemistry accepts to `row`, in file order, then the
// closing row of state 255 when the file ended normally. Reports progress by bytes and
// stops early when the pass is cancelled (no closing row then).
RowPassEnd for_each_file_row(const std::string& path, RawChemistry chemistry,
                             const PassControl& control,
                             const std::function<void(const RawRow&)>& row);

}  // namespace kelpira::processing

// Reading a raw file's header for a processing dialog without holding up the window: a pH
// header pass reads the whole file, which can be gigabytes.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "processing/dialogs/raw_pass.hpp"

namespace kelpira::ui {

using HeaderRead = std::function<void(std::optional<processing::OpenedRawFile>)>;

// read_raw_header on a worker; `done` gets what it read, on the UI thread, after the call has
// returned. Meanwhile the cursor is busy and `parent` (when given) is disabled, so user input
// waits until the header is read. The read belongs to `parent`: if that goes first, `done` is
// never called.
void read_header_off_thread(QWidget* parent, const std::string& path,
                            processing::RawChemistry chemistry, HeaderRead done);

}  // namespace kelpira::ui

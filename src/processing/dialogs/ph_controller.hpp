// "Process Raw pH Data": one pH raw file, its parameters shown for editing, the thermistor
// calibrations taken from its header.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/prompter.hpp"
#include "processing/dialogs/processing_controller.hpp"
#include "processing/dialogs/raw_pass.hpp"
#include "processing/raw_header.hpp"

namespace kelpira::processing {

struct PhController {
    ProcessingView view;
    std::string path;
    RawHeader header;  // the thermistor calibrations come from here only
};

inline constexpr const char* kPhCaption = "Process Raw pH Data";
// The parameter controls: one per field the pH record's table captions, and the sample
// interval of the file after the sample measurement state.
inline constexpr const char* kPhParameters = "Processing Parameters";

// Index of a control in ProcessingView::controls: "sample_interval" or a field's name.
std::size_t ph_control_index(const ProcessingView& view, std::string_view name);

PhController make_ph_dialog();

// Chooses the file and reads its header; false when the dialog is to close.
bool open_ph_dialog(PhController& dialog, common::Prompter& prompter);
// The second step of opening, for a window that reads the header off its own thread: `read` is
// what read_raw_header gave for the chosen `path`.
bool open_ph_file(PhController& dialog, common::Prompter& prompter, const std::string& path,
                  std::optional<OpenedRawFile> read);

// "Process": the pass, or nothing when the parameters cannot be processed (a sample interval
// of 0 ms), which is said through `prompter`.
std::optional<PassJob> ph_process(PhController& dialog, common::Prompter& prompter);

// The controls read back over the header defaults; the interval in milliseconds beside them.
struct PhSettings {
    records::PhParams params;
    std::uint32_t interval_ms = 100;
};
PhSettings ph_settings_of(const ProcessingView& view);

void show_ph_params(ProcessingView& view, const records::PhParams& params,
                    std::uint32_t interval_ms);

}  // namespace kelpira::processing

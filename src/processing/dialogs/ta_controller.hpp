// "Process Raw TA Data": one TA raw file, its parameters shown for editing, the thermistor
// calibrations taken from its header.
#pragma once

#include <cstddef>
#include <string>

#include "common/prompter.hpp"
#include "processing/dialogs/processing_controller.hpp"
#include "processing/dialogs/raw_pass.hpp"
#include "processing/raw_header.hpp"

namespace kelpira::processing {

struct TaController {
    ProcessingView view;
    std::string path;
    RawHeader header;  // the thermistor calibrations come from here only
};

inline constexpr const char* kTaCaption = "Process Raw TA Data";
// The group of the parameter controls: one per field the TA record's table captions.
inline constexpr const char* kTaParameters = "Processing Parameters";

TaController make_ta_dialog();

// Chooses the file and reads its header; false when the dialog is to close.
bool open_ta_dialog(TaController& dialog, common::Prompter& prompter);
// The second step of opening, for a window that reads the header off its own thread: `read` is
// what read_raw_header gave for the chosen `path`.
bool open_ta_file(TaController& dialog, common::Prompter& prompter, const std::string& path,
                  std::optional<OpenedRawFile> read);

// "Process": clears the lists, reads the controls and returns the pass over the file.
PassJob ta_process(TaController& dialog);

records::TaParams ta_params_of(const ProcessingView& view);
void show_ta_params(ProcessingView& view, const records::TaParams& params);

}  // namespace kelpira::processing

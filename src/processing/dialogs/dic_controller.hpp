// "Process Raw DIC Data": one DIC raw file, its three inlets shown for editing, thermistor 0
// taken from its header.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/prompter.hpp"
#include "processing/dialogs/processing_controller.hpp"
#include "processing/dialogs/raw_pass.hpp"
#include "processing/raw_header.hpp"

namespace kelpira::processing {

// The index in ProcessingView::controls of the control of inlet k (0..2) showing the inlet's
// field `name`, as the inlet's field table names it.
std::size_t dic_control(std::size_t inlet, std::string_view name);

struct DicController {
    ProcessingView view;
    std::string path;
    RawHeader header;  // thermistor 0 comes from here only
};

inline constexpr const char* kDicCaption = "Process Raw DIC Data";

DicController make_dic_dialog();

// Chooses the file and reads its header; false when the dialog is to close.
bool open_dic_dialog(DicController& dialog, common::Prompter& prompter);
// The second step of opening, for a window that reads the header off its own thread: `read` is
// what read_raw_header gave for the chosen `path`.
bool open_dic_file(DicController& dialog, common::Prompter& prompter, const std::string& path,
                   std::optional<OpenedRawFile> read);

// An "Inlet Type" changed: that inlet's controls follow its type.
void dic_control_changed(DicController& dialog, std::size_t control);

// "Process": clears the lists, reads the controls and returns the pass over the file.
PassJob dic_process(DicController& dialog);

records::DicParams dic_params_of(const ProcessingView& view);
void show_dic_params(ProcessingView& view, const records::DicParams& params);

}  // namespace kelpira::processing

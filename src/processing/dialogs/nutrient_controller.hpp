// "Process Raw Nutrient Data": one nutrient raw file, its header parameters shown for editing,
// titles and enabling by nutrient type, standard adjustment, trigger and optical correction.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/prompter.hpp"
#include "processing/dialogs/processing_controller.hpp"
#include "processing/dialogs/raw_pass.hpp"
#include "records/chemistry_type.hpp"
#include "records/nutrient_params.hpp"

namespace kelpira::processing {

// The controls: the "Nutrient Type" list, one per field the nutrient record's table captions,
// and the read-only dilution.
inline constexpr const char* kNutrientParameters = "Processing Parameters";
inline constexpr const char* kNutrientOptical = "Optical Correction";

// Index of a control in ProcessingView::controls: "type", "dilution" or a field's name.
std::size_t nutrient_control_index(const ProcessingView& view, std::string_view name);

struct NutrientController {
    ProcessingView view;
    std::string path;  // the raw file; every "Process" reads it again from its start
};

inline constexpr const char* kNutrientCaption = "Process Raw Nutrient Data";

// The dialog before a file is chosen: lists filled, columns titled, "Save" disabled.
NutrientController make_nutrient_dialog();

// Chooses the file and reads its header, showing its parameters or saying why not. Returns
// false when the dialog is to close (chooser cancelled, wrong chemistry, unreadable file).
bool open_nutrient_dialog(NutrientController& dialog, common::Prompter& prompter);
// The second step of opening, for a window that reads the header off its own thread: `read` is
// what read_raw_header gave for the chosen `path`.
bool open_nutrient_file(NutrientController& dialog, common::Prompter& prompter,
                        const std::string& path, std::optional<OpenedRawFile> read);

// A list or check box changed: "Nutrient Type", "Standard Adjustment", "Processing Trigger"
// and "Enable Optical Correction" apply the titles, dilution and enabling rules.
void nutrient_control_changed(NutrientController& dialog, std::size_t control);

// "Process": clears the lists, reads the controls and returns the pass over the file.
PassJob nutrient_process(NutrientController& dialog);

// The controls as parameters (states above 254 taken as 254, concentrations x 1000
// truncated, a list without a selection as its first entry), and the nutrient type.
records::NutrientParams nutrient_params_of(const ProcessingView& view);
records::ChemistryType nutrient_type_of(const ProcessingView& view);

// Shows a header's parameters and applies the titles and enabling rules.
void show_nutrient_params(ProcessingView& view, records::ChemistryType type,
                          const records::NutrientParams& params);

}  // namespace kelpira::processing

// The multi-file nutrient dialog: many nutrient raw files, each processed with its own header,
// all results in one list with the file's sensor name.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/prompter.hpp"
#include "processing/dialogs/processing_controller.hpp"

namespace kelpira::processing {

struct NutrientMultiController {
    ProcessingView view;
};

inline constexpr const char* kNutrientMultiCaption = "Process Raw Nutrient Data (Multi)";

// The log, the result list with its nine columns and a disabled "Save"; no parameters.
NutrientMultiController make_nutrient_multi_dialog();

// Lets the user choose the files and returns the pass over them; nothing when the chooser
// was cancelled (the dialog closes).
std::optional<PassJob> open_nutrient_multi_dialog(NutrientMultiController& dialog,
                                                  common::Prompter& prompter);

}  // namespace kelpira::processing

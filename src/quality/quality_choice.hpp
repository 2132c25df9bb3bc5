// "Quality Control...": the user's choice of the parameters results are flagged with, asked
// the same way by the processing dialogs and the processed output views.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/prompter.hpp"
#include "quality/qc_parameters_file.hpp"

namespace kelpira::quality {

inline constexpr std::string_view kQualityCaption = "Quality Control";

struct QualityChoice {
    std::optional<QcParametersFile> parameters;  // none: nothing is flagged
    std::string source;                          // where they came from, as the log says it
};

// The parameters the program ships, as chosen by "No".
QualityChoice shipped_quality_choice();

// Asks whether to load a parameters file (Yes: the file chooser), use the parameters the
// program ships (No) or flag nothing (Cancel). A file that cannot be read or is refused is
// said under "Quality Control", naming the key, and nothing is flagged.
QualityChoice choose_quality_parameters(common::Prompter& prompter);

// "Results flagged with the quality-control parameters of SOURCE", or "Results not flagged:
// no quality-control parameters".
std::string quality_choice_text(const QualityChoice& choice);

}  // namespace kelpira::quality

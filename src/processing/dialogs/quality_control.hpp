// "Quality Control..." of the processing dialogs: the parameters the next passes flag their
// results with, the aggregate flag of each listed result, and its colour.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/prompter.hpp"
#include "processing/dialogs/processing_controller.hpp"
#include "quality/quality_choice.hpp"
#include "quality/quality_flag.hpp"

namespace kelpira::processing {

inline constexpr std::string_view kQualityCaption = quality::kQualityCaption;
inline constexpr std::string_view kQualityColumnTitle = quality::kFlagColumnTitle;

// "Quality Control...": asks whether to load a parameters file (Yes: the file chooser), use
// the parameters the program ships (No) or flag nothing (Cancel). A file that cannot be read
// or is refused is said under "Quality Control", naming the key, and nothing is flagged. The
// dialog's log says which it is.
void choose_quality_control(ProcessingView& view, common::Prompter& prompter);

// Flags the pass's results with the view's parameters: each row gains the aggregate flag of
// its result (of the channel a nutrient result reports; the most severe of its channels for
// an adaptive output), and the results keep the parameters for a Save as NetCDF. A kind the
// parameters do not cover is said in the log and left unflagged (2).
void flag_pass(PassOutcome& outcome, const quality::QcParametersFile& parameters, bool corrected);

// The colour of an aggregate flag cell as 0xRRGGBB: amber for suspect ("3"), red for fail
// ("4"); none for the others.
std::optional<std::uint32_t> quality_flag_colour(std::string_view cell);

}  // namespace kelpira::processing

// The question of "Quality Control..." and what its answer loads.
#include "quality/quality_choice.hpp"

namespace kelpira::quality {

namespace {

constexpr std::string_view kShipped = "the parameters Kelpira ships";

}  // namespace

QualityChoice shipped_quality_choice() {
    std::string error;
    return {load_qc_parameters("default", error), std::string(kShipped)};
}

QualityChoice choose_quality_parameters(common::Prompter& prompter) {
    const std::string caption(kQualityCaption);
    const auto answer = prompter.ask_yes_no_cancel(
        caption,
        "Flag the results with a quality-control parameters file of your own?\n"
        "Yes: choose the file. No: the parameters Kelpira ships. Cancel: no quality flags.");
    if (answer == common::Answer::No) {
        return shipped_quality_choice();
    }
    if (answer != common::Answer::Yes) {
        return {};
    }
    common::FileRequest request;
    request.title = caption;
    request.filters = {{"Parameters (*.json)", "*.json"}, {"All Files (*.*)", "*.*"}};
    request.default_extension = "json";
    const auto path = prompter.choose_open_file(request);
    if (!path) {
        return {};
    }
    std::string error;
    QualityChoice choice{load_qc_parameters(*path, error), *path};
    if (!choice.parameters) {
        prompter.message(caption, "The results are not flagged: " + error);
        choice.source.clear();
    }
    return choice;
}

std::string quality_choice_text(const QualityChoice& choice) {
    return choice.parameters
               ? "Results flagged with the quality-control parameters of " + choice.source
               : "Results not flagged: no quality-control parameters";
}

}  // namespace kelpira::quality

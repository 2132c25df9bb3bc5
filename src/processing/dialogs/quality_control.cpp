// The processing dialogs' quality control: the parameters chosen, the flags of a pass.
#include "processing/dialogs/quality_control.hpp"

#include <algorithm>
#include <vector>

#include "processing/result_quality.hpp"
#include "quality/quality_choice.hpp"

namespace kelpira::processing {

namespace {

// The aggregate flag a row shows.
quality::Flag shown_flag(const std::vector<QualityFlags>& series, const NetcdfInput& input) {
    constexpr std::size_t kAggregate = 4;
    if (series.size() > 1 && input.header.nutrient.output_channel < series.size()) {
        return series[input.header.nutrient.output_channel][kAggregate];
    }
    quality::Flag worst = series.front()[kAggregate];
    for (const auto& s : series) {
        worst = quality::shown_of(worst, s[kAggregate]);
    }
    return worst;
}

}  // namespace

void choose_quality_control(ProcessingView& view, common::Prompter& prompter) {
    auto choice = quality::choose_quality_parameters(prompter);
    view.log.push_back(quality::quality_choice_text(choice));
    view.quality = std::move(choice.parameters);
    view.quality_source = std::move(choice.source);
}

void flag_pass(PassOutcome& outcome, const quality::QcParametersFile& parameters, bool corrected) {
    const auto& source = outcome.source;
    if (source.inputs.empty()) {
        return;
    }
    if (const auto problem =
            quality_parameters_problem(parameters, source.chemistry, source.inputs);
        !problem.empty()) {
        add_log_line(outcome, "Quality control: " + problem);
    }
    const std::vector<NetcdfRow> rows(outcome.records.begin(), outcome.records.end());
    const auto flagged = flag_results(parameters, source.chemistry, source.inputs, rows, corrected);
    for (const auto& text : flagged.warnings) {
        add_log_line(outcome, "Quality control: " + text);
    }
    for (std::size_t i = 0; i < std::min(outcome.rows.size(), rows.size()); ++i) {
        const auto& input =
            source.inputs[std::min<std::size_t>(rows[i].input, source.inputs.size() - 1)];
        const auto flag = shown_flag(flagged.rows[i], input);
        outcome.rows[i].push_back(std::to_string(quality::flag_value(flag)));
    }
    outcome.source.quality = parameters;
}

std::optional<std::uint32_t> quality_flag_colour(std::string_view cell) {
    if (cell == "3") {
        return quality::flag_colour(quality::Flag::suspect);
    }
    if (cell == "4") {
        return quality::flag_colour(quality::Flag::fail);
    }
    return std::nullopt;
}

}  // namespace kelpira::processing

// The processing dialogs' quality control: the parameters chosen, the flags of a pass.
#include "processing/dialogs/quality_control.hpp"

#include <algorithm>
#include <vector>

#include "processing/result_quality.hpp"

namespace kelpira::processing {

namespace {

int severity(quality::Flag f) {
    switch (f) {
        case quality::Flag::fail:
            return 4;
        case quality::Flag::suspect:
            return 3;
        case quality::Flag::pass:
            return 2;
        case quality::Flag::not_evaluated:
            return 1;
        case quality::Flag::missing:
            break;
    }
    return 0;
}

// The aggregate flag a row shows.
quality::Flag shown_flag(const std::vector<QualityFlags>& series, const NetcdfInput& input) {
    constexpr std::size_t kAggregate = 4;
    if (series.size() > 1 && input.header.nutrient.output_channel < series.size()) {
        return series[input.header.nutrient.output_channel][kAggregate];
    }
    quality::Flag worst = series.front()[kAggregate];
    for (const auto& s : series) {
        if (severity(s[kAggregate]) > severity(worst)) {
            worst = s[kAggregate];
        }
    }
    return worst;
}

}  // namespace

void choose_quality_control(ProcessingView& view, common::Prompter& prompter) {
    const std::string caption(kQualityCaption);
    view.quality.reset();
    view.quality_source.clear();
    const auto answer = prompter.ask_yes_no_cancel(
        caption,
        "Flag the results with a quality-control parameters file of your own?\n"
        "Yes: choose the file. No: the parameters Kelpira ships. Cancel: no quality flags.");
    std::optional<std::string> spec;
    if (answer == common::Answer::Yes) {
        common::FileRequest request;
        request.title = caption;
        request.filters = {{"Parameters (*.json)", "*.json"}, {"All Files (*.*)", "*.*"}};
        request.default_extension = "json";
        spec = prompter.choose_open_file(request);
    } else if (answer == common::Answer::No) {
        spec = "default";
    }
    if (spec) {
        std::string error;
        view.quality = quality::load_qc_parameters(*spec, error);
        if (view.quality) {
            view.quality_source =
                *spec == "default" ? std::string("the parameters Kelpira ships") : *spec;
        } else {
            prompter.message(caption, "The results are not flagged: " + error);
        }
    }
    view.log.push_back(view.quality ? "Results flagged with the quality-control parameters of " +
                                          view.quality_source
                                    : "Results not flagged: no quality-control parameters");
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
        return 0xFFBF00;  // amber
    }
    if (cell == "4") {
        return 0xFF0000;
    }
    return std::nullopt;
}

}  // namespace kelpira::processing

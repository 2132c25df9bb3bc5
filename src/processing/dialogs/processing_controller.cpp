// Starting and finishing a processing pass on a dialog's view.
#include "processing/dialogs/processing_controller.hpp"
#include "processing/dialogs/quality_control.hpp"

#include <algorithm>
#include <utility>

#include "processing/chemistry_table.hpp"

namespace kelpira::processing {

void begin_pass(ProcessingView& view) {
    view.log.clear();
    view.results.rows.clear();
    view.results.records.clear();
    view.results.source = {};
    view.results.unlisted = 0;
    view.save_enabled = false;
}

namespace {

constexpr const char* kClockLogCaption = "Clock Log";

// Corrects the outcome's rows and records with the log: each input's sensor gets its records,
// each row the corrected time of its record.
void correct_times(PassOutcome& outcome, const ClockLog& log) {
    auto& inputs = outcome.source.inputs;
    outcome.source.clock_log = log.path;
    std::vector<CorrectionSpan> spans(inputs.size());
    for (auto& in : inputs) {
        in.clock_records = sensor_records(log, in.sensor_name);
    }
    // Every pass adds a row and its record together.
    const std::size_t at = chemistry_entry(outcome.source.chemistry).time_columns;
    for (std::size_t i = 0; i < std::min(outcome.rows.size(), outcome.records.size()); ++i) {
        const NetcdfRow& record = outcome.records[i];
        const auto input = std::min<std::size_t>(record.input, inputs.size() - 1);
        const double sensor_time = result_sensor_time(record.record);
        spans[input].add(sensor_time);
        auto& row = outcome.rows[i];
        row.insert(row.begin() + static_cast<std::ptrdiff_t>(std::min(at, row.size())),
                   corrected_time_text(corrected_time(inputs[input].clock_records, sensor_time)));
    }
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        for (auto& text :
             correction_warnings(log, inputs[i].sensor_name, inputs[i].clock_records, spans[i])) {
            add_log_line(outcome, inputs[i].path + ": " + text);
        }
    }
}

}  // namespace

void finish_pass(ProcessingView& view, PassOutcome outcome, common::Prompter& prompter) {
    view.results.corrected_at.reset();
    if (view.clock_log && !outcome.source.inputs.empty()) {
        correct_times(outcome, *view.clock_log);
        view.results.corrected_at = chemistry_entry(outcome.source.chemistry).time_columns;
    }
    view.results.flagged = view.quality.has_value();
    if (view.quality) {
        flag_pass(outcome, *view.quality, view.clock_log.has_value());
    }
    for (auto& row : outcome.rows) {
        view.results.rows.push_back(row);
    }
    view.results.unlisted = outcome.rows.dropped();
    for (auto& record : outcome.records) {
        view.results.records.push_back(record);
    }
    view.results.source = std::move(outcome.source);
    for (auto& line : outcome.log) {
        view.log.push_back(std::move(line));
    }
    if (view.results.unlisted > 0) {
        view.log.push_back(unlisted_results_text(view.results.unlisted));
    }
    if (outcome.cancelled) {
        view.log.emplace_back(kPassCancelledText);
    }
    view.save_enabled = outcome.save_allowed && !outcome.cancelled;
    for (const auto& m : outcome.messages) {
        prompter.message(m.caption, m.text);
    }
}

void choose_clock_log(ProcessingView& view, common::Prompter& prompter) {
    common::FileRequest request;
    request.title = kClockLogCaption;
    request.filters = {{"Clock Logs (*.csv)", "*.csv"}, {"All Files (*.*)", "*.*"}};
    request.default_extension = "csv";
    request.initial_name = view.clock_log ? view.clock_log->path : std::string();
    view.clock_log.reset();
    const auto path = prompter.choose_open_file(request);
    if (path) {
        std::string error;
        view.clock_log = load_clock_log(*path, error);
        if (!view.clock_log) {
            prompter.message(kClockLogCaption, "The times are not corrected: " + error);
        }
    }
    view.log.push_back(view.clock_log
                           ? "Times corrected with the clock log " + view.clock_log->path + " (" +
                                 std::to_string(view.clock_log->records.size()) +
                                 (view.clock_log->records.size() == 1 ? " record)" : " records)")
                           : "Times not corrected: no clock log");
}

void add_log_line(PassOutcome& outcome, std::string line) {
    if (line.size() > 255) {
        line.resize(255);
    }
    outcome.log.push_back(std::move(line));
}

}  // namespace kelpira::processing

// Starting and finishing a processing pass on a dialog's view.
#include "processing/dialogs/processing_controller.hpp"

#include <utility>

namespace kelpira::processing {

void begin_pass(ProcessingView& view) {
    view.log.clear();
    view.results.rows.clear();
    view.results.records.clear();
    view.results.source = {};
    view.results.unlisted = 0;
    view.save_enabled = false;
}

void finish_pass(ProcessingView& view, PassOutcome outcome, common::Prompter& prompter) {
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

void add_log_line(PassOutcome& outcome, std::string line) {
    if (line.size() > 255) {
        line.resize(255);
    }
    outcome.log.push_back(std::move(line));
}

}  // namespace kelpira::processing

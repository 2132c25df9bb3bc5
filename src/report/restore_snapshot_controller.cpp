// The restore flow of the desktop program.
#include "report/restore_snapshot_controller.hpp"

#include "report/snapshot_file.hpp"

namespace kelpira::report {

namespace {

ImportResult dry_run(link::SensorLink& link, const RestorePlan& plan) {
    ImportOptions o = plan.options;
    o.dry_run = true;
    return import_snapshot(link, plan.snapshot, o);
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += "\n" + line;
    }
    return text;
}

}  // namespace

std::optional<RestorePlan> plan_restore(link::SensorLink& link, common::Prompter& prompter) {
    common::FileRequest request;
    request.title = kRestoreSnapshotTitle;
    request.filters = {{"JSON Files (*.json)", "*.json"}, {"All Files (*.*)", "*.*"}};
    request.default_extension = "json";
    const auto path = prompter.choose_open_file(request);
    if (!path) {
        return std::nullopt;
    }
    RestorePlan plan;
    try {
        plan.snapshot = load_snapshot(*path);
    } catch (const SnapshotFault& fault) {
        prompter.message(kRestoreSnapshotTitle,
                         std::string("The snapshot cannot be used: ") + fault.what());
        return std::nullopt;
    }
    plan.preview = dry_run(link, plan);
    if (plan.preview.chemistry_differs) {
        std::string question = *plan.preview.refusal;
        question[0] = 'T';  // "the snapshot's chemistry is ..." begins the sentence
        const auto answer = prompter.ask_yes_no(
            kRestoreSnapshotTitle,
            question + ".\n\nRestore it anyway? The sensor's chemistry will be changed.");
        if (answer != common::Answer::Yes) {
            return std::nullopt;
        }
        plan.options.force = true;
        plan.preview = dry_run(link, plan);
    }
    if (plan.preview.refusal) {
        prompter.message(kRestoreSnapshotTitle,
                         "The snapshot cannot be restored: " + *plan.preview.refusal);
        return std::nullopt;
    }
    return plan;
}

void replan_restore(link::SensorLink& link, RestorePlan& plan, bool include_identity) {
    plan.options.include_identity = include_identity;
    plan.preview = dry_run(link, plan);
}

bool run_restore(link::SensorLink& link, const RestorePlan& plan, common::Prompter& prompter) {
    ImportOptions o = plan.options;
    o.dry_run = false;
    const auto result = import_snapshot(link, plan.snapshot, o);
    if (result.refusal) {
        prompter.message(kRestoreSnapshotTitle,
                         "The snapshot cannot be restored: " + *result.refusal);
        return false;
    }
    prompter.message(kRestoreSnapshotTitle,
                     (result.ok() ? "Snapshot restored." : "The snapshot was not fully restored.") +
                         std::string("\n") + joined(outcome_lines(result)));
    return result.ok();
}

}  // namespace kelpira::report

// The pH processing dialog: controls, header messages, reading the controls back.
#include "processing/dialogs/ph_controller.hpp"

#include "processing/dialogs/chemistry_passes.hpp"
#include "processing/dialogs/raw_pass.hpp"
#include "processing/ph_engine.hpp"
#include "records/chemistry_fields.hpp"
#include "records/record_form.hpp"

namespace kelpira::processing {
namespace {

constexpr const char* kIntervalLabel = "Sample Interval (ms)";

}  // namespace

std::size_t ph_control_index(const ProcessingView& view, std::string_view name) {
    const common::FormControl* c =
        name == "sample_interval"
            ? records::find_control(view.controls, kPhParameters, kIntervalLabel)
            : records::control_of<records::PhParams>(view.controls, kPhParameters, name);
    return c == nullptr ? view.controls.size() : static_cast<std::size_t>(c - view.controls.data());
}

PhController make_ph_dialog() {
    PhController d;
    auto& v = d.view;
    v.title = kPhCaption;
    records::add_controls<records::PhParams>(v.controls, kPhParameters);
    const auto after = ph_control_index(v, "sample_measurement_state") + 1;
    v.controls.insert(v.controls.begin() + static_cast<std::ptrdiff_t>(after),
                      common::make_field(kPhParameters, kIntervalLabel));
    v.results.columns = result_columns(chemistry_entry(ChemistryChoice::ph));
    reset_header(d.header, RawChemistry::ph);
    return d;
}

bool open_ph_dialog(PhController& dialog, common::Prompter& prompter) {
    const auto path = choose_raw_path(prompter);
    return path && open_ph_file(dialog, prompter, *path, read_raw_header(*path, RawChemistry::ph));
}

bool open_ph_file(PhController& dialog, common::Prompter& prompter, const std::string& path,
                  std::optional<OpenedRawFile> read) {
    const auto file = checked_raw_file(prompter, kPhCaption, path, std::move(read));
    if (!file) {
        return false;
    }
    dialog.path = file->path;
    dialog.header = file->header;
    if (!file->found) {
        prompter.message(kPhCaption,
                         "No pH Processing Parameters found in file header: please enter them by "
                         "hand, or connect a sensor and try again to use the current values from "
                         "the sensor.");
        return true;
    }
    if (file->header.chemistry != records::ChemistryType::ph) {
        prompter.message(kPhCaption, "This file has the wrong chemistry type for pH processing.");
        return false;
    }
    show_ph_params(dialog.view, file->header.ph, file->header.ph_sample_interval_ms);
    return true;
}

std::optional<PassJob> ph_process(PhController& dialog, common::Prompter& prompter) {
    begin_pass(dialog.view);
    const PhSettings s = ph_settings_of(dialog.view);
    if (const auto problem = ph_interval_problem(s.interval_ms)) {
        prompter.message(kPhCaption, *problem);
        return std::nullopt;
    }
    return ph_pass_job(dialog.path, s.params, s.interval_ms, dialog.header.thermistors);
}

PhSettings ph_settings_of(const ProcessingView& view) {
    RawHeader defaults;
    reset_header(defaults, RawChemistry::ph);
    PhSettings s{defaults.ph, defaults.ph_sample_interval_ms};
    records::collect_record(view.controls, kPhParameters, s.params);
    // Not limited here: an interval the engine cannot use is said when "Process" is pressed.
    s.interval_ms =
        common::field_unsigned(view.controls[ph_control_index(view, "sample_interval")].text);
    return s;
}

void show_ph_params(ProcessingView& view, const records::PhParams& p, std::uint32_t interval_ms) {
    records::show_record(view.controls, kPhParameters, p);
    view.controls[ph_control_index(view, "sample_interval")].text = std::to_string(interval_ms);
}

}  // namespace kelpira::processing

// The TA processing dialog: controls, header messages, reading the controls back.
#include "processing/dialogs/ta_controller.hpp"

#include "processing/dialogs/chemistry_passes.hpp"
#include "processing/dialogs/raw_pass.hpp"
#include "records/chemistry_fields.hpp"
#include "records/record_form.hpp"

namespace kelpira::processing {

TaController make_ta_dialog() {
    TaController d;
    auto& v = d.view;
    v.title = kTaCaption;
    records::add_controls<records::TaParams>(v.controls, kTaParameters);
    for (const char* name : {"monitor_led1", "monitor_led2"}) {
        auto* c = records::control_of<records::TaParams>(v.controls, kTaParameters, name);
        c->enabled = false;  // shown, never used
        c->tooltip = "Not yet implemented";
    }
    v.results.columns = result_columns(chemistry_entry(ChemistryChoice::ta));
    reset_header(d.header, RawChemistry::ta);
    return d;
}

bool open_ta_dialog(TaController& dialog, common::Prompter& prompter) {
    const auto path = choose_raw_path(prompter);
    return path && open_ta_file(dialog, prompter, *path, read_raw_header(*path, RawChemistry::ta));
}

bool open_ta_file(TaController& dialog, common::Prompter& prompter, const std::string& path,
                  std::optional<OpenedRawFile> read) {
    const auto file = checked_raw_file(prompter, kTaCaption, path, std::move(read));
    if (!file) {
        return false;
    }
    dialog.path = file->path;
    dialog.header = file->header;
    if (!file->found) {
        prompter.message(kTaCaption,
                         "No TA Processing Parameters found in file header: please enter them by "
                         "hand.");
        return true;
    }
    if (file->header.chemistry != records::ChemistryType::ta) {
        prompter.message(kTaCaption, "This file has the wrong chemistry type for TA processing.");
        return false;
    }
    show_ta_params(dialog.view, file->header.ta);
    return true;
}

PassJob ta_process(TaController& dialog) {
    begin_pass(dialog.view);
    return ta_pass_job(dialog.path, ta_params_of(dialog.view), dialog.header.thermistors);
}

records::TaParams ta_params_of(const ProcessingView& view) {
    records::TaParams p;
    records::collect_record(view.controls, kTaParameters, p);
    return p;
}

void show_ta_params(ProcessingView& view, const records::TaParams& p) {
    records::show_record(view.controls, kTaParameters, p);
}

}  // namespace kelpira::processing

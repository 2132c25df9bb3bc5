// The DIC processing dialog: controls, header messages, inlet enabling, reading back.
#include "processing/dialogs/dic_controller.hpp"

#include "processing/dialogs/chemistry_passes.hpp"
#include "processing/dialogs/raw_pass.hpp"
#include "records/chemistry_fields.hpp"
#include "records/record_form.hpp"

namespace kelpira::processing {
namespace {

constexpr const char* kGroup = "Processing Parameters";

// An inlet's controls follow its type.
void apply_inlet_rules(ProcessingView& v, std::size_t inlet) {
    const auto group = records::kDicInletGroups[inlet];
    const auto& rows = records::kDicInletTable.fields;
    const auto type = common::selected_value(
        *records::find_control(v.controls, group, rows.front().spec.caption));
    for (const auto& f : rows) {
        records::find_control(v.controls, group, f.spec.caption)->enabled =
            records::dic_inlet_uses(type, f.spec.name);
    }
}

}  // namespace

std::size_t dic_control(std::size_t inlet, std::string_view name) {
    for (std::size_t j = 0; j < records::kDicInletTable.fields.size(); ++j) {
        if (records::kDicInletTable.fields[j].spec.name == name) {
            return 1 + inlet * records::kDicInletTable.fields.size() + j;
        }
    }
    return 0;
}

DicController make_dic_dialog() {
    DicController d;
    auto& v = d.view;
    v.title = kDicCaption;
    records::add_controls<records::DicParams>(
        v.controls, kGroup,
        {records::kDicCommonGroup, records::kDicInletGroups[0], records::kDicInletGroups[1],
         records::kDicInletGroups[2]});
    v.results.columns = result_columns(chemistry_entry(ChemistryChoice::dic));
    reset_header(d.header, RawChemistry::dic);
    return d;
}

bool open_dic_dialog(DicController& dialog, common::Prompter& prompter) {
    const auto path = choose_raw_path(prompter);
    return path &&
           open_dic_file(dialog, prompter, *path, read_raw_header(*path, RawChemistry::dic));
}

bool open_dic_file(DicController& dialog, common::Prompter& prompter, const std::string& path,
                   std::optional<OpenedRawFile> read) {
    const auto file = checked_raw_file(prompter, kDicCaption, path, std::move(read));
    if (!file) {
        return false;
    }
    dialog.path = file->path;
    dialog.header = file->header;
    if (!file->found) {
        prompter.message(kDicCaption,
                         "No DIC Processing Parameters found in file header: please enter them by "
                         "hand.");
        return true;
    }
    if (file->header.chemistry != records::ChemistryType::dic) {
        prompter.message(kDicCaption, "This file has the wrong chemistry type for DIC processing.");
        return false;
    }
    show_dic_params(dialog.view, file->header.dic);
    return true;
}

void dic_control_changed(DicController& dialog, std::size_t changed) {
    for (std::size_t k = 0; k < records::kDicInletGroups.size(); ++k) {
        if (changed == dic_control(k, "type")) {
            apply_inlet_rules(dialog.view, k);
        }
    }
}

PassJob dic_process(DicController& dialog) {
    begin_pass(dialog.view);
    return dic_pass_job(dialog.path, dic_params_of(dialog.view), dialog.header.thermistors[0]);
}

records::DicParams dic_params_of(const ProcessingView& view) {
    records::DicParams p;
    records::collect_record(view.controls, kGroup, p);
    return p;
}

void show_dic_params(ProcessingView& view, const records::DicParams& p) {
    records::show_record(view.controls, kGroup, p);
    for (std::size_t k = 0; k < records::kDicInletGroups.size(); ++k) {
        apply_inlet_rules(view, k);
    }
}

}  // namespace kelpira::processing

// The DIC processing dialog: controls, header messages, inlet enabling, reading back.
#include "processing/dialogs/dic_controller.hpp"

#include "common/number_scan.hpp"
#include "common/number_text.hpp"
#include "processing/dialogs/chemistry_passes.hpp"
#include "processing/dialogs/raw_pass.hpp"

namespace kelpira::processing {
namespace {

common::FormControl& control(ProcessingView& v, std::size_t inlet, DicInletControl c) {
    return v.controls[dic_control(inlet, c)];
}
const common::FormControl& control(const ProcessingView& v, std::size_t inlet, DicInletControl c) {
    return v.controls[dic_control(inlet, c)];
}
common::FormControl& sensor_version(ProcessingView& v) {
    return v.controls[static_cast<std::size_t>(DicControl::sensor_version)];
}

constexpr std::uint32_t kSample = 1;
constexpr std::uint32_t kCrm = 2;

void apply_inlet_rules(ProcessingView& v, std::size_t inlet) {
    const std::uint32_t type = common::selected_value(control(v, inlet, DicInletControl::type));
    control(v, inlet, DicInletControl::intake_state).enabled = type == kSample;
    control(v, inlet, DicInletControl::measurement_state).enabled = type == kSample || type == kCrm;
    control(v, inlet, DicInletControl::crm_value).enabled = type == kCrm;
}

}  // namespace

DicController make_dic_dialog() {
    DicController d;
    auto& v = d.view;
    v.title = kDicCaption;
    v.controls.push_back(
        common::make_list("Common Processing Parameters", "Sensor Version", {{0, "None"}}));
    for (std::size_t k = 0; k < kDicInlets; ++k) {
        const std::string group = "Inlet " + std::to_string(k + 1) + " Processing Parameters";
        v.controls.push_back(common::make_list(
            group, "Inlet Type", {{0, "Unused"}, {kSample, "Sample"}, {kCrm, "CRM"}}));
        v.controls.push_back(common::make_field(group, "Intake State"));
        v.controls.push_back(common::make_field(group, "Measurement State"));
        v.controls.push_back(common::make_field(group, "CRM Value (\u00b5mol/kg)"));
    }
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
    for (std::size_t k = 0; k < kDicInlets; ++k) {
        if (changed == dic_control(k, DicInletControl::type)) {
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
    p.sensor_version = static_cast<std::uint8_t>(common::selected_value(
        view.controls[static_cast<std::size_t>(DicControl::sensor_version)]));
    for (std::size_t k = 0; k < kDicInlets; ++k) {
        auto& inlet = p.inlet[k];
        inlet.type = static_cast<std::uint8_t>(
            common::selected_value(control(view, k, DicInletControl::type)));
        inlet.intake_state =
            common::field_state(control(view, k, DicInletControl::intake_state).text);
        inlet.measurement_state =
            common::field_state(control(view, k, DicInletControl::measurement_state).text);
        inlet.crm_umol_kg =
            common::to_f32(common::field_value(control(view, k, DicInletControl::crm_value)));
    }
    return p;
}

void show_dic_params(ProcessingView& view, const records::DicParams& p) {
    common::select_value(sensor_version(view), p.sensor_version);
    for (std::size_t k = 0; k < kDicInlets; ++k) {
        const auto& inlet = p.inlet[k];
        common::select_value(control(view, k, DicInletControl::type), inlet.type);
        control(view, k, DicInletControl::intake_state).text = std::to_string(inlet.intake_state);
        control(view, k, DicInletControl::measurement_state).text =
            std::to_string(inlet.measurement_state);
        // The stored value is a float; the 0.001 keeps 1999.995f from showing as 1999.99.
        common::show_value(control(view, k, DicInletControl::crm_value), inlet.crm_umol_kg,
                           common::field_text(static_cast<double>(inlet.crm_umol_kg) + 0.001, 2));
        apply_inlet_rules(view, k);
    }
}

}  // namespace kelpira::processing

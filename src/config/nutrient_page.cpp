// The nutrient chemistry page (Nitrate, Nitrite, Phosphate, Silicate, Iron): the nutrient
// record's controls from its field table (standards, the three optical channels with their
// inputs, optical correction) and the dilution of its chemistry.
#include "config/chemistry_entries.hpp"
#include "config/chemistry_page_kinds.hpp"
#include "records/chemistry_fields.hpp"
#include "records/record_form.hpp"

namespace kelpira::config::page_kinds {

namespace {

using records::NutrientParams;

constexpr const char* kOptical = "Optical Correction";
constexpr const char* kDilution = "Optical Correction Dilution";

PageControl& field(ChemistryPageView& page, std::string_view name) {
    return *records::control_of<NutrientParams>(page.controls, kParametersGroup, name);
}

void build(ChemistryPageView& page) {
    records::add_controls<NutrientParams>(page.controls, kParametersGroup,
                                          {kParametersGroup, "Medium", "Short", "Long", kOptical});
    page.controls.push_back(
        common::make_field(kOptical, kDilution, common::ControlKind::read_only));
    page.controls.back().text = dilution_text(records::dilution_ratio(page.code));
}

void no_config(ChemistryPageView&) {}

void show_params(ChemistryPageView& page) {
    records::show_record(page.controls, kParametersGroup,
                         records::decode_nutrient_params(page.params));
}

void collect_params(ChemistryPageView& page) {
    NutrientParams p = records::decode_nutrient_params(page.params);
    records::collect_record(page.controls, kParametersGroup, p);
    p.layout = 1;
    records::update_output_monitor(p);
    page.params = record_bytes(p);
}

void rules(ChemistryPageView& page) {
    const auto adjustment = common::selected_value(field(page, "standard_adjustment"));
    const auto trigger = common::selected_value(field(page, "processing_trigger"));
    const bool optical = field(page, "optical_correction").checked;
    field(page, "standard1_state").enabled = adjustment != 1 || trigger == 0;
    field(page, "standard2_state").enabled = adjustment != 0 || trigger == 1;
    field(page, "standard1_nmol").enabled = adjustment != 1;
    field(page, "standard2_nmol").enabled = adjustment != 0;
    records::find_control(page.controls, kOptical, kDilution)->enabled = optical;
    field(page, "optical_sample_state").enabled = optical;
    field(page, "optical_blank_state").enabled = optical;
}

}  // namespace

const PageKind& nutrient_kind() {
    static constexpr PageKind kind{
        build,
        no_config,
        no_config,
        show_params,
        collect_params,
        rules,
        [](records::ChemistryType) { return record_bytes(NutrientParams{}); },
    };
    return kind;
}

}  // namespace kelpira::config::page_kinds

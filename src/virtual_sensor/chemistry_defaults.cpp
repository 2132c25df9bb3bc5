// Factory processing parameters of the emulated sensor.
#include "virtual_sensor/chemistry_defaults.hpp"

#include "config/chemistry_page.hpp"
#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"

namespace kelpira::virtual_sensor {

namespace {

template <typename Record>
std::vector<std::uint8_t> bytes_of(const Record& record) {
    const auto b = records::encode(record);
    return {b.begin(), b.end()};
}

// The states of the default program: sample intake 0, blank 1, sample 3 and the standard
// (20 µM) in 10, whose exit completes a cycle.
records::NutrientParams deployed_nutrient() {
    records::NutrientParams p;
    p.sample_intake_state = 0;
    p.blank_measurement_state = 1;
    p.sample_measurement_state = 3;
    p.standard1_state = 10;
    p.standard1_nmol = 20000;  // 20 µM
    p.processing_trigger = 0;
    return p;
}

records::TaParams deployed_ta() {
    records::TaParams p;
    p.sample_intake_state = 1;
    p.blank_led1_state = 2;
    p.blank_led2_state = 3;
    p.sample_led1_state = 4;
    p.sample_led2_state = 5;
    p.processing_trigger = 3;
    p.temperature_coefficient = 0.0048f;
    p.titrant_molarity = 0.1f;
    p.pka = 4.0f;
    p.e1 = 0.0069f;
    p.e2 = 2.2220f;
    p.e3 = 0.1331f;
    return p;
}

records::DicParams deployed_dic() {
    records::DicParams p;
    p.inlet[0] = {1, 1, 2, 0.0f};     // sample
    p.inlet[1] = {2, 0, 3, 2012.5f};  // certified reference material
    return p;
}

}  // namespace

std::vector<std::uint8_t> factory_processing_params(records::ChemistryType chemistry,
                                                    bool own_chemistry, bool legacy_nutrient) {
    const auto* d = records::find_chemistry(chemistry);
    if (d == nullptr) {
        return {};
    }
    switch (d->page) {
        case records::ChemistryPage::nutrient: {
            records::NutrientParams p =
                own_chemistry ? deployed_nutrient() : records::NutrientParams{};
            p.layout = 1;
            if (legacy_nutrient) {
                const auto legacy = records::encode_legacy(p);
                return {legacy.begin(), legacy.end()};
            }
            return bytes_of(p);
        }
        case records::ChemistryPage::ph: {
            records::PhParams p;
            p.layout = 1;
            // Dye injected in state 2 and measured in state 3 of the default program, whose
            // 30 s leave the blank window its first 5 to 10 seconds.
            if (own_chemistry) {
                p.sample_intake_state = 2;
                p.sample_measurement_state = 3;
                p.blank_start_s = 5;
                p.blank_end_s = 10;
            }
            return bytes_of(p);
        }
        case records::ChemistryPage::generic: {
            records::GenericParams p;
            if (own_chemistry) {
                p.sample_intake_state = 1;
                p.sample_measurement_state = 2;
            }
            return bytes_of(p);
        }
        case records::ChemistryPage::ta:
            return own_chemistry ? bytes_of(deployed_ta()) : bytes_of(records::TaParams{});
        case records::ChemistryPage::dic:
            return own_chemistry ? bytes_of(deployed_dic()) : bytes_of(records::DicParams{});
        case records::ChemistryPage::ammonia:
            return config::default_processing_params(chemistry);
    }
    return {};
}

}  // namespace kelpira::virtual_sensor

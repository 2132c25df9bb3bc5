// The named states of each chemistry's processing record.
#include "deployment_check/processing_states.hpp"

#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"

namespace kelpira::deployment_check {

namespace {

constexpr std::uint8_t kDicUnused = 0;
constexpr std::uint8_t kDicSample = 1;
constexpr std::uint8_t kAdjustStandard1 = 0;
constexpr std::uint8_t kAdjustStandard2 = 1;

ProcessingStates nutrient_states(std::span<const std::uint8_t> record) {
    const auto p = records::decode_nutrient_params(record);
    ProcessingStates out;
    out.named = {{"sample intake", p.sample_intake_state},
                 {"sample measurement", p.sample_measurement_state},
                 {"blank", p.blank_measurement_state}};
    if (p.standard_adjustment != kAdjustStandard2) {
        out.named.push_back({"standard 1", p.standard1_state});
    }
    if (p.standard_adjustment != kAdjustStandard1) {
        out.named.push_back({"standard 2", p.standard2_state});
    }
    if (p.optical_correction == 1) {
        out.named.push_back({"optical sample", p.optical_sample_state});
        out.named.push_back({"optical blank", p.optical_blank_state});
    }
    out.measurement = p.sample_measurement_state;
    return out;
}

ProcessingStates dic_states(std::span<const std::uint8_t> record) {
    const auto p = records::decode_dic_params(record);
    ProcessingStates out;
    for (std::size_t i = 0; i < p.inlet.size(); ++i) {
        const auto& inlet = p.inlet[i];
        if (inlet.type == kDicUnused) {
            continue;
        }
        const std::string name = "inlet " + std::to_string(i + 1);
        out.named.push_back({name + " intake", inlet.intake_state});
        out.named.push_back({name + " measurement", inlet.measurement_state});
        if (inlet.type == kDicSample && !out.measurement) {
            out.measurement = inlet.measurement_state;
        }
    }
    return out;
}

}  // namespace

ProcessingStates processing_states(records::ChemistryType chemistry,
                                   std::span<const std::uint8_t> record) {
    const auto* d = records::find_chemistry(chemistry);
    if (d == nullptr) {
        return {};
    }
    switch (d->page) {
        case records::ChemistryPage::nutrient:
            return nutrient_states(record);
        case records::ChemistryPage::generic: {
            const auto p = records::decode_generic_params(record);
            return {{{"sample intake", p.sample_intake_state},
                     {"sample measurement", p.sample_measurement_state}},
                    p.sample_measurement_state};
        }
        case records::ChemistryPage::ph: {
            const auto p = records::decode_ph_params(record);
            return {{{"sample intake", p.sample_intake_state},
                     {"sample measurement", p.sample_measurement_state}},
                    p.sample_measurement_state};
        }
        case records::ChemistryPage::ta: {
            const auto p = records::decode_ta_params(record);
            return {{{"sample intake", p.sample_intake_state},
                     {"blank LED1", p.blank_led1_state},
                     {"blank LED2", p.blank_led2_state},
                     {"sample LED1", p.sample_led1_state},
                     {"sample LED2", p.sample_led2_state}},
                    p.sample_led1_state};
        }
        case records::ChemistryPage::dic:
            return dic_states(record);
        case records::ChemistryPage::ammonia:
            break;
    }
    return {};
}

}  // namespace kelpira::deployment_check

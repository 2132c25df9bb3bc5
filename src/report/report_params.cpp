// The processing-parameter lines of the report's chemistry section, one function per kind of
// record.
#include <span>

#include "config/chemistry_entries.hpp"
#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"
#include "report/report_sections.hpp"

namespace kelpira::report {

namespace {

using records::NutrientChannel;

void generic_lines(std::span<const std::uint8_t> data, Lines& out) {
    const auto p = records::decode_generic_params(data);
    out.push_back("Sample Intake State: " + num(p.sample_intake_state));
    out.push_back("Sample Measurement State: " + num(p.sample_measurement_state));
    for (std::size_t ch = 0; ch < p.scale.size(); ++ch) {
        out.push_back("Ch " + num(static_cast<std::int64_t>(ch)) +
                      ": scale=" + fixed(p.scale[ch], 5) + ", offset=" + fixed(p.offset[ch], 5));
    }
}

void ph_lines(std::span<const std::uint8_t> data, Lines& out) {
    const auto p = records::decode_ph_params(data);
    out.push_back("Sensor Version: " + num(p.sensor_version));
    out.push_back("Input Channel (434nm): " + num(p.input_434));
    out.push_back("Input Channel (578nm): " + num(p.input_578));
    out.push_back("Sample Intake State: " + num(p.sample_intake_state));
    out.push_back("Sample Measurement State: " + num(p.sample_measurement_state));
    out.push_back("Blank Start Offset (seconds): " + num(p.blank_start_s));
    out.push_back("Blank End Offset (seconds): " + num(p.blank_end_s));
    out.push_back("Absorbance Min (434nm): " + fixed(p.absorbance_min_434, 5));
    out.push_back("Absorbance Max (578nm): " + fixed(p.absorbance_max_578, 5));
    out.push_back("dpH/dT: " + fixed(p.dph_dt, 5));
    out.push_back("R-adjustment (scale): " + fixed(p.r_scale, 5));
    out.push_back("R-adjustment (offset): " + fixed(p.r_offset, 5));
    out.push_back("T1-adjustment (scale): " + fixed(p.t1_scale, 5));
    out.push_back("T2-adjustment (scale): " + fixed(p.t2_scale, 5));
}

void ta_lines(std::span<const std::uint8_t> data, Lines& out) {
    static constexpr std::array<const char*, 4> kTriggers{"Blank (LED1)", "Blank (LED2)",
                                                          "Sample (LED1)", "Sample (LED2)"};
    const auto p = records::decode_ta_params(data);
    out.push_back("Sensor Version: " + num(p.sensor_version));
    out.push_back("Measurement Channel: " + num(p.measurement_channel));
    out.push_back("Sample Intake State: " + num(p.sample_intake_state));
    out.push_back("Blank Measurement State (LED1): " + num(p.blank_led1_state));
    out.push_back("Blank Measurement State (LED2): " + num(p.blank_led2_state));
    out.push_back("Sample Measurement State (LED1): " + num(p.sample_led1_state));
    out.push_back("Sample Measurement State (LED2): " + num(p.sample_led2_state));
    out.push_back(p.processing_trigger < kTriggers.size()
                      ? std::string("Processing Trigger: ") + kTriggers[p.processing_trigger]
                      : "Processing Trigger: unknown (" + num(p.processing_trigger) + ")");
    out.push_back("Titrant Acid Molarity (M): " + general(p.titrant_molarity));
    out.push_back("Temperature Coefficient (Ct): " + general(p.temperature_coefficient));
    out.push_back("Monitoring Channel (LED1): " + num(p.monitor_led1));
    out.push_back("Monitoring Channel (LED2): " + num(p.monitor_led2));
    out.push_back("pKa: " + general(p.pka));
    out.push_back("e1: " + general(p.e1));
    out.push_back("e2: " + general(p.e2));
    out.push_back("e3: " + general(p.e3));
}

void dic_lines(std::span<const std::uint8_t> data, Lines& out) {
    const auto p = records::decode_dic_params(data);
    out.push_back("Sensor Version: " + num(p.sensor_version));
    for (std::size_t i = 0; i < p.inlet.size(); ++i) {
        const auto& inlet = p.inlet[i];
        const std::string name = "Inlet " + num(static_cast<std::int64_t>(i));
        if (inlet.type == 0) {
            out.push_back(name + " type: Unused");
        } else if (inlet.type == 1) {
            out.push_back(name + " type: Sample");
            out.push_back(name + " intake state: " + num(inlet.intake_state));
            out.push_back(name + " measurement state: " + num(inlet.measurement_state));
        } else {
            out.push_back(name + " type: CRM");
            out.push_back(name + " measurement state: " + num(inlet.measurement_state));
            out.push_back(name + " CRM value (umol/kg): " + config::crm_text(inlet.crm_umol_kg));
        }
    }
}

void channel_lines(const records::NutrientParams& p, NutrientChannel c, const char* name,
                   Lines& out) {
    out.push_back(std::string(name) + " Measurement Channel: " + num(records::measure_input(p, c)));
    const std::uint8_t monitor = records::monitor_input(p, c);
    out.push_back(std::string(name) + " Monitoring Channel: " +
                  (monitor == records::kNoMonitor ? std::string("None") : num(monitor)));
}

void nutrient_lines(std::span<const std::uint8_t> data, Lines& out) {
    static constexpr std::array<const char*, 4> kTriggers{"Standard 1", "Standard 2", "Sample",
                                                          "Blank"};
    static constexpr std::array<const char*, 3> kAdjustments{"Standard 1", "Standard 2", "Linear"};
    const auto p = records::decode_nutrient_params(data);
    out.push_back("Sensor Version: " + num(p.sensor_version));
    channel_lines(p, NutrientChannel::medium, "Medium", out);
    channel_lines(p, NutrientChannel::short_path, "Short", out);
    channel_lines(p, NutrientChannel::long_path, "Long", out);
    switch (p.output_channel) {
        case 0:
            out.push_back("Output Channel: Medium");
            break;
        case 1:
            out.push_back("Output Channel: Short");
            break;
        case 2:
            out.push_back("Output Channel: Long");
            break;
        case records::kOutputAdaptive:
            out.push_back("Output Channel: Adaptive");
            break;
        default:
            out.push_back("Output Channel: unknown (" + num(p.output_channel) + ")");
    }
    out.push_back("Sample Intake State: " + num(p.sample_intake_state));
    out.push_back("Sample Measurement State: " + num(p.sample_measurement_state));
    out.push_back("Blank Measurement State: " + num(p.blank_measurement_state));
    out.push_back(p.standard_adjustment < kAdjustments.size()
                      ? std::string("Standard Adjustment: ") + kAdjustments[p.standard_adjustment]
                      : "Standard Adjustment: unknown (" + num(p.standard_adjustment) + ")");
    if (p.standard_adjustment != 1) {
        out.push_back("Standard 1 Measurement State: " + num(p.standard1_state));
        out.push_back("Standard 1 Measurement Concentration (uM): " +
                      fixed(p.standard1_nmol / 1000.0, 3));
    }
    if (p.standard_adjustment != 0) {
        out.push_back("Standard 2 Measurement State: " + num(p.standard2_state));
        out.push_back("Standard 2 Measurement Concentration (uM): " +
                      fixed(p.standard2_nmol / 1000.0, 3));
    }
    out.push_back(p.processing_trigger < kTriggers.size()
                      ? std::string("Processing Trigger: ") + kTriggers[p.processing_trigger]
                      : "Processing Trigger: unknown (" + num(p.processing_trigger) + ")");
    if (p.optical_correction != 0) {
        out.push_back("Optical Correction: enabled");
        out.push_back("Optical Correction State (sample): " + num(p.optical_sample_state));
        out.push_back("Optical Correction State (blank): " + num(p.optical_blank_state));
    } else {
        out.push_back("Optical Correction: disabled");
    }
}

}  // namespace

void processing_param_lines(records::ChemistryType chemistry, std::span<const std::uint8_t> record,
                            Lines& out) {
    const auto* d = records::find_chemistry(chemistry);
    if (d == nullptr) {
        return;
    }
    switch (d->page) {
        case records::ChemistryPage::generic:
            generic_lines(record, out);
            break;
        case records::ChemistryPage::nutrient:
            nutrient_lines(record, out);
            break;
        case records::ChemistryPage::ph:
            ph_lines(record, out);
            break;
        case records::ChemistryPage::ta:
            ta_lines(record, out);
            break;
        case records::ChemistryPage::dic:
            dic_lines(record, out);
            break;
        case records::ChemistryPage::ammonia:
            break;
    }
}

}  // namespace kelpira::report

// The processing parameters of each chemistry, by header key.
#include "processing/netcdf_parameters.hpp"

#include <array>
#include <bit>
#include <cctype>

#include "records/chemistry_fields.hpp"

namespace kelpira::processing {

namespace {

constexpr std::array<ParameterCode, 10> kChemistryCodes{{
    {0, "generic"},
    {1, "nitrate"},
    {2, "phosphate"},
    {3, "silicate"},
    {4, "ph"},
    {5, "nitrite"},
    {6, "iron"},
    {7, "total_alkalinity"},
    {8, "dissolved_inorganic_carbon"},
    {9, "ammonia"},
}};
constexpr std::array<ParameterCode, 4> kOutputChannelCodes{{
    {0, "medium"},
    {1, "short"},
    {2, "long"},
    {254, "adaptive"},
}};
constexpr std::array<ParameterCode, 3> kStandardAdjustmentCodes{{
    {0, "standard1"},
    {1, "standard2"},
    {2, "linear_fit"},
}};
constexpr std::array<ParameterCode, 4> kNutrientTriggerCodes{{
    {0, "standard1"},
    {1, "standard2"},
    {2, "sample"},
    {3, "blank"},
}};
constexpr std::array<ParameterCode, 4> kTaTriggerCodes{{
    {0, "blank_led1"},
    {1, "blank_led2"},
    {2, "sample_led1"},
    {3, "sample_led2"},
}};
constexpr std::array<ParameterCode, 2> kSwitchCodes{{
    {0, "off"},
    {1, "on"},
}};
constexpr std::array<ParameterCode, 3> kInletCodes{{
    {0, "unused"},
    {1, "sample"},
    {2, "certified_reference_material"},
}};

class Parameters {
  public:
    void whole(std::string key, double value) { add(std::move(key), value, true); }
    void real(std::string key, double value) { add(std::move(key), value, false); }
    void coded(std::string key, double value, std::span<const ParameterCode> codes) {
        add(std::move(key), value, true);
        list_.back().codes = codes;
    }

    void thermistor(const records::ThermistorConfig& t, int index) {
        const std::string n = "." + std::to_string(index);
        whole("THERMISTOR_INPUT_CHANNEL" + n, t.input_channel);
        real("THERMISTOR_CAL_A" + n, t.a3);
        real("THERMISTOR_CAL_B" + n, t.a2);
        real("THERMISTOR_CAL_C" + n, t.a1);
        real("THERMISTOR_CAL_D" + n, t.a0);
    }

    std::vector<ProcessingParameter> take() { return std::move(list_); }

  private:
    void add(std::string key, double value, bool integer) {
        std::string name;
        for (const char c : key) {
            name += c == '.' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        list_.push_back({"KELPIRA.CHEMISTRY." + key, std::move(name), value, integer, {}});
    }

    std::vector<ProcessingParameter> list_;
};

}  // namespace

std::vector<ProcessingParameter> processing_parameters(ChemistryChoice chemistry,
                                                       const RawHeader& h) {
    Parameters p;
    if (h.chemistry) {
        p.coded("TYPE", records::code_of(*h.chemistry), kChemistryCodes);
    }
    switch (chemistry) {
        case ChemistryChoice::automatic:
        case ChemistryChoice::nutrient: {
            const auto& n = h.nutrient;
            p.whole("SENSOR_VERSION", n.sensor_version);
            p.whole("MEASUREMENT_CHANNEL_MEDIUM", n.measure_medium);
            p.whole("MEASUREMENT_CHANNEL_SHORT", n.measure_short);
            p.whole("MEASUREMENT_CHANNEL_LONG", n.measure_long);
            p.whole("MONITORING_CHANNEL_MEDIUM", n.monitor_medium);
            p.whole("MONITORING_CHANNEL_SHORT", n.monitor_short);
            p.whole("MONITORING_CHANNEL_LONG", n.monitor_long);
            p.coded("OUTPUT_CHANNEL_SELECTION", n.output_channel, kOutputChannelCodes);
            p.whole("SAMPLE_INTAKE_STATE", n.sample_intake_state);
            p.whole("SAMPLE_MEASUREMENT_STATE", n.sample_measurement_state);
            p.whole("BLANK_MEASUREMENT_STATE", n.blank_measurement_state);
            p.whole("STANDARD1_MEASUREMENT_STATE", n.standard1_state);
            p.whole("STANDARD2_MEASUREMENT_STATE", n.standard2_state);
            p.real("STANDARD1_CONCENTRATION", n.standard1_nmol / 1000.0);
            p.real("STANDARD2_CONCENTRATION", n.standard2_nmol / 1000.0);
            p.coded("STANDARD_ADJUSTMENT", n.standard_adjustment, kStandardAdjustmentCodes);
            p.coded("PROCESSING_TRIGGER", n.processing_trigger, kNutrientTriggerCodes);
            p.coded("ENABLE_OPTICAL_CORRECTION", n.optical_correction, kSwitchCodes);
            p.whole("OC_SAMPLE_MEASUREMENT_STATE", n.optical_sample_state);
            p.whole("OC_BLANK_MEASUREMENT_STATE", n.optical_blank_state);
            break;
        }
        case ChemistryChoice::ph: {
            const auto& q = h.ph;
            p.whole("SENSOR_VERSION", q.sensor_version);
            p.whole("SAMPLE_INTAKE_STATE", q.sample_intake_state);
            p.whole("SAMPLE_MEASUREMENT_STATE", q.sample_measurement_state);
            p.whole("SAMPLE_INTERVAL", h.ph_sample_interval_ms);
            p.whole("INPUT_CHANNEL_434", q.input_434);
            p.whole("INPUT_CHANNEL_578", q.input_578);
            p.whole("BLANK_START_OFFSET", q.blank_start_s);
            p.whole("BLANK_END_OFFSET", q.blank_end_s);
            p.real("ABSORBANCE_MIN_434", q.absorbance_min_434);
            p.real("ABSORBANCE_MAX_578", q.absorbance_max_578);
            p.real("DPH_BY_DT", q.dph_dt);
            p.real("R_ADJUSTMENT_SCALE", q.r_scale);
            p.real("R_ADJUSTMENT_OFFSET", q.r_offset);
            p.real("T1_ADJUSTMENT_SCALE", q.t1_scale);
            p.real("T2_ADJUSTMENT_SCALE", q.t2_scale);
            p.thermistor(h.thermistors[0], 0);
            p.thermistor(h.thermistors[1], 1);
            break;
        }
        case ChemistryChoice::ta: {
            for (const auto& f : records::kTaParamsTable.fields) {
                const std::string name(f.spec.header);
                const std::uint32_t bits = f.get(h.ta, 0);
                if (name.empty()) {
                    continue;  // layout and reserved bytes
                }
                if (f.type == records::FieldType::f32) {
                    p.real(name, std::bit_cast<float>(bits));
                } else if (name == "PROCESSING_TRIGGER") {
                    p.coded(name, bits, kTaTriggerCodes);
                } else {
                    p.whole(name, bits);
                }
            }
            p.thermistor(h.thermistors[0], 0);
            p.thermistor(h.thermistors[1], 1);
            break;
        }
        case ChemistryChoice::dic: {
            p.whole("SENSOR_VERSION", h.dic.sensor_version);
            for (std::size_t k = 0; k < h.dic.inlet.size(); ++k) {
                const auto& in = h.dic.inlet[k];
                const std::string inlet = "INLET." + std::to_string(k) + ".";
                p.coded(inlet + "TYPE", in.type, kInletCodes);
                p.whole(inlet + "INTAKE_STATE", in.intake_state);
                p.whole(inlet + "MEASUREMENT_STATE", in.measurement_state);
                p.real(inlet + "CRM_VALUE", in.crm_umol_kg);
            }
            p.thermistor(h.thermistors[0], 0);
            break;
        }
    }
    return p.take();
}

}  // namespace kelpira::processing

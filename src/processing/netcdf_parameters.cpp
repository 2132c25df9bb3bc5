// The processing parameters of each chemistry, by header key.
#include "processing/netcdf_parameters.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <string_view>

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

// The codes of a record's coded fields, by field name.
template <typename Rec>
std::span<const ParameterCode> codes_of(const records::Field<Rec>&) {
    return {};
}
std::span<const ParameterCode> codes_of(const records::Field<records::NutrientParams>& f) {
    if (f.spec.name == "output_channel") {
        return kOutputChannelCodes;
    }
    if (f.spec.name == "standard_adjustment") {
        return kStandardAdjustmentCodes;
    }
    if (f.spec.name == "processing_trigger") {
        return kNutrientTriggerCodes;
    }
    if (f.spec.name == "optical_correction") {
        return kSwitchCodes;
    }
    return {};
}
std::span<const ParameterCode> codes_of(const records::Field<records::TaParams>& f) {
    return f.spec.name == "processing_trigger" ? std::span<const ParameterCode>(kTaTriggerCodes)
                                               : std::span<const ParameterCode>();
}
std::span<const ParameterCode> codes_of(const records::Field<records::DicParams>& f) {
    return f.spec.name == "type" ? std::span<const ParameterCode>(kInletCodes)
                                 : std::span<const ParameterCode>();
}

// The keys raw files write before the rest of their record's, by field name: the nutrient
// channels after the sensor version, the pH states before the sample interval.
constexpr std::array<std::string_view, 7> kNutrientFirst{
    "sensor_version", "measure_medium", "measure_short", "measure_long",
    "monitor_medium", "monitor_short",  "monitor_long",
};
constexpr std::array<std::string_view, 3> kPhFirst{"sensor_version", "sample_intake_state",
                                                   "sample_measurement_state"};

class Parameters {
  public:
    void whole(std::string key, double value) { add(std::move(key), value, true); }
    void real(std::string key, double value) { add(std::move(key), value, false); }
    void coded(std::string key, double value, std::span<const ParameterCode> codes) {
        add(std::move(key), value, true);
        list_.back().codes = codes;
    }

    // A field under its header key (ending in `suffix`): a float or a concentration (µM) as
    // a real number, a field with codes as a code, any other as a whole number.
    template <typename Rec>
    void field(const records::Field<Rec>& f, const Rec& r, std::string key,
               std::span<const ParameterCode> codes) {
        const std::uint32_t bits = f.get(r, 0);
        if (f.type == records::FieldType::f32) {
            real(std::move(key), std::bit_cast<float>(bits));
        } else if (f.spec.format == records::FieldFormat::milli) {
            real(std::move(key), bits / 1000.0);
        } else if (!codes.empty()) {
            coded(std::move(key), bits, codes);
        } else {
            whole(std::move(key), bits);
        }
    }

    // The record's fields named in `first` that have a header key, in that order.
    template <typename Rec, std::size_t N>
    void first(const std::array<records::Field<Rec>, N>& fields, const Rec& r,
               std::span<const std::string_view> names) {
        for (const auto name : names) {
            for (const auto& f : fields) {
                if (f.spec.name == name && !f.spec.header.empty()) {
                    field(f, r, std::string(f.spec.header), codes_of(f));
                }
            }
        }
    }

    // The record's other fields with a header key in the table's order, each key ending in
    // `suffix`; a nested record's field as "INLET.<index>.<key>".
    template <typename Rec, std::size_t N>
    void rest(const std::array<records::Field<Rec>, N>& fields, const Rec& r,
              std::span<const std::string_view> written = {}, std::string_view suffix = {}) {
        for (const auto& f : fields) {
            if (f.spec.header.empty() ||
                std::find(written.begin(), written.end(), f.spec.name) != written.end()) {
                continue;
            }
            std::string key(f.spec.header);
            if (!f.spec.item.empty()) {
                key = "INLET." + std::to_string(f.spec.index) + "." + key;
            }
            field(f, r, key + std::string(suffix), codes_of(f));
        }
    }

    void thermistor(const records::ThermistorConfig& t, int index) {
        rest(records::kThermistorConfigTable.fields, t, {}, "." + std::to_string(index));
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
        case ChemistryChoice::nutrient:
            p.first(records::kNutrientParamsTable.fields, h.nutrient, kNutrientFirst);
            p.rest(records::kNutrientParamsTable.fields, h.nutrient, kNutrientFirst);
            break;
        case ChemistryChoice::ph:
            p.first(records::kPhParamsTable.fields, h.ph, kPhFirst);
            p.whole("SAMPLE_INTERVAL", h.ph_sample_interval_ms);
            p.rest(records::kPhParamsTable.fields, h.ph, kPhFirst);
            p.thermistor(h.thermistors[0], 0);
            p.thermistor(h.thermistors[1], 1);
            break;
        case ChemistryChoice::ta:
            p.rest(records::kTaParamsTable.fields, h.ta);
            p.thermistor(h.thermistors[0], 0);
            p.thermistor(h.thermistors[1], 1);
            break;
        case ChemistryChoice::dic:
            p.rest(records::kDicParamsTable.fields, h.dic);
            p.thermistor(h.thermistors[0], 0);
            break;
    }
    return p.take();
}

}  // namespace kelpira::processing

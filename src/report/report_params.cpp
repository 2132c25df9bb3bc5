// The processing-parameter lines of the report's chemistry section, one function per kind of
// record: captions, list texts and number formats from the records' field tables where the
// report follows them.
#include <array>
#include <bit>
#include <span>

#include "config/chemistry_entries.hpp"
#include "records/chemistry_fields.hpp"
#include "report/report_sections.hpp"

namespace kelpira::report {

namespace {

using records::NutrientChannel;

// A line the report writes as the field's table shows it: the report's caption (the dialogs'
// unless the table gives one of its own), then the value in the table's format, a list's value
// by its entry's text or "unknown (%u)"; `number` writes a list's value as a number.
struct Row {
    std::string_view name;
    bool number = false;
};

template <typename Rec, std::size_t N>
constexpr bool all_named(const std::array<Row, N>& rows) {
    for (const auto& row : rows) {
        if (!records::has_field<Rec>(row.name)) {
            return false;
        }
    }
    return true;
}

template <typename Rec>
std::string line(const Rec& r, Row row) {
    return field_line(r, row.name, row.number);
}

template <typename Rec, std::size_t N>
void lines(const Rec& r, const std::array<Row, N>& rows, Lines& out) {
    for (const auto& row : rows) {
        out.push_back(line(r, row));
    }
}

constexpr Row kSensorVersion{"sensor_version", true};

void generic_lines(std::span<const std::uint8_t> data, Lines& out) {
    static constexpr std::array<Row, 2> kRows{
        {{"sample_intake_state"}, {"sample_measurement_state"}}};
    static_assert(all_named<records::GenericParams>(kRows));
    const auto p = records::decode_generic_params(data);
    lines(p, kRows, out);
    for (std::size_t ch = 0; ch < p.scale.size(); ++ch) {
        out.push_back("Ch " + num(static_cast<std::int64_t>(ch)) +
                      ": scale=" + fixed(p.scale[ch], 5) + ", offset=" + fixed(p.offset[ch], 5));
    }
}

// The pH lines follow the table.
void ph_lines(std::span<const std::uint8_t> data, Lines& out) {
    const auto p = records::decode_ph_params(data);
    for (const auto& f : records::kPhParamsTable.fields) {
        if (!f.spec.reserved) {
            out.push_back(line(p, {f.spec.name, f.spec.name == kSensorVersion.name}));
        }
    }
}

void ta_lines(std::span<const std::uint8_t> data, Lines& out) {
    static constexpr std::array<Row, 16> kRows{{
        kSensorVersion,
        {"measurement_channel"},
        {"sample_intake_state"},
        {"blank_led1_state"},
        {"blank_led2_state"},
        {"sample_led1_state"},
        {"sample_led2_state"},
        {"processing_trigger"},
        {"titrant_molarity"},
        {"temperature_coefficient"},
        {"monitor_led1"},
        {"monitor_led2"},
        {"pka"},
        {"e1"},
        {"e2"},
        {"e3"},
    }};
    static_assert(all_named<records::TaParams>(kRows));
    lines(records::decode_ta_params(data), kRows, out);
}

// The DIC lines name each inlet's fields in their own words, by its type.
void dic_lines(std::span<const std::uint8_t> data, Lines& out) {
    const auto p = records::decode_dic_params(data);
    out.push_back(line(p, kSensorVersion));
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

// The nutrient lines: channels, standards and the optical correction as the report groups
// them; the standard adjustment by the report's own texts.
void nutrient_lines(std::span<const std::uint8_t> data, Lines& out) {
    static constexpr std::array<const char*, 3> kAdjustments{"Standard 1", "Standard 2", "Linear"};
    const auto p = records::decode_nutrient_params(data);
    out.push_back(line(p, kSensorVersion));
    channel_lines(p, NutrientChannel::medium, "Medium", out);
    channel_lines(p, NutrientChannel::short_path, "Short", out);
    channel_lines(p, NutrientChannel::long_path, "Long", out);
    static constexpr std::array<Row, 4> kStates{{
        {"output_channel"},
        {"sample_intake_state"},
        {"sample_measurement_state"},
        {"blank_measurement_state"},
    }};
    static_assert(all_named<records::NutrientParams>(kStates));
    lines(p, kStates, out);
    out.push_back(p.standard_adjustment < kAdjustments.size()
                      ? std::string("Standard Adjustment: ") + kAdjustments[p.standard_adjustment]
                      : "Standard Adjustment: unknown (" + num(p.standard_adjustment) + ")");
    if (p.standard_adjustment != 1) {
        out.push_back(line(p, {"standard1_state"}));
        out.push_back(line(p, {"standard1_nmol"}));
    }
    if (p.standard_adjustment != 0) {
        out.push_back(line(p, {"standard2_state"}));
        out.push_back(line(p, {"standard2_nmol"}));
    }
    out.push_back(line(p, {"processing_trigger"}));
    if (p.optical_correction != 0) {
        out.push_back("Optical Correction: enabled");
        out.push_back(line(p, {"optical_sample_state"}));
        out.push_back(line(p, {"optical_blank_state"}));
    } else {
        out.push_back("Optical Correction: disabled");
    }
}

}  // namespace

std::string value_text(const records::FieldSpec& s, std::uint32_t bits, bool number) {
    const float real = std::bit_cast<float>(bits);
    switch (s.format) {
        case records::FieldFormat::list:
            if (number) {
                break;
            }
            if (const auto* text = text_of(s.choices, bits)) {
                return std::string(*text);
            }
            return "unknown (" + num(bits) + ")";
        case records::FieldFormat::fixed5:
            return fixed(real, 5);
        case records::FieldFormat::fixed4:
            return fixed(real, 4);
        case records::FieldFormat::fixed3:
            return fixed(real, 3);
        case records::FieldFormat::integer:
            return num(static_cast<std::int32_t>(bits));
        case records::FieldFormat::general:
            return general(real);
        case records::FieldFormat::milli:
            return fixed(bits / 1000.0, 3);
        case records::FieldFormat::crm:
            return fixed(static_cast<double>(real) + 0.001, 2);
        case records::FieldFormat::whole:
        case records::FieldFormat::channel:
        case records::FieldFormat::check:
            break;
    }
    return num(bits);
}

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

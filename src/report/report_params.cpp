// The processing-parameter lines of the report's chemistry section, one function per kind of
// record: captions, list texts and number formats from the records' field tables where the
// report follows them.
#include <array>
#include <bit>
#include <span>

#include "records/chemistry_fields.hpp"
#include "records/field_words.hpp"
#include "report/report_sections.hpp"

namespace kelpira::report {

namespace {

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

// The DIC lines: each inlet's fields its type uses, "Inlet <index> " before the row's report
// caption. The report takes any type but Unused and Sample for a CRM.
void dic_lines(std::span<const std::uint8_t> data, Lines& out) {
    const auto p = records::decode_dic_params(data);
    out.push_back(line(p, kSensorVersion));
    for (const auto& f : records::kDicParamsTable.fields) {
        if (f.spec.item.empty()) {
            continue;
        }
        const std::uint8_t type = p.inlet[f.spec.index].type;
        const std::uint8_t kind = type <= records::kDicInletSample ? type : records::kDicInletCrm;
        if (records::dic_inlet_uses(kind, f.spec.name)) {
            out.push_back("Inlet " + num(static_cast<std::int64_t>(f.spec.index)) + " " +
                          std::string(f.spec.report) + ": " +
                          value_text(f.spec, f.get(p, 0), false));
        }
    }
}

// The nutrient lines: channels, standards and the optical correction as the report groups
// them.
void nutrient_lines(std::span<const std::uint8_t> data, Lines& out) {
    const auto p = records::decode_nutrient_params(data);
    static constexpr std::array<Row, 12> kRows{{
        kSensorVersion,
        {"measure_medium"},
        {"monitor_medium"},
        {"measure_short"},
        {"monitor_short"},
        {"measure_long"},
        {"monitor_long"},
        {"output_channel"},
        {"sample_intake_state"},
        {"sample_measurement_state"},
        {"blank_measurement_state"},
        {"standard_adjustment"},
    }};
    static_assert(all_named<records::NutrientParams>(kRows));
    lines(p, kRows, out);
    if (p.standard_adjustment != 1) {
        out.push_back(line(p, {"standard1_state"}));
        out.push_back(line(p, {"standard1_nmol"}));
    }
    if (p.standard_adjustment != 0) {
        out.push_back(line(p, {"standard2_state"}));
        out.push_back(line(p, {"standard2_nmol"}));
    }
    out.push_back(line(p, {"processing_trigger"}));
    out.push_back(line(p, {"optical_correction"}));
    if (p.optical_correction != 0) {
        out.push_back(line(p, {"optical_sample_state"}));
        out.push_back(line(p, {"optical_blank_state"}));
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
            return records::value_word(s, bits);
        case records::FieldFormat::check:
            if (s.choices.empty()) {
                break;
            }
            return records::value_word(s, bits);
        case records::FieldFormat::channel:
            // A numbered list names only its entries that are not numbers ("None").
            if (const auto* text = text_of(s.choices, bits)) {
                return std::string(*text);
            }
            break;
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

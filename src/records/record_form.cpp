// Dialog controls from field tables.
#include "records/record_form.hpp"

#include <bit>
#include <limits>

#include "common/decimal_milli.hpp"
#include "common/number_text.hpp"

namespace kelpira::records {

namespace {

// Only this many characters of an entry are read.
constexpr std::size_t kEntryChars = 23;

// A hundredth of a millivolt up, so that a value typed with four decimals reads back as typed.
constexpr double kFixed4ShowBias = 0.00001;

std::vector<common::Choice> field_choices(const FieldSpec& spec) {
    std::vector<common::Choice> out = choices_of(spec.choices);
    if (out.empty()) {  // an input channel list: its numbers
        for (auto v = spec.low; v <= spec.high; ++v) {
            out.push_back({static_cast<std::uint32_t>(v), std::to_string(v)});
        }
    }
    return out;
}

std::uint32_t width_max(FieldType type) {
    switch (type) {
        case FieldType::u8:
        case FieldType::text:
            return std::numeric_limits<std::uint8_t>::max();
        case FieldType::u16:
            return std::numeric_limits<std::uint16_t>::max();
        case FieldType::u32:
        case FieldType::i32:
        case FieldType::f32:
            break;
    }
    return std::numeric_limits<std::uint32_t>::max();
}

}  // namespace

std::vector<common::Choice> choices_of(std::span<const ListEntry> entries) {
    std::vector<common::Choice> out;
    for (const auto& e : entries) {
        out.push_back({e.value, std::string(e.text)});
    }
    return out;
}

common::FormControl field_control(const FieldSpec& spec, std::string group, std::string label) {
    switch (spec.format) {
        case FieldFormat::list:
        case FieldFormat::channel:
            return common::make_list(std::move(group), std::move(label), field_choices(spec));
        case FieldFormat::check:
            return common::make_field(std::move(group), std::move(label),
                                      common::ControlKind::check);
        case FieldFormat::whole:
        case FieldFormat::integer:
        case FieldFormat::fixed5:
        case FieldFormat::fixed3:
        case FieldFormat::fixed4:
        case FieldFormat::general:
        case FieldFormat::milli:
        case FieldFormat::crm:
            break;
    }
    return common::make_field(std::move(group), std::move(label));
}

void show_field(common::FormControl& control, const FieldSpec& spec, std::uint32_t bits) {
    const float real = std::bit_cast<float>(bits);
    switch (spec.format) {
        case FieldFormat::list:
        case FieldFormat::channel:
            common::show_choice(control, bits);
            return;
        case FieldFormat::check:
            common::show_flag(control, static_cast<std::uint8_t>(bits));
            return;
        case FieldFormat::fixed5:
            common::show_value(control, real, common::field_text(real, 5));
            return;
        case FieldFormat::fixed4:
            common::show_value(control, real, common::field_text(real + kFixed4ShowBias, 4));
            return;
        case FieldFormat::fixed3:
            common::show_value(control, real, common::field_text(real, 3));
            return;
        case FieldFormat::integer: {
            const auto value = static_cast<std::int32_t>(bits);
            common::show_value(control, value, std::to_string(value));
            return;
        }
        case FieldFormat::general:
            common::show_value(control, real, common::general_text(real));
            return;
        case FieldFormat::crm:
            common::show_value(control, real,
                               common::field_text(static_cast<double>(real) + 0.001, 2));
            return;
        case FieldFormat::milli:
            common::show_value(control, bits, common::fixed_text(bits / 1000.0, 3));
            return;
        case FieldFormat::whole:
            break;
    }
    common::show_value(control, bits, std::to_string(bits));
}

std::uint32_t field_bits(const common::FormControl& control, const FieldSpec& spec,
                         FieldType type) {
    switch (spec.format) {
        case FieldFormat::list:
        case FieldFormat::channel:
            return common::selected_value(control);
        case FieldFormat::check:
            return common::flag_value(control);
        case FieldFormat::fixed5:
        case FieldFormat::fixed4:
        case FieldFormat::fixed3:
        case FieldFormat::general:
        case FieldFormat::crm:
            return std::bit_cast<std::uint32_t>(common::field_f32(control));
        case FieldFormat::milli:
            if (const auto shown = common::unedited_value(control)) {
                return static_cast<std::uint32_t>(*shown);
            }
            return common::decimal_milli_u32(std::string_view(control.text).substr(0, kEntryChars));
        case FieldFormat::integer:
            return static_cast<std::uint32_t>(common::field_signed_value(control));
        case FieldFormat::whole:
            break;
    }
    if (spec.limited()) {
        return common::field_unsigned_value(control, static_cast<std::uint32_t>(spec.low),
                                            static_cast<std::uint32_t>(spec.high));
    }
    return common::field_unsigned_value(control, 0, width_max(type));
}

common::FormControl* find_control(std::vector<common::FormControl>& controls,
                                  std::string_view group, std::string_view label) {
    for (auto& c : controls) {
        if (c.group == group && c.label == label) {
            return &c;
        }
    }
    return nullptr;
}

const common::FormControl* find_control(const std::vector<common::FormControl>& controls,
                                        std::string_view group, std::string_view label) {
    for (const auto& c : controls) {
        if (c.group == group && c.label == label) {
            return &c;
        }
    }
    return nullptr;
}

}  // namespace kelpira::records

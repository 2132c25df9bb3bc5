// Reading and showing the values of dialog controls.
#include "common/form.hpp"

#include "common/number_scan.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <limits>
#include <string_view>

namespace kelpira::common {
namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && is_blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

}  // namespace

FormControl make_list(std::string group, std::string label, std::vector<Choice> choices) {
    FormControl c;
    c.group = std::move(group);
    c.label = std::move(label);
    c.kind = ControlKind::choice;
    c.choices = std::move(choices);
    return c;
}

FormControl make_field(std::string group, std::string label, ControlKind kind) {
    FormControl c;
    c.group = std::move(group);
    c.label = std::move(label);
    c.kind = kind;
    return c;
}

void select_value(FormControl& list, std::uint32_t value) {
    const auto it = std::find_if(list.choices.begin(), list.choices.end(),
                                 [value](const Choice& c) { return c.value == value; });
    list.selected =
        it == list.choices.end() ? 0 : static_cast<std::size_t>(it - list.choices.begin());
    if (list.choices.empty()) {
        list.selected.reset();
    }
}

std::uint32_t selected_value(const FormControl& list) {
    if (list.choices.empty()) {
        return 0;
    }
    const std::size_t i = list.selected.value_or(0);
    return list.choices[i < list.choices.size() ? i : 0].value;
}

std::optional<std::uint32_t> parse_unsigned(std::string_view text) {
    text = trimmed(text);
    if (text.empty()) {
        return std::nullopt;
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    for (const char c : text) {
        if (!common::is_decimal_digit(c)) {
            return std::nullopt;
        }
        value = std::min(kMax, value * 10 + static_cast<std::uint64_t>(c - '0'));
    }
    return static_cast<std::uint32_t>(value);
}

std::uint32_t field_unsigned(std::string_view text) {
    return parse_unsigned(text).value_or(0);
}

std::uint32_t field_in_range(std::string_view text, std::uint32_t low, std::uint32_t high) {
    return std::clamp(field_unsigned(text), low, high);
}

std::uint8_t field_state(std::string_view text) {
    return static_cast<std::uint8_t>(field_in_range(text, 0, 254));
}

std::int32_t field_signed(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    // parse_unsigned would skip blanks after the sign; "- 5" is not a number.
    if (text.empty() || is_blank(text.front())) {
        return 0;
    }
    const std::int64_t magnitude = field_unsigned(text);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        negative ? -magnitude : magnitude, std::numeric_limits<std::int32_t>::min(),
        std::numeric_limits<std::int32_t>::max()));
}

double field_real(std::string_view text) {
    return common::leading_real(text.substr(0, 23));
}

void show_value(FormControl& field, double value, std::string text) {
    field.text = text;
    field.shown_text = std::move(text);
    field.shown_value = value;
    field.shown_bits.reset();
}

std::optional<double> unedited_value(const FormControl& field) {
    if (field.shown_value && field.text == field.shown_text) {
        return field.shown_value;
    }
    return std::nullopt;
}

double field_value(const FormControl& field) {
    return unedited_value(field).value_or(field_real(field.text));
}

float field_f32(const FormControl& field) {
    if (field.shown_bits && unedited_value(field)) {
        return std::bit_cast<float>(*field.shown_bits);
    }
    return common::to_f32(field_value(field));
}

std::uint32_t field_unsigned_value(const FormControl& field, std::uint32_t low,
                                   std::uint32_t high) {
    if (const auto shown = unedited_value(field)) {
        return static_cast<std::uint32_t>(*shown);
    }
    return field_in_range(field.text, low, high);
}

std::int32_t field_signed_value(const FormControl& field) {
    if (const auto shown = unedited_value(field)) {
        return static_cast<std::int32_t>(*shown);
    }
    return field_signed(field.text);
}

std::uint8_t kept_flag(bool checked, std::uint8_t stored) {
    return checked == (stored != 0) ? stored : static_cast<std::uint8_t>(checked ? 1 : 0);
}

void show_flag(FormControl& box, std::uint8_t stored) {
    box.checked = stored != 0;
    box.shown_value = stored;
}

std::uint8_t flag_value(const FormControl& box) {
    return kept_flag(box.checked, static_cast<std::uint8_t>(box.shown_value.value_or(0)));
}

void show_choice(FormControl& list, std::uint32_t value) {
    if (list.kept_entry) {
        list.choices.pop_back();
        list.kept_entry = false;
    }
    const auto it = std::find_if(list.choices.begin(), list.choices.end(),
                                 [value](const Choice& c) { return c.value == value; });
    if (it != list.choices.end()) {
        list.selected = static_cast<std::size_t>(it - list.choices.begin());
        return;
    }
    const bool numbers = std::all_of(list.choices.begin(), list.choices.end(), [](const Choice& c) {
        return c.text == std::to_string(c.value);
    });
    const std::string number = std::to_string(value);
    list.choices.push_back({value, numbers ? number : "unknown (" + number + ")"});
    list.selected = list.choices.size() - 1;
    list.kept_entry = true;
}

}  // namespace kelpira::common

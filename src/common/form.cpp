// Reading and showing the values of processing dialog controls.
#include "common/form.hpp"

#include "common/number_scan.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace kelpira::processing {
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

std::vector<Choice> input_channel_choices() {
    std::vector<Choice> out;
    for (std::uint32_t i = 0; i < 8; ++i) {
        out.push_back({i, std::to_string(i)});
    }
    return out;
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

std::uint32_t field_unsigned(const std::string& text) {
    const std::string_view s = trimmed(text);
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || error != std::errc() || end != s.data() + s.size()) {
        return 0;
    }
    return value;
}

std::uint8_t field_state(const std::string& text) {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(field_unsigned(text), 254));
}

double field_real(const std::string& text) {
    return common::leading_real(std::string_view(text).substr(0, 23));
}

void show_value(FormControl& field, double value, std::string text) {
    field.text = text;
    field.shown_text = std::move(text);
    field.shown_value = value;
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

std::string fixed_text(double value, int decimals) {
    std::array<char, 400> buffer{};  // the widest double in fixed notation fits
    const auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::fixed, decimals);
    return std::string(buffer.data(), r.ptr);
}

std::string general_text(double value) {
    std::array<char, 64> buffer{};
    const auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::general, 6);
    return std::string(buffer.data(), r.ptr);
}

}  // namespace kelpira::processing

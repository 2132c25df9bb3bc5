// Look-ups in the state editor's list tables.
#include "statemachine/state_lists.hpp"

namespace kelpira::statemachine {

std::optional<std::string_view> list_text(ListTable table, std::uint16_t value) {
    for (const auto& e : table) {
        if (e.value == value) {
            return e.text;
        }
    }
    return std::nullopt;
}

std::optional<std::uint16_t> list_value(ListTable table, std::string_view text) {
    for (const auto& e : table) {
        if (e.text == text) {
            return e.value;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> list_row(ListTable table, std::uint16_t value) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].value == value) {
            return i;
        }
    }
    return std::nullopt;
}

std::uint16_t list_value_at(ListTable table, std::optional<std::size_t> row) {
    return row && *row < table.size() ? table[*row].value : 0;
}

}  // namespace kelpira::statemachine

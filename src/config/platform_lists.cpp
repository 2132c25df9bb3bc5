// Lookups in the platform dialogs' tables.
#include "config/platform_lists.hpp"

#include <algorithm>

#include "records/field_words.hpp"

namespace kelpira::config {

namespace {

using records::ListEntry;

// The offered entries of `table` in the order of `offered`, then `stored` when none has it.
std::vector<ListChoice> kept_choices(std::span<const ListEntry> table,
                                     std::span<const std::uint32_t> offered, std::uint32_t stored,
                                     std::string extra_text) {
    std::vector<ListChoice> choices;
    for (const auto value : offered) {
        choices.push_back({value, std::string(find_entry(table, value)->text)});
    }
    if (std::find(offered.begin(), offered.end(), stored) == offered.end()) {
        choices.push_back({stored, std::move(extra_text)});
    }
    return choices;
}

template <std::size_t N>
std::array<std::uint32_t, N> values_of(const std::array<ListEntry, N>& table) {
    std::array<std::uint32_t, N> values{};
    std::transform(table.begin(), table.end(), values.begin(),
                   [](const ListEntry& e) { return e.value; });
    return values;
}

}  // namespace

const records::ListEntry* find_entry(std::span<const records::ListEntry> table,
                                     std::uint32_t value) {
    const auto it = std::find_if(table.begin(), table.end(),
                                 [value](const records::ListEntry& e) { return e.value == value; });
    return it == table.end() ? nullptr : &*it;
}

std::vector<ListChoice> rs232_protocol_choices(std::uint32_t stored) {
    return kept_choices(
        records::kRs232Protocols, records::kRs232Offered, stored,
        records::value_word(records::row_of<records::Rs232Config>("protocol").spec, stored));
}

std::vector<ListChoice> rs232_mode_choices(std::uint8_t stored) {
    return kept_choices(records::kRs232Modes, values_of(records::kRs232Modes), stored,
                        "unknown (" + std::to_string(stored) + ")");
}

std::vector<ListChoice> rs485_protocol_choices(std::uint32_t stored) {
    return kept_choices(
        records::kRs485Protocols, values_of(records::kRs485Protocols), stored,
        records::value_word(records::row_of<records::Rs485Config>("protocol").spec, stored));
}

}  // namespace kelpira::config

// Lookups in the platform dialogs' tables.
#include "config/platform_lists.hpp"

#include <algorithm>

namespace kelpira::config {

namespace {

using records::ListEntry;

// "<prefix>: <entry>", or "<prefix>: <unknown>(<value>)" for a value no entry has.
std::string looked_up(std::span<const ListEntry> table, std::uint32_t value,
                      std::string_view prefix, std::string_view unknown = "unknown (") {
    if (const auto* e = find_entry(table, value)) {
        return std::string(prefix) + std::string(e->text);
    }
    return std::string(prefix) + std::string(unknown) + std::to_string(value) + ")";
}

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

constexpr std::string_view kProtocolPrefix = "Protocol: ";

}  // namespace

const records::ListEntry* find_entry(std::span<const records::ListEntry> table,
                                     std::uint32_t value) {
    const auto it = std::find_if(table.begin(), table.end(),
                                 [value](const records::ListEntry& e) { return e.value == value; });
    return it == table.end() ? nullptr : &*it;
}

std::string parity_report_text(std::uint8_t parity) {
    return looked_up(records::kParities, parity, "Parity: ");
}

std::string rs232_protocol_report_text(std::uint32_t protocol) {
    return looked_up(records::kRs232Protocols, protocol, kProtocolPrefix, "unknown or obsolete (");
}

std::string rs232_mode_report_text(std::uint8_t mode) {
    return "Mode: " +
           std::string(records::kRs232Modes[mode == records::kRs232ModeNormal ? 0 : 1].text);
}

std::string rs485_protocol_report_text(std::uint32_t protocol) {
    return looked_up(records::kRs485Protocols, protocol, kProtocolPrefix);
}

// The report names 0 unknown, as any value outside the list.
std::string direction_report_text(std::uint8_t direction) {
    if (direction == records::kDirectionUnknown) {
        return "Direction: unknown (0)";
    }
    return looked_up(records::kDirections, direction, "Direction: ");
}

std::vector<ListChoice> rs232_protocol_choices(std::uint32_t stored) {
    return kept_choices(records::kRs232Protocols, records::kRs232Offered, stored,
                        rs232_protocol_report_text(stored).substr(kProtocolPrefix.size()));
}

std::vector<ListChoice> rs232_mode_choices(std::uint8_t stored) {
    return kept_choices(records::kRs232Modes, values_of(records::kRs232Modes), stored,
                        "unknown (" + std::to_string(stored) + ")");
}

std::vector<ListChoice> rs485_protocol_choices(std::uint32_t stored) {
    return kept_choices(records::kRs485Protocols, values_of(records::kRs485Protocols), stored,
                        rs485_protocol_report_text(stored).substr(kProtocolPrefix.size()));
}

}  // namespace kelpira::config

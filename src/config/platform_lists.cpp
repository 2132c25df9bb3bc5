// Lookups in the platform dialogs' tables.
#include "config/platform_lists.hpp"

#include <algorithm>

namespace kelpira::config {

namespace {

std::string looked_up(std::span<const PlatformListEntry> table, std::uint32_t value,
                      std::string_view unknown_prefix) {
    if (const auto* e = find_entry(table, value)) {
        return std::string(e->report_text);
    }
    return std::string(unknown_prefix) + std::to_string(value) + ")";
}

// The offered entries of `table` in the order of `offered`, then `stored` when none has it.
std::vector<ListChoice> kept_choices(std::span<const PlatformListEntry> table,
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
std::array<std::uint32_t, N> values_of(const std::array<PlatformListEntry, N>& table) {
    std::array<std::uint32_t, N> values{};
    std::transform(table.begin(), table.end(), values.begin(),
                   [](const PlatformListEntry& e) { return e.value; });
    return values;
}

constexpr std::string_view kProtocolPrefix = "Protocol: ";

}  // namespace

const PlatformListEntry* find_entry(std::span<const PlatformListEntry> table, std::uint32_t value) {
    const auto it = std::find_if(table.begin(), table.end(),
                                 [value](const PlatformListEntry& e) { return e.value == value; });
    return it == table.end() ? nullptr : &*it;
}

std::string parity_report_text(std::uint8_t parity) {
    return looked_up(kParities, parity, "Parity: unknown (");
}

std::string rs232_protocol_report_text(std::uint32_t protocol) {
    return looked_up(kRs232Protocols, protocol, "Protocol: unknown or obsolete (");
}

std::string rs232_mode_report_text(std::uint8_t mode) {
    return std::string(kRs232Modes[mode == records::kRs232ModeNormal ? 0 : 1].report_text);
}

std::string rs485_protocol_report_text(std::uint32_t protocol) {
    return looked_up(kRs485Protocols, protocol, "Protocol: unknown (");
}

std::string direction_report_text(std::uint8_t direction) {
    return looked_up(kDirections, direction, "Direction: unknown (");
}

std::vector<ListChoice> rs232_protocol_choices(std::uint32_t stored) {
    return kept_choices(kRs232Protocols, kRs232Offered, stored,
                        rs232_protocol_report_text(stored).substr(kProtocolPrefix.size()));
}

std::vector<ListChoice> rs232_mode_choices(std::uint8_t stored) {
    return kept_choices(kRs232Modes, values_of(kRs232Modes), stored,
                        "unknown (" + std::to_string(stored) + ")");
}

std::vector<ListChoice> rs485_protocol_choices(std::uint32_t stored) {
    return kept_choices(kRs485Protocols, values_of(kRs485Protocols), stored,
                        rs485_protocol_report_text(stored).substr(kProtocolPrefix.size()));
}

}  // namespace kelpira::config

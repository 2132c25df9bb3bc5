// Names and parsing of the check's inputs.
#include "deployment_check/check_inputs.hpp"

#include <cmath>
#include <cstdio>

#include "common/number_scan.hpp"

namespace kelpira::deployment_check {

namespace {

constexpr std::array<std::string_view, 4> kPlatformNames{"seaglider", "bridges", "eti", "generic"};

}  // namespace

std::string_view platform_name(HostPlatform p) {
    return kPlatformNames[static_cast<std::size_t>(p)];
}

std::optional<HostPlatform> platform_named(std::string_view name) {
    for (const HostPlatform p : kHostPlatforms) {
        if (platform_name(p) == name) {
            return p;
        }
    }
    return std::nullopt;
}

std::optional<double> positive_number(std::string_view text) {
    // Plain decimals only: no leading blanks, signs, "inf" or hexadecimal forms.
    if (text.empty() || !(common::is_decimal_digit(text.front()) || text.front() == '.')) {
        return std::nullopt;
    }
    const auto n = common::scan_f64(text);
    if (!n.ok || n.end != text.size() || !std::isfinite(n.value) || n.value <= 0) {
        return std::nullopt;
    }
    return n.value;
}

std::optional<ReagentVolume> parse_reagent(std::string_view text) {
    const auto eq = text.find('=');
    if (eq == std::string_view::npos || eq == 0 || eq > 2) {
        return std::nullopt;
    }
    unsigned valve = 0;
    for (const char c : text.substr(0, eq)) {
        if (!common::is_decimal_digit(c)) {
            return std::nullopt;
        }
        valve = valve * 10 + static_cast<unsigned>(c - '0');
    }
    const auto ml = positive_number(text.substr(eq + 1));
    if (valve > 15 || !ml) {
        return std::nullopt;
    }
    return ReagentVolume{static_cast<std::uint8_t>(valve), *ml};
}

std::string reagent_text(const ReagentVolume& r) {
    char text[64];
    std::snprintf(text, sizeof text, "%u=%g", unsigned{r.valve}, r.ml);
    return text;
}

}  // namespace kelpira::deployment_check

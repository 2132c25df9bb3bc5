// Names and parsing of the check's inputs.
#include "deployment_check/check_inputs.hpp"

#include <algorithm>
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
    const auto n = common::decimal_real(text);
    if (!n || *n <= 0) {
        return std::nullopt;
    }
    return n;
}

std::optional<ReagentVolume> parse_reagent(std::string_view text) {
    const auto eq = text.find('=');
    if (eq == std::string_view::npos || eq == 0 || eq > 2) {
        return std::nullopt;
    }
    std::uint32_t valve = 0;
    const char* p = text.data();
    if (!common::plain_u32(p, text.data() + eq, valve) || p != text.data() + eq) {
        return std::nullopt;
    }
    const auto ml = positive_number(text.substr(eq + 1));
    if (valve > 15 || !ml) {
        return std::nullopt;
    }
    return ReagentVolume{static_cast<std::uint8_t>(valve), *ml};
}

bool gives_valve(const CheckInputs& in, std::uint8_t valve) {
    return std::any_of(in.reagents.begin(), in.reagents.end(),
                       [valve](const ReagentVolume& r) { return r.valve == valve; });
}

std::string reagent_text(const ReagentVolume& r) {
    char text[64];
    std::snprintf(text, sizeof text, "%u=%g", unsigned{r.valve}, r.ml);
    return text;
}

}  // namespace kelpira::deployment_check

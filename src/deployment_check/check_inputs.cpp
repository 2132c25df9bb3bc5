// Names and parsing of the check's inputs.
#include "deployment_check/check_inputs.hpp"

#include <algorithm>
#include <cstdio>

#include "common/number_scan.hpp"
#include "config/schedule_time.hpp"
#include "deployment_check/check_texts.hpp"

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

std::optional<StrokeVolume> parse_stroke(std::string_view text) {
    if (const auto both = positive_number(text)) {
        return StrokeVolume{*both, *both};
    }
    std::optional<double> inject;
    std::optional<double> withdraw;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view part = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        if (comma != std::string_view::npos && text.empty()) {
            return std::nullopt;  // a trailing comma
        }
        const std::size_t eq = part.find('=');
        if (eq == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view name = part.substr(0, eq);
        auto& slot = name == "inject" ? inject : name == "withdraw" ? withdraw : inject;
        if ((name != "inject" && name != "withdraw") || slot) {
            return std::nullopt;
        }
        slot = positive_number(part.substr(eq + 1));
        if (!slot) {
            return std::nullopt;
        }
    }
    if (!inject || !withdraw) {
        return std::nullopt;
    }
    return StrokeVolume{*inject, *withdraw};
}

std::string stroke_text(const StrokeVolume& s) {
    if (s.inject_ul == s.withdraw_ul) {
        return common::plain_text(s.inject_ul);
    }
    return "inject=" + common::plain_text(s.inject_ul) +
           ",withdraw=" + common::plain_text(s.withdraw_ul);
}

std::optional<std::int64_t> parse_start(std::string_view text) {
    if (text.ends_with('Z')) {
        text.remove_suffix(1);
    }
    // Fixed widths: "2026-12-09T19:30".
    constexpr std::string_view kShape = "dddd-dd-ddTdd:dd";
    if (text.size() != kShape.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const bool digit = common::is_decimal_digit(text[i]);
        if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) {
            return std::nullopt;
        }
    }
    const auto field = [&](std::size_t at, std::size_t n) {
        std::uint32_t v = 0;
        const char* p = text.data() + at;
        common::plain_u32(p, text.data() + at + n, v);
        return static_cast<int>(v);
    };
    const config::CalendarTime t{field(0, 4),  field(5, 2),  field(8, 2),
                                 field(11, 2), field(14, 2), 0};
    const auto seconds = config::schedule_seconds(t);
    if (!seconds) {
        return std::nullopt;
    }
    return std::int64_t{*seconds};
}

std::optional<StartChoice> start_choice_named(std::string_view name) {
    if (name == "deploy") {
        return StartChoice::deploy;
    }
    if (name == "auto") {
        return StartChoice::automatic;
    }
    return std::nullopt;
}

std::string_view start_choice_name(StartChoice c) {
    return c == StartChoice::deploy ? "deploy" : "auto";
}

bool gives_valve(const CheckInputs& in, std::uint8_t valve) {
    return std::any_of(in.reagents.begin(), in.reagents.end(),
                       [valve](const ReagentVolume& r) { return r.valve == valve; });
}

std::string reagent_text(const ReagentVolume& r) {
    return std::to_string(r.valve) + "=" + common::plain_text(r.ml);
}

}  // namespace kelpira::deployment_check

// What the user tells the deployment check beside what the sensor holds: the deployment's
// length, the pump's stroke volume, the reagent in the bags and the host platform.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelpira::deployment_check {

enum class HostPlatform { seaglider, bridges, eti, generic };

inline constexpr std::array<HostPlatform, 4> kHostPlatforms{
    HostPlatform::seaglider, HostPlatform::bridges, HostPlatform::eti, HostPlatform::generic};

struct ReagentVolume {
    std::uint8_t valve = 0;  // 0..15, the valve the reagent is drawn through
    double ml = 0;           // millilitres in the bag

    bool operator==(const ReagentVolume&) const = default;
};

struct CheckInputs {
    std::optional<double> days;       // the deployment's length
    std::optional<double> stroke_ul;  // microlitres one pump stroke draws
    std::vector<ReagentVolume> reagents;
    std::optional<HostPlatform> platform;

    bool operator==(const CheckInputs&) const = default;
};

// "seaglider", "bridges", "eti", "generic".
std::string_view platform_name(HostPlatform p);
std::optional<HostPlatform> platform_named(std::string_view name);

// A positive finite decimal number ("30", "12.5"), as common::decimal_real reads it; nothing
// otherwise.
std::optional<double> positive_number(std::string_view text);

// "VALVE=ML": a valve 0..15 and a positive volume in millilitres; nothing otherwise.
std::optional<ReagentVolume> parse_reagent(std::string_view text);
// True when `in` already gives a volume for `valve`: a valve is given once.
bool gives_valve(const CheckInputs& in, std::uint8_t valve);

// "3=250": as parse_reagent reads it.
std::string reagent_text(const ReagentVolume& r);

}  // namespace kelpira::deployment_check

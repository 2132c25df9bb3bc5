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

// Which start state the deployment uses: the Deploy one the operator starts, or the
// automatic deployment start state the sensor starts itself with.
enum class StartChoice { deploy, automatic };

// Microlitres one pump stroke moves, in each direction.
struct StrokeVolume {
    double inject_ul = 0;
    double withdraw_ul = 0;

    bool operator==(const StrokeVolume&) const = default;
};

struct CheckInputs {
    std::optional<double> days;  // the deployment's length
    // When the deployment starts, in schedule seconds (UTC); nothing: now, by the sensor's
    // clock.
    std::optional<std::int64_t> start;
    StartChoice start_state = StartChoice::deploy;
    std::optional<StrokeVolume> stroke_ul;
    std::vector<ReagentVolume> reagents;
    std::optional<HostPlatform> platform;
    std::optional<double> battery_wh;  // the pack's energy
    std::optional<double> cycle_wh;    // one measurement cycle's energy
    std::optional<double> sleep_w;     // the power drawn between cycles

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
// "V" (both directions) or "inject=V,withdraw=V" (either order, both given), each a positive
// number of microlitres; nothing otherwise.
std::optional<StrokeVolume> parse_stroke(std::string_view text);
// "50" when both directions move the same, else "inject=50,withdraw=48".
std::string stroke_text(const StrokeVolume& s);

// "YYYY-MM-DDTHH:MM" with an optional "Z", read as UTC: schedule seconds; nothing otherwise.
std::optional<std::int64_t> parse_start(std::string_view text);

// "deploy" or "auto".
std::optional<StartChoice> start_choice_named(std::string_view name);
std::string_view start_choice_name(StartChoice c);

// True when `in` already gives a volume for `valve`: a valve is given once.
bool gives_valve(const CheckInputs& in, std::uint8_t valve);

// "3=250": as parse_reagent reads it.
std::string reagent_text(const ReagentVolume& r);

}  // namespace kelpira::deployment_check

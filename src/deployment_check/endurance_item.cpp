// How long each reagent and the battery last: the pump strokes the deployment's run draws
// through each valve per cycle, at the pace the timeline keeps, against the volume in the bag;
// and the energy of a cycle and of sleeping against the pack.
#include <algorithm>
#include <cmath>

#include "deployment_check/check_texts.hpp"
#include "deployment_check/item_rules.hpp"

namespace kelpira::deployment_check {

namespace {

constexpr double kSecondsPerDay = 86400;

std::string listed(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    }
    return text;
}

std::string capitalised(std::string text) {
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

std::string missing_inputs(const CheckInputs& in) {
    std::vector<std::string> missing;
    if (!in.days) {
        missing.emplace_back("a deployment length");
    }
    if (!in.stroke_ul) {
        missing.emplace_back("a stroke volume");
    }
    if (in.reagents.empty()) {
        missing.emplace_back("a reagent volume");
    }
    return listed(missing);
}

// Strokes a cycle draws through `valve`, both directions.
double strokes_per_cycle(const Timeline& t, std::size_t valve) {
    return t.loops ? t.inject_per_cycle[valve] + t.withdraw_per_cycle[valve]
                   : t.per_run_cycle[valve];
}

// Pass, warn within 10 % of the deployment, fail before it ends.
Verdict against(double lasts_days, double days) {
    return lasts_days < days             ? Verdict::fail
           : lasts_days * 10 < days * 11 ? Verdict::warn
                                         : Verdict::pass;
}

std::string days_text(double days) {
    return format("%.1f days", days);
}

std::string verdict_tail(Verdict v, double days) {
    return v == Verdict::fail
               ? format(", before the %s-day deployment ends", common::plain_text(days).c_str())
           : v == Verdict::warn
               ? format(", within 10 %% of the %s-day deployment", common::plain_text(days).c_str())
               : format(", more than the %s-day deployment", common::plain_text(days).c_str());
}

}  // namespace

CheckItem endurance_item(const ProgramAnalysis& a, const CheckInputs& in) {
    if (const std::string missing = missing_inputs(in); !missing.empty()) {
        return {"endurance", Verdict::skip, "Endurance needs " + missing + "."};
    }
    const bool timed = a.timeline && (a.timeline->loops ? a.timeline->pace_s.has_value()
                                                        : a.timeline->run_cycles > 0);
    if (!timed) {
        return {"endurance", Verdict::skip,
                "The dry run shows no timed measurement cycle to count reagent by."};
    }
    const Timeline& t = *a.timeline;
    const double days = *in.days;
    const StrokeVolume& stroke = *in.stroke_ul;
    Verdict v = Verdict::pass;
    std::vector<std::string> parts;
    for (const ReagentVolume& r : in.reagents) {
        const double per_cycle = strokes_per_cycle(t, r.valve);
        std::string part = format("valve %u ", unsigned{r.valve});
        if (per_cycle == 0 && before_ul(t, r.valve, stroke) == 0) {
            v = worse(v, Verdict::warn);
            parts.push_back(part + format("has %s mL given but the program never draws from it",
                                          common::plain_text(r.ml).c_str()));
            continue;
        }
        Verdict pv = Verdict::pass;
        const auto lasts = reagent_days(t, r.valve, r.ml, stroke);
        if (!t.loops) {
            const double used_ml = run_ul(t, r.valve, stroke) / 1000;
            const std::string use =
                format(" (%.2f mL of %s mL)", used_ml, common::plain_text(r.ml).c_str());
            if (!lasts) {
                part += format("lasts the whole run of %llu cycles",
                               static_cast<unsigned long long>(t.run_cycles)) +
                        use;
                if (r.ml * 10 < used_ml * 11) {
                    pv = Verdict::warn;
                    part += ", with less than 10 % to spare";
                }
            } else {
                pv = against(*lasts, std::min(days, t.run_s / kSecondsPerDay));
                part += "runs out after " + days_text(*lasts) + use;
            }
        } else {
            const double per_day_ml =
                per_cycle_ul(t, r.valve, stroke) * kSecondsPerDay / *t.pace_s / 1000;
            pv = against(*lasts, days);
            part += format(pv == Verdict::pass ? "lasts " : "runs out after ") + days_text(*lasts) +
                    format(" (%.2f mL a day from %s mL)", per_day_ml,
                           common::plain_text(r.ml).c_str()) +
                    verdict_tail(pv, days);
        }
        v = worse(v, pv);
        parts.push_back(part);
    }
    // Valves drawn from without a volume: a bag the check cannot count.
    for (std::size_t valve = 0; valve < statemachine::kValveCount; ++valve) {
        const double per_cycle = strokes_per_cycle(t, valve);
        if (per_cycle > 0 && !gives_valve(in, static_cast<std::uint8_t>(valve))) {
            v = worse(v, Verdict::warn);
            parts.push_back(format(
                "valve %zu is drawn from %s time%s a cycle; give its volume "
                "with --reagent %zu=ML",
                valve, common::plain_text(per_cycle).c_str(), per_cycle == 1 ? "" : "s", valve));
        }
    }
    std::string text;
    for (const auto& p : parts) {
        text += (text.empty() ? "" : "; ") + p;
    }
    return {"endurance", v, capitalised(text) + "."};
}

CheckItem battery_item(const ProgramAnalysis& a, const CheckInputs& in) {
    std::vector<std::string> missing;
    if (!in.battery_wh) {
        missing.emplace_back("--battery-wh");
    }
    if (!in.cycle_wh) {
        missing.emplace_back("--cycle-wh");
    }
    if (!in.sleep_w) {
        missing.emplace_back("--sleep-w");
    }
    if (!in.days) {
        missing.emplace_back("--days");
    }
    if (!missing.empty()) {
        return {"battery", Verdict::skip, "The battery needs " + listed(missing) + "."};
    }
    const auto lasts = a.timeline ? battery_days(*a.timeline, in) : std::nullopt;
    if (!lasts) {
        return {"battery", Verdict::skip,
                "The dry run shows no timed measurement cycle to count energy by."};
    }
    const double per_day = *in.sleep_w * 24 + *in.cycle_wh * kSecondsPerDay / *a.timeline->pace_s;
    const Verdict v = against(*lasts, *in.days);
    return {"battery", v,
            format("The %s Wh pack lasts ", common::plain_text(*in.battery_wh).c_str()) +
                days_text(*lasts) + format(" (%.2f Wh a day)", per_day) +
                verdict_tail(v, *in.days) + "."};
}

}  // namespace kelpira::deployment_check

// How long each reagent lasts: the pump strokes the Deploy run draws through its valve, the
// cycles a day the schedule (or the cycle) allows, and the volume in the bag.
#include <algorithm>

#include "deployment_check/check_texts.hpp"
#include "deployment_check/item_rules.hpp"

namespace kelpira::deployment_check {

namespace {

constexpr double kSecondsPerDay = 86400;

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
    std::string text;
    for (std::size_t i = 0; i < missing.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == missing.size() ? " and " : ", ") + missing[i];
    }
    return text;
}

}  // namespace

CheckItem endurance_item(const ProgramAnalysis& a, const CheckInputs& in) {
    if (const std::string missing = missing_inputs(in); !missing.empty()) {
        return {"endurance", Verdict::skip, "Endurance needs " + missing + "."};
    }
    if (!a.cycle || a.cycle->cycles == 0 || !a.pace_s || *a.pace_s <= 0) {
        return {"endurance", Verdict::skip,
                "The Deploy dry run shows no timed measurement cycle to count reagent by."};
    }
    const CycleFacts& c = *a.cycle;
    const bool loops = a.deploy->walk->end == WalkEnd::loops;
    const double days = *in.days;
    const double cycles_per_day = kSecondsPerDay / *a.pace_s;
    // A run that ends measures no more than its own cycles.
    const double run_cycles = static_cast<double>(c.cycles);
    const double deployment_cycles =
        loops ? days * cycles_per_day : std::min(days * cycles_per_day, run_cycles);
    Verdict v = Verdict::pass;
    std::string text;
    for (const ReagentVolume& r : in.reagents) {
        const double stroke = *in.stroke_ul;
        const double volume_ul = r.ml * 1000;
        const double before_ul = static_cast<double>(c.strokes_before[r.valve]) * stroke;
        const double per_cycle_ul = static_cast<double>(c.strokes[r.valve]) * stroke / run_cycles;
        const double per_day_ml = per_cycle_ul * cycles_per_day / 1000;
        const double need_ul = before_ul + per_cycle_ul * deployment_cycles;
        std::string part = format("valve %u ", unsigned{r.valve});
        Verdict pv = Verdict::pass;
        if (need_ul == 0) {
            part += "is not drawn from by the Deploy run";
        } else {
            const std::string use = format(" (%.2f mL a day from %g mL)", per_day_ml, r.ml);
            if (!loops && before_ul + per_cycle_ul * run_cycles <= volume_ul) {
                part += format("lasts the whole run of %zu cycles", c.cycles) + use;
                if (volume_ul * 10 < need_ul * 11) {
                    pv = Verdict::warn;
                    part += ", with less than 10 % to spare";
                }
            } else {
                const double lasts =
                    std::max(0.0, volume_ul - before_ul) / (per_cycle_ul * cycles_per_day);
                pv = volume_ul < need_ul             ? Verdict::fail
                     : volume_ul * 10 < need_ul * 11 ? Verdict::warn
                                                     : Verdict::pass;
                part += format(pv == Verdict::pass ? "lasts %.1f days" : "runs out after %.1f days",
                               lasts) +
                        use;
                part += pv == Verdict::fail ? format(", before the %g-day deployment ends", days)
                        : pv == Verdict::warn
                            ? format(", within 10 %% of the %g-day deployment", days)
                            : format(", more than the %g-day deployment", days);
            }
        }
        v = worse(v, pv);
        text += (text.empty() ? "" : "; ") + part;
    }
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return {"endurance", v, text + "."};
}

}  // namespace kelpira::deployment_check

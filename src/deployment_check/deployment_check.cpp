// The items in their order.
#include "deployment_check/deployment_check.hpp"

#include <algorithm>

#include "deployment_check/check_texts.hpp"
#include "deployment_check/item_rules.hpp"

namespace kelpira::deployment_check {

std::vector<CheckItem> judge(const SensorReading& r, const CheckInputs& in) {
    std::vector<CheckItem> items{link_item(r)};
    if (items.front().verdict == Verdict::fail) {
        for (std::size_t i = 1; i < kItemIds.size(); ++i) {
            items.push_back({std::string(kItemIds[i]), Verdict::skip,
                             "The sensor did not identify itself as running its firmware."});
        }
        return items;
    }
    const ProgramAnalysis a = analyse_program(r, in);
    items.push_back(firmware_item(r));
    items.push_back(supply_item(r));
    items.push_back(clock_item(r));
    items.push_back(running_item(r));
    items.push_back(program_item(r, a, in));
    items.push_back(references_item(r, a));
    items.push_back(faults_item(a));
    items.push_back(states_item(r, a));
    items.push_back(timeline_item(a, in));
    items.push_back(schedule_item(r, a, in));
    items.push_back(cycle_item(a));
    items.push_back(endurance_item(a, in));
    items.push_back(battery_item(a, in));
    items.push_back(serial_item(r, in));
    items.push_back(thermistors_item(r));
    return items;
}

std::string_view readiness_name(Readiness r) {
    switch (r) {
        case Readiness::ready:
            return "ready";
        case Readiness::not_ready:
            return "not ready";
        case Readiness::not_checked:
            break;
    }
    return "not checked";
}

int exit_status(const CheckOutcome& outcome) {
    switch (outcome.readiness) {
        case Readiness::ready:
            return 0;
        case Readiness::not_ready:
            return 1;
        case Readiness::not_checked:
            break;
    }
    return 3;
}

CheckOutcome not_checked(std::string reason) {
    return {Readiness::not_checked, std::move(reason), {}};
}

std::optional<std::string> unchecked_reason(const SensorReading& r) {
    if (!r.identity) {
        return "The sensor did not answer its identity reads.";
    }
    const link::CommandResult results[] = {
        r.power.result,          r.mode.result,          r.sensor_clock.result,
        r.chemistry.result,      r.processing.result,    r.schedule.result,
        r.next.result,           r.rs232.result,         r.thermistors[0].result,
        r.thermistors[1].result, r.thermistors[2].result};
    const auto unanswered = static_cast<std::size_t>(
        std::count(std::begin(results), std::end(results), link::kResultNoExchange));
    if (unanswered > 0 || r.program_unanswered) {
        return format("The sensor stopped answering: %zu of its reads got no answer.",
                      unanswered + (r.program_unanswered ? 1 : 0));
    }
    return std::nullopt;
}

std::string headline(const CheckOutcome& outcome) {
    const auto count = [&](Verdict v) {
        return static_cast<std::size_t>(
            std::count_if(outcome.items.begin(), outcome.items.end(),
                          [v](const CheckItem& i) { return i.verdict == v; }));
    };
    switch (outcome.readiness) {
        case Readiness::ready: {
            const std::size_t warnings = count(Verdict::warn);
            return warnings == 0
                       ? "READY"
                       : format("READY with %zu warning%s", warnings, warnings == 1 ? "" : "s");
        }
        case Readiness::not_ready: {
            const std::size_t fails = count(Verdict::fail);
            return format("NOT READY: %zu item%s fail%s", fails, fails == 1 ? "" : "s",
                          fails == 1 ? "s" : "");
        }
        case Readiness::not_checked:
            break;
    }
    return "NOT CHECKED: " + outcome.reason;
}

std::vector<CheckItem> by_severity(std::vector<CheckItem> items) {
    // skip < pass < warn < fail; skips go last.
    const auto rank = [](Verdict v) { return v == Verdict::skip ? -1 : static_cast<int>(v); };
    std::stable_sort(items.begin(), items.end(), [&](const CheckItem& a, const CheckItem& b) {
        return rank(a.verdict) > rank(b.verdict);
    });
    return items;
}

std::string outcome_json(const CheckOutcome& outcome) {
    nlohmann::ordered_json out;
    out["verdict"] = readiness_name(outcome.readiness);
    if (outcome.readiness == Readiness::not_checked) {
        out["reason"] = outcome.reason;
    }
    out["items"] = items_json(outcome.items);
    // Replacement characters for bytes that are not UTF-8: a sensor's name is any bytes.
    return out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

CheckOutcome run_check(link::SensorLink& link, const CheckInputs& inputs, const PcClocks& clocks,
                       const ReadControl& control) {
    const SensorReading reading = read_sensor(link, clocks, control);
    if (reading.cancelled) {
        return not_checked("The check was cancelled.");
    }
    CheckOutcome out;
    out.items = judge(reading, inputs);
    if (const auto reason = unchecked_reason(reading)) {
        out.readiness = Readiness::not_checked;
        out.reason = *reason;
    } else {
        out.readiness = any_failed(out.items) ? Readiness::not_ready : Readiness::ready;
    }
    return out;
}

}  // namespace kelpira::deployment_check

// The items in their order.
#include "deployment_check/deployment_check.hpp"

#include <algorithm>

#include "common/time_text.hpp"
#include "config/clock_transfer.hpp"
#include "deployment_check/check_texts.hpp"
#include "deployment_check/item_rules.hpp"
#include "deployment_check/program_hash.hpp"
#include "report/snapshot.hpp"

namespace kelpira::deployment_check {

Judgement judge(const SensorReading& r, const CheckInputs& in) {
    Judgement j;
    auto& items = j.items;
    items.push_back(link_item(r));
    if (items.front().verdict == Verdict::fail) {
        for (std::size_t i = 1; i < kItemIds.size(); ++i) {
            items.push_back({std::string(kItemIds[i]), Verdict::skip,
                             "The sensor did not identify itself as running its firmware."});
        }
        return j;
    }
    const ProgramAnalysis a = analyse_program(r, in);
    if (r.firmware_version) {
        j.firmware_warnings =
            match_firmware_warnings(*r.firmware_version, deployment_use(r, a, in));
    }
    items.push_back(firmware_item(r, j.firmware_warnings));
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
    j.timeline = a.timeline;
    return j;
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
    CheckOutcome out;
    out.reason = std::move(reason);
    return out;
}

std::optional<std::string> unchecked_reason(const SensorReading& r) {
    if (!r.identity) {
        return "The sensor did not answer its identity reads.";
    }
    const link::CommandResult results[] = {
        r.power.result,          r.mode.result,           r.sensor_clock.result,
        r.chemistry.result,      r.processing.result,     r.schedule.result,
        r.next.result,           r.rs232.result,          r.rs485.result,
        r.thermistors[0].result, r.thermistors[1].result, r.thermistors[2].result};
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

namespace {

std::int64_t seconds_of(const config::CalendarTime& t) {
    return common::utc_seconds({t.year, t.month, t.day, t.hour, t.minute, t.second});
}

void keep_facts(const SensorReading& r, CheckOutcome& out) {
    if (r.identity) {
        const auto& id = *r.identity;
        out.sensor = SensorFacts{id.identification.name,
                                 id.identification.serial_number,
                                 id.identification.board_serial_number,
                                 id.info.device_type,
                                 id.info.bootloader_version,
                                 r.firmware_version};
    }
    if (r.sensor_clock) {
        out.clock.sensor_s = seconds_of(config::calendar_of(*r.sensor_clock));
    }
    out.clock.pc_utc_s = seconds_of(r.pc_utc);
    out.clock.pc_local_s = seconds_of(r.pc_local);
    if (r.program && !r.program_empty) {
        out.program_sha256 = program_sha256(*r.program);
        out.program_states = r.program->state_count();
    }
}

}  // namespace

CheckOutcome run_check(link::SensorLink& link, const CheckInputs& inputs, const PcClocks& clocks,
                       const ReadControl& control, const CheckOptions& options) {
    const std::int64_t started = seconds_of(clocks.utc());
    const SensorReading reading = read_sensor(link, clocks, control);
    if (reading.cancelled) {
        CheckOutcome cancelled = not_checked("The check was cancelled.");
        cancelled.checked_utc_s = started;
        return cancelled;
    }
    CheckOutcome out;
    out.checked_utc_s = started;
    out.inputs = inputs;
    keep_facts(reading, out);
    Judgement j = judge(reading, inputs);
    out.items = std::move(j.items);
    out.timeline = std::move(j.timeline);
    out.firmware_warnings = std::move(j.firmware_warnings);
    if (const auto reason = unchecked_reason(reading)) {
        out.readiness = Readiness::not_checked;
        out.reason = *reason;
        return out;
    }
    out.readiness = any_failed(out.items) ? Readiness::not_ready : Readiness::ready;
    const auto snapshot = report::read_snapshot(link);
    if (snapshot.snapshot) {
        out.configuration = *snapshot.snapshot;
    } else {
        out.configuration_failure = snapshot.failure;
    }
    if (options.measure_clock && !(control.cancelled && control.cancelled())) {
        out.clock.measured =
            config::measure_clock_offset(link, options.utc, out.clock.measure_error);
    }
    return out;
}

}  // namespace kelpira::deployment_check

// Whole-record rules of the schedule, nutrient and PMT dialogs, as the import applies them.
#include "report/snapshot_record_rules.hpp"

#include <algorithm>
#include <bit>
#include <charconv>

#include "config/measurement_schedule_controller.hpp"
#include "config/optics_controls.hpp"
#include "records/chemistry_lists.hpp"
#include "records/platform_fields.hpp"
#include "report/report_lines.hpp"
#include "report/snapshot_fields.hpp"
#include "report/snapshot_json.hpp"

namespace kelpira::report {

namespace {

std::string kind_text(std::uint8_t kind) {
    for (const auto& entry : records::kIntervalKinds) {
        if (entry.value == kind) {
            return std::string(entry.text);
        }
    }
    return num(kind);
}

std::string volts_text(float v) {
    char text[32];
    const auto r = std::to_chars(text, text + sizeof text, v);
    return std::string(text, r.ptr);
}

// The count each kind goes with, as the dialog's entries and buttons give it.
void check_count(const records::MeasurementSchedule& s) {
    const std::string where = "schedule.interval_count";
    const std::string count = num(s.interval_count);
    switch (s.interval_kind) {
        case records::kMeasureContinuously:
            if (s.interval_count != 0) {
                throw SnapshotFault(where, count + " with interval_kind Continuously (must be 0)");
            }
            break;
        case records::kMeasureEveryHalfHour:
            if (s.interval_count != records::kHalfHourMinutes) {
                throw SnapshotFault(where, count +
                                               " with interval_kind Every 30 minutes (must be " +
                                               num(records::kHalfHourMinutes) + ")");
            }
            break;
        default:
            if (!config::interval_entry_valid(count)) {
                throw SnapshotFault(where, count + " with interval_kind " +
                                               kind_text(s.interval_kind) + " (must be 1..65535)");
            }
            break;
    }
}

}  // namespace

std::string record_rules(records::ChemistryConfig& wanted, const records::ChemistryConfig& held) {
    const auto* chemistry = records::find_chemistry(wanted.chemistry);
    if (chemistry == nullptr) {
        return "";
    }
    if (wanted.sample_interval_ms != held.sample_interval_ms &&
        wanted.sample_interval_ms != records::kPageSampleIntervalMs &&
        !records::page_edits_interval(chemistry->page)) {
        throw SnapshotFault("chemistry_config.sample_interval_ms",
                            num(wanted.sample_interval_ms) + " is not what the " +
                                std::string(chemistry->tab_text) + " page stores (" +
                                num(records::kPageSampleIntervalMs) + ")");
    }
    if (wanted.multiplexer == held.multiplexer) {
        return "";
    }
    const auto offered = records::offered_multiplexers(chemistry->page);
    std::string names;
    for (const auto& entry : offered) {
        if (entry.value == wanted.multiplexer) {
            return "";
        }
        names += (names.empty() ? "" : ", ") + std::string(entry.text);
    }
    std::string given = num(wanted.multiplexer);
    for (const auto& entry : records::kMultiplexers) {
        if (entry.value == wanted.multiplexer) {
            given = entry.text;
        }
    }
    throw SnapshotFault("chemistry_config.multiplexer", given + " is not one the " +
                                                            std::string(chemistry->tab_text) +
                                                            " page offers (" + names + ")");
}

std::string record_rules(records::MeasurementSchedule& wanted,
                         const records::MeasurementSchedule& held) {
    if (wanted == held) {
        return "";
    }
    if (held.layout <= records::kScheduleLayoutTooOld) {
        throw SnapshotFault("schedule",
                            "this sensor's firmware is too old for its schedule to be "
                            "set (layout " +
                                num(held.layout) + ")");
    }
    // The dialog writes no stop time while "Enable Stop Time" is clear.
    if (wanted.stop_enabled == 0 && wanted.stop_time != 0 &&
        (held.stop_enabled != 0 || held.stop_time != wanted.stop_time)) {
        throw SnapshotFault("schedule.stop_time",
                            num(wanted.stop_time) + " with stop_enabled 0 (must be 0)");
    }
    if (wanted.interval_kind == held.interval_kind &&
        wanted.interval_count == held.interval_count) {
        return "";
    }
    check_count(wanted);
    const auto stored = config::read_schedule_controls(config::show_schedule(wanted), held.layout);
    if (stored.interval_kind == wanted.interval_kind &&
        stored.interval_count == wanted.interval_count) {
        return "";
    }
    const bool minutes_lost = wanted.interval_kind == records::kMeasureEveryNMinutes;
    wanted.interval_kind = stored.interval_kind;
    wanted.interval_count = stored.interval_count;
    return minutes_lost ? "this sensor's schedule has no minute intervals: every 30 minutes" : "";
}

std::string record_rules(records::NutrientParams& wanted, const records::NutrientParams& held) {
    if (records::encode(wanted) == records::encode(held)) {
        return "";
    }
    records::NutrientParams derived = wanted;
    records::update_output_monitor(derived);
    const struct {
        const char* field;
        std::uint8_t wanted;
        std::uint8_t held;
        std::uint8_t derived;
    } kDerived[] = {
        {"output_monitored", wanted.output_monitored, held.output_monitored,
         derived.output_monitored},
        {"output_monitor", wanted.output_monitor, held.output_monitor, derived.output_monitor},
    };
    bool follows = false;
    for (const auto& d : kDerived) {
        if (d.wanted != d.held && d.wanted != d.derived) {
            throw SnapshotFault(std::string("processing_params.") + d.field,
                                std::to_string(d.wanted) + " is not what the output channel and " +
                                    "its monitor give (" + std::to_string(d.derived) + ")");
        }
        follows = follows || d.wanted != d.derived;
    }
    wanted.output_monitored = derived.output_monitored;
    wanted.output_monitor = derived.output_monitor;
    return follows ? "output_monitored and output_monitor follow the output channel's monitor" : "";
}

std::string record_rules(records::Rs232Config& wanted, const records::Rs232Config& held) {
    const auto& offered = records::kRs232Offered;
    if (wanted.protocol == held.protocol ||
        std::find(offered.begin(), offered.end(), wanted.protocol) != offered.end()) {
        return "";
    }
    const auto name = [](std::uint32_t value) {
        for (const auto& e : records::kRs232Protocols) {
            if (e.value == value) {
                return std::string(e.text);
            }
        }
        return num(value);
    };
    std::string names;
    for (const auto value : offered) {
        names += (names.empty() ? "" : ", ") + name(value);
    }
    throw SnapshotFault("rs232_config.protocol", name(wanted.protocol) + " is not one of " + names);
}

std::string record_rules(records::PmtConfig& wanted, const records::PmtConfig& held) {
    const bool changes =
        wanted.instrument != held.instrument || std::bit_cast<std::uint32_t>(wanted.control_v) !=
                                                    std::bit_cast<std::uint32_t>(held.control_v);
    const float limited = config::pmt_control_v(wanted.instrument, wanted.control_v);
    if (changes &&
        std::bit_cast<std::uint32_t>(limited) != std::bit_cast<std::uint32_t>(wanted.control_v)) {
        throw SnapshotFault("pmt_config.control_v",
                            volts_text(wanted.control_v) + " is outside " +
                                volts_text(records::kPmtControlMinV) + ".." +
                                volts_text(records::kPmtControlMaxV) + " for the H10492");
    }
    return "";
}

}  // namespace kelpira::report

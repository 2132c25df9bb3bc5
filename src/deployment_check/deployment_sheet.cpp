// The sheet's text and JSON forms.
#include "deployment_check/deployment_sheet.hpp"

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "common/safe_file.hpp"
#include "common/time_text.hpp"
#include "common/version.hpp"
#include "common/visible_text.hpp"
#include "config/clock_offset.hpp"
#include "deployment_check/check_texts.hpp"
#include "deployment_check/fix_places.hpp"
#include "link/device_types.hpp"
#include "report/snapshot.hpp"

namespace kelpira::deployment_check {

namespace {

using Json = nlohmann::ordered_json;

std::string end_name(TimelineEnd e) {
    switch (e) {
        case TimelineEnd::deployment:
            return "end of the deployment";
        case TimelineEnd::program:
            return "the program ends";
        case TimelineEnd::schedule_stop:
            return "the schedule's stop time";
        case TimelineEnd::reagent:
            return "a reagent runs out";
        case TimelineEnd::battery:
            return "the battery is spent";
        case TimelineEnd::never:
            break;
    }
    return "measures until stopped";
}

std::string signed_duration(std::int64_t s) {
    const auto away = static_cast<std::uint64_t>(std::llabs(s));
    return (s < 0 ? "-" : "+") + duration_text(away);
}

// The zone the sensor's clock keeps, judged as the clock item judges it.
std::string zone_text(const ClockFacts& c) {
    const std::int64_t local_offset = c.pc_local_s - c.pc_utc_s;
    if (!c.sensor_s) {
        return "unknown";
    }
    if (local_offset == 0) {
        return "UTC (the PC's local time is UTC too)";
    }
    const std::int64_t to_utc = *c.sensor_s - c.pc_utc_s;
    const std::int64_t to_local = *c.sensor_s - c.pc_local_s;
    return std::llabs(to_utc) <= std::llabs(to_local)
               ? "UTC"
               : "the PC's local time (UTC" + signed_duration(local_offset) + ")";
}

std::string offset_text(const ClockFacts& c) {
    if (c.measured) {
        return format("%+.3f s, measured to +-%.3f s", c.measured->offset_s,
                      c.measured->precision_s);
    }
    if (!c.sensor_s) {
        return "not read";
    }
    std::string text = format("%+lld s, from one read, to +-1 s",
                              static_cast<long long>(*c.sensor_s - c.pc_utc_s));
    if (!c.measure_error.empty()) {
        text += " (the precise measurement failed: " + c.measure_error + ")";
    }
    return text;
}

Json inputs_json(const CheckInputs& in) {
    const auto maybe = [](const std::optional<double>& v) { return v ? Json(*v) : Json(); };
    Json reagents = Json::array();
    for (const auto& r : in.reagents) {
        reagents.push_back({{"valve", r.valve}, {"ml", r.ml}});
    }
    Json stroke;
    if (in.stroke_ul) {
        stroke = {{"inject_ul", in.stroke_ul->inject_ul},
                  {"withdraw_ul", in.stroke_ul->withdraw_ul}};
    }
    return {{"days", maybe(in.days)},
            {"start", in.start ? Json(iso_seconds(*in.start)) : Json()},
            {"start_state", start_choice_name(in.start_state)},
            {"stroke_ul", stroke},
            {"reagents", reagents},
            {"platform", in.platform ? Json(platform_name(*in.platform)) : Json()},
            {"battery_wh", maybe(in.battery_wh)},
            {"cycle_wh", maybe(in.cycle_wh)},
            {"sleep_w", maybe(in.sleep_w)}};
}

std::string inputs_text(const CheckInputs& in) {
    const auto given = [](const std::optional<double>& v, const char* unit) {
        return v ? common::plain_text(*v) + unit : std::string("not given");
    };
    std::string reagents;
    for (const auto& r : in.reagents) {
        reagents += (reagents.empty() ? "" : ", ") +
                    format("valve %u %s mL", unsigned{r.valve}, common::plain_text(r.ml).c_str());
    }
    return "  Deployment length:  " + given(in.days, " days") + "\n  Deployment start:   " +
           (in.start ? iso_seconds(*in.start) : std::string("now, by the sensor's clock")) +
           "\n  Start state:        " + std::string(start_choice_name(in.start_state)) +
           "\n  Pump stroke:        " +
           (in.stroke_ul ? stroke_text(*in.stroke_ul) + " uL" : std::string("not given")) +
           "\n  Reagents:           " + (reagents.empty() ? std::string("none given") : reagents) +
           "\n  Host platform:      " +
           (in.platform ? std::string(platform_name(*in.platform)) : std::string("not given")) +
           "\n  Battery:            " + given(in.battery_wh, " Wh") +
           "\n  Energy per cycle:   " + given(in.cycle_wh, " Wh") +
           "\n  Power asleep:       " + given(in.sleep_w, " W") + "\n";
}

Json time_or_null(const std::optional<std::int64_t>& s) {
    return s ? Json(iso_seconds(*s)) : Json();
}

Json timeline_json(const Timeline& t) {
    return {{"start", iso_seconds(t.start_s)},
            {"start_state", {{"label", t.start_label}, {"state", t.start_state}}},
            {"end", time_or_null(t.end_s)},
            {"interval_s", t.interval_s ? Json(*t.interval_s) : Json()},
            {"schedule_stop", time_or_null(t.stop_s)},
            {"pace_s", t.pace_s ? Json(*t.pace_s) : Json()},
            {"intervals_per_cycle", t.intervals_per_cycle},
            {"cycle_work_s", t.work_s},
            {"cycles", t.cycles},
            {"last_cycle", time_or_null(t.last_cycle_s)},
            {"ends_because", end_name(t.end)},
            {"measuring_ends", time_or_null(t.ends_s)}};
}

std::string timeline_text(const Timeline& t) {
    const auto when = [](const std::optional<std::int64_t>& s) {
        return s ? iso_seconds(*s) : std::string("none");
    };
    std::string text =
        "  Start:              " + iso_seconds(t.start_s) + ", " + t.start_label + " state " +
        std::to_string(t.start_state) + "\n  End:                " + when(t.end_s) +
        "\n  Schedule interval:  " +
        (t.interval_s ? duration_text(*t.interval_s) : std::string("none")) +
        "\n  Schedule stop:      " + when(t.stop_s) + "\n  Pace:               " +
        (t.pace_s ? "one measurement every " + duration_text(static_cast<std::uint64_t>(*t.pace_s))
                  : std::string("no timed measurement cycle"));
    if (t.intervals_per_cycle > 1) {
        text += format(" (a cycle spans %llu intervals)",
                       static_cast<unsigned long long>(t.intervals_per_cycle));
    }
    text += "\n  Measurements:       " + std::to_string(t.cycles) +
            "\n  Last measurement:   " + when(t.last_cycle_s) +
            "\n  Measuring ends:     " + end_name(t.end);
    if (t.ends_s) {
        text += ", " + iso_seconds(*t.ends_s);
    }
    return text + "\n";
}

Json items_with_places(const std::vector<CheckItem>& items) {
    Json list = items_json(items);
    for (auto& item : list) {
        const FixPlace place = fix_place(item["id"].get<std::string>());
        item["fix"] = {{"window", place.window},
                       {"command", place.command.empty() ? Json() : Json(place.command)}};
    }
    return list;
}

std::string items_text(const std::vector<CheckItem>& items) {
    std::string text;
    for (const CheckItem& item : by_severity(items)) {
        text += check_text({item});
        const FixPlace place = fix_place(item.id);
        text += "                 where: " + std::string(place.window);
        if (!place.command.empty()) {
            text += "; " + std::string(place.command);
        }
        text += '\n';
    }
    return text;
}

Json sensor_json(const CheckOutcome& o) {
    Json clock = {{"zone", zone_text(o.clock)},
                  {"sensor", time_or_null(o.clock.sensor_s)},
                  {"pc_utc", iso_seconds(o.clock.pc_utc_s)},
                  {"offset_s", o.clock.measured   ? Json(o.clock.measured->offset_s)
                               : o.clock.sensor_s ? Json(*o.clock.sensor_s - o.clock.pc_utc_s)
                                                  : Json()},
                  {"offset_precision_s", o.clock.measured   ? Json(o.clock.measured->precision_s)
                                         : o.clock.sensor_s ? Json(1)
                                                            : Json()}};
    Json sensor;
    if (o.sensor) {
        const SensorFacts& s = *o.sensor;
        sensor = {{"name", common::visible_text(s.name)},
                  {"serial_number", s.serial_number},
                  {"board_serial_number", s.board_serial_number},
                  {"device_type", link::DeviceTypeName(s.device_type)},
                  {"bootloader_version", s.bootloader_version},
                  {"firmware", s.firmware ? Json(common::visible_text(*s.firmware)) : Json()}};
    } else {
        sensor = Json::object();
    }
    sensor["clock"] = clock;
    sensor["program_sha256"] = o.program_sha256 ? Json(*o.program_sha256) : Json();
    sensor["program_states"] = o.program_states;
    return sensor;
}

std::string sensor_text(const CheckOutcome& o) {
    std::string text;
    if (o.sensor) {
        const SensorFacts& s = *o.sensor;
        text += "  Name:               " + common::visible_text(s.name) +
                format("\n  Serial number:      %u\n  Board serial:       %u",
                       unsigned{s.serial_number}, unsigned{s.board_serial_number}) +
                "\n  Device type:        " + link::DeviceTypeName(s.device_type) +
                format("\n  Bootloader:         %u", unsigned{s.bootloader_version}) +
                "\n  Firmware:           " +
                (s.firmware ? common::visible_text(*s.firmware) : std::string("not read")) + "\n";
    } else {
        text += "  The sensor did not identify itself.\n";
    }
    text += "  Clock:              " +
            (o.clock.sensor_s ? iso_seconds(*o.clock.sensor_s) : std::string("not read")) +
            " as read, kept in " + zone_text(o.clock) +
            "\n  Offset from UTC:    " + offset_text(o.clock) + "\n  Program SHA-256:    " +
            (o.program_sha256 ? *o.program_sha256 + format(" (%zu states, as `kelpira-ctl sm get "
                                                           "FILE.asm` writes them)",
                                                           o.program_states)
                              : std::string("no program read")) +
            "\n";
    return text;
}

Json warnings_json(const std::vector<WarningMatch>& warnings) {
    Json list = Json::array();
    for (const auto& w : warnings) {
        list.push_back(
            {{"release", w.release},
             {"warning", w.warning},
             {"verdict", w.verdict == Verdict::skip ? "does not apply" : verdict_name(w.verdict)},
             {"why", w.why}});
    }
    return list;
}

std::string warnings_text(const std::vector<WarningMatch>& warnings) {
    if (warnings.empty()) {
        return "  None: the firmware is the latest supported, or was not judged.\n";
    }
    std::string text;
    for (const auto& w : warnings) {
        text +=
            "  " +
            std::string(w.verdict == Verdict::skip ? "does not apply" : verdict_word(w.verdict)) +
            ": \"" + std::string(w.warning) + "\" (" + std::string(w.release) + "): " + w.why +
            "\n";
    }
    return text;
}

}  // namespace

std::string iso_seconds(std::int64_t utc_s) {
    const auto f = common::utc_fields(utc_s);
    return format("%04d-%02d-%02dT%02d:%02d:%02dZ", f.year, f.month, f.day, f.hour, f.minute,
                  f.second);
}

SheetOrigin this_pc() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0) {
        name[0] = '\0';
    }
    return {common::visible_text(name), std::string(common::kProgramVersion)};
}

std::string sheet_text(const CheckOutcome& o, const SheetOrigin& origin) {
    std::string text = "KELPIRA DEPLOYMENT SHEET\n\n" + headline(o) + "\n\n";
    text += "Checked:              " +
            (o.checked_utc_s ? iso_seconds(*o.checked_utc_s) : std::string("unknown")) +
            " (the PC's UTC)\nPC:                   " + origin.pc_name +
            "\nProgram version:      " + origin.program_version + "\n\nSensor\n" + sensor_text(o) +
            "\nInputs\n" + inputs_text(o.inputs) + "\nTimeline\n" +
            (o.timeline ? timeline_text(*o.timeline) : std::string("  No dry run to time.\n")) +
            "\nItems, the most severe first\n" + items_text(o.items) +
            "\nFirmware compatibility warnings\n" + warnings_text(o.firmware_warnings) +
            "\nConfiguration snapshot (as `kelpira-ctl config export` writes it)\n";
    text += o.configuration ? report::snapshot_text(*o.configuration)
                            : "  Not read: " +
                                  (o.configuration_failure.empty() ? std::string("not checked")
                                                                   : o.configuration_failure) +
                                  "\n";
    return text;
}

std::string outcome_json(const CheckOutcome& o, const SheetOrigin& origin) {
    Json out;
    out["verdict"] = readiness_name(o.readiness);
    if (o.readiness == Readiness::not_checked) {
        out["reason"] = o.reason;
    }
    out["headline"] = headline(o);
    out["checked"] = time_or_null(o.checked_utc_s);
    out["pc"] = origin.pc_name;
    out["program_version"] = origin.program_version;
    out["sensor"] = sensor_json(o);
    out["inputs"] = inputs_json(o.inputs);
    out["timeline"] = o.timeline ? timeline_json(*o.timeline) : Json();
    out["items"] = items_with_places(o.items);
    out["firmware_warnings"] = warnings_json(o.firmware_warnings);
    out["configuration"] = o.configuration ? *o.configuration : Json();
    // Replacement characters for bytes that are not UTF-8: a sensor's name is any bytes.
    return out.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool write_sheet(const std::string& path, const CheckOutcome& outcome, const SheetOrigin& origin) {
    const std::string text = sheet_text(outcome, origin);
    return common::write_file_safely(path, [&text](std::ostream& out) {
        out << text;
        return static_cast<bool>(out);
    });
}

}  // namespace kelpira::deployment_check

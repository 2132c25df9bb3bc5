// The items about the sensor itself: link, firmware, supply, clock and whether it runs.
#include <algorithm>
#include <cstdlib>

#include "common/time_text.hpp"
#include "common/visible_text.hpp"
#include "config/clock_texts.hpp"
#include "deployment_check/check_texts.hpp"
#include "deployment_check/item_rules.hpp"
#include "link/device_types.hpp"
#include "link/firmware_releases.hpp"
#include "link/firmware_version.hpp"

namespace kelpira::deployment_check {

namespace {

constexpr std::int32_t kRefusesStartMv = 9000;  // the sensor will not start its program below
constexpr std::int32_t kLowSupplyMv = 10000;
constexpr std::int64_t kClockGoodS = 10;
constexpr std::int64_t kClockFairS = 120;

std::string status(link::CommandResult rc) {
    return format("(status=%d)", int{rc});
}

std::int64_t seconds_of(const config::CalendarTime& t) {
    return common::utc_seconds({t.year, t.month, t.day, t.hour, t.minute, t.second});
}

std::string mode_name(records::SensorMode m) {
    switch (m) {
        case records::kModeOperating:
            return "operating";
        case records::kModeSleeping:
            return "sleeping";
        case records::kModeIdle:
            return "idle";
        case records::kModeHibernating:
            return "hibernating";
        default:
            return format("unknown (%u)", unsigned{m});
    }
}

}  // namespace

CheckItem link_item(const SensorReading& r) {
    if (!r.identity) {
        return {"link", Verdict::fail,
                "The sensor did not answer its identity reads (identification and device "
                "info)."};
    }
    const auto& id = *r.identity;
    if (id.info.mode == link::kModeBootloader) {
        return {"link", Verdict::fail,
                format("Sensor \"%s\" (serial number %u) is in its bootloader, not running its "
                       "firmware.",
                       common::visible_text(id.name).c_str(),
                       unsigned{id.identification.serial_number})};
    }
    return {"link", Verdict::pass,
            format("Sensor \"%s\", serial number %u, %s, running its firmware.",
                   common::visible_text(id.name).c_str(), unsigned{id.identification.serial_number},
                   link::DeviceTypeName(id.info.device_type).c_str())};
}

CheckItem firmware_item(const SensorReading& r, const std::vector<WarningMatch>& warnings) {
    if (!r.firmware_version) {
        return {"firmware", Verdict::fail, "The firmware version could not be read."};
    }
    const std::string version = common::visible_text(*r.firmware_version);
    const std::string latest(link::kFirmwareReleases.front().key);
    const auto parsed = link::ParseFirmwareVersion(*r.firmware_version);
    const auto newest = link::ParseFirmwareVersion(latest);
    if (!parsed) {
        return {"firmware", Verdict::fail,
                "Firmware \"" + version + "\" is unrecognised: do not deploy it."};
    }
    if (parsed->is_test_build()) {
        return {"firmware", Verdict::fail,
                format("Firmware %s is a test build (test %lld): do not deploy it.",
                       version.c_str(), static_cast<long long>(parsed->test))};
    }
    if (parsed->number > newest->number) {
        return {"firmware", Verdict::fail,
                format("Firmware %s is newer than the latest this program knows (%s).",
                       version.c_str(), latest.c_str())};
    }
    if (parsed->number == newest->number) {
        return {"firmware", Verdict::pass,
                format("Firmware %s is the latest supported: all operations are safe.",
                       version.c_str())};
    }
    std::string text = format("Firmware %s is older than the latest supported (%s)",
                              version.c_str(), latest.c_str());
    Verdict v = Verdict::pass;
    std::string named;
    std::size_t concern = 0;
    for (const WarningMatch& w : warnings) {
        if (w.verdict == Verdict::skip) {
            continue;
        }
        v = worse(v, w.verdict);
        ++concern;
        named += std::string(concern == 1 ? ": " : "; ") + std::string(verdict_word(w.verdict)) +
                 " \"" + std::string(w.warning) + "\" (" + w.why + ")";
    }
    if (warnings.empty()) {
        text += "; all operations are safe.";
    } else if (concern == 0) {
        text += warnings.size() == 1
                    ? "; its one compatibility warning does not concern this deployment."
                    : format("; none of its %zu compatibility warnings concerns this deployment.",
                             warnings.size());
    } else {
        text += format("; %zu of its %zu compatibility warnings concern%s this deployment", concern,
                       warnings.size(), concern == 1 ? "s" : "") +
                named + ".";
    }
    return {"firmware", v, text};
}

CheckItem supply_item(const SensorReading& r) {
    if (!r.power) {
        return {"supply", Verdict::fail,
                "The supply voltage could not be read " + status(r.power.result) + "."};
    }
    const std::int32_t mv = r.power->supply_mv;
    const std::string volts = format("%.3f V", mv / 1000.0);
    if (mv < kRefusesStartMv) {
        return {"supply", Verdict::fail,
                "Supply " + volts + " is below 9.0 V: the sensor refuses to start its program."};
    }
    if (mv < kLowSupplyMv) {
        return {"supply", Verdict::warn,
                "Supply " + volts +
                    " is below 10.0 V, close to the 9.0 V the sensor needs to "
                    "start its program."};
    }
    return {"supply", Verdict::pass, "Supply " + volts + " is at least 10.0 V."};
}

CheckItem clock_item(const SensorReading& r) {
    if (!r.sensor_clock) {
        return {"clock", Verdict::fail,
                "The sensor's clock could not be read " + status(r.sensor_clock.result) + "."};
    }
    const auto sensor = config::calendar_of(*r.sensor_clock);
    const std::int64_t s = seconds_of(sensor);
    const std::int64_t to_utc = s - seconds_of(r.pc_utc);
    const std::int64_t to_local = s - seconds_of(r.pc_local);
    const bool same_zone = to_utc == to_local;
    const bool nearer_utc = std::llabs(to_utc) <= std::llabs(to_local);
    const std::int64_t offset = nearer_utc ? to_utc : to_local;
    const std::uint64_t away = static_cast<std::uint64_t>(std::llabs(offset));
    const char* against = same_zone    ? "the PC's UTC and local time"
                          : nearer_utc ? "the PC's UTC"
                                       : "the PC's local time";
    std::string text = "Sensor clock " + config::calendar_text(sensor);
    text += offset == 0 ? format(" matches %s to the second", against)
                        : format(" is %s %s %s", duration_text(away).c_str(),
                                 offset > 0 ? "ahead of" : "behind", against);
    if (!same_zone) {
        text += format(
            " (%s is %s away)", nearer_utc ? "local time" : "UTC",
            duration_text(static_cast<std::uint64_t>(std::llabs(nearer_utc ? to_local : to_utc)))
                .c_str());
    }
    // Results are read as UTC wherever they go: a clock on local time is never a pass.
    const bool local = !same_zone && !nearer_utc;
    if (local) {
        text += "; " + config::local_time_warning(seconds_of(r.pc_local) - seconds_of(r.pc_utc));
    }
    const Verdict v = away <= kClockGoodS && !local ? Verdict::pass
                      : away <= kClockFairS         ? Verdict::warn
                                                    : Verdict::fail;
    return {"clock", v, text + "."};
}

CheckItem running_item(const SensorReading& r) {
    if (!r.mode) {
        return {
            "running", Verdict::warn,
            "Whether the sensor runs a program could not be read " + status(r.mode.result) + "."};
    }
    if (*r.mode == records::kModeIdle) {
        return {"running", Verdict::pass, "The sensor is idle: no program is running."};
    }
    return {"running", Verdict::warn,
            "The sensor is running a program (mode " + mode_name(*r.mode) +
                "): these values were read while it runs."};
}

}  // namespace kelpira::deployment_check

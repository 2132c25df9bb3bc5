// Reading and writing the JSON form of a program, with the line of each field kept for the
// messages that refuse a file.
#include "statemachine/state_json.hpp"

#include <iterator>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <vector>

#include "common/strict_json.hpp"
#include "common/visible_text.hpp"
#include "statemachine/state_lists.hpp"

namespace kelpira::statemachine {

namespace {

using Json = nlohmann::ordered_json;

// A refusal while reading: the path of the value inside its state, and what is wrong.
struct FieldFault {
    std::string path;
    std::string message;
};

// ---- writing ----

// The key of a list field's value that no list text names: a bare number would read as a
// count ("microstep_code": 8) where the field holds a code.
constexpr const char* kUnlisted = "unlisted";

Json enum_json(ListTable table, std::uint16_t value) {
    if (const auto text = list_text(table, value)) {
        return std::string(*text);
    }
    Json unlisted = Json::object();
    unlisted[kUnlisted] = value;
    return unlisted;
}

Json trigger_json(const DepthTrigger& t, ListTable levels) {
    Json j = Json::object();
    j["level"] = enum_json(levels, t.level);
    j["next_state"] = t.next_state;
    if (t.reserved0 != 0) {
        j["reserved0"] = t.reserved0;
    }
    if (t.reserved3 != 0) {
        j["reserved3"] = t.reserved3;
    }
    return j;
}

Json state_json(const StateRecord& s) {
    Json j = Json::object();
    j["normalised"] = s.normalised;
    Json valves = Json::array();
    for (unsigned i = 0; i < kValveCount; ++i) {
        if ((s.valve_mask >> i) & 1u) {
            valves.push_back(i);
        }
    }
    j["valve_mask"] = valves;
    Json leds = Json::array();
    for (const auto led : s.led_drive) {
        leds.push_back(enum_json(kLedList, led));
    }
    j["led_drive"] = leds;
    j["hall_power"] = s.hall_power;
    j["photodiode_power"] = s.photodiode_power;
    j["pump_on"] = s.pump_on;
    j["pump_direction"] = enum_json(kPumpDirectionList, s.pump_direction);
    j["winding_current_ma"] = s.winding_current_ma;
    j["step_period_us"] = s.step_period_us;
    j["microstep_code"] = enum_json(kMicrostepList, s.microstep_code);
    j["pump_stop_mode"] = enum_json(kPumpStopList, s.pump_stop_mode);
    j["hall_stop_inject"] = s.hall_stop_inject;
    j["hall_stop_withdraw"] = s.hall_stop_withdraw;
    j["pump_timeout_next"] = s.pump_timeout_next;
    j["step_count"] = s.step_count;
    j["pump_timeout_s"] = s.pump_timeout_s;
    j["state_switch"] = enum_json(kStateSwitchList, s.state_switch);
    j["sync_value"] = s.sync_value;
    j["default_next"] = s.default_next;
    Json counters = Json::array();
    for (const auto& c : s.counter) {
        Json cj = Json::object();
        cj["increment"] = c.increment;
        cj["limit"] = c.limit;
        cj["next_state"] = c.next_state;
        cj["mode"] = enum_json(kCounterModeList, c.mode);
        counters.push_back(cj);
    }
    j["counter"] = counters;
    j["dive_trigger"] = trigger_json(s.dive_trigger, kDiveLevelList);
    j["climb_trigger"] = trigger_json(s.climb_trigger, kClimbLevelList);
    j["delay_s"] = s.delay_s;
    j["delay_mode"] = enum_json(kDelayModeList, s.delay_mode);
    j["power_mode"] = enum_json(kPowerModeList, s.power_mode);
    return j;
}

// One field a line, the counters one a line, so that a diff shows the field that changed.
void write_state(std::ostream& out, const Json& state) {
    out << "  {\n";
    bool first = true;
    for (const auto& [key, value] : state.items()) {
        out << (first ? "" : ",\n") << "    " << Json(key).dump() << ": ";
        first = false;
        if (key == "counter") {
            out << "[\n";
            for (std::size_t i = 0; i < value.size(); ++i) {
                out << "      " << value[i].dump() << (i + 1 < value.size() ? ",\n" : "\n");
            }
            out << "    ]";
        } else {
            out << value.dump();
        }
    }
    out << "\n  }";
}

// ---- reading ----

std::uint32_t number(const Json& v, std::uint32_t max, const std::string& path) {
    if (v.is_number_unsigned() && v.get<std::uint64_t>() <= max) {
        return static_cast<std::uint32_t>(v.get<std::uint64_t>());
    }
    if (v.is_number_float()) {
        throw FieldFault{path, "expected a whole number, found " + v.dump()};
    }
    if (v.is_number()) {
        throw FieldFault{path, v.dump() + " is out of range 0.." + std::to_string(max)};
    }
    throw FieldFault{path, "expected a number, found " + v.dump()};
}

std::uint8_t u8(const Json& v, const std::string& path) {
    return static_cast<std::uint8_t>(number(v, 0xFF, path));
}

std::uint16_t u16(const Json& v, const std::string& path) {
    return static_cast<std::uint16_t>(number(v, 0xFFFF, path));
}

std::uint16_t enumerated(const Json& v, ListTable table, std::uint32_t max,
                         const std::string& path) {
    std::string known;
    for (const auto& e : table) {
        known += (known.empty() ? "\"" : ", \"") + std::string(e.text) + "\"";
    }
    if (v.is_string()) {
        if (const auto value = list_value(table, v.get<std::string>())) {
            return *value;
        }
        throw FieldFault{path, "unknown text " + v.dump() + " (expected one of " + known + ")"};
    }
    if (v.is_object() && v.size() == 1 && v.contains(kUnlisted)) {
        return static_cast<std::uint16_t>(number(v[kUnlisted], max, path));
    }
    if (v.is_number()) {
        throw FieldFault{path, "a bare number " + v.dump() + " (expected one of " + known +
                                   ", or {\"" + kUnlisted + "\": " + v.dump() +
                                   "} for a code the list does not name)"};
    }
    throw FieldFault{path, "expected one of " + known + ", found " + v.dump()};
}

const Json& array_of(const Json& v, std::size_t size, const std::string& path) {
    if (!v.is_array() || v.size() != size) {
        throw FieldFault{path,
                         "expected an array of " + std::to_string(size) + ", found " + v.dump()};
    }
    return v;
}

// Checks that `object` holds exactly the required keys, and perhaps some optional ones.
void check_keys(const Json& object, const std::set<std::string>& required,
                const std::set<std::string>& optional, const std::string& path) {
    if (!object.is_object()) {
        throw FieldFault{path, "expected an object, found " + object.dump()};
    }
    for (const auto& [key, value] : object.items()) {
        if (!required.contains(key) && !optional.contains(key)) {
            throw FieldFault{path + (path.empty() ? "" : ".") + key, "unknown field"};
        }
    }
    for (const auto& key : required) {
        if (!object.contains(key)) {
            throw FieldFault{path + (path.empty() ? "" : ".") + key, "missing field"};
        }
    }
}

DepthTrigger trigger_from(const Json& j, ListTable levels, const std::string& path) {
    check_keys(j, {"level", "next_state"}, {"reserved0", "reserved3"}, path);
    DepthTrigger t;
    t.level = static_cast<std::uint8_t>(enumerated(j["level"], levels, 0xFF, path + ".level"));
    t.next_state = u8(j["next_state"], path + ".next_state");
    if (j.contains("reserved0")) {
        t.reserved0 = u8(j["reserved0"], path + ".reserved0");
    }
    if (j.contains("reserved3")) {
        t.reserved3 = u8(j["reserved3"], path + ".reserved3");
    }
    return t;
}

const std::set<std::string> kStateFields{
    "normalised",         "valve_mask",        "led_drive",      "hall_power",
    "photodiode_power",   "pump_on",           "pump_direction", "winding_current_ma",
    "step_period_us",     "microstep_code",    "pump_stop_mode", "hall_stop_inject",
    "hall_stop_withdraw", "pump_timeout_next", "step_count",     "pump_timeout_s",
    "state_switch",       "sync_value",        "default_next",   "counter",
    "dive_trigger",       "climb_trigger",     "delay_s",        "delay_mode",
    "power_mode"};

StateRecord state_from(const Json& j) {
    check_keys(j, kStateFields, {}, "");
    StateRecord s;
    auto u8_enum = [&j](const char* key, ListTable table) {
        return static_cast<std::uint8_t>(enumerated(j[key], table, 0xFF, key));
    };
    s.normalised = u8(j["normalised"], "normalised");
    const Json& valves = j["valve_mask"];
    if (!valves.is_array()) {
        throw FieldFault{"valve_mask", "expected the list of open valves, found " + valves.dump()};
    }
    for (std::size_t i = 0; i < valves.size(); ++i) {
        const auto valve = number(valves[i], kValveCount - 1, "valve_mask");
        s.valve_mask = static_cast<std::uint16_t>(s.valve_mask | (1u << valve));
    }
    const Json& leds = array_of(j["led_drive"], kLedCount, "led_drive");
    for (std::size_t i = 0; i < kLedCount; ++i) {
        s.led_drive[i] =
            enumerated(leds[i], kLedList, 0xFFFF, "led_drive[" + std::to_string(i) + "]");
    }
    s.hall_power = u8(j["hall_power"], "hall_power");
    s.photodiode_power = u8(j["photodiode_power"], "photodiode_power");
    s.pump_on = u8(j["pump_on"], "pump_on");
    s.pump_direction = u8_enum("pump_direction", kPumpDirectionList);
    s.winding_current_ma = u16(j["winding_current_ma"], "winding_current_ma");
    s.step_period_us =
        number(j["step_period_us"], std::numeric_limits<std::uint32_t>::max(), "step_period_us");
    s.microstep_code = u8_enum("microstep_code", kMicrostepList);
    s.pump_stop_mode = u8_enum("pump_stop_mode", kPumpStopList);
    s.hall_stop_inject = u16(j["hall_stop_inject"], "hall_stop_inject");
    s.hall_stop_withdraw = u16(j["hall_stop_withdraw"], "hall_stop_withdraw");
    s.pump_timeout_next = u8(j["pump_timeout_next"], "pump_timeout_next");
    s.step_count = number(j["step_count"], std::numeric_limits<std::uint32_t>::max(), "step_count");
    s.pump_timeout_s =
        number(j["pump_timeout_s"], std::numeric_limits<std::uint32_t>::max(), "pump_timeout_s");
    s.state_switch = u8_enum("state_switch", kStateSwitchList);
    s.sync_value = u8(j["sync_value"], "sync_value");
    s.default_next = u8(j["default_next"], "default_next");
    const Json& counters = array_of(j["counter"], kCounterCount, "counter");
    for (std::size_t k = 0; k < kCounterCount; ++k) {
        const std::string path = "counter[" + std::to_string(k) + "]";
        const Json& c = counters[k];
        check_keys(c, {"increment", "limit", "next_state", "mode"}, {}, path);
        s.counter[k].increment = u8(c["increment"], path + ".increment");
        s.counter[k].limit = u8(c["limit"], path + ".limit");
        s.counter[k].next_state = u8(c["next_state"], path + ".next_state");
        s.counter[k].mode = static_cast<std::uint8_t>(
            enumerated(c["mode"], kCounterModeList, 0xFF, path + ".mode"));
    }
    s.dive_trigger = trigger_from(j["dive_trigger"], kDiveLevelList, "dive_trigger");
    s.climb_trigger = trigger_from(j["climb_trigger"], kClimbLevelList, "climb_trigger");
    s.delay_s = number(j["delay_s"], std::numeric_limits<std::uint32_t>::max(), "delay_s");
    s.delay_mode = u8_enum("delay_mode", kDelayModeList);
    s.power_mode = u8_enum("power_mode", kPowerModeList);
    return s;
}

}  // namespace

bool read_program_json(std::istream& in, StateMachineImage& image, std::string& why) {
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        why = "read error";
        return false;
    }
    common::StrictJson read;
    try {
        read = common::read_strict_json(text);
    } catch (const Json::exception& e) {  // a syntax error, or a number no double can hold
        const std::string what = e.what();
        const auto tag_end = what.find("] ");
        why = "invalid JSON: " + (tag_end == std::string::npos ? what : what.substr(tag_end + 2));
        return false;
    }
    const Json& doc = read.doc;
    if (!doc.is_array()) {
        why = "line 1: expected an array of states";
        return false;
    }
    if (doc.empty()) {
        why = "line 1: no states";
        return false;
    }
    if (doc.size() > kMaxStates) {
        why = "line " + std::to_string(read.line_of("[255]")) + ": more than 255 states";
        return false;
    }
    // The parser keeps the last of a key given twice: which one the author meant is unknown.
    if (const std::string& dup = read.duplicate; !dup.empty()) {
        const auto close = dup.find(']');
        const std::string field = dup.substr(dup[close + 1] == '.' ? close + 2 : close + 1);
        why = "line " + std::to_string(read.duplicate_line) + ": state " +
              dup.substr(1, close - 1) + ", field \"" + common::visible_text(field) +
              "\": given more than once";
        return false;
    }
    for (std::size_t i = 0; i < doc.size(); ++i) {
        try {
            image.states[i] = state_from(doc[i]);
        } catch (const FieldFault& f) {
            const std::string full = "[" + std::to_string(i) + "]" +
                                     (f.path.empty() || f.path[0] == '[' ? "" : ".") + f.path;
            why = "line " + std::to_string(read.line_of(full)) + ": state " + std::to_string(i) +
                  (f.path.empty() ? "" : ", field \"" + common::visible_text(f.path) + "\"") +
                  ": " + common::visible_text(f.message);
            return false;
        }
    }
    image.last_index = static_cast<std::uint16_t>(doc.size() - 1);
    return true;
}

bool write_program_json(std::ostream& out, const StateMachineImage& image) {
    out << "[\n";
    for (std::size_t i = 0; i < image.state_count(); ++i) {
        write_state(out, state_json(image.states[i]));
        out << (i < image.last_index ? ",\n" : "\n");
    }
    out << "]\n";
    out.flush();
    return static_cast<bool>(out);
}

}  // namespace kelpira::statemachine

// How a configuration record becomes a JSON object field by field and back: one list of
// fields per record (snapshot_fields.hpp) walked by a writer or by a checking reader.
#pragma once

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "common/visible_text.hpp"
#include "records/field_table.hpp"

namespace kelpira::report {

using Json = nlohmann::ordered_json;

// A snapshot that cannot be used: the field (a path such as "pump_valve_defaults.current_ma")
// and what is wrong with it. The field, which may quote the file's keys, is shown in its
// visible form; a text of the file that `what` quotes must be in its visible form already.
struct SnapshotFault : std::runtime_error {
    SnapshotFault(const std::string& field, const std::string& what)
        : std::runtime_error(common::visible_text(field) + ": " + what) {}
};

template <typename T>
concept Real = std::is_floating_point_v<T>;

// A float as the shortest decimal that reads back as the same float, so the file shows 0.1,
// not 0.100000001490116.
inline double shortest(float value) {
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    double out = 0;
    std::from_chars(buffer, r.ptr, out);
    return out;
}

// JSON has no numbers for NaN and the infinities; a float holding one is written as a text:
// "Infinity", "-Infinity", "NaN", or "NaN 0xFFFFFFFF" naming the bits of any NaN but the
// usual one (an erased record reads as all ones), so that the same bytes are restored.
inline constexpr std::uint32_t kPlainNanBits = 0x7FC00000;

inline std::string non_finite_text(float value) {
    if (std::isinf(value)) {
        return value > 0 ? "Infinity" : "-Infinity";
    }
    const auto bits = std::bit_cast<std::uint32_t>(value);
    if (bits == kPlainNanBits) {
        return "NaN";
    }
    char text[16];
    std::snprintf(text, sizeof text, "NaN 0x%08X", static_cast<unsigned>(bits));
    return text;
}

// The float a non_finite_text names; nothing for any other text.
inline std::optional<float> non_finite_value(const std::string& text) {
    if (text == "Infinity") {
        return std::numeric_limits<float>::infinity();
    }
    if (text == "-Infinity") {
        return -std::numeric_limits<float>::infinity();
    }
    if (text == "NaN") {
        return std::bit_cast<float>(kPlainNanBits);
    }
    std::uint32_t bits = 0;
    constexpr std::string_view kPrefix = "NaN 0x";
    if (text.size() != kPrefix.size() + 8 || !text.starts_with(kPrefix)) {
        return std::nullopt;
    }
    const char* digits = text.data() + kPrefix.size();
    const auto r = std::from_chars(digits, text.data() + text.size(), bits, 16);
    const float value = std::bit_cast<float>(bits);
    if (r.ptr != text.data() + text.size() || !std::isnan(value)) {
        return std::nullopt;
    }
    return value;
}

// What a field may be set to besides the value the sensor already holds, as the field's
// dialog lets the user set it. Without a rule, anything the field's width holds.
struct AnyValue {};
struct Within {
    std::int64_t low;
    std::int64_t high;
};
struct OneOf {
    std::span<const std::uint32_t> values;
};

// One of the values of a list's entries, given as a number.
struct Entries {
    std::span<const records::ListEntry> entries;
};

// A check box: 0 or 1.
inline constexpr std::uint32_t kSwitchValues[] = {0, 1};
inline constexpr OneOf kSwitch{kSwitchValues};

// Whether a FieldReader also holds each value it sets to the rules of the field's dialog
// (the record it lays the fields over being the sensor's), or only to the field's width.
enum class Rules { width_only, dialogs };

// Writes every field of a record into a JSON object.
class FieldWriter {
  public:
    explicit FieldWriter(Json& out) : out_(out) {}

    template <typename T, typename Rule = AnyValue>
    void number(const char* name, const T& value, Rule = {}) {
        out_[name] = json_number(value);
    }
    template <typename T, std::size_t N, typename Rule = AnyValue>
    void numbers(const char* name, const std::array<T, N>& values, Rule rule = {}) {
        numbers(name, std::span<const T>(values), rule);
    }
    template <typename T, typename Rule = AnyValue>
    void numbers(const char* name, std::span<const T> values, Rule = {}) {
        Json a = Json::array();
        for (const auto& v : values) {
            a.push_back(json_number(v));
        }
        out_[name] = a;
    }
    // A text from the sensor, in its visible form: any bytes, the file stays UTF-8.
    void text(const char* name, const std::string& value, std::size_t) {
        out_[name] = common::visible_text(value);
    }
    // A list field: the entry's text, or the number when no entry has the value.
    template <typename T, typename Table, typename Rule = AnyValue>
    void list(const char* name, const T& value, const Table& table, Rule = {}) {
        const auto v = static_cast<std::uint32_t>(value);
        for (const auto& entry : table) {
            if (entry.value == v) {
                out_[name] = std::string(entry.text);
                return;
            }
        }
        out_[name] = v;
    }
    // An array of sub-records, each an object of its own fields.
    template <typename Item, std::size_t N, typename Fields>
    void items(const char* name, const std::array<Item, N>& values, Fields fields) {
        Json a = Json::array();
        for (const auto& v : values) {
            Json item = Json::object();
            FieldWriter w(item);
            fields(w, v);
            a.push_back(item);
        }
        out_[name] = a;
    }

  private:
    template <typename T>
    static Json json_number(const T& v) {
        if constexpr (Real<T>) {
            if (!std::isfinite(v)) {
                return non_finite_text(v);
            }
            return shortest(v);
        } else {
            return v;
        }
    }
    Json& out_;
};

// Sets the fields of a record from a JSON object that must name every field once and nothing
// else; throws SnapshotFault naming the first field that is missing, unknown or out of range.
// With Rules::dialogs a value other than the one the record holds must also be one its
// dialog lets the user give.
class FieldReader {
  public:
    FieldReader(const Json& in, std::string path, Rules rules = Rules::width_only)
        : in_(in), path_(std::move(path)), rules_(rules) {
        if (!in_.is_object()) {
            throw SnapshotFault(path_, "not an object");
        }
    }

    template <typename T, typename Rule = AnyValue>
    void number(const char* name, T& value, Rule rule = {}) {
        value = checked(read_number<T>(take(name), field(name)), value, rule, field(name));
    }
    template <typename T, std::size_t N, typename Rule = AnyValue>
    void numbers(const char* name, std::array<T, N>& values, Rule rule = {}) {
        numbers(name, std::span<T>(values), rule);
    }
    template <typename T, typename Rule = AnyValue>
    void numbers(const char* name, std::span<T> values, Rule rule = {}) {
        const std::size_t n = values.size();
        const Json& a = take(name);
        if (!a.is_array() || a.size() != n) {
            throw SnapshotFault(field(name), "not a list of " + std::to_string(n) + " numbers");
        }
        for (std::size_t i = 0; i < n; ++i) {
            const std::string where = field(name) + "[" + std::to_string(i) + "]";
            values[i] = checked(read_number<T>(a[i], where), values[i], rule, where);
        }
    }
    // A text of at most `width` bytes, the field's: a snapshot restores what a sensor held.
    void text(const char* name, std::string& value, std::size_t width) {
        const Json& j = take(name);
        if (!j.is_string()) {
            throw SnapshotFault(field(name), "not a text");
        }
        const auto bytes = common::text_from_visible(j.get<std::string>());
        if (!bytes) {
            throw SnapshotFault(field(name),
                                "not a text this program writes (write \"\\\\\" for "
                                "\"\\\", \"\\xNN\" for a byte)");
        }
        if (bytes->size() > width || bytes->find('\0') != std::string::npos) {
            throw SnapshotFault(field(name),
                                "longer than " + std::to_string(width) + " characters");
        }
        value = *bytes;
    }
    // A list field: by default any entry of the table; `offered` narrows it to the entries
    // the dialog's list offers.
    template <typename T, typename Table, typename Rule = AnyValue>
    void list(const char* name, T& value, const Table& table, Rule offered = {}) {
        const Json& j = take(name);
        using Stored = typename std::conditional_t<std::is_enum_v<T>, std::underlying_type<T>,
                                                   std::type_identity<T>>::type;
        Stored got{};
        if (j.is_string()) {
            const auto text = j.get<std::string>();
            const auto entry = std::find_if(std::begin(table), std::end(table),
                                            [&text](const auto& e) { return e.text == text; });
            if (entry == std::end(table)) {
                throw SnapshotFault(field(name), "no such choice \"" + common::visible_text(text) +
                                                     "\": one of " + choices(table, offered));
            }
            got = static_cast<Stored>(entry->value);
        } else {
            got = read_number<Stored>(j, field(name));
        }
        const auto v = static_cast<std::uint32_t>(got);
        if (rules_ == Rules::dialogs && got != static_cast<Stored>(value) &&
            !listed(table, offered, v)) {
            throw SnapshotFault(field(name),
                                entry_text(table, v) + " is not one of " + choices(table, offered));
        }
        value = static_cast<T>(got);
    }
    template <typename Item, std::size_t N, typename Fields>
    void items(const char* name, std::array<Item, N>& values, Fields fields) {
        const Json& a = take(name);
        if (!a.is_array() || a.size() != N) {
            throw SnapshotFault(field(name), "not a list of " + std::to_string(N) + " entries");
        }
        for (std::size_t i = 0; i < N; ++i) {
            FieldReader r(a[i], field(name) + "[" + std::to_string(i) + "]", rules_);
            fields(r, values[i]);
            r.finish();
        }
    }

    // After the fields: a name the record does not have is refused.
    void finish() const {
        for (auto it = in_.begin(); it != in_.end(); ++it) {
            if (!seen_.contains(it.key())) {
                throw SnapshotFault(field(it.key().c_str()), "unknown field");
            }
        }
    }

  private:
    std::string field(const char* name) const { return path_ + "." + name; }

    const Json& take(const char* name) {
        const auto it = in_.find(name);
        if (it == in_.end()) {
            throw SnapshotFault(field(name), "missing");
        }
        seen_.insert(name);
        return *it;
    }

    // `got`, unless the dialogs' rules apply, it is not what the sensor holds and the rule
    // does not allow it.
    template <typename T, typename Rule>
    T checked(T got, T held, const Rule& rule, const std::string& where) const {
        if constexpr (!std::is_same_v<Rule, AnyValue>) {
            static_assert(!Real<T>, "floats have no rule of their own");
            if (rules_ == Rules::dialogs && got != held) {
                const auto v = static_cast<std::int64_t>(got);
                if constexpr (std::is_same_v<Rule, Entries>) {
                    if (!listed(rule.entries, AnyValue{}, static_cast<std::uint32_t>(v))) {
                        throw SnapshotFault(
                            where, std::to_string(v) + " is not one of " + joined(rule.entries));
                    }
                } else if constexpr (std::is_same_v<Rule, Within>) {
                    if (v < rule.low || v > rule.high) {
                        throw SnapshotFault(where, std::to_string(v) + " is outside " +
                                                       std::to_string(rule.low) + ".." +
                                                       std::to_string(rule.high));
                    }
                } else {
                    if (!contains(rule.values, v)) {
                        throw SnapshotFault(where,
                                            std::to_string(v) + " is not one of " + joined(rule));
                    }
                }
            }
        }
        return got;
    }

    static bool contains(std::span<const std::uint32_t> values, std::int64_t v) {
        for (const auto x : values) {
            if (static_cast<std::int64_t>(x) == v) {
                return true;
            }
        }
        return false;
    }
    static std::string joined(std::span<const records::ListEntry> entries) {
        std::string text;
        for (const auto& e : entries) {
            text += (text.empty() ? "" : ", ") + std::to_string(e.value);
        }
        return text;
    }
    static std::string joined(const OneOf& rule) {
        std::string text;
        for (const auto x : rule.values) {
            text += (text.empty() ? "" : ", ") + std::to_string(x);
        }
        return text;
    }

    template <typename Table, typename Rule>
    static bool listed(const Table& table, const Rule& offered, std::uint32_t v) {
        if constexpr (std::is_same_v<Rule, OneOf>) {
            return contains(offered.values, v);
        } else {
            for (const auto& entry : table) {
                if (static_cast<std::uint32_t>(entry.value) == v) {
                    return true;
                }
            }
            return false;
        }
    }
    template <typename Table>
    static std::string entry_text(const Table& table, std::uint32_t v) {
        for (const auto& entry : table) {
            if (static_cast<std::uint32_t>(entry.value) == v) {
                return std::string(entry.text);
            }
        }
        return std::to_string(v);
    }
    template <typename Table, typename Rule>
    static std::string choices(const Table& table, const Rule& offered) {
        std::string text;
        for (const auto& entry : table) {
            if (listed(table, offered, static_cast<std::uint32_t>(entry.value))) {
                text += (text.empty() ? "" : ", ") + std::string(entry.text);
            }
        }
        return text;
    }

    template <typename T>
    static T read_number(const Json& j, const std::string& where) {
        if constexpr (Real<T>) {
            if (j.is_string()) {
                if (const auto v = non_finite_value(j.get<std::string>())) {
                    return static_cast<T>(*v);
                }
                throw SnapshotFault(where, "not a number");
            }
            if (!j.is_number()) {
                throw SnapshotFault(where, "not a number");
            }
            const double v = j.get<double>();
            if constexpr (std::is_same_v<T, float>) {
                // The decimal the file holds, read as a float: the double nearest to it may lie
                // past FLT_MAX ("-3.4028235e+38" is -FLT_MAX written shortest) or round twice.
                char text[32];
                const auto printed = std::to_chars(text, text + sizeof text, v);
                float f = 0;
                const auto read = std::from_chars(text, printed.ptr, f);
                if (!std::isfinite(v) || read.ec != std::errc{} || read.ptr != printed.ptr) {
                    throw SnapshotFault(where, "out of range");
                }
                return f;
            } else {
                if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<T>::max()) {
                    throw SnapshotFault(where, "out of range");
                }
                return static_cast<T>(v);
            }
        } else {
            if (!j.is_number_integer()) {
                throw SnapshotFault(where, "not a whole number");
            }
            const bool negative = j.is_number_unsigned() ? false : j.get<std::int64_t>() < 0;
            if (negative ? j.get<std::int64_t>() <
                               static_cast<std::int64_t>(std::numeric_limits<T>::min())
                         : j.get<std::uint64_t>() >
                               static_cast<std::uint64_t>(std::numeric_limits<T>::max())) {
                throw SnapshotFault(where, "out of range");
            }
            return negative ? static_cast<T>(j.get<std::int64_t>())
                            : static_cast<T>(j.get<std::uint64_t>());
        }
    }

    const Json& in_;
    std::string path_;
    Rules rules_;
    std::set<std::string> seen_;
};

}  // namespace kelpira::report

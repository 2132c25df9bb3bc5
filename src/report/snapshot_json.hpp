// How a configuration record becomes a JSON object field by field and back: one list of
// fields per record (snapshot_fields.hpp) walked by a writer or by a checking reader.
#pragma once

#include <charconv>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace kelpira::report {

using Json = nlohmann::ordered_json;

// A snapshot that cannot be used: the field (a path such as "pump_valve_defaults.current_ma")
// and what is wrong with it.
struct SnapshotFault : std::runtime_error {
    SnapshotFault(const std::string& field, const std::string& what)
        : std::runtime_error(field + ": " + what) {}
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

// Writes every field of a record into a JSON object.
class FieldWriter {
  public:
    explicit FieldWriter(Json& out) : out_(out) {}

    template <typename T>
    void number(const char* name, const T& value) {
        out_[name] = json_number(value);
    }
    template <typename T, std::size_t N>
    void numbers(const char* name, const std::array<T, N>& values) {
        Json a = Json::array();
        for (const auto& v : values) {
            a.push_back(json_number(v));
        }
        out_[name] = a;
    }
    void text(const char* name, const std::string& value, std::size_t) { out_[name] = value; }
    // A list field: the entry's text, or the number when no entry has the value.
    template <typename T, typename Table>
    void list(const char* name, const T& value, const Table& table) {
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
            return shortest(v);
        } else {
            return v;
        }
    }
    Json& out_;
};

// Sets the fields of a record from a JSON object that must name every field once and nothing
// else; throws SnapshotFault naming the first field that is missing, unknown or out of range.
class FieldReader {
  public:
    FieldReader(const Json& in, std::string path) : in_(in), path_(std::move(path)) {
        if (!in_.is_object()) {
            throw SnapshotFault(path_, "not an object");
        }
    }

    template <typename T>
    void number(const char* name, T& value) {
        value = read_number<T>(take(name), field(name));
    }
    template <typename T, std::size_t N>
    void numbers(const char* name, std::array<T, N>& values) {
        const Json& a = take(name);
        if (!a.is_array() || a.size() != N) {
            throw SnapshotFault(field(name), "not a list of " + std::to_string(N) + " numbers");
        }
        for (std::size_t i = 0; i < N; ++i) {
            values[i] = read_number<T>(a[i], field(name) + "[" + std::to_string(i) + "]");
        }
    }
    void text(const char* name, std::string& value, std::size_t max_length) {
        const Json& j = take(name);
        if (!j.is_string()) {
            throw SnapshotFault(field(name), "not a text");
        }
        value = j.get<std::string>();
        if (value.size() > max_length || value.find('\0') != std::string::npos) {
            throw SnapshotFault(field(name),
                                "longer than " + std::to_string(max_length) + " characters");
        }
    }
    template <typename T, typename Table>
    void list(const char* name, T& value, const Table& table) {
        const Json& j = take(name);
        using Stored = typename std::conditional_t<std::is_enum_v<T>, std::underlying_type<T>,
                                                   std::type_identity<T>>::type;
        if (j.is_string()) {
            const auto text = j.get<std::string>();
            for (const auto& entry : table) {
                if (entry.text == text) {
                    value = static_cast<T>(entry.value);
                    return;
                }
            }
            throw SnapshotFault(field(name), "no such choice \"" + text + "\"");
        }
        value = static_cast<T>(read_number<Stored>(j, field(name)));
    }
    template <typename Item, std::size_t N, typename Fields>
    void items(const char* name, std::array<Item, N>& values, Fields fields) {
        const Json& a = take(name);
        if (!a.is_array() || a.size() != N) {
            throw SnapshotFault(field(name), "not a list of " + std::to_string(N) + " entries");
        }
        for (std::size_t i = 0; i < N; ++i) {
            FieldReader r(a[i], field(name) + "[" + std::to_string(i) + "]");
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

    template <typename T>
    static T read_number(const Json& j, const std::string& where) {
        if constexpr (Real<T>) {
            if (!j.is_number()) {
                throw SnapshotFault(where, "not a number");
            }
            const double v = j.get<double>();
            if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<T>::max()) {
                throw SnapshotFault(where, "out of range");
            }
            return static_cast<T>(v);
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
    std::set<std::string> seen_;
};

}  // namespace kelpira::report

// Parsing of firmware version texts with the semantics of a C formatted scan.
#include "link/firmware_version.hpp"

#include <cctype>
#include <initializer_list>
#include <limits>
#include <vector>

namespace kelpira::link {

namespace {

// A format of literal characters and %d fields, matched the way a C scan matches it.
class Scanner {
  public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool literal(std::string_view s) {
        if (text_.substr(pos_, s.size()) != s) {
            return false;
        }
        pos_ += s.size();
        return true;
    }

    // %d: skips white space, takes an optional sign and at least one digit. A value beyond
    // the range of int, which a C scan leaves undefined, is pinned to that range.
    std::optional<std::int64_t> integer() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) {
            ++pos_;
        }
        bool negative = false;
        if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
            negative = text_[pos_] == '-';
            ++pos_;
        }
        const std::size_t first_digit = pos_;
        std::int64_t value = 0;
        constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
        while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
            if (value < kLimit) {
                value = value * 10 + (text_[pos_] - '0');
            }
            ++pos_;
        }
        if (pos_ == first_digit) {
            return std::nullopt;
        }
        if (negative) {
            value = -value;
        }
        if (value > std::numeric_limits<int>::max()) {
            value = std::numeric_limits<int>::max();
        }
        if (value < std::numeric_limits<int>::min()) {
            value = std::numeric_limits<int>::min();
        }
        return value;
    }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The fields of a format, in order; a field is the literal text before a %d.
std::optional<std::vector<std::int64_t>> scan(std::string_view text,
                                              std::initializer_list<std::string_view> prefixes) {
    Scanner s(text);
    std::vector<std::int64_t> fields;
    for (const auto prefix : prefixes) {
        if (!s.literal(prefix)) {
            return std::nullopt;
        }
        const auto v = s.integer();
        if (!v) {
            return std::nullopt;
        }
        fields.push_back(*v);
    }
    return fields;
}

std::int64_t version_number(std::int64_t major, std::int64_t minor, std::int64_t patch) {
    return major * 1000000 + minor * 1000 + patch;
}

}  // namespace

std::optional<ParsedFirmwareVersion> ParseFirmwareVersion(std::string_view text) {
    if (const auto f = scan(text, {"KELPIRA_", "_", "_", "_T"})) {
        return ParsedFirmwareVersion{version_number((*f)[0], (*f)[1], (*f)[2]), (*f)[3]};
    }
    if (const auto f = scan(text, {"KELPIRA_", "_", "_"})) {
        return ParsedFirmwareVersion{version_number((*f)[0], (*f)[1], (*f)[2]), -1};
    }
    if (const auto f = scan(text, {"KELPIRA_", "_", "_T"})) {
        return ParsedFirmwareVersion{version_number((*f)[0], (*f)[1], (*f)[2]), -1};
    }
    return std::nullopt;
}

}  // namespace kelpira::link

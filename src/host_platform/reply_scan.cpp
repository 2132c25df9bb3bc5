// The scan conversions of the platform protocols' replies.
#include "host_platform/reply_scan.hpp"

#include <cctype>

#include "common/number_scan.hpp"

namespace kelpira::host_platform {

namespace {

bool is_space(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::size_t skip_space(std::string_view text, std::size_t pos) {
    while (pos < text.size() && is_space(text[pos])) {
        ++pos;
    }
    return pos;
}

// "%x": white space, an optional sign, an optional "0x", hexadecimal digits.
common::Scanned<std::uint32_t> scan_hex(std::string_view text, std::size_t pos) {
    common::Scanned<std::uint32_t> out;
    pos = skip_space(text, pos);
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos + 2 < text.size() && text[pos] == '0' && (text[pos + 1] | 0x20) == 'x' &&
        std::isxdigit(static_cast<unsigned char>(text[pos + 2])) != 0) {
        pos += 2;
    }
    const std::size_t first = pos;
    std::uint32_t v = 0;
    while (pos < text.size() && std::isxdigit(static_cast<unsigned char>(text[pos])) != 0) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[pos])));
        v = v * 16u + static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
        ++pos;
    }
    if (pos == first) {
        return out;
    }
    out.value = negative ? 0u - v : v;
    out.end = pos;
    out.ok = true;
    return out;
}

}  // namespace

std::vector<ScannedField> scan_reply(std::string_view text, std::string_view format) {
    std::vector<ScannedField> fields;
    std::size_t pos = 0;
    for (std::size_t f = 0; f < format.size(); ++f) {
        const char c = format[f];
        if (is_space(c)) {
            pos = skip_space(text, pos);
            continue;
        }
        if (c != '%') {
            if (pos >= text.size() || text[pos] != c) {
                return fields;
            }
            ++pos;
            continue;
        }
        const std::string_view conv = format.substr(f + 1);
        if (conv.starts_with("lf")) {
            const auto s = common::scan_f64(text, pos);
            if (!s.ok) {
                return fields;
            }
            fields.emplace_back(s.value);
            pos = s.end;
            f += 2;
        } else if (conv.starts_with("x")) {
            const auto s = scan_hex(text, pos);
            if (!s.ok) {
                return fields;
            }
            fields.emplace_back(s.value);
            pos = s.end;
            f += 1;
        } else {
            // "%d" and "%u" read the same digits; "%d" keeps the low 32 bits as signed.
            const auto s = common::scan_u32(text, pos);
            if (!s.ok) {
                return fields;
            }
            if (conv.starts_with("d")) {
                fields.emplace_back(static_cast<std::int32_t>(s.value));
            } else {
                fields.emplace_back(s.value);
            }
            pos = s.end;
            f += 1;
        }
    }
    return fields;
}

}  // namespace kelpira::host_platform

// Control characters as escapes, and back.
#include "common/visible_text.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace kelpira::common {

namespace {

void append_hex(std::string& out, unsigned char byte) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", byte);
    out += hex;
}

// The length of the well-formed UTF-8 sequence of two or more bytes starting at `at`, or 0.
std::size_t utf8_length(std::string_view text, std::size_t at) {
    const auto b = static_cast<unsigned char>(text[at]);
    std::size_t n = 0;
    unsigned min = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
        min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (at + n > text.size()) {
        return 0;
    }
    unsigned code = b & (0x7F >> n);
    for (std::size_t i = 1; i < n; ++i) {
        const auto c = static_cast<unsigned char>(text[at + i]);
        if ((c & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (c & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (code < min || code > 0x10FFFF || surrogate) {
        return 0;
    }
    return code <= 0x9F ? 0 : n;  // C1 controls (U+0080 to U+009F) are escaped byte by byte
}

}  // namespace

std::string visible_text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            out += "\\\\";
            ++i;
            continue;
        }
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (c >= 0x80) {
            if (const std::size_t n = utf8_length(text, i); n != 0) {
                out.append(text.substr(i, n));
                i += n;
                continue;
            }
            append_hex(out, c);
            ++i;
            continue;
        }
        switch (c) {
            case '\a':
                out += "\\a";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\v':
                out += "\\v";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\r':
                out += "\\r";
                break;
            case 0x1B:
                out += "\\e";
                break;
            default:
                append_hex(out, c);
                break;
        }
        ++i;
    }
    return out;
}

std::optional<std::string> text_from_visible(std::string_view text) {
    // The one-letter escapes visible_text writes, and the byte each stands for.
    static constexpr struct {
        char letter;
        char byte;
    } kLetters[] = {{'a', '\a'}, {'b', '\b'}, {'t', '\t'},   {'n', '\n'}, {'v', '\v'},
                    {'f', '\f'}, {'r', '\r'}, {'e', '\x1B'}, {'\\', '\\'}};
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) {
            return std::nullopt;
        }
        if (text[i] == 'x') {
            // Exactly two hexadecimal digits, as visible_text writes them.
            const char* first = text.data() + i + 1;
            const char* end = first + std::min<std::size_t>(2, text.size() - i - 1);
            unsigned byte = 0;
            const auto r = std::from_chars(first, end, byte, 16);
            if (end - first != 2 || r.ptr != end || r.ec != std::errc{}) {
                return std::nullopt;
            }
            out += static_cast<char>(byte);
            i += 2;
            continue;
        }
        bool known = false;
        for (const auto& l : kLetters) {
            if (l.letter == text[i]) {
                out += l.byte;
                known = true;
            }
        }
        if (!known) {
            return std::nullopt;
        }
    }
    return out;
}

}  // namespace kelpira::common

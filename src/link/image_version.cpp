// Finding the version text in a firmware image.
#include "link/image_version.hpp"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "link/firmware_version.hpp"
#include "link/identity_fields.hpp"

namespace kelpira::link {

namespace {

constexpr std::string_view kVersionPrefix = "KELPIRA_";

bool version_char(std::uint8_t c) {
    return std::isalnum(c) != 0 || c == '_';
}

}  // namespace

std::optional<std::string> version_text_in(std::span<const std::uint8_t> image) {
    const auto* prefix = reinterpret_cast<const std::uint8_t*>(kVersionPrefix.data());
    auto at = image.begin();
    for (;;) {
        at = std::search(at, image.end(), prefix, prefix + kVersionPrefix.size());
        if (at == image.end()) {
            return std::nullopt;
        }
        const auto room = std::min<std::ptrdiff_t>(image.end() - at, kFirmwareVersionField);
        const auto end = std::find_if_not(at, at + room, version_char);
        std::string text(at, end);
        if (ParseFirmwareVersion(text)) {
            return text;
        }
        ++at;
    }
}

}  // namespace kelpira::link

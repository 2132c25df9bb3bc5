// Names of the serial protocols and faults on the command line.
#include "virtual_sensor/serial_side_options.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>
#include <utility>

#include "common/number_scan.hpp"

namespace kelpira::virtual_sensor {

namespace {

constexpr std::array<std::pair<const char*, SerialProtocol>, 3> kProtocols{{
    {"seaglider", SerialProtocol::seaglider},
    {"bridges", SerialProtocol::bridges},
    {"eti", SerialProtocol::eti},
}};

constexpr std::array<std::pair<const char*, SerialFault>, 3> kFaults{{
    {"wrong-checksum", SerialFault::wrong_checksum},
    {"silence", SerialFault::silence},
    {"long-reply", SerialFault::long_reply},
}};

}  // namespace

std::optional<SerialProtocol> serial_protocol_named(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const auto& [text, protocol] : kProtocols) {
        if (lower == text) {
            return protocol;
        }
    }
    return std::nullopt;
}

const char* serial_protocol_name(SerialProtocol protocol) {
    for (const auto& [text, p] : kProtocols) {
        if (p == protocol) {
            return text;
        }
    }
    return "";
}

std::optional<SerialSideOptions> serial_fault_from(const std::string& text,
                                                   SerialSideOptions options) {
    const auto colon = text.find(':');
    const std::string kind = text.substr(0, colon);
    const auto named = std::find_if(kFaults.begin(), kFaults.end(),
                                    [&](const auto& f) { return kind == f.first; });
    if (named == kFaults.end()) {
        return std::nullopt;
    }
    options.fault = named->second;
    options.fault_replies.reset();
    if (colon != std::string::npos) {
        const auto n = common::option_integer(text.substr(colon + 1));
        if (!n || *n < 1 || *n > std::numeric_limits<unsigned>::max()) {
            return std::nullopt;
        }
        options.fault_replies = static_cast<unsigned>(*n);
    }
    return options;
}

}  // namespace kelpira::virtual_sensor

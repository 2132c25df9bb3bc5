// Report descriptor walk: short and long items, Report ID with Push and Pop, main items.
#include "link/hid_report_descriptor.hpp"

#include <cstddef>
#include <vector>

namespace kelpira::link {

namespace {

// Item types and tags of the HID class definition.
constexpr std::uint8_t kTypeMain = 0;
constexpr std::uint8_t kTypeGlobal = 1;
constexpr std::uint8_t kTagInput = 0x8;
constexpr std::uint8_t kTagOutput = 0x9;
constexpr std::uint8_t kTagFeature = 0xB;
constexpr std::uint8_t kTagReportId = 0x8;
constexpr std::uint8_t kTagPush = 0xA;
constexpr std::uint8_t kTagPop = 0xB;
constexpr std::uint8_t kLongItemPrefix = 0xFE;

}  // namespace

ReportIds parse_report_ids(std::span<const std::uint8_t> descriptor) {
    ReportIds ids;
    std::uint8_t report_id = 0;
    std::vector<std::uint8_t> pushed;  // the report id is the only global state we follow

    std::size_t pos = 0;
    while (pos < descriptor.size()) {
        const std::uint8_t prefix = descriptor[pos];
        if (prefix == kLongItemPrefix) {
            // Long items (none are defined) carry their data size in the next byte.
            if (pos + 2 >= descriptor.size()) {
                break;
            }
            pos += 3 + descriptor[pos + 1];
            continue;
        }
        const std::size_t size_code = prefix & 0x3u;
        const std::size_t size = size_code == 3 ? 4 : size_code;
        const auto type = static_cast<std::uint8_t>((prefix >> 2) & 0x3u);
        const auto tag = static_cast<std::uint8_t>(prefix >> 4);
        if (pos + 1 + size > descriptor.size()) {
            break;
        }
        const std::uint8_t first_data_byte = size > 0 ? descriptor[pos + 1] : 0;
        pos += 1 + size;

        if (type == kTypeGlobal) {
            if (tag == kTagReportId) {
                report_id = first_data_byte;
                ids.numbered = true;
            } else if (tag == kTagPush) {
                pushed.push_back(report_id);
            } else if (tag == kTagPop && !pushed.empty()) {
                report_id = pushed.back();
                pushed.pop_back();
            }
        } else if (type == kTypeMain) {
            if (tag == kTagInput) {
                ids.input.insert(report_id);
            } else if (tag == kTagOutput) {
                ids.output.insert(report_id);
            } else if (tag == kTagFeature) {
                ids.feature.insert(report_id);
            }
        }
    }
    return ids;
}

}  // namespace kelpira::link

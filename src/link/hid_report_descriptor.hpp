// Which report ids a HID report descriptor declares, per report type.
#pragma once

#include <cstdint>
#include <set>
#include <span>

namespace kelpira::link {

struct ReportIds {
    std::set<std::uint8_t> input;  // id 0 stands for the reports of a descriptor without ids
    std::set<std::uint8_t> output;
    std::set<std::uint8_t> feature;
    // Whether the descriptor carries any Report ID item: the kernel then puts the id byte in
    // front of every report it hands out.
    bool numbered = false;
};

// Walks the items of a report descriptor. A truncated or malformed descriptor yields what
// the items before the fault declared.
ReportIds parse_report_ids(std::span<const std::uint8_t> descriptor);

}  // namespace kelpira::link

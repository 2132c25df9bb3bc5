// The deployment sheet: what an engineer keeps of a deployment check so that the deployment
// can be reconstructed later. The time of the check, the PC and this program's version, the
// sensor (name, serial numbers, firmware, clock zone and offset), every input, the program's
// SHA-256, the timeline, every item with where to fix it, how each firmware warning was
// judged, and the configuration snapshot `config export` writes. One text form (the window's
// "Save..." and `kelpira-ctl check --sheet FILE`) and one JSON form (`check --json`), from
// the same outcome.
#pragma once

#include <cstdint>
#include <string>

#include "deployment_check/deployment_check.hpp"

namespace kelpira::deployment_check {

// Where the sheet is made.
struct SheetOrigin {
    std::string pc_name;
    std::string program_version;
};

// This PC's host name and this program's version.
SheetOrigin this_pc();

std::string sheet_text(const CheckOutcome& outcome, const SheetOrigin& origin);

// The same content as one object, {"verdict", "reason" (when not checked), "headline",
// "checked", "pc", "program_version", "sensor", "inputs", "timeline", "items",
// "firmware_warnings", "configuration"}, with a line feed at the end.
std::string outcome_json(const CheckOutcome& outcome, const SheetOrigin& origin);

// Writes sheet_text through the safe writer: false, with any old file untouched, when it
// cannot.
bool write_sheet(const std::string& path, const CheckOutcome& outcome, const SheetOrigin& origin);

// "2026-12-09T22:40:05Z".
std::string iso_seconds(std::int64_t utc_s);

}  // namespace kelpira::deployment_check

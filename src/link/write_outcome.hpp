// What one record write did, told the same way by every Save, import and transfer: a write that
// is half done says which records the sensor took, and a lost answer is told apart from a
// refusal (after a lost answer the sensor may hold the new record or the old one).
#pragma once

#include <span>
#include <string>

#include "link/sensor_command.hpp"

namespace kelpira::link {

enum class WriteState {
    written,      // the sensor took it and the read-back gave it
    unconfirmed,  // the sensor took it; the read-back failed
    not_written,  // refused, or the answer was lost (then `may_hold` says so)
    not_tried,    // an earlier write failed
};

struct RecordWrite {
    std::string record;  // "chemistry", "processing parameters", "thermistor 2", ...
    WriteState state = WriteState::not_tried;
    CommandResult result = kResultSuccess;  // the write's (not_written) or read-back's result
};

// A result after which the sensor may have taken the record: no answer, a lost transaction or
// a stale answer.
bool answer_lost(CommandResult result);

// The outcome of a write whose result is `written` and whose read-back (when it got that far)
// gave `read_back`.
RecordWrite record_write(std::string record, CommandResult written,
                         CommandResult read_back = kResultSuccess);

// What happened without the record's name: "written", "written but not confirmed: the
// read-back failed (status 14)", "not written: no answer (status 14), the sensor may hold
// either", "not written: refused (status 4)", "not tried".
std::string what_happened(WriteState state, CommandResult result);

// "chemistry written", "processing parameters written but not confirmed: the read-back failed
// (status 14)", "thermistor 2 not written: no answer (status 14), the sensor may hold either",
// "thermistor 1 not written: refused (status 4)", "thermistor 3 not tried".
std::string write_text(const RecordWrite& w);
// The records' texts joined by "; ", the first letter capitalised.
std::string writes_text(std::span<const RecordWrite> writes);
// Whether every record was written and confirmed.
bool all_written(std::span<const RecordWrite> writes);

}  // namespace kelpira::link

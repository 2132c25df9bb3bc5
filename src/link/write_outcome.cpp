// Per-record outcomes of writes, in words.
#include "link/write_outcome.hpp"

#include <algorithm>
#include <cctype>

namespace kelpira::link {

namespace {

std::string status(CommandResult r) {
    return "(status " + std::to_string(unsigned{r}) + ")";
}

}  // namespace

bool answer_lost(CommandResult result) {
    return result == kResultNoExchange || result == kResultNoAnswer ||
           result == kResultLockOrSequence;
}

RecordWrite record_write(std::string record, CommandResult written, CommandResult read_back) {
    if (written != kResultSuccess) {
        return {std::move(record), WriteState::not_written, written};
    }
    if (read_back != kResultSuccess) {
        return {std::move(record), WriteState::unconfirmed, read_back};
    }
    return {std::move(record), WriteState::written, kResultSuccess};
}

std::string what_happened(WriteState state, CommandResult result) {
    switch (state) {
        case WriteState::written:
            return "written";
        case WriteState::unconfirmed:
            return "written but not confirmed: the read-back failed " + status(result);
        case WriteState::not_written:
            if (answer_lost(result)) {
                return "not written: no answer " + status(result) + ", the sensor may hold either";
            }
            return "not written: refused " + status(result);
        case WriteState::not_tried:
            break;
    }
    return "not tried";
}

std::string write_text(const RecordWrite& w) {
    return w.record + " " + what_happened(w.state, w.result);
}

std::string writes_text(std::span<const RecordWrite> writes) {
    std::string text;
    for (const auto& w : writes) {
        text += (text.empty() ? "" : "; ") + write_text(w);
    }
    if (!text.empty()) {
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    }
    return text;
}

bool all_written(std::span<const RecordWrite> writes) {
    return std::all_of(writes.begin(), writes.end(),
                       [](const RecordWrite& w) { return w.state == WriteState::written; });
}

}  // namespace kelpira::link

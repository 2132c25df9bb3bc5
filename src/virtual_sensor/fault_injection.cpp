// Scripted faults of the emulated sensor.
#include "virtual_sensor/fault_injection.hpp"

#include <algorithm>

namespace kelpira::virtual_sensor {

void FaultScript::add(std::uint16_t code, Fault fault, std::optional<unsigned> times,
                      unsigned skip) {
    if (times && *times == 0) {
        return;
    }
    per_command_.push_back({code, fault, times, skip});
}

void FaultScript::add_next(Fault fault, unsigned count, unsigned skip) {
    next_.insert(next_.end(), skip, std::nullopt);
    next_.insert(next_.end(), count, fault);
}

void FaultScript::clear() {
    per_command_.clear();
    next_.clear();
}

std::optional<Fault> FaultScript::take(std::uint16_t code) {
    auto it = std::find_if(per_command_.begin(), per_command_.end(),
                           [code](const PerCommand& p) { return p.code == code; });
    if (it != per_command_.end() && it->skip > 0) {
        --it->skip;
    } else if (it != per_command_.end()) {
        const Fault f = it->fault;
        if (it->remaining && --*it->remaining == 0) {
            per_command_.erase(it);
        }
        return f;
    }
    if (!next_.empty()) {
        const std::optional<Fault> f = next_.front();
        next_.pop_front();
        return f;
    }
    return std::nullopt;
}

std::vector<link::InProcessReport> spoil_answer(const link::Report& answer,
                                                std::optional<Fault> fault) {
    link::InProcessReport out{answer, std::chrono::milliseconds{0}};
    if (!fault) {
        return {out};
    }
    switch (fault->kind) {
        case FaultKind::no_answer:
        case FaultKind::removed:
            return {};
        case FaultKind::late_answer:
            out.delay = fault->delay;
            break;
        case FaultKind::stale_sequence:
            out.bytes[3] = static_cast<std::uint8_t>(answer[3] - 1);
            break;
        case FaultKind::garbage:
            // Report id, code and sequence stay so that the link delivers it; the rest is
            // nonsense without a single zero byte, so no text field ends.
            for (std::size_t i = 5; i < out.bytes.size(); ++i) {
                out.bytes[i] = static_cast<std::uint8_t>(0x80 | (i * 37));
            }
            out.bytes[4] = link::kResultSuccess;
            break;
        case FaultKind::unterminated_text:
            break;  // the command's handler wrote its text fields without terminator
    }
    return {out};
}

}  // namespace kelpira::virtual_sensor

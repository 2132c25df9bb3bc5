// Scripted faults: which commands the emulated sensor answers wrongly, and how an answer is
// spoiled.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "link/handler_hid.hpp"
#include "link/sensor_command.hpp"

namespace kelpira::virtual_sensor {

enum class FaultKind : std::uint8_t {
    no_answer,          // the command is carried out, the answer is lost
    late_answer,        // the answer comes `delay` after the request
    stale_sequence,     // the answer carries the previous request's sequence number
    removed,            // the device disappears during the transaction; nothing is carried out
    garbage,            // right sequence number, result 0, every other byte nonsense
    unterminated_text,  // text fields of the answer fill their width and run on
};

struct Fault {
    FaultKind kind = FaultKind::no_answer;
    std::chrono::milliseconds delay{0};  // late_answer only
};

// A command meets at most one fault: one scripted for its code first, else the next of the
// faults scripted for the next commands whatever their code.
class FaultScript {
  public:
    // `times` commands with this code meet the fault; without a count, every one does. The
    // first `skip` commands with the code pass first, so a transfer can fail part-way.
    void add(std::uint16_t code, Fault fault, std::optional<unsigned> times, unsigned skip = 0);
    void add_next(Fault fault, unsigned count);
    void clear();
    std::optional<Fault> take(std::uint16_t code);

  private:
    struct PerCommand {
        std::uint16_t code;
        Fault fault;
        std::optional<unsigned> remaining;
        unsigned skip = 0;
    };
    std::vector<PerCommand> per_command_;
    std::deque<Fault> next_;
};

// The input reports that carry `answer` once the fault has spoiled it (none: silence).
std::vector<link::InProcessReport> spoil_answer(const link::Report& answer,
                                                std::optional<Fault> fault);

}  // namespace kelpira::virtual_sensor

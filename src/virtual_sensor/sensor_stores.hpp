// What the emulated sensor keeps for the operation views: its stored processed results, its
// diagnostics log, its restart log and its task table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "records/diagnostics_records.hpp"
#include "records/output_record.hpp"

namespace kelpira::virtual_sensor {

// A store read front to back: opening starts at its first entry, each read takes the next,
// and a read past the last answers kResultNoMoreData until more arrive.
template <typename T>
struct ReadableStore {
    std::vector<T> entries;
    std::size_t next = 0;
    bool open = false;
};

struct SensorStores {
    ReadableStore<records::OutputRecord> outputs;
    ReadableStore<records::DiagnosticsEntry> diagnostics;
    std::vector<records::RestartLogEntry> restarts;  // newest first, at most 10
    std::size_t next_restart = 0;
    std::array<records::TaskDetails, records::kTaskCount> tasks{};
    std::vector<records::TaskFlags> task_flags_written;  // every SET_TASK_FLAGS, oldest first
    std::uint32_t lines_logged = 0;  // counter of the newest diagnostics line, kept by a clear
};

// A sensor just powered up: one power-on restart, its "Restarted after reset" log line and
// 17 tasks logging errors; the sampler, which runs the program, logs information too.
SensorStores initial_stores(std::uint32_t now_seconds, std::int32_t supply_mv);

}  // namespace kelpira::virtual_sensor

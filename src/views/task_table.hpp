// The "Tasks" dialog without its widgets: the 17 tasks of the sensor's firmware with their
// log filter boxes, the three "All" boxes, and the save of the filters; and the restart log.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"
#include "records/diagnostics_records.hpp"
#include "views/view_cells.hpp"

namespace kelpira::views {

// The filter columns, left to right: "Error", "Info", "Debug" (bits 0, 1, 2).
inline constexpr std::size_t kLogFilters = 3;
extern const std::array<const char*, kLogFilters> kLogFilterCaptions;

// Used on the UI thread.
class TaskTable {
  public:
    // Reads the 17 tasks; false after "Error communicating with sampler" ("Task Details")
    // when any read fails: the dialog closes.
    bool open(link::SensorLink& link, common::Prompter& prompter);

    const TaskTexts& texts(std::size_t task) const { return texts_[task]; }
    bool filter(std::size_t task, std::size_t filter) const;
    // An "All" box is ticked exactly when its filter is ticked for every task.
    bool all(std::size_t filter) const;

    // A task's box changed; the "All" boxes follow.
    void set_filter(std::size_t task, std::size_t filter, bool on);
    // An "All" box changed: the filter of every task takes its state.
    void set_all(std::size_t filter, bool on);

    records::TaskFlags flags() const;
    // SET_TASK_FLAGS, then "Settings saved" or "Failed to save settings" ("Save").
    void save(link::SensorLink& link, common::Prompter& prompter) const;

  private:
    std::array<TaskTexts, records::kTaskCount> texts_{};
    std::array<std::uint8_t, records::kTaskCount> filters_{};
};

// The restart log: entries read until a read fails (the first with request byte 1), each a
// row of restart_log_cells().
std::vector<records::RestartLogEntry> read_restart_log(link::SensorLink& link);

}  // namespace kelpira::views

// The task table (GET_TASK_DETAILS, SET_TASK_FLAGS) and the restart log (GET_RESTART_LOG_ENTRY).
#include "views/task_table.hpp"

#include "link/board_commands.hpp"

namespace kelpira::views {

namespace {

// The sensor keeps its last 10 restarts; a sensor that never says "no more" must not hold
// the UI thread for ever.
constexpr std::size_t kRestartReadLimit = 256;

std::uint8_t bit(std::size_t filter) {
    return static_cast<std::uint8_t>(1U << filter);
}

}  // namespace

const std::array<const char*, kLogFilters> kLogFilterCaptions{"Error", "Info", "Debug"};

bool TaskTable::open(link::SensorLink& link, common::Prompter& prompter) {
    for (std::size_t i = 0; i < records::kTaskCount; ++i) {
        link::RecordBytes<link::kTaskDetailsSize> bytes{};
        if (link::get_task_details(link, static_cast<std::uint8_t>(i), bytes) !=
            link::kResultSuccess) {
            prompter.message("Task Details", "Error communicating with sampler");
            return false;
        }
        const records::TaskDetails task = records::decode_task_details(bytes);
        texts_[i] = task_texts(task);
        filters_[i] = task.log_filters;
    }
    return true;
}

bool TaskTable::filter(std::size_t task, std::size_t filter) const {
    return (filters_[task] & bit(filter)) != 0;
}

bool TaskTable::all(std::size_t filter) const {
    for (std::size_t i = 0; i < records::kTaskCount; ++i) {
        if (!this->filter(i, filter)) {
            return false;
        }
    }
    return true;
}

void TaskTable::set_filter(std::size_t task, std::size_t filter, bool on) {
    if (on) {
        filters_[task] |= bit(filter);
    } else {
        filters_[task] &= static_cast<std::uint8_t>(~bit(filter));
    }
}

void TaskTable::set_all(std::size_t filter, bool on) {
    for (std::size_t i = 0; i < records::kTaskCount; ++i) {
        set_filter(i, filter, on);
    }
}

records::TaskFlags TaskTable::flags() const {
    records::TaskFlags f;
    // The three boxes are all the dialog holds of a task.
    for (std::size_t i = 0; i < records::kTaskCount; ++i) {
        f.log_filters[i] = static_cast<std::uint8_t>(filters_[i] & 0x07);
    }
    return f;
}

void TaskTable::save(link::SensorLink& link, common::Prompter& prompter) const {
    const auto bytes = records::encode(flags());
    prompter.message("Save", link::set_task_flags(link, bytes) == link::kResultSuccess
                                 ? "Settings saved"
                                 : "Failed to save settings");
}

std::vector<records::RestartLogEntry> read_restart_log(link::SensorLink& link) {
    std::vector<records::RestartLogEntry> entries;
    while (entries.size() < kRestartReadLimit) {
        link::RecordBytes<link::kRestartLogEntrySize> bytes{};
        if (link::get_restart_log_entry(link, entries.empty(), bytes) != link::kResultSuccess) {
            break;
        }
        entries.push_back(records::decode_restart_log_entry(bytes));
    }
    return entries;
}

}  // namespace kelpira::views

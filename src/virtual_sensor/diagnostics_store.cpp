// The diagnostics log read back line by line, the restart log newest first, and the task
// table whose log filters SET_TASK_FLAGS changes.
#include "virtual_sensor/diagnostics_store.hpp"

#include <algorithm>
#include <array>

#include "link/command_catalogue.hpp"
#include "virtual_sensor/output_store.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

template <std::size_t N>
void answer(Exchange& x, const std::array<std::uint8_t, N>& bytes) {
    std::copy(bytes.begin(), bytes.end(), x.response.begin());
}

void open_diagnostics(Exchange& x) {
    auto& store = x.state.stores.diagnostics;
    store.open = true;
    store.next = 0;
}

void read_diagnostics(Exchange& x) {
    auto& store = x.state.stores.diagnostics;
    if (!store.open || store.next >= store.entries.size()) {
        x.result = kResultNoMoreData;
        return;
    }
    answer(x, records::encode(store.entries[store.next++]));
}

void clear_diagnostics(Exchange& x) {
    auto& store = x.state.stores.diagnostics;
    store.entries.clear();
    store.next = 0;
}

void get_restart_log_entry(Exchange& x) {
    auto& stores = x.state.stores;
    if (x.request[0] != 0) {
        stores.next_restart = 0;
    }
    if (stores.next_restart >= stores.restarts.size()) {
        x.result = kResultNoMoreData;
        return;
    }
    answer(x, records::encode(stores.restarts[stores.next_restart++]));
}

void get_task_details(Exchange& x) {
    const std::size_t task = x.request[0];
    if (task >= records::kTaskCount) {
        x.result = kResultBadValue;
        return;
    }
    answer(x, records::encode(x.state.stores.tasks[task]));
}

void set_task_flags(Exchange& x) {
    if (x.request_length != link::request_length(CommandCode::SET_TASK_FLAGS)) {
        x.result = link::kResultBadLength;
        return;
    }
    const auto flags = records::decode_task_flags(x.request.first(records::TaskFlags::size));
    for (std::size_t i = 0; i < records::kTaskCount; ++i) {
        x.state.stores.tasks[i].log_filters = flags.log_filters[i];
    }
    x.state.stores.task_flags_written.push_back(flags);
}

constexpr std::array kCommands{
    CommandEntry{link::code_value(CommandCode::OPEN_DIAGNOSTICS), open_diagnostics},
    CommandEntry{link::code_value(CommandCode::READ_DIAGNOSTICS), read_diagnostics},
    CommandEntry{link::code_value(CommandCode::CLEAR_DIAGNOSTICS), clear_diagnostics},
    CommandEntry{link::code_value(CommandCode::GET_RESTART_LOG_ENTRY), get_restart_log_entry},
    CommandEntry{link::code_value(CommandCode::GET_TASK_DETAILS), get_task_details},
    CommandEntry{link::code_value(CommandCode::SET_TASK_FLAGS), set_task_flags},
};

}  // namespace

std::span<const CommandEntry> diagnostics_store_commands() {
    return kCommands;
}

}  // namespace kelpira::virtual_sensor

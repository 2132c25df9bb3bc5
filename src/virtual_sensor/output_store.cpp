// Stored processed results, read back one record at a time.
#include "virtual_sensor/output_store.hpp"

#include <algorithm>
#include <array>

#include "link/command_catalogue.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

void open_output_stream(Exchange& x) {
    auto& store = x.state.stores.outputs;
    store.open = true;
    store.next = 0;
}

void read_output_record(Exchange& x) {
    auto& store = x.state.stores.outputs;
    if (!store.open || store.next >= store.entries.size()) {
        x.result = kResultNoMoreData;
        return;
    }
    const auto bytes = records::encode(store.entries[store.next++]);
    std::copy(bytes.begin(), bytes.end(), x.response.begin());
}

void clear_outputs(Exchange& x) {
    auto& store = x.state.stores.outputs;
    store.entries.clear();
    store.next = 0;
}

constexpr std::array kCommands{
    CommandEntry{link::code_value(CommandCode::OPEN_OUTPUT_STREAM), open_output_stream},
    CommandEntry{link::code_value(CommandCode::READ_OUTPUT_RECORD), read_output_record},
    CommandEntry{link::code_value(CommandCode::CLEAR_OUTPUTS), clear_outputs},
};

}  // namespace

std::span<const CommandEntry> output_store_commands() {
    return kCommands;
}

}  // namespace kelpira::virtual_sensor

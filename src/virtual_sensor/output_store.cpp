// The emulated sensor's output store and its stream commands.
#include "virtual_sensor/output_store.hpp"

#include <algorithm>
#include <array>

#include "link/command_catalogue.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

// The stream starts at the oldest record the store holds.
void open_output_stream(Exchange& x) {
    x.state.outputs.read_from = x.state.outputs.first;
}

void read_output_record(Exchange& x) {
    auto& store = x.state.outputs;
    store.read_from = std::max(store.read_from, store.first);
    if (store.read_from >= store.first + store.records.size()) {
        x.result = kResultNoRecord;
        return;
    }
    const auto bytes = app::encode(store.records[store.read_from - store.first]);
    std::copy(bytes.begin(), bytes.end(), x.response.begin());
    x.response_length = static_cast<std::uint8_t>(bytes.size());
    ++store.read_from;
}

void clear_outputs(Exchange& x) {
    auto& store = x.state.outputs;
    store.first += store.records.size();
    store.records.clear();
}

constexpr std::array kCommands{
    CommandEntry{link::code_value(CommandCode::OPEN_OUTPUT_STREAM), open_output_stream},
    CommandEntry{link::code_value(CommandCode::READ_OUTPUT_RECORD), read_output_record},
    CommandEntry{link::code_value(CommandCode::CLEAR_OUTPUTS), clear_outputs},
};

}  // namespace

void store_output(SensorState& state, const app::OutputRecord& record) {
    auto& store = state.outputs;
    if (store.records.size() == kOutputCapacity) {
        store.records.pop_front();
        ++store.first;
    }
    store.records.push_back(record);
}

std::span<const CommandEntry> output_store_commands() {
    return kCommands;
}

}  // namespace kelpira::virtual_sensor

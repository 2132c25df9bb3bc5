// State-machine transfer with GET_STATE_MACHINE_INFO, GET_STATE_RECORD and SET_STATE_RECORD.
#include "statemachine/state_transfer.hpp"

#include <cstdio>

#include "link/operation_commands.hpp"
#include "link/write_outcome.hpp"

namespace kelpira::statemachine {

namespace {

std::string failed(const char* command, std::size_t index, link::CommandResult result) {
    char text[96];
    std::snprintf(text, sizeof text, "%s for state %zu failed (status=%d)", command, index,
                  int{result});
    return text;
}

void reset_to_default(StateMachineImage& image) {
    image.states.fill(StateRecord{});
    image.last_index = 0;
    image.current = 0;
    new_default_state(image, 0);
}

}  // namespace

TransferOutcome load_from_sensor(link::SensorLink& link, StateMachineImage& image,
                                 const TransferProgress& progress) {
    TransferOutcome out;
    image.states.fill(StateRecord{});
    image.last_index = 0;
    image.current = 0;

    std::uint16_t count = 0;
    const link::CommandResult info = link::get_state_machine_info(link, count);
    if (info != link::kResultSuccess) {
        out.detail = "GET_STATE_MACHINE_INFO failed (status=" + std::to_string(info) + ")";
        out.result = info;
        reset_to_default(image);
        return out;
    }
    if (count == 0) {
        new_default_state(image, 0);
        normalise_image(image);
        out.ok = true;
        return out;
    }
    // Indices go out as one byte and the image holds 255 states: a larger count cannot be a
    // program this editor can read whole, so it is refused rather than cut short.
    if (count > kMaxStates) {
        out.detail =
            "the sensor reports " + std::to_string(count) + " states; at most 255 can be read";
        reset_to_default(image);
        return out;
    }
    for (std::size_t i = 0; i < count; ++i) {
        link::RecordBytes<StateRecord::size> bytes{};
        const link::CommandResult r =
            link::get_state_record(link, static_cast<std::uint8_t>(i), bytes);
        if (r != link::kResultSuccess) {
            out.detail = failed("GET_STATE_RECORD", i, r);
            out.result = r;
            reset_to_default(image);
            return out;
        }
        image.states[i] = decode_state_record(bytes);
        out.states_done = i + 1;
        if (progress) {
            progress(out.states_done, count);
        }
    }
    image.last_index = static_cast<std::uint16_t>(count - 1);
    normalise_image(image);
    out.ok = true;
    return out;
}

TransferOutcome save_to_sensor(link::SensorLink& link, const StateMachineImage& image,
                               const TransferProgress& progress) {
    TransferOutcome out;
    const std::size_t count = image.state_count();
    for (std::size_t i = 0; i < count; ++i) {
        const link::CommandResult r = link::set_state_record(
            link, static_cast<std::uint8_t>(i), i == image.last_index, encode(image.states[i]));
        if (r != link::kResultSuccess) {
            out.detail = failed("SET_STATE_RECORD", i, r);
            out.result = r;
            return out;
        }
        out.states_done = i + 1;
        if (progress) {
            progress(out.states_done, count);
        }
    }
    out.ok = true;
    return out;
}

std::string saved_states_text(const TransferOutcome& outcome, std::size_t state_count) {
    std::string text = std::to_string(outcome.states_done) + " of " + std::to_string(state_count) +
                       " states acknowledged";
    // The state after the acknowledged ones lost its answer: the sensor may hold it.
    if (!outcome.ok && link::answer_lost(outcome.result)) {
        text += "; state " + std::to_string(outcome.states_done) +
                " may also have been written (its answer was lost)";
    }
    return text;
}

}  // namespace kelpira::statemachine

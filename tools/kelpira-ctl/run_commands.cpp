// kelpira-ctl start and stop: the run control of the operation views, with their messages.
#include <string>

#include "common/number_scan.hpp"
#include "ctl_command.hpp"
#include "records/chemistry_transfer.hpp"
#include "terminal_prompter.hpp"
#include "views/run_control.hpp"
#include "views/view_frame_controller.hpp"

namespace kelpira::ctl {

namespace {

constexpr const char* kLabels[] = {"Deploy", "Prime", "Flush", "Special1", "Special2", "Special3"};

bool is_label(const std::string& text) {
    for (const char* label : kLabels) {
        if (text == label) {
            return true;
        }
    }
    return false;
}

// A state number 0..255 typed as plain digits.
std::optional<std::uint8_t> state_number(const std::string& text) {
    const char* p = text.data();
    std::uint32_t v = 0;
    if (!common::plain_u32(p, text.data() + text.size(), v) || p != text.data() + text.size() ||
        v > 255) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(v);
}

// The state a label names in the sensor's start-state list, as the view's drop-down list
// offers it; without a label the list's first entry, which the view selects.
std::uint8_t start_state(OpenSensor& sensor, const std::optional<std::string>& label) {
    records::ChemistryConfig chemistry;
    if (records::get_chemistry_config(sensor.link(), chemistry) != link::kResultSuccess) {
        throw WorkFailure(sensor.path() + ": Unable to get current chemistry from sensor");
    }
    const auto list = views::start_state_list(chemistry);
    if (list.empty()) {
        throw WorkFailure(sensor.path() + ": the sensor has no start state set");
    }
    if (!label) {
        return list.front().state;
    }
    for (const auto& entry : list) {
        if (entry.label == *label) {
            return entry.state;
        }
    }
    throw WorkFailure(sensor.path() + ": " + *label + " is not a start state of this sensor");
}

int run_start(const Invocation& inv) {
    if (inv.args.size() > 1) {
        throw UsageError("start takes at most one start state");
    }
    std::optional<std::string> label;
    std::optional<std::uint8_t> number;
    if (!inv.args.empty()) {
        if (is_label(inv.args[0])) {
            label = inv.args[0];
        } else if (!(number = state_number(inv.args[0]))) {
            throw UsageError(
                "start takes Deploy, Prime, Flush, Special1, Special2, Special3 or "
                "a state number from 0 to 255, not " +
                inv.args[0]);
        }
    }
    OpenSensor sensor(inv, true);
    const std::uint8_t state = number ? *number : start_state(sensor, label);
    TerminalPrompter prompter;  // the run control's messages become the failure, device first
    prompter.hold_messages(sensor.path());
    if (!views::start_sensor(sensor.link(), prompter, state)) {
        throw WorkFailure(prompter.held());
    }
    return 0;
}

int run_stop(const Invocation& inv) {
    if (!inv.args.empty()) {
        throw UsageError("stop takes no arguments");
    }
    OpenSensor sensor(inv, true);
    TerminalPrompter prompter;  // the run control's messages become the failure, device first
    prompter.hold_messages(sensor.path());
    if (!views::stop_sensor(sensor.link(), prompter)) {
        throw WorkFailure(prompter.held());
    }
    return 0;
}

const Registration kStart{{"start", "start [Deploy|Prime|Flush|Special1|Special2|Special3|STATE]",
                           "start the sensor's state machine at a start state (default: the "
                           "first one set)",
                           run_start}};
const Registration kStop{{"stop", "stop", "stop the sensor's state machine", run_stop}};

}  // namespace

}  // namespace kelpira::ctl

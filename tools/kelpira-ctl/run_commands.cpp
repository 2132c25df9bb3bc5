// kelpira-ctl start and stop: the run control of the operation views, with their messages.
#include <memory>
#include <string>
#include <vector>

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

// A start state label or a state number.
int run_start(const Invocation& inv, const std::optional<std::string>& given) {
    std::optional<std::string> label;
    std::optional<std::uint8_t> number;
    if (given && is_label(*given)) {
        label = given;
    } else if (given) {
        number = static_cast<std::uint8_t>(common::option_integer(*given).value_or(0));
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

Run declare_start(CLI::App& command) {
    auto state = std::make_shared<std::optional<std::string>>();
    std::vector<std::string> labels(std::begin(kLabels), std::end(kLabels));
    common::add_optional(command, "STATE", *state,
                         "a start state of the sensor's chemistry record (default: the first\n"
                         "one set), or a state number")
        ->transform(common::either(common::one_of(labels), common::whole_number_in(0, 255)));
    return [state](const Invocation& inv) { return run_start(inv, *state); };
}

int run_stop(const Invocation& inv) {
    OpenSensor sensor(inv, true);
    TerminalPrompter prompter;  // the run control's messages become the failure, device first
    prompter.hold_messages(sensor.path());
    if (!views::stop_sensor(sensor.link(), prompter)) {
        throw WorkFailure(prompter.held());
    }
    return 0;
}

const Registration kStart{{"start",
                           "start the sensor's state machine at a start state (default: the "
                           "first one set)",
                           declare_start}};
const Registration kStop{
    {"stop", "stop the sensor's state machine", [](CLI::App&) -> Run { return run_stop; }}};

}  // namespace

}  // namespace kelpira::ctl

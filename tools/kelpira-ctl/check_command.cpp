// kelpira-ctl check: the deployment check, one verdict per item; exit status 0 ready, 1 not
// ready, 3 not checked.
#include <iostream>

#include "ctl_command.hpp"
#include "deployment_check/deployment_check.hpp"

namespace kelpira::ctl {

namespace {

struct CheckRequest {
    deployment_check::CheckInputs inputs;
    bool json = false;
};

constexpr common::OptionSpec kCheckOptions[] = {
    {"--json"},           {"--days", true},    {"--stroke-ul", true},   {"--reagent", true},
    {"--platform", true}, {"--start", true},   {"--start-state", true}, {"--battery-wh", true},
    {"--cycle-wh", true}, {"--sleep-w", true},
};

double positive(const std::string& option, const std::string& value, const char* unit) {
    const auto n = deployment_check::positive_number(value);
    if (!n) {
        throw UsageError(option + " takes a positive number of " + unit + ", not \"" + value +
                         "\"");
    }
    return *n;
}

CheckRequest check_request(const std::vector<std::string>& args) {
    using namespace deployment_check;
    CheckRequest r;
    for (const auto& arg : command_args(args, kCheckOptions)) {
        const std::string& v = arg.value;
        if (arg.is("--json")) {
            r.json = true;
        } else if (arg.is("--days")) {
            r.inputs.days = positive("--days", v, "days");
        } else if (arg.is("--battery-wh")) {
            r.inputs.battery_wh = positive("--battery-wh", v, "watt-hours");
        } else if (arg.is("--cycle-wh")) {
            r.inputs.cycle_wh = positive("--cycle-wh", v, "watt-hours");
        } else if (arg.is("--sleep-w")) {
            r.inputs.sleep_w = positive("--sleep-w", v, "watts");
        } else if (arg.is("--start")) {
            r.inputs.start = parse_start(v);
            if (!r.inputs.start) {
                throw UsageError("--start takes YYYY-MM-DDTHH:MM in UTC, not \"" + v + "\"");
            }
        } else if (arg.is("--start-state")) {
            const auto choice = start_choice_named(v);
            if (!choice) {
                throw UsageError("--start-state takes deploy or auto, not \"" + v + "\"");
            }
            r.inputs.start_state = *choice;
        } else if (arg.is("--stroke-ul")) {
            r.inputs.stroke_ul = parse_stroke(v);
            if (!r.inputs.stroke_ul) {
                throw UsageError(
                    "--stroke-ul takes a positive number of microlitres, or inject=V,withdraw=V, "
                    "not \"" +
                    v + "\"");
            }
        } else if (arg.is("--reagent")) {
            const auto reagent = parse_reagent(v);
            if (!reagent) {
                throw UsageError(
                    "--reagent takes VALVE=ML, a valve from 0 to 15 and a positive "
                    "volume in millilitres, not \"" +
                    v + "\"");
            }
            if (gives_valve(r.inputs, reagent->valve)) {
                throw UsageError("--reagent gives valve " + std::to_string(reagent->valve) +
                                 " twice");
            }
            r.inputs.reagents.push_back(*reagent);
        } else if (arg.is("--platform")) {
            r.inputs.platform = platform_named(v);
            if (!r.inputs.platform) {
                throw UsageError("--platform takes seaglider, bridges, eti or generic, not \"" + v +
                                 "\"");
            }
        } else {
            throw UsageError("check does not take " + v);
        }
    }
    return r;
}

int run_check(const Invocation& inv) {
    using namespace deployment_check;
    const CheckRequest request = check_request(inv.args);
    CheckOutcome outcome;
    try {
        // A sensor in its bootloader is checked too: the link item says so.
        OpenSensor sensor(inv, false);
        outcome = deployment_check::run_check(sensor.link(), request.inputs);
    } catch (const WorkFailure& e) {
        outcome = not_checked(e.what());
    }
    std::cout << (request.json ? outcome_json(outcome) : check_text(outcome.items));
    if (outcome.readiness == Readiness::not_checked && !request.json) {
        tell("not checked: " + outcome.reason);
    }
    return exit_status(outcome);
}

const Registration kCheck{
    {"check",
     "check [--days N] [--start YYYY-MM-DDTHH:MM[Z]] [--start-state deploy|auto] "
     "[--stroke-ul V|inject=V,withdraw=V] [--reagent VALVE=ML]... "
     "[--battery-wh W --cycle-wh E --sleep-w P] [--platform seaglider|bridges|eti|generic] "
     "[--json]",
     "the deployment check: one verdict per item (PASS, WARN, FAIL, SKIP); exit status 0 ready, "
     "1 when an item fails, 3 when the sensor could not be checked",
     run_check}};

}  // namespace

}  // namespace kelpira::ctl

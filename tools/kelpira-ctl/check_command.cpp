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
    {"--json"}, {"--days", true}, {"--stroke-ul", true}, {"--reagent", true}, {"--platform", true},
};

CheckRequest check_request(const std::vector<std::string>& args) {
    using namespace deployment_check;
    CheckRequest r;
    for (const auto& arg : command_args(args, kCheckOptions)) {
        const std::string& v = arg.value;
        if (arg.is("--json")) {
            r.json = true;
        } else if (arg.is("--days")) {
            r.inputs.days = positive_number(v);
            if (!r.inputs.days) {
                throw UsageError("--days takes a positive number of days, not \"" + v + "\"");
            }
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
     "check [--days N] [--stroke-ul V] [--reagent VALVE=ML]... "
     "[--platform seaglider|bridges|eti|generic] [--json]",
     "the deployment check: one verdict per item (PASS, WARN, FAIL, SKIP); exit status 0 ready, "
     "1 when an item fails, 3 when the sensor could not be checked",
     run_check}};

}  // namespace

}  // namespace kelpira::ctl

// kelpira-ctl check: the deployment check, one verdict per item, exit status 1 when one fails.
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
            r.inputs.stroke_ul = positive_number(v);
            if (!r.inputs.stroke_ul) {
                throw UsageError("--stroke-ul takes a positive number of microlitres, not \"" + v +
                                 "\"");
            }
        } else if (arg.is("--reagent")) {
            const auto reagent = parse_reagent(v);
            if (!reagent) {
                throw UsageError(
                    "--reagent takes VALVE=ML, a valve from 0 to 15 and a positive "
                    "volume in millilitres, not \"" +
                    v + "\"");
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
    const CheckRequest request = check_request(inv.args);
    // A sensor in its bootloader is checked too: the link item says so.
    OpenSensor sensor(inv, false);
    const auto items = deployment_check::run_check(sensor.link(), request.inputs);
    std::cout << (request.json ? deployment_check::check_json(items)
                               : deployment_check::check_text(items));
    return deployment_check::any_failed(items) ? 1 : 0;
}

const Registration kCheck{
    {"check",
     "check [--days N] [--stroke-ul V] [--reagent VALVE=ML]... "
     "[--platform seaglider|bridges|eti|generic] [--json]",
     "the deployment check: one verdict per item (PASS, WARN, FAIL, SKIP); exit status 1 when "
     "one fails",
     run_check}};

}  // namespace

}  // namespace kelpira::ctl

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

// "--days 30" or "--days=30": the value of a valued option, or nothing for another argument.
std::optional<std::string> option_value(const std::vector<std::string>& args, std::size_t& i,
                                        std::string_view option) {
    const std::string& a = args[i];
    if (a == option) {
        if (i + 1 >= args.size()) {
            throw UsageError(std::string(option) + " needs a value");
        }
        return args[++i];
    }
    if (a.size() > option.size() && a.compare(0, option.size(), option) == 0 &&
        a[option.size()] == '=') {
        return a.substr(option.size() + 1);
    }
    return std::nullopt;
}

CheckRequest check_request(const std::vector<std::string>& args) {
    using namespace deployment_check;
    CheckRequest r;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json") {
            r.json = true;
        } else if (const auto days = option_value(args, i, "--days")) {
            r.inputs.days = positive_number(*days);
            if (!r.inputs.days) {
                throw UsageError("--days takes a positive number of days, not \"" + *days + "\"");
            }
        } else if (const auto stroke = option_value(args, i, "--stroke-ul")) {
            r.inputs.stroke_ul = positive_number(*stroke);
            if (!r.inputs.stroke_ul) {
                throw UsageError("--stroke-ul takes a positive number of microlitres, not \"" +
                                 *stroke + "\"");
            }
        } else if (const auto reagent_arg = option_value(args, i, "--reagent")) {
            const auto reagent = parse_reagent(*reagent_arg);
            if (!reagent) {
                throw UsageError(
                    "--reagent takes VALVE=ML, a valve from 0 to 15 and a positive "
                    "volume in millilitres, not \"" +
                    *reagent_arg + "\"");
            }
            r.inputs.reagents.push_back(*reagent);
        } else if (const auto platform = option_value(args, i, "--platform")) {
            r.inputs.platform = platform_named(*platform);
            if (!r.inputs.platform) {
                throw UsageError("--platform takes seaglider, bridges, eti or generic, not \"" +
                                 *platform + "\"");
            }
        } else {
            throw UsageError("check does not take " + args[i]);
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

// kelpira-ctl check: the deployment check, one verdict per item, exit status 1 when one fails.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "ctl_command.hpp"
#include "deployment_check/deployment_check.hpp"

namespace kelpira::ctl {

namespace {

struct CheckRequest {
    deployment_check::CheckInputs inputs;
    bool json = false;
};

// A positive number as the deployment check's form reads it.
bool is_positive(const std::string& text) {
    return deployment_check::positive_number(text).has_value();
}

int run_check(const Invocation& inv, const CheckRequest& request) {
    // A sensor in its bootloader is checked too: the link item says so.
    OpenSensor sensor(inv, false);
    const auto items = deployment_check::run_check(sensor.link(), request.inputs);
    std::cout << (request.json ? deployment_check::check_json(items)
                               : deployment_check::check_text(items));
    return deployment_check::any_failed(items) ? 1 : 0;
}

Run declare_check(CLI::App& command) {
    using namespace deployment_check;
    auto r = std::make_shared<CheckRequest>();
    command
        .add_option_function<std::string>(
            "--days", [r](const std::string& v) { r->inputs.days = positive_number(v); },
            "the deployment's length in days")
        ->type_name("N")
        ->check(common::of_form("a number above 0", is_positive));
    command
        .add_option_function<std::string>(
            "--stroke-ul", [r](const std::string& v) { r->inputs.stroke_ul = positive_number(v); },
            "the pump's stroke volume in microlitres")
        ->type_name("V")
        ->check(common::of_form("a number above 0", is_positive));
    command
        .add_option_function<std::vector<std::string>>(
            "--reagent",
            [r](const std::vector<std::string>& given) {
                for (const auto& v : given) {
                    r->inputs.reagents.push_back(*parse_reagent(v));
                }
            },
            "the volume in a valve's reagent bag (repeatable): a valve from 0 to 15\n"
            "and millilitres above 0")
        ->type_name("VALVE=ML")
        ->allow_extra_args(false)
        ->check(common::of_form("VALVE=ML",
                                [](const std::string& v) { return parse_reagent(v).has_value(); }));
    std::vector<std::string> platforms;
    for (const HostPlatform p : kHostPlatforms) {
        platforms.emplace_back(platform_name(p));
    }
    command
        .add_option_function<std::string>(
            "--platform", [r](const std::string& v) { r->inputs.platform = platform_named(v); },
            "the host platform the sensor is deployed on")
        ->type_name("P")
        ->transform(common::one_of(platforms));
    command.add_flag("--json", r->json, "print only a JSON list of {id, verdict, text}")
        ->disable_flag_override();
    return [r](const Invocation& inv) { return run_check(inv, *r); };
}

const Registration kCheck{
    {"check",
     "the deployment check: one verdict per item (PASS, WARN, FAIL, SKIP); exit status 1 when "
     "one fails",
     declare_check}};

}  // namespace

}  // namespace kelpira::ctl

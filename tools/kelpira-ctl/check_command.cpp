// kelpira-ctl check: the deployment check, one verdict per item; exit status 0 ready, 1 not
// ready, 3 not checked.
#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "ctl_command.hpp"
#include "deployment_check/deployment_sheet.hpp"

namespace kelpira::ctl {

namespace {

struct CheckRequest {
    deployment_check::CheckInputs inputs;
    bool json = false;
    std::string sheet;  // the deployment sheet's file, when asked for
};

int run_check(const Invocation& inv, const CheckRequest& request) {
    using namespace deployment_check;
    CheckOutcome outcome;
    try {
        // A sensor in its bootloader is checked too: the link item says so.
        OpenSensor sensor(inv, false);
        // The sheet records the clock's offset to a fraction of a second.
        CheckOptions options;
        options.measure_clock = !request.sheet.empty();
        outcome = deployment_check::run_check(sensor.link(), request.inputs, {}, {}, options);
    } catch (const WorkFailure& e) {
        outcome = not_checked(e.what());
        outcome.checked_utc_s = std::chrono::duration_cast<std::chrono::seconds>(
                                    std::chrono::system_clock::now().time_since_epoch())
                                    .count();
    }
    const SheetOrigin origin = this_pc();
    std::cout << (request.json ? outcome_json(outcome, origin) : check_text(outcome.items));
    if (outcome.readiness == Readiness::not_checked && !request.json) {
        tell("not checked: " + outcome.reason);
    }
    // A script that asked for the sheet must not take a missing one for a ready sensor.
    if (!request.sheet.empty() && !write_sheet(request.sheet, outcome, origin)) {
        tell("the deployment sheet " + request.sheet + " could not be written: nothing was");
        return 3;  // as for a check that could not be made
    }
    return exit_status(outcome);
}

// An option taking a number above 0, as the deployment check's form reads it.
void add_positive(CLI::App& command, const std::string& name, std::optional<double>& target,
                  const std::string& help) {
    command
        .add_option_function<std::string>(
            name,
            [&target](const std::string& v) { target = deployment_check::positive_number(v); },
            help)
        ->type_name("N")
        ->check(common::of_form("a number above 0", [](const std::string& v) {
            return deployment_check::positive_number(v).has_value();
        }));
}

Run declare_check(CLI::App& command) {
    using namespace deployment_check;
    auto r = std::make_shared<CheckRequest>();
    add_positive(command, "--days", r->inputs.days, "the deployment's length in days");
    command
        .add_option_function<std::string>(
            "--start", [r](const std::string& v) { r->inputs.start = parse_start(v); },
            "the deployment's start in UTC (default: now)")
        ->type_name("YYYY-MM-DDTHH:MM[Z]")
        ->check(common::of_form("YYYY-MM-DDTHH:MM[Z]",
                                [](const std::string& v) { return parse_start(v).has_value(); }));
    command
        .add_option_function<std::string>(
            "--start-state",
            [r](const std::string& v) { r->inputs.start_state = *start_choice_named(v); },
            "the start state the deployment uses: the Deploy start state, or the automatic\n"
            "deployment start state when the sensor starts itself (default: the one set)")
        ->type_name("S")
        ->transform(common::one_of({"deploy", "auto"}));
    command
        .add_option_function<std::string>(
            "--stroke-ul", [r](const std::string& v) { r->inputs.stroke_ul = parse_stroke(v); },
            "the pump's stroke volume in microlitres, or one for each direction")
        ->type_name("V|inject=V,withdraw=V")
        ->check(common::of_form("V or inject=V,withdraw=V (microlitres above 0)",
                                [](const std::string& v) { return parse_stroke(v).has_value(); }));
    command
        .add_option_function<std::vector<std::string>>(
            "--reagent",
            [r](const std::vector<std::string>& given) {
                for (const auto& v : given) {
                    const auto reagent = *parse_reagent(v);
                    if (gives_valve(r->inputs, reagent.valve)) {
                        throw common::usage_problem(
                            "--reagent", "valve " + std::to_string(reagent.valve) + " given twice");
                    }
                    r->inputs.reagents.push_back(reagent);
                }
            },
            "the volume in a valve's reagent bag (repeatable): a valve from 0 to 15\n"
            "and millilitres above 0")
        ->type_name("VALVE=ML")
        ->allow_extra_args(false)
        ->check(common::of_form("VALVE=ML",
                                [](const std::string& v) { return parse_reagent(v).has_value(); }));
    add_positive(command, "--battery-wh", r->inputs.battery_wh,
                 "the battery pack's energy in watt-hours");
    add_positive(command, "--cycle-wh", r->inputs.cycle_wh,
                 "the energy of one measurement cycle in watt-hours");
    add_positive(command, "--sleep-w", r->inputs.sleep_w,
                 "the sensor's power between cycles in watts");
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
    command
        .add_flag("--json", r->json,
                  "print one JSON object: the verdict, the items, the timeline, the inputs,\n"
                  "the sensor and its configuration")
        ->disable_flag_override();
    command
        .add_option("--sheet", r->sheet,
                    "also write the deployment sheet to FILE, as the window's Save... does")
        ->type_name("FILE");
    return [r](const Invocation& inv) { return run_check(inv, *r); };
}

const Registration kCheck{
    {"check",
     "the deployment check: one verdict per item (PASS, WARN, FAIL, SKIP); exit status 0 ready, "
     "1 when an item fails, 3 when the sensor could not be checked or the sheet not written",
     declare_check}};

}  // namespace

}  // namespace kelpira::ctl

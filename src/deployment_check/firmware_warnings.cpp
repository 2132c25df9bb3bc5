// One rule per release warning: what of a deployment it concerns.
#include "deployment_check/firmware_warnings.hpp"

#include <algorithm>

#include "deployment_check/item_rules.hpp"
#include "link/compatibility_verdict.hpp"
#include "link/firmware_version.hpp"

namespace kelpira::deployment_check {

namespace {

using records::ChemistryType;

struct Judged {
    Verdict verdict = Verdict::skip;
    std::string why;
};

using Rule = Judged (*)(const DeploymentUse&);

struct WarningRule {
    std::string_view release;
    Rule rule;
};

std::string chemistry_name(ChemistryType c) {
    const auto* d = records::find_chemistry(c);
    return d ? std::string(d->tab_text) : "code " + std::to_string(unsigned(c));
}

Judged unread(const char* what) {
    return {Verdict::warn, std::string(what) + " could not be read, so the check cannot tell"};
}

template <ChemistryType C>
Judged chemistry_is(const DeploymentUse& u) {
    if (!u.chemistry) {
        return unread("the chemistry");
    }
    const std::string name = chemistry_name(*u.chemistry);
    return *u.chemistry == C ? Judged{Verdict::fail, "the sensor measures " + name}
                             : Judged{Verdict::skip, "the sensor measures " + name};
}

Judged never_in_deployment(const DeploymentUse&) {
    return {Verdict::skip, "not part of a deployment or of this check"};
}

// A rule on the nutrient processing record; `uses` names what of it the warning forbids.
template <typename Uses>
Judged nutrient_rule(const DeploymentUse& u, Uses uses) {
    if (!u.chemistry) {
        return unread("the chemistry");
    }
    const auto* d = records::find_chemistry(*u.chemistry);
    if (!d || d->page != records::ChemistryPage::nutrient) {
        return {Verdict::skip,
                "the sensor measures " + chemistry_name(*u.chemistry) + ", not a nutrient"};
    }
    if (!u.nutrient) {
        return unread("the nutrient processing");
    }
    const char* used = uses(*u.nutrient);
    return used ? Judged{Verdict::fail, std::string("the nutrient processing ") + used}
                : Judged{Verdict::skip, "the nutrient processing does not use it"};
}

Judged rs485_in_use(const DeploymentUse& u) {
    if (!u.rs485) {
        return {Verdict::skip, "the firmware answered no RS485 settings"};
    }
    return u.rs485->protocol == records::kRs485None
               ? Judged{Verdict::skip, "RS485 is not used (protocol none)"}
               : Judged{Verdict::fail,
                        "RS485 is set to protocol " + std::to_string(u.rs485->protocol)};
}

constexpr WarningRule kRules[] = {
    {"KELPIRA_2_8_3", chemistry_is<ChemistryType::ammonia>},
    {"KELPIRA_2_7_27", never_in_deployment},
    {"KELPIRA_2_7_20",
     [](const DeploymentUse& u) {
         return nutrient_rule(u, [](const records::NutrientParams& p) -> const char* {
             const bool any = p.monitor_medium != records::kNoMonitor ||
                              p.monitor_short != records::kNoMonitor ||
                              p.monitor_long != records::kNoMonitor;
             return any ? "has monitor inputs set" : nullptr;
         });
     }},
    {"KELPIRA_2_7_19", chemistry_is<ChemistryType::iron>},
    // The deployment does not change them, but a DIC sensor's settings may have been.
    {"KELPIRA_2_7_17",
     [](const DeploymentUse& u) {
         if (!u.chemistry) {
             return unread("the chemistry");
         }
         return *u.chemistry == ChemistryType::dic
                    ? Judged{Verdict::warn,
                             "the sensor measures DIC: make sure its conductivity settings were "
                             "not changed from this program"}
                    : Judged{Verdict::skip, "the sensor measures " + chemistry_name(*u.chemistry)};
     }},
    {"KELPIRA_2_7_16",
     [](const DeploymentUse& u) {
         Judged j = rs485_in_use(u);
         if (j.verdict == Verdict::fail && u.rs485->slave_address <= 32) {
             j = {Verdict::skip, "the RS485 address is " + std::to_string(u.rs485->slave_address)};
         } else if (j.verdict == Verdict::fail) {
             j.why = "the RS485 address is " + std::to_string(u.rs485->slave_address);
         }
         return j;
     }},
    {"KELPIRA_2_7_15",
     [](const DeploymentUse& u) {
         return nutrient_rule(u, [](const records::NutrientParams& p) -> const char* {
             return p.output_channel == records::kOutputAdaptive ? "outputs Adaptive" : nullptr;
         });
     }},
    {"KELPIRA_2_7_13", never_in_deployment},
    {"KELPIRA_2_7_10", never_in_deployment},
    {"KELPIRA_2_7_9", never_in_deployment},
    {"KELPIRA_2_7_8", chemistry_is<ChemistryType::dic>},
    {"KELPIRA_2_7_7", never_in_deployment},
    {"KELPIRA_2_7_6", rs485_in_use},
    {"KELPIRA_2_7_5", chemistry_is<ChemistryType::ta>},
    {"KELPIRA_2_7_4",
     [](const DeploymentUse& u) {
         if (!u.multiplexer) {
             return unread("the multiplexer");
         }
         return *u.multiplexer == 2 || *u.multiplexer == 3
                    ? Judged{Verdict::fail, "a TA multiplexer is set"}
                    : Judged{Verdict::skip, "no TA multiplexer is set"};
     }},
    {"KELPIRA_2_7_3",
     [](const DeploymentUse& u) {
         return u.program_waits
                    ? Judged{Verdict::fail, "the program waits for the schedule"}
                    : Judged{Verdict::skip, "the program does not wait for the schedule"};
     }},
    {"KELPIRA_2_7_2", never_in_deployment},
    {"KELPIRA_2_7_1", never_in_deployment},
    {"KELPIRA_2_6_T9",
     [](const DeploymentUse& u) {
         if (!u.rs232_protocol) {
             return unread("the RS232 settings");
         }
         const bool generic = *u.rs232_protocol == records::kRs232GenericPolled ||
                              *u.rs232_protocol == records::kRs232GenericStreaming;
         return generic ? Judged{Verdict::fail, "RS232 is set to a GENERIC platform"}
                        : Judged{Verdict::skip, "RS232 is not set to a GENERIC platform"};
     }},
    {"KELPIRA_2_6_T6",
     [](const DeploymentUse& u) {
         if (!u.multiplexer) {
             return unread("the multiplexer");
         }
         return *u.multiplexer == 1 ? Judged{Verdict::fail, "the pH multiplexer is set"}
                                    : Judged{Verdict::skip, "the pH multiplexer is not set"};
     }},
    // Whether the program on the sensor was saved from this program cannot be read back.
    {"KELPIRA_2_6_T2",
     [](const DeploymentUse& u) {
         return u.program ? Judged{Verdict::warn,
                                   "the deployment runs the program on the sensor: make sure "
                                   "it was not saved from this program"}
                          : Judged{Verdict::skip, "the sensor holds no program"};
     }},
    {"KELPIRA_2_5_T10", never_in_deployment},
    {"KELPIRA_2_4_T11",
     [](const DeploymentUse& u) {
         return nutrient_rule(u, [](const records::NutrientParams& p) -> const char* {
             return p.optical_correction == 1 ? "has optical correction on" : nullptr;
         });
     }},
    {"KELPIRA_2_4_T10",
     [](const DeploymentUse& u) {
         return nutrient_rule(u, [](const records::NutrientParams& p) -> const char* {
             return p.standard_adjustment == 2 ? "adjusts by Linear Fit" : nullptr;
         });
     }},
    {"KELPIRA_2_4_T9",
     [](const DeploymentUse& u) {
         return nutrient_rule(u, [](const records::NutrientParams& p) -> const char* {
             // Linear Fit uses both standards.
             return p.standard_adjustment != 0 || p.processing_trigger == 1 ? "uses Standard 2"
                                                                            : nullptr;
         });
     }},
    {"KELPIRA_2_4_T5", chemistry_is<ChemistryType::phosphate>},
    {"KELPIRA_2_4_T4", chemistry_is<ChemistryType::silicate>},
    {"KELPIRA_2_4_T3", never_in_deployment},
    {"KELPIRA_2_4_T2",
     [](const DeploymentUse&) {
         return Judged{Verdict::warn, "the supply item reads that voltage"};
     }},
    {"KELPIRA_2_4_T1", never_in_deployment},
    {"KELPIRA_2_3_X", never_in_deployment},
    {"KELPIRA_2_3_T1",
     [](const DeploymentUse&) {
         return Judged{Verdict::fail, "a deployment does more than read data files"};
     }},
    {"KELPIRA_2_2_T11", never_in_deployment},
    {"KELPIRA_2_2_T10", chemistry_is<ChemistryType::generic>},
    {"KELPIRA_2_2_T8",
     [](const DeploymentUse& u) {
         return Judged{Verdict::fail,
                       u.start_state == StartChoice::deploy
                           ? "the deployment starts the program at its Deploy start state"
                           : "the deployment starts the program at its Automatic Deployment "
                             "start state"};
     }},
    {"KELPIRA_2_2_T7", never_in_deployment},
    {"KELPIRA_2_2_T5", never_in_deployment},
    {"KELPIRA_2_2_T4", never_in_deployment},
    {"KELPIRA_2_2_T3",
     [](const DeploymentUse&) {
         return Judged{Verdict::warn, "the deployment relies on a clock this program must not set"};
     }},
    {"KELPIRA_1_0_2_T2",
     [](const DeploymentUse& u) {
         return u.program ? Judged{Verdict::fail,
                                   "this check read the program from the sensor, so its dry "
                                   "runs cannot be trusted"}
                          : Judged{Verdict::skip, "the sensor holds no program"};
     }},
    {"KELPIRA_1_0_2_T1", never_in_deployment},
    {"KELPIRA_1_0_1_T5", never_in_deployment},
};

Judged judge(std::string_view release, const DeploymentUse& use) {
    const auto* rule = std::find_if(std::begin(kRules), std::end(kRules),
                                    [&](const WarningRule& r) { return r.release == release; });
    // A warning of a newer table this check has no rule for is never taken as harmless.
    if (rule == std::end(kRules)) {
        return {Verdict::warn, "the check does not know what it concerns: judge it by hand"};
    }
    return rule->rule(use);
}

}  // namespace

DeploymentUse deployment_use(const SensorReading& r, const ProgramAnalysis& a,
                             const CheckInputs& in) {
    DeploymentUse u;
    if (r.chemistry) {
        u.chemistry = r.chemistry->chemistry;
        u.multiplexer = r.chemistry->multiplexer;
        const auto* d = records::find_chemistry(r.chemistry->chemistry);
        if (d && d->page == records::ChemistryPage::nutrient && r.processing &&
            r.processing->size() == records::NutrientParams::size) {
            u.nutrient = records::decode_nutrient_params(*r.processing);
        }
    }
    u.program = r.program && !r.program_empty;
    u.program_waits = a.program_waits;
    if (r.rs232) {
        u.rs232_protocol = r.rs232->protocol;
    }
    if (r.rs485) {
        u.rs485 = *r.rs485;
    }
    u.start_state = in.start_state;
    return u;
}

std::vector<WarningMatch> match_firmware_warnings(std::string_view firmware_version,
                                                  const DeploymentUse& use) {
    std::vector<WarningMatch> out;
    const auto parsed = link::ParseFirmwareVersion(firmware_version);
    if (!parsed || parsed->is_test_build()) {
        return out;
    }
    for (const link::FirmwareRelease* release : link::warning_releases(parsed->number)) {
        Judged j = judge(release->key, use);
        out.push_back({release->key, *release->warning, j.verdict, std::move(j.why)});
    }
    return out;
}

}  // namespace kelpira::deployment_check

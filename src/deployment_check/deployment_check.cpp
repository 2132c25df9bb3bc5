// The items in their order.
#include "deployment_check/deployment_check.hpp"

#include "deployment_check/item_rules.hpp"

namespace kelpira::deployment_check {

std::vector<CheckItem> judge(const SensorReading& r, const CheckInputs& in) {
    std::vector<CheckItem> items{link_item(r)};
    if (items.front().verdict == Verdict::fail) {
        for (std::size_t i = 1; i < kItemIds.size(); ++i) {
            items.push_back({std::string(kItemIds[i]), Verdict::skip,
                             "The sensor did not identify itself as running its firmware."});
        }
        return items;
    }
    const ProgramAnalysis a = analyse_program(r);
    items.push_back(firmware_item(r));
    items.push_back(supply_item(r));
    items.push_back(clock_item(r));
    items.push_back(running_item(r));
    items.push_back(program_item(r, a, in));
    items.push_back(references_item(r, a));
    items.push_back(faults_item(a));
    items.push_back(states_item(r, a));
    items.push_back(schedule_item(r, a));
    items.push_back(cycle_item(a));
    items.push_back(endurance_item(a, in));
    items.push_back(serial_item(r, in));
    items.push_back(thermistors_item(r));
    return items;
}

std::vector<CheckItem> run_check(link::SensorLink& link, const CheckInputs& inputs,
                                 const PcClocks& clocks) {
    return judge(read_sensor(link, clocks), inputs);
}

}  // namespace kelpira::deployment_check

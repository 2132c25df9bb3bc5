// The emulated sensor's default state-machine programs, one per chemistry.
#include "virtual_sensor/stored_program.hpp"

#include <algorithm>
#include <vector>

namespace kelpira::virtual_sensor {

using namespace statemachine;

namespace {

// Valves of the emulated fluidics.
constexpr std::uint16_t kSampleValve = 1u << 0;
constexpr std::uint16_t kWasteValve = 1u << 15;

constexpr std::uint8_t kEndState = 6;
constexpr std::uint8_t kPrimeState = 7;
constexpr std::uint8_t kPumpFaultState = 8;
constexpr std::uint8_t kStandardState = 9;
constexpr std::uint16_t kStandardValve = 1u << 3;
constexpr std::uint8_t kCycles = 24;
constexpr std::uint8_t kRinses = 3;

struct ChemistryCycle {
    std::uint16_t reagent_valves;
    std::uint32_t reaction_s;
};

ChemistryCycle cycle_for(records::ChemistryType chemistry) {
    using records::ChemistryType;
    constexpr std::uint16_t one = 1u << 1;
    constexpr std::uint16_t two = (1u << 1) | (1u << 2);
    switch (chemistry) {
        case ChemistryType::nitrate:
            return {two, 300};
        case ChemistryType::nitrite:
            return {one, 120};
        case ChemistryType::phosphate:
            return {two, 600};
        case ChemistryType::silicate:
            return {two, 300};
        case ChemistryType::iron:
            return {one, 300};
        case ChemistryType::ammonia:
            return {two, 600};
        case ChemistryType::ph:
            return {one, 30};
        case ChemistryType::ta:
            return {one, 120};
        case ChemistryType::dic:
            return {one, 180};
        default:
            return {one, 60};
    }
}

StateRecord base_state(std::uint8_t next, std::uint32_t delay_s) {
    StateRecord s;
    s.normalised = 1;
    s.hall_power = 1;
    s.photodiode_power = 1;
    s.pump_direction = 1;
    s.winding_current_ma = 400;
    s.step_period_us = 2000;
    s.microstep_code = 2;
    s.pump_stop_mode = kStopOnHall;
    s.pump_timeout_s = 60;
    s.pump_timeout_next = kPumpFaultState;
    s.state_switch = kSwitchOn;
    s.default_next = next;
    s.delay_s = delay_s;
    return s;
}

StateRecord pumping(std::uint16_t valves, std::uint8_t direction, std::uint8_t next,
                    std::uint32_t delay_s) {
    StateRecord s = base_state(next, delay_s);
    s.valve_mask = valves;
    s.pump_on = 1;
    s.pump_direction = direction;
    return s;
}

StateRecord measuring(std::uint8_t next, std::uint32_t delay_s) {
    StateRecord s = base_state(next, delay_s);
    s.led_drive.fill(kLedOn);
    return s;
}

}  // namespace

StoredProgram default_program(records::ChemistryType chemistry) {
    const ChemistryCycle c = cycle_for(chemistry);
    std::vector<StateRecord> states;
    states.push_back(pumping(kSampleValve | kWasteValve, 1, 1, 20));       // 0 flush
    states.push_back(measuring(2, 30));                                    // 1 blank
    states.push_back(pumping(kSampleValve | c.reagent_valves, 0, 3, 10));  // 2 reagent
    states.push_back(measuring(4, c.reaction_s));                          // 3 react, measure
    StateRecord rinse = pumping(kSampleValve | kWasteValve, 1, 4, 10);     // 4 rinse, 3 times
    rinse.counter[0] = Counter{1, kRinses - 1, 5, kCounterIncAndTest};
    states.push_back(rinse);
    StateRecord sleep = base_state(0, 0);  // 5 sleep until the next measurement
    sleep.power_mode = kPowerSleeping;
    sleep.delay_mode = kDelaySchedule;
    sleep.counter[1] = Counter{1, kCycles - 1, kEndState, kCounterIncAndTest};
    states.push_back(sleep);
    StateRecord end = base_state(kEndState, 1);  // 6 deployment over
    end.power_mode = kPowerIdle;
    states.push_back(end);
    StateRecord prime = pumping(c.reagent_valves | kWasteValve, 1, kEndState, 30);  // 7 prime
    prime.pump_stop_mode = kStopOnTime;
    prime.pump_timeout_s = 25;
    states.push_back(prime);
    StateRecord fault = base_state(kPumpFaultState, 1);  // 8 the pump timed out
    fault.power_mode = kPowerHibernating;
    states.push_back(fault);
    if (records::is_nutrient(chemistry)) {
        // After the rinses, the standard with reagent is measured as the sample was, so that
        // every cycle carries its own calibration.
        states[4].counter[0].next_state = kStandardState;
        states.push_back(pumping(kStandardValve | c.reagent_valves, 0, 10, 10));  // 9 standard
        states.push_back(measuring(11, c.reaction_s));                    // 10 react, measure
        states.push_back(pumping(kSampleValve | kWasteValve, 1, 5, 10));  // 11 rinse
    }

    StoredProgram program;
    std::copy(states.begin(), states.end(), program.states.begin());
    program.state_count = static_cast<std::uint16_t>(states.size());
    return program;
}

}  // namespace kelpira::virtual_sensor

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

// A measuring state with one LED lit (0: LED 1).
StateRecord measuring_with(std::size_t led, std::uint8_t next, std::uint32_t delay_s) {
    StateRecord s = base_state(next, delay_s);
    s.led_drive[led] = kLedOn;
    return s;
}

// State `self` rinses three times, then goes to `then`.
StateRecord rinsing(std::uint8_t self, std::uint8_t then) {
    StateRecord rinse = pumping(kSampleValve | kWasteValve, 1, self, 10);
    rinse.counter[0] = Counter{1, kRinses - 1, then, kCounterIncAndTest};
    return rinse;
}

// The cycle of most chemistries: flush 0, blank 1, reagent 2, reaction and measurement 3,
// rinses 4, sleep 5; nutrients measure their standard after the rinses, in states 9 to 11.
std::vector<StateRecord> reagent_cycle(records::ChemistryType chemistry, const ChemistryCycle& c) {
    std::vector<StateRecord> states(kPumpFaultState + 1);
    states[0] = pumping(kSampleValve | kWasteValve, 1, 1, 20);  // flush
    states[1] = measuring(2, 30);                               // blank
    states[2] = pumping(kSampleValve | c.reagent_valves, 0, 3, 10);
    states[3] = measuring(4, c.reaction_s);
    states[4] = rinsing(4, 5);
    if (records::is_nutrient(chemistry)) {
        // The standard with reagent is measured as the sample was, so that every cycle carries
        // its own calibration.
        states[4].counter[0].next_state = kStandardState;
        states.push_back(pumping(kStandardValve | c.reagent_valves, 0, 10, 10));  // 9 standard
        states.push_back(measuring(11, c.reaction_s));                    // 10 react, measure
        states.push_back(pumping(kSampleValve | kWasteValve, 1, 5, 10));  // 11 rinse
    }
    return states;
}

// TA: the sample drawn in state 1, its blanks with LED 1 (state 2) and LED 2 (state 3), acid
// and indicator pumped in state 9, the titrated sample with LED 1 (state 4) and LED 2
// (state 5), rinses in state 10, sleep in state 11.
std::vector<StateRecord> ta_cycle(const ChemistryCycle& c) {
    constexpr std::uint8_t kTitrant = 9, kRinse = 10, kSleep = 11;
    std::vector<StateRecord> states(kSleep + 1);
    states[0] = pumping(kSampleValve | kWasteValve, 1, 1, 20);  // flush
    states[1] = pumping(kSampleValve, 0, 2, 10);                // sample intake
    states[2] = measuring_with(0, 3, 30);
    states[3] = measuring_with(1, kTitrant, 30);
    states[kTitrant] = pumping(c.reagent_valves, 0, 4, 10);
    states[4] = measuring_with(0, 5, c.reaction_s);
    states[5] = measuring_with(1, kRinse, 30);
    states[kRinse] = rinsing(kRinse, kSleep);
    states[kSleep] = base_state(0, 0);
    return states;
}

// DIC: the reference material drawn in state 9 and measured in state 3, then the sample drawn
// in state 1 and measured in state 2, so that each sample has the reference just before it;
// rinses in state 4, sleep in state 5.
std::vector<StateRecord> dic_cycle() {
    std::vector<StateRecord> states(kStandardState + 1);
    states[0] = pumping(kSampleValve | kWasteValve, 1, kStandardState, 20);  // flush
    states[kStandardState] = pumping(kStandardValve, 0, 3, 10);              // reference intake
    states[3] = measuring(1, 60);
    states[1] = pumping(kSampleValve, 0, 2, 10);  // sample intake
    states[2] = measuring(4, 60);
    states[4] = rinsing(4, 5);
    return states;
}

}  // namespace

StoredProgram default_program(records::ChemistryType chemistry) {
    const ChemistryCycle c = cycle_for(chemistry);
    std::vector<StateRecord> states;
    std::uint8_t sleep_state = 5;
    if (chemistry == records::ChemistryType::ta) {
        states = ta_cycle(c);
        sleep_state = 11;
    } else if (chemistry == records::ChemistryType::dic) {
        states = dic_cycle();
    } else {
        states = reagent_cycle(chemistry, c);
    }
    // Sleep until the next measurement, for kCycles cycles.
    StateRecord sleep = base_state(0, 0);
    sleep.power_mode = kPowerSleeping;
    sleep.delay_mode = kDelaySchedule;
    sleep.counter[1] = Counter{1, kCycles - 1, kEndState, kCounterIncAndTest};
    states[sleep_state] = sleep;
    StateRecord end = base_state(kEndState, 1);  // deployment over
    end.power_mode = kPowerIdle;
    states[kEndState] = end;
    StateRecord prime = pumping(c.reagent_valves | kWasteValve, 1, kEndState, 30);
    prime.pump_stop_mode = kStopOnTime;
    prime.pump_timeout_s = 25;
    states[kPrimeState] = prime;
    StateRecord fault = base_state(kPumpFaultState, 1);  // the pump timed out
    fault.power_mode = kPowerHibernating;
    states[kPumpFaultState] = fault;

    StoredProgram program;
    std::copy(states.begin(), states.end(), program.states.begin());
    program.state_count = static_cast<std::uint16_t>(states.size());
    return program;
}

}  // namespace kelpira::virtual_sensor

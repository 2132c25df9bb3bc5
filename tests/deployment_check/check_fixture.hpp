// An emulated sensor checked through a real link, with the PC's clocks standing still one
// hour apart (UTC and a zone one hour east), and small programs to put on the sensor.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "config/clock_transfer.hpp"
#include "deployment_check/deployment_check.hpp"
#include "statemachine/state_record.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::deployment_check::testing {

using statemachine::StateRecord;
using virtual_sensor::testing::kStartSeconds;

inline config::CalendarTime calendar_at(std::int64_t seconds) {
    return *config::schedule_calendar(static_cast<std::uint32_t>(seconds));
}

inline StateRecord state(std::uint8_t next, std::uint32_t delay_s,
                         std::uint8_t power = statemachine::kPowerOperating) {
    StateRecord s;
    s.normalised = 1;
    s.state_switch = statemachine::kSwitchOn;
    s.default_next = next;
    s.delay_s = delay_s;
    s.power_mode = power;
    return s;
}

inline StateRecord pumping(std::uint16_t valves, std::uint8_t next, std::uint32_t delay_s) {
    StateRecord s = state(next, delay_s);
    s.pump_on = 1;
    s.valve_mask = valves;
    return s;
}

inline StateRecord waiting(std::uint8_t next) {
    StateRecord s = state(next, 0, statemachine::kPowerSleeping);
    s.delay_mode = statemachine::kDelaySchedule;
    return s;
}

// A Generic sensor (sample intake 1, measurement 2): waits for the schedule in state 0, draws
// through valve 1 in state 1, measures in state 2 and starts again.
inline std::vector<StateRecord> generic_loop(std::uint32_t intake_s, std::uint32_t measure_s) {
    return {waiting(1), pumping(1u << 1, 2, intake_s), state(0, measure_s)};
}

class CheckFixture : public virtual_sensor::testing::SensorFixture {
  protected:
    void start_generic() {
        virtual_sensor::VirtualSensorOptions o;
        o.chemistry = records::ChemistryType::generic;
        start(o);
    }

    void put_program(const std::vector<StateRecord>& states) {
        sensor->edit_state([&](virtual_sensor::SensorState& s) {
            s.program = {};
            std::copy(states.begin(), states.end(), s.program.states.begin());
            s.program.state_count = static_cast<std::uint16_t>(states.size());
        });
    }

    // Every `minutes` from the sensor's time now; `stop` seconds from now, if given.
    void put_schedule(std::uint16_t minutes, std::optional<std::int64_t> stop = std::nullopt,
                      std::int64_t start_from_now = 0) {
        records::MeasurementSchedule s;
        s.interval_kind = records::kMeasureEveryNMinutes;
        s.interval_count = minutes;
        s.start_time = static_cast<std::uint32_t>(kStartSeconds + start_from_now);
        if (stop) {
            s.stop_enabled = 1;
            s.stop_time = static_cast<std::uint32_t>(kStartSeconds + *stop);
        }
        ASSERT_EQ(config::write_schedule(link, s), link::kResultSuccess);
    }

    CheckOutcome outcome() {
        PcClocks clocks;
        clocks.utc = [] { return calendar_at(kStartSeconds); };
        clocks.local = [] { return calendar_at(kStartSeconds + 3600); };
        return run_check(link, inputs, clocks);
    }

    std::vector<CheckItem> check() { return outcome().items; }

    CheckItem item(const std::string& id) {
        const auto items = check();
        const auto at = std::find_if(items.begin(), items.end(),
                                     [&](const CheckItem& i) { return i.id == id; });
        return at == items.end() ? CheckItem{} : *at;
    }

    CheckInputs inputs;
};

}  // namespace kelpira::deployment_check::testing

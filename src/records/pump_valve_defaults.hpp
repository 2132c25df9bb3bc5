// The pump and valve defaults record, with the tables behind its lists and its factory
// defaults.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "records/optics_records.hpp"

namespace kelpira::records {

inline constexpr std::uint8_t kPumpInject = 0;
inline constexpr std::uint8_t kPumpWithdraw = 1;

inline constexpr std::uint8_t kStopHallSensors = 0;
inline constexpr std::uint8_t kStopStepCount = 1;
inline constexpr std::uint8_t kStopTimeout = 2;

inline constexpr std::size_t kValveCount = 16;

struct PumpValveDefaults {
    static constexpr std::size_t size = 25;

    std::uint8_t reserved0 = 0;  // always written 0
    std::uint8_t direction = kPumpInject;
    std::uint16_t current_ma = 10;     // motor winding current limit, 10..1600
    std::uint32_t step_period_us = 2;  // 2..131071
    std::uint8_t microstepping = 0;    // list value: 0 is 16 microsteps .. 4 is full steps
    std::uint8_t stop_condition = kStopHallSensors;
    std::uint16_t hall_limit_inject = 1;    // 1..4095
    std::uint16_t hall_limit_withdraw = 1;  // 1..4095
    std::uint32_t step_count = 0;           // steps of a stroke for the stop condition Step Count
    std::uint32_t timeout_s = 0;            // stop time for Timeout, Hall time-out for Hall Sensors
    std::uint8_t hall_power = 0;            // 1: the Hall sensors' 5 V supply is on
    std::uint16_t valve_spike_ms = 0;       // 0..3000 at 12 V before the valves drop to 6 V

    bool operator==(const PumpValveDefaults&) const = default;
};

inline constexpr std::array<ListEntry, 2> kPumpDirections{{
    {kPumpInject, "Inject"},
    {kPumpWithdraw, "Withdraw"},
}};

inline constexpr std::array<ListEntry, 5> kMicrostepping{{
    {0, "16"},
    {1, "8"},
    {2, "4"},
    {3, "2"},
    {4, "1"},
}};

// In the order the list shows them, which is not the order of their values.
inline constexpr std::array<ListEntry, 3> kStopConditions{{
    {kStopHallSensors, "Hall Sensors"},
    {kStopTimeout, "Timeout", "Time"},
    {kStopStepCount, "Step Count"},
}};

PumpValveDefaults decode_pump_valve_defaults(std::span<const std::uint8_t> data);
std::array<std::uint8_t, PumpValveDefaults::size> encode(const PumpValveDefaults& p);

// A factory pump stroke: inject at 250 mA, 1 ms steps at 8 microsteps, ended by the Hall
// sensors (powered) within 30 s; the valves get a 50 ms spike.
PumpValveDefaults default_pump_valve_defaults();

}  // namespace kelpira::records

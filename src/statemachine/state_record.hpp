// One state of the sensor's state-machine program: the 77-byte record the sensor, the
// .asm files and the editor share, with its packing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kelpira::statemachine {

inline constexpr std::size_t kCounterCount = 6;
inline constexpr std::size_t kLedCount = 4;
inline constexpr std::size_t kValveCount = 16;

inline constexpr std::uint16_t kLedOn = 0xFFFF;  // on at the LED's default current
inline constexpr std::uint16_t kLedOff = 0;

// Counter modes.
inline constexpr std::uint8_t kCounterIncOnly = 0;
inline constexpr std::uint8_t kCounterIncAndTest = 1;
inline constexpr std::uint8_t kCounterReset = 2;

// Pump stop modes.
inline constexpr std::uint8_t kStopOnHall = 0;
inline constexpr std::uint8_t kStopOnStepCount = 1;
inline constexpr std::uint8_t kStopOnTime = 2;

// Power modes.
inline constexpr std::uint8_t kPowerOperating = 0;
inline constexpr std::uint8_t kPowerSleeping = 1;
inline constexpr std::uint8_t kPowerIdle = 2;
inline constexpr std::uint8_t kPowerHibernating = 3;

// Per-state switch values.
inline constexpr std::uint8_t kSwitchUnset = 0;
inline constexpr std::uint8_t kSwitchOn = 1;
inline constexpr std::uint8_t kSwitchOff = 2;

// Delay modes.
inline constexpr std::uint8_t kDelaySeconds = 0;
inline constexpr std::uint8_t kDelaySchedule = 1;

struct Counter {
    std::uint8_t increment = 0;
    std::uint8_t limit = 0;
    std::uint8_t next_state = 0;
    std::uint8_t mode = kCounterIncOnly;

    bool operator==(const Counter&) const = default;
};

// Leave the state when diving below (climbing above) pressure level P1..P3; level 0 = none.
struct DepthTrigger {
    std::uint8_t reserved0 = 0;  // carried as read
    std::uint8_t level = 0;
    std::uint8_t next_state = 0;
    std::uint8_t reserved3 = 0;  // carried as read

    bool operator==(const DepthTrigger&) const = default;
};

struct StateRecord {
    static constexpr std::size_t size = 77;

    std::uint8_t normalised = 0;   // 1 once normalised; 0 from the legacy layout or a zeroed slot
    std::uint16_t valve_mask = 0;  // bit i set = valve i open
    std::array<std::uint16_t, kLedCount> led_drive{};  // 0 off, 0xFFFF default current, else µA
    std::uint8_t hall_power = 0;                       // 5 V to the Hall-effect sensors
    std::uint8_t photodiode_power = 0;                 // 5 V to the photodiodes
    std::uint8_t pump_on = 0;
    std::uint8_t pump_direction = 0;  // 0 inject, 1 withdraw
    std::uint16_t winding_current_ma = 0;
    std::uint32_t step_period_us = 0;
    std::uint8_t microstep_code = 0;  // 0 = 16 micro-steps ... 4 = full steps
    std::uint8_t pump_stop_mode = kStopOnHall;
    std::uint16_t hall_stop_inject = 0;    // 0 = the sensor's default
    std::uint16_t hall_stop_withdraw = 0;  // 0 = the sensor's default
    std::uint8_t pump_timeout_next = 0;    // next state when the Hall stop times out
    std::uint32_t step_count = 0;          // stop mode 1
    std::uint32_t pump_timeout_s = 0;      // Hall stop time-out, or the stop time in mode 2
    std::uint8_t state_switch = kSwitchUnset;
    std::uint8_t sync_value = 0;    // sent to an external unit; 0 = none
    std::uint8_t default_next = 0;  // next state when no counter fires
    std::array<Counter, kCounterCount> counter{};
    DepthTrigger dive_trigger;
    DepthTrigger climb_trigger;
    std::uint32_t delay_s = 0;  // seconds in the state when delay_mode is 0
    std::uint8_t delay_mode = kDelaySeconds;
    std::uint8_t power_mode = kPowerOperating;

    bool operator==(const StateRecord&) const = default;
};

using StateBytes = std::array<std::uint8_t, StateRecord::size>;

// Every 77-byte pattern decodes and encodes back to the same bytes.
StateRecord decode_state_record(std::span<const std::uint8_t> data);
StateBytes encode(const StateRecord& s);

}  // namespace kelpira::statemachine

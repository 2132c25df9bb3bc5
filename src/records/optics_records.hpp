// The optics records: LED currents and photodiode power, the photomultiplier tube, and the
// conductivity front end of the DIC chemistry; with their list tables and factory defaults.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "records/field_table.hpp"

namespace kelpira::records {

inline constexpr std::size_t kLedCount = 4;
inline constexpr std::uint16_t kLedCurrentMaxUa = 48000;  // the LED driver's limit

struct OpticsDefaults {
    static constexpr std::size_t size = 11;

    std::uint8_t reserved0 = 0;                             // always written 0
    std::uint8_t reserved1 = 1;                             // always written 1
    std::uint8_t photodiode_power = 0;                      // 1: the photodiodes' 5 V supply is on
    std::array<std::uint16_t, kLedCount> led_current_ua{};  // microamperes, 0..48000

    bool operator==(const OpticsDefaults&) const = default;
};

inline constexpr std::uint8_t kPmtNone = 0;
inline constexpr std::uint8_t kPmtH10492 = 1;
// The control voltage an H10492 accepts.
inline constexpr float kPmtControlMinV = 0.5f;
inline constexpr float kPmtControlMaxV = 1.1f;

struct PmtConfig {
    static constexpr std::size_t size = 20;

    std::uint8_t reserved0 = 0;  // always written 0
    std::uint8_t instrument = kPmtNone;
    float control_v = 0;                       // volts
    std::array<std::uint8_t, 14> reserved6{};  // always written 0

    bool operator==(const PmtConfig&) const = default;
};

struct DicConductivityConfig {
    static constexpr std::size_t size = 9;

    std::uint8_t reserved0 = 0;        // always written 0
    std::uint8_t rxgain = 0;           // 1 on
    float offset_v = 0;                // volts
    std::uint16_t frequency_khz = 20;  // 20..2000
    std::uint8_t excitation_pct = 0;   // 0..100

    bool operator==(const DicConductivityConfig&) const = default;
};

inline constexpr std::array<ListEntry, 2> kPmtInstruments{{
    {kPmtNone, "None"},
    {kPmtH10492, "H10492 (Hamamatsu)", "Hamamatsu H10492"},
}};

OpticsDefaults decode_optics_defaults(std::span<const std::uint8_t> data);
std::array<std::uint8_t, OpticsDefaults::size> encode(const OpticsDefaults& o);

PmtConfig decode_pmt_config(std::span<const std::uint8_t> data);
std::array<std::uint8_t, PmtConfig::size> encode(const PmtConfig& p);

DicConductivityConfig decode_dic_conductivity_config(std::span<const std::uint8_t> data);
std::array<std::uint8_t, DicConductivityConfig::size> encode(const DicConductivityConfig& d);

// What a sensor leaves the factory with: photodiodes powered, 20 mA on every LED; no PMT
// fitted; the conductivity front end at 100 kHz and half excitation.
OpticsDefaults default_optics_defaults();
PmtConfig default_pmt_config();
DicConductivityConfig default_dic_conductivity_config();

}  // namespace kelpira::records

// Processing-parameter records of the Generic, pH, TA, DIC and Ammonia chemistries (the
// nutrient record is in nutrient_params.hpp). Defaults are those of a freshly chosen page.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kelpira::records {

struct GenericParams {
    static constexpr std::size_t size = 67;

    std::uint8_t layout = 0;  // always written 0
    std::uint8_t sample_intake_state = 0;
    std::uint8_t sample_measurement_state = 0;
    std::array<float, 8> offset{};  // per input channel 0..7
    std::array<float, 8> scale{1, 1, 1, 1, 1, 1, 1, 1};

    bool operator==(const GenericParams&) const = default;
};

struct PhParams {
    static constexpr std::size_t size = 38;

    std::uint8_t layout = 0;  // written 1 by the configuration page
    std::uint8_t sensor_version = 0;
    std::uint8_t input_434 = 0;  // input channel of the 434 nm LED, 0..7
    std::uint8_t input_578 = 1;  // input channel of the 578 nm LED, 0..7
    std::uint8_t sample_intake_state = 0;
    std::uint8_t sample_measurement_state = 0;
    std::uint16_t blank_start_s = 50;  // seconds after entering the measurement state
    std::uint16_t blank_end_s = 70;
    float absorbance_min_434 = 0.1f;
    float absorbance_max_578 = 0.6f;
    float dph_dt = -0.01582f;
    float r_scale = 1.0f;
    float r_offset = 0.0f;
    float t1_scale = 0.5f;
    float t2_scale = 0.5f;

    bool operator==(const PhParams&) const = default;
};

struct TaParams {
    static constexpr std::size_t size = 39;

    std::uint8_t layout = 0;  // always written 0
    std::uint8_t sensor_version = 0;
    std::uint8_t measurement_channel = 0;  // 0..7
    std::uint8_t monitor_led1 = 0;         // 0..7, shown but not editable
    std::uint8_t monitor_led2 = 0;
    std::uint8_t sample_intake_state = 0;
    std::uint8_t blank_led1_state = 0;
    std::uint8_t blank_led2_state = 0;
    std::uint8_t sample_led1_state = 0;
    std::uint8_t sample_led2_state = 0;
    std::uint8_t processing_trigger = 0;       // 0 Blank LED1, 1 Blank LED2, 2 Sample LED1, 3 LED2
    float temperature_coefficient = 0;         // Ct
    std::array<std::uint8_t, 4> reserved15{};  // always written 0
    float titrant_molarity = 0;                // M
    float pka = 0;
    float e1 = 0;
    float e2 = 0;
    float e3 = 0;

    bool operator==(const TaParams&) const = default;
};

struct DicInlet {
    static constexpr std::size_t size = 7;

    std::uint8_t type = 0;  // 0 Unused, 1 Sample, 2 CRM
    std::uint8_t intake_state = 0;
    std::uint8_t measurement_state = 0;
    float crm_umol_kg = 0;  // certified reference material value, µmol/kg

    bool operator==(const DicInlet&) const = default;
};

struct DicParams {
    static constexpr std::size_t size = 25;

    std::uint8_t layout = 0;  // always written 0
    std::uint8_t sensor_version = 0;
    std::array<std::uint8_t, 2> reserved2{};  // always written 0
    std::array<DicInlet, 3> inlet{};

    bool operator==(const DicParams&) const = default;
};

// No parameters yet; the two bytes are carried as read.
struct AmmoniaParams {
    static constexpr std::size_t size = 2;

    std::array<std::uint8_t, 2> reserved{};

    bool operator==(const AmmoniaParams&) const = default;
};

GenericParams decode_generic_params(std::span<const std::uint8_t> data);
std::array<std::uint8_t, GenericParams::size> encode(const GenericParams& p);

PhParams decode_ph_params(std::span<const std::uint8_t> data);
std::array<std::uint8_t, PhParams::size> encode(const PhParams& p);

TaParams decode_ta_params(std::span<const std::uint8_t> data);
std::array<std::uint8_t, TaParams::size> encode(const TaParams& p);

DicParams decode_dic_params(std::span<const std::uint8_t> data);
std::array<std::uint8_t, DicParams::size> encode(const DicParams& p);

AmmoniaParams decode_ammonia_params(std::span<const std::uint8_t> data);
std::array<std::uint8_t, AmmoniaParams::size> encode(const AmmoniaParams& p);

}  // namespace kelpira::records

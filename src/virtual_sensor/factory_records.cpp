// The emulated sensor's factory records. Every field is set here, whatever the record types'
// own initial values, so the emulator's account of the defaults stands on its own.
#include "virtual_sensor/factory_records.hpp"

#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"

namespace kelpira::virtual_sensor {

namespace {

using records::ChemistryType;

constexpr std::uint8_t kOff = 255;  // a start state that is disabled; a monitor that is none

template <typename Record>
std::vector<std::uint8_t> bytes_of(const Record& record) {
    const auto b = records::encode(record);
    return {b.begin(), b.end()};
}

records::NutrientParams nutrient(bool deployed) {
    records::NutrientParams p;
    p.layout = 1;
    p.sensor_version = 0;
    p.output_channel = 0;  // Medium
    p.sample_intake_state = 0;
    p.sample_measurement_state = 0;
    p.blank_measurement_state = 0;
    p.standard1_state = 0;
    p.standard2_state = 0;
    p.standard1_nmol = 0;
    p.standard2_nmol = 0;
    p.standard_adjustment = 0;  // Standard 1
    p.processing_trigger = 0;   // Standard 1
    p.optical_correction = 0;
    p.optical_sample_state = 0;
    p.optical_blank_state = 0;
    p.output_monitored = 0;
    p.output_monitor = 0;
    p.measure_medium = 0;
    p.measure_short = 1;
    p.measure_long = 2;
    p.monitor_medium = kOff;
    p.monitor_short = kOff;
    p.monitor_long = kOff;
    if (deployed) {
        // The default program: sample intake 0, blank 1, sample 3 and the 20 µM standard in
        // 10, whose exit completes a cycle.
        p.blank_measurement_state = 1;
        p.sample_measurement_state = 3;
        p.standard1_state = 10;
        p.standard1_nmol = 20000;
    }
    return p;
}

records::PhParams ph(bool deployed) {
    records::PhParams p;
    p.layout = 1;
    p.sensor_version = 0;
    p.input_434 = 0;
    p.input_578 = 1;
    p.sample_intake_state = 0;
    p.sample_measurement_state = 0;
    p.blank_start_s = 50;
    p.blank_end_s = 70;
    p.absorbance_min_434 = 0.1f;
    p.absorbance_max_578 = 0.6f;
    p.dph_dt = -0.01582f;
    p.r_scale = 1.0f;
    p.r_offset = 0.0f;
    p.t1_scale = 0.5f;
    p.t2_scale = 0.5f;
    if (deployed) {
        // Dye injected in state 2 and measured in state 3 of the default program, whose 30 s
        // leave the blank window its first 5 to 10 seconds.
        p.sample_intake_state = 2;
        p.sample_measurement_state = 3;
        p.blank_start_s = 5;
        p.blank_end_s = 10;
    }
    return p;
}

records::GenericParams generic(bool deployed) {
    records::GenericParams p;
    p.layout = 0;
    p.sample_intake_state = deployed ? 1 : 0;
    p.sample_measurement_state = deployed ? 2 : 0;
    p.offset.fill(0.0f);
    p.scale.fill(1.0f);
    return p;
}

records::TaParams ta(bool deployed) {
    records::TaParams p;
    p.layout = 0;
    p.sensor_version = 0;
    p.measurement_channel = 0;
    p.monitor_led1 = 0;
    p.monitor_led2 = 0;
    p.reserved15 = {};
    p.sample_intake_state = deployed ? 1 : 0;
    p.blank_led1_state = deployed ? 2 : 0;
    p.blank_led2_state = deployed ? 3 : 0;
    p.sample_led1_state = deployed ? 4 : 0;
    p.sample_led2_state = deployed ? 5 : 0;
    p.processing_trigger = deployed ? 3 : 0;  // Sample (LED2)
    p.temperature_coefficient = deployed ? 0.0048f : 0.0f;
    p.titrant_molarity = deployed ? 0.1f : 0.0f;
    p.pka = deployed ? 4.0f : 0.0f;
    p.e1 = deployed ? 0.0069f : 0.0f;
    p.e2 = deployed ? 2.2220f : 0.0f;
    p.e3 = deployed ? 0.1331f : 0.0f;
    return p;
}

records::DicParams dic(bool deployed) {
    records::DicParams p;
    p.layout = 0;
    p.sensor_version = 0;
    p.reserved2 = {};
    p.inlet.fill({0, 0, 0, 0.0f});  // Unused
    if (deployed) {
        p.inlet[0] = {1, 1, 2, 0.0f};     // sample
        p.inlet[1] = {2, 0, 3, 2012.5f};  // certified reference material
    }
    return p;
}

}  // namespace

records::ChemistryConfig factory_chemistry_config(ChemistryType chemistry) {
    const bool ph_sensor = chemistry == ChemistryType::ph;
    records::ChemistryConfig c;
    c.reserved0 = 0;
    c.chemistry = chemistry;
    c.sample_interval_ms = ph_sensor ? 100 : 1000;
    c.multiplexer = ph_sensor ? 1 : 0;
    c.start_auto_deployment = kOff;
    c.start_manual_flushing = kOff;
    c.start_manual_priming = kOff;
    c.start_manual_deployment = 0;
    c.start_special1 = kOff;
    c.start_special2 = kOff;
    c.start_special3 = kOff;
    c.reserved14 = {};
    c.reserved16 = 0;
    return c;
}

std::vector<std::uint8_t> factory_processing_params(ChemistryType chemistry, bool own_chemistry,
                                                    bool legacy_nutrient) {
    if (records::is_nutrient(chemistry)) {
        const auto p = nutrient(own_chemistry);
        if (legacy_nutrient) {
            const auto legacy = records::encode_legacy(p);
            return {legacy.begin(), legacy.end()};
        }
        return bytes_of(p);
    }
    switch (chemistry) {
        case ChemistryType::generic:
            return bytes_of(generic(own_chemistry));
        case ChemistryType::ph:
            return bytes_of(ph(own_chemistry));
        case ChemistryType::ta:
            return bytes_of(ta(own_chemistry));
        case ChemistryType::dic:
            return bytes_of(dic(own_chemistry));
        case ChemistryType::ammonia:
            return {0, 0};  // no parameters yet
        default:
            return {};
    }
}

records::OpticsDefaults factory_optics_defaults() {
    records::OpticsDefaults o;
    o.reserved0 = 0;
    o.reserved1 = 1;
    o.photodiode_power = 1;
    o.led_current_ua.fill(20000);  // 20 mA
    return o;
}

records::PmtConfig factory_pmt_config() {
    records::PmtConfig p;
    p.reserved0 = 0;
    p.instrument = records::kPmtNone;
    p.control_v = 0.0f;
    p.reserved6 = {};
    return p;
}

records::DicConductivityConfig factory_dic_conductivity_config() {
    records::DicConductivityConfig d;
    d.reserved0 = 0;
    d.rxgain = 1;
    d.offset_v = 1.25f;
    d.frequency_khz = 100;
    d.excitation_pct = 50;
    return d;
}

records::PumpValveDefaults factory_pump_valve_defaults() {
    records::PumpValveDefaults p;
    p.reserved0 = 0;
    p.direction = records::kPumpInject;
    p.current_ma = 250;
    p.step_period_us = 1000;
    p.microstepping = 1;  // 8 microsteps
    p.stop_condition = records::kStopHallSensors;
    p.hall_limit_inject = 2000;
    p.hall_limit_withdraw = 2000;
    p.step_count = 3200;
    p.timeout_s = 30;
    p.hall_power = 1;
    p.valve_spike_ms = 50;
    return p;
}

records::PlatformDefaults factory_platform_defaults() {
    records::PlatformDefaults p;
    p.reserved0 = 1;
    p.dive_number = 0;
    p.salinity_psu = 35.0f;
    p.temperature_c = 12.5f;
    p.oxygen_ml_l = 6.0f;
    p.depth_m = 0.0f;
    p.direction = records::kDirectionUnknown;
    p.time_offset_s = 0;
    p.p1 = 10;  // metres of the depth trigger levels
    p.p2 = 50;
    p.p3 = 100;
    return p;
}

records::Rs232Config factory_rs232_config(std::uint32_t protocol) {
    records::Rs232Config c;
    c.reserved0 = 0;
    c.baud = 9600;
    c.parity = records::kParityNone;
    c.data_bits = 8;
    c.stop_bits = 1;
    c.protocol = protocol;
    c.mode = records::kRs232ModeNormal;
    return c;
}

records::Rs485Config factory_rs485_config() {
    records::Rs485Config c;
    c.reserved0 = 0;
    c.baud = 9600;
    c.parity = records::kParityNone;
    c.data_bits = 8;
    c.stop_bits = 1;
    c.protocol = records::kRs485None;
    c.slave_address = 0;
    c.poll_rate_s = 0;
    return c;
}

}  // namespace kelpira::virtual_sensor

// Every configuration dialog, opened on a sensor holding awkward values and saved without a
// single edit, leaves the sensor's records byte for byte as they were: values the display
// format rounds, the largest and smallest value of each field, NaN and infinities in floats,
// list values no entry offers. Only what a dialog documents as its own (a layout byte it
// sets, bytes it always writes as 0) may differ, and the records below hold those already.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <functional>
#include <limits>
#include <sstream>

#include "config/chemistry_controller.hpp"
#include "config/measurement_schedule_controller.hpp"
#include "config/optics_valves_pump_controller.hpp"
#include "config/platform_settings_controller.hpp"
#include "config/sensor_identification_controller.hpp"
#include "config/thermistors_controller.hpp"
#include "link/command_catalogue.hpp"
#include "maintenance/factory_settings_controller.hpp"
#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"
#include "support/recording_prompter.hpp"
#include "views/start_states_controller.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::config {
namespace {

using link::CommandCode;
using virtual_sensor::SensorState;

constexpr float kMax = std::numeric_limits<float>::max();
constexpr float kTiny = std::numeric_limits<float>::denorm_min();
constexpr float kInf = std::numeric_limits<float>::infinity();
const float kErasedNan = std::bit_cast<float>(0xFFFFFFFFu);  // a record erased to 0xFF

// Floats that no display format of the dialogs gives back.
const float kSignallingNan = std::bit_cast<float>(0x7F800001u);  // a double would quieten it
const float kNanPayload = std::bit_cast<float>(0xFFC12345u);
const std::array<float, 10> kAwkward{7.6294e-5f, 4e-6f, kMax,  -kMax,          kTiny,
                                     kErasedNan, -kInf, -0.0f, kSignallingNan, kNanPayload};

float awkward(std::size_t i) {
    return kAwkward[i % kAwkward.size()];
}

std::uint16_t code(CommandCode c) {
    return static_cast<std::uint16_t>(c);
}

template <typename Record>
std::vector<std::uint8_t> bytes_of(const Record& r) {
    const auto b = records::encode(r);
    return {b.begin(), b.end()};
}

// What the sensor holds that a dialog may write.
struct Held {
    std::array<std::uint8_t, link::SensorIdentification::size> identification{};
    std::map<std::uint16_t, std::vector<std::uint8_t>> records;
    std::map<std::uint8_t, std::vector<std::uint8_t>> processing_params;
    std::array<std::array<std::uint8_t, records::ThermistorConfig::size>,
               virtual_sensor::kThermistorCount>
        thermistors{};
};

std::string hex(std::span<const std::uint8_t> bytes) {
    std::ostringstream out;
    for (const auto b : bytes) {
        out << std::hex << (b < 16 ? "0" : "") << static_cast<int>(b) << ' ';
    }
    return out.str();
}

struct UntouchedCase {
    const char* name;
    records::ChemistryType chemistry;
    std::function<void(SensorState&)> plant;
    // Opens the dialog, saves without an edit; the message that says it was saved.
    std::function<void(link::SensorLink&, common::Prompter&)> open_and_save;
    std::string saved_message = "Settings saved";
};

void PrintTo(const UntouchedCase& c, std::ostream* out) {
    *out << c.name;
}

records::ChemistryConfig chemistry_config(records::ChemistryType chemistry, std::uint32_t interval,
                                          std::uint8_t multiplexer) {
    records::ChemistryConfig c;
    c.reserved0 = 0xA5;
    c.chemistry = chemistry;
    c.sample_interval_ms = interval;
    c.multiplexer = multiplexer;
    c.start_auto_deployment = 254;
    c.start_manual_flushing = 0;
    c.start_manual_priming = 255;
    c.start_manual_deployment = 17;
    c.start_special1 = 1;
    c.start_special2 = 253;
    c.start_special3 = 255;
    c.reserved14 = {0xFF, 0x01};
    c.reserved16 = 0xBEEF;
    return c;
}

void plant_chemistry(SensorState& s, const records::ChemistryConfig& config,
                     std::vector<std::uint8_t> params) {
    s.records[code(CommandCode::GET_CHEMISTRY_CONFIG)] = bytes_of(config);
    s.processing_params[static_cast<std::uint8_t>(config.chemistry)] = std::move(params);
}

void save_chemistry_page(link::SensorLink& link, common::Prompter& prompter) {
    auto dialog = open_chemistry_dialog(link, prompter);
    ASSERT_TRUE(dialog.has_value());
    save_chemistry_dialog(*dialog, link, prompter);
}

records::GenericParams generic_params() {
    records::GenericParams p;
    p.sample_intake_state = 255;
    p.sample_measurement_state = 0;
    for (std::size_t ch = 0; ch < p.offset.size(); ++ch) {
        p.offset[ch] = awkward(ch);
        p.scale[ch] = awkward(ch + 3);
    }
    return p;
}

records::PhParams ph_params() {
    records::PhParams p;
    p.layout = 1;
    p.sensor_version = 255;
    p.input_434 = 8;
    p.input_578 = 255;
    p.sample_intake_state = 255;
    p.sample_measurement_state = 254;
    p.blank_start_s = 65535;
    p.blank_end_s = 0;
    p.absorbance_min_434 = 7.6294e-5f;
    p.absorbance_max_578 = kMax;
    p.dph_dt = -kMax;
    p.r_scale = kErasedNan;
    p.r_offset = kTiny;
    p.t1_scale = kInf;
    p.t2_scale = 4e-6f;
    return p;
}

records::NutrientParams nutrient_params() {
    records::NutrientParams p;
    p.layout = 1;
    p.sensor_version = 7;
    p.output_channel = 3;  // from older firmware: names no channel
    p.sample_intake_state = 255;
    p.sample_measurement_state = 0;
    p.blank_measurement_state = 254;
    p.standard1_state = 255;
    p.standard2_state = 100;
    p.standard1_nmol = 4294967295u;
    p.standard2_nmol = 1;
    p.standard_adjustment = 9;
    p.processing_trigger = 255;
    p.optical_correction = 2;
    p.optical_sample_state = 255;
    p.optical_blank_state = 0;
    p.measure_medium = 255;
    p.measure_short = 8;
    p.measure_long = 0;
    p.monitor_medium = 254;
    p.monitor_short = 7;
    p.monitor_long = 255;
    records::update_output_monitor(p);  // derived from the channel and its monitor
    return p;
}

records::TaParams ta_params() {
    records::TaParams p;
    p.sensor_version = 255;
    p.measurement_channel = 9;
    p.monitor_led1 = 255;
    p.monitor_led2 = 7;
    p.sample_intake_state = 255;
    p.blank_led1_state = 0;
    p.blank_led2_state = 254;
    p.sample_led1_state = 255;
    p.sample_led2_state = 1;
    p.processing_trigger = 200;
    p.temperature_coefficient = 1.23456789e-5f;
    p.titrant_molarity = 0.100000001f;
    p.pka = kMax;
    p.e1 = kErasedNan;
    p.e2 = -kInf;
    p.e3 = kTiny;
    return p;
}

records::DicParams dic_params() {
    records::DicParams p;
    p.sensor_version = 3;
    p.inlet[0] = {1, 255, 0, 2012.996f};
    p.inlet[1] = {2, 0, 255, kErasedNan};
    p.inlet[2] = {200, 254, 254, -kMax};
    return p;
}

records::ThermistorConfig thermistor(std::uint8_t channel, std::size_t first) {
    records::ThermistorConfig t;
    t.input_channel = channel;
    t.a3 = 1.23e-5f;
    t.a2 = awkward(first);
    t.a1 = awkward(first + 1);
    t.a0 = awkward(first + 2);
    return t;
}

void plant_optics(SensorState& s) {
    records::OpticsDefaults o;
    o.photodiode_power = 2;
    o.led_current_ua = {65535, 0, 1, 48001};
    s.records[code(CommandCode::GET_OPTICS_DEFAULTS)] = bytes_of(o);
    records::PmtConfig pmt;
    pmt.instrument = 9;
    pmt.control_v = 7.6294e-5f;
    s.records[code(CommandCode::GET_PMT_CONFIG)] = bytes_of(pmt);
    records::DicConductivityConfig dic;
    dic.rxgain = 255;
    dic.offset_v = 0.12345f;
    dic.frequency_khz = 65535;
    dic.excitation_pct = 250;
    s.records[code(CommandCode::GET_DIC_CONFIG)] = bytes_of(dic);
    records::PumpValveDefaults v;
    v.direction = 7;
    v.current_ma = 65535;
    v.step_period_us = 0;
    v.microstepping = 255;
    v.stop_condition = records::kStopTimeout;
    v.hall_limit_inject = 0;
    v.hall_limit_withdraw = 65535;
    v.step_count = 123456789;
    v.timeout_s = 4294967295u;
    v.hall_power = 3;
    v.valve_spike_ms = 65535;
    s.records[code(CommandCode::GET_PUMP_VALVE_DEFAULTS)] = bytes_of(v);
}

void plant_identification(SensorState& s) {
    link::SensorIdentification id;
    id.reserved1 = 0x5A;
    id.name = "\xB5mol \xFF\xFE sensor";  // not UTF-8: written by other software
    id.reserved23 = 0x11;
    id.serial_number = 65535;
    id.reserved26 = 0x22;
    id.board_serial_number = 255;
    s.identification = link::encode(id);
}

void save_schedule(link::SensorLink& link, common::Prompter& prompter) {
    MeasurementScheduleController d(link, prompter);
    ASSERT_TRUE(d.open());
    ASSERT_TRUE(d.save_enabled());
    d.save();
}

const std::vector<UntouchedCase>& cases() {
    static const std::vector<UntouchedCase> all{
        {"GenericPage", records::ChemistryType::generic,
         [](SensorState& s) {
             plant_chemistry(s, chemistry_config(records::ChemistryType::generic, 50, 0),
                             bytes_of(generic_params()));
         },
         save_chemistry_page, "Generic Processing configuration saved"},
        {"PhPage", records::ChemistryType::ph,
         [](SensorState& s) {
             plant_chemistry(s, chemistry_config(records::ChemistryType::ph, 4294967295u, 7),
                             bytes_of(ph_params()));
         },
         save_chemistry_page, "pH Processing configuration saved"},
        {"NutrientPage", records::ChemistryType::silicate,
         [](SensorState& s) {
             plant_chemistry(s, chemistry_config(records::ChemistryType::silicate, 1000, 0),
                             bytes_of(nutrient_params()));
         },
         save_chemistry_page, "Silicate Processing configuration saved"},
        {"TaPage", records::ChemistryType::ta,
         [](SensorState& s) {
             plant_chemistry(s, chemistry_config(records::ChemistryType::ta, 1000, 3),
                             bytes_of(ta_params()));
         },
         save_chemistry_page, "TA Processing configuration saved"},
        {"DicPage", records::ChemistryType::dic,
         [](SensorState& s) {
             plant_chemistry(s, chemistry_config(records::ChemistryType::dic, 1000, 0),
                             bytes_of(dic_params()));
         },
         save_chemistry_page, "DIC Processing configuration saved"},
        {"AmmoniaPage", records::ChemistryType::ammonia,
         [](SensorState& s) {
             plant_chemistry(s, chemistry_config(records::ChemistryType::ammonia, 1000, 0),
                             {0xAB, 0xFF});
         },
         save_chemistry_page, "Ammonia Processing configuration saved"},
        {"StartStates", records::ChemistryType::nitrate,
         [](SensorState& s) {
             s.records[code(CommandCode::GET_CHEMISTRY_CONFIG)] =
                 bytes_of(chemistry_config(records::ChemistryType::nitrate, 4294967295u, 255));
         },
         [](link::SensorLink& link, common::Prompter& prompter) {
             views::StartStatesController c;
             ASSERT_TRUE(c.open(link, prompter, false));
             ASSERT_TRUE(c.save(link, prompter));
             prompter.message("Save", "Settings saved");  // the dialog closes silently
         }},
        {"Thermistors", records::ChemistryType::nitrate,
         [](SensorState& s) {
             s.thermistors = {records::encode(thermistor(255, 0)),
                              records::encode(thermistor(8, 3)), records::encode(thermistor(0, 5))};
         },
         [](link::SensorLink& link, common::Prompter& prompter) {
             ThermistorsControls c;
             ASSERT_TRUE(open_thermistors(c, link, prompter));
             save_thermistors(c, link, prompter);
         }},
        {"OpticsValvesPump", records::ChemistryType::dic, plant_optics,
         [](link::SensorLink& link, common::Prompter& prompter) {
             OpticsValvesPumpController d(link, prompter, [](const TestPollReport&) {});
             ASSERT_TRUE(d.open());
             d.save_defaults();
         }},
        // A control voltage outside the H10492's range is limited only when typed.
        {"OpticsPmtVoltageOutOfRange", records::ChemistryType::ammonia,
         [](SensorState& s) {
             plant_optics(s);
             records::PmtConfig pmt;
             pmt.instrument = records::kPmtH10492;
             pmt.control_v = 1.5f;
             s.records[code(CommandCode::GET_PMT_CONFIG)] = bytes_of(pmt);
         },
         [](link::SensorLink& link, common::Prompter& prompter) {
             OpticsValvesPumpController d(link, prompter, [](const TestPollReport&) {});
             ASSERT_TRUE(d.open());
             d.save_defaults();
         }},
        {"PlatformDefaults", records::ChemistryType::nitrate,
         [](SensorState& s) {
             records::PlatformDefaults p;
             p.dive_number = 65535;
             p.salinity_psu = 35.00049f;
             p.temperature_c = -1.8999999f;
             p.oxygen_ml_l = kErasedNan;
             p.depth_m = kMax;
             p.direction = 200;
             p.time_offset_s = std::numeric_limits<std::int32_t>::min();
             p.p1 = std::numeric_limits<std::int32_t>::max();
             p.p2 = -1;
             p.p3 = 0;
             s.records[code(CommandCode::GET_PLATFORM_DEFAULTS)] = bytes_of(p);
         },
         [](link::SensorLink& link, common::Prompter& prompter) {
             PlatformDefaultsControls c;
             ASSERT_TRUE(open_platform_defaults(c, link, prompter));
             save_platform_defaults_settings(c, link, prompter);
         }},
        {"Rs232", records::ChemistryType::nitrate,
         [](SensorState& s) {
             records::Rs232Config r;
             r.baud = 230400;
             r.parity = 77;
             r.data_bits = 9;
             r.stop_bits = 0;
             r.protocol = records::kRs232Seaglider;
             r.mode = 255;
             s.records[code(CommandCode::GET_RS232_CONFIG)] = bytes_of(r);
         },
         [](link::SensorLink& link, common::Prompter& prompter) {
             Rs232Controls c;
             ASSERT_TRUE(open_rs232(c, link, prompter));
             save_rs232_settings(c, link, prompter);
         }},
        {"Rs485", records::ChemistryType::nitrate,
         [](SensorState& s) {
             records::Rs485Config r;
             r.baud = 4294967295u;
             r.parity = 255;
             r.data_bits = 0;
             r.stop_bits = 255;
             r.protocol = 77;
             r.slave_address = 255;
             r.poll_rate_s = 4294967295u;
             s.records[code(CommandCode::GET_RS485_CONFIG)] = bytes_of(r);
         },
         [](link::SensorLink& link, common::Prompter& prompter) {
             Rs485Controls c;
             ASSERT_TRUE(open_rs485(c, link, prompter));
             save_rs485_settings(c, link, prompter);
         }},
        {"MeasurementSchedule", records::ChemistryType::nitrate,
         [](SensorState& s) {
             records::MeasurementSchedule m;
             m.layout = 3;
             m.interval_kind = records::kMeasureEveryNHours;
             m.start_time = kLatestScheduleTime;
             m.stop_enabled = 1;
             m.stop_time = 86399;
             m.interval_count = 65535;
             s.records[code(CommandCode::GET_SCHEDULE)] = bytes_of(m);
         },
         save_schedule, "New schedule saved"},
        // A half-hour kind, with a stop time kept while the stop is off, on a sensor that
        // knows minutes: the dialog shows it as 30 minutes and no stop.
        {"MeasurementScheduleHalfHourWithStopKept", records::ChemistryType::nitrate,
         [](SensorState& s) {
             s.records[code(CommandCode::GET_SCHEDULE)] = {3,    1,    0x80, 0x51, 0x01, 0, 0,
                                                           0x7F, 0x51, 0x01, 0,    30,   0};
         },
         save_schedule, "New schedule saved"},
        {"SensorIdentification", records::ChemistryType::nitrate, plant_identification,
         [](link::SensorLink& link, common::Prompter& prompter) {
             IdentificationControls c;
             ASSERT_TRUE(open_identification(c, link, prompter));
             ASSERT_TRUE(identification_save_enabled(c));
             save_identification(c, link, prompter);
         }},
        {"FactorySettingsController", records::ChemistryType::nitrate,
         [](SensorState& s) {
             plant_identification(s);
             // The stores are written whole from their fields: the bytes no field shows are
             // those the dialog writes.
             auto id = link::decode_sensor_identification(s.identification);
             id.reserved1 = id.reserved23 = id.reserved26 = 0;
             s.identification = link::encode(id);
             records::FramSettings fram;
             fram.board_serial_number = 255;
             fram.pump_stroke_meter = 4294967295u;
             s.records[code(CommandCode::GET_FRAM_SETTINGS)] = bytes_of(fram);
             records::NvramSettings nvram;
             nvram.driver_board_serial_number = 255;
             s.records[code(CommandCode::GET_NVRAM_SETTINGS)] = bytes_of(nvram);
         },
         [](link::SensorLink& link, common::Prompter& prompter) {
             maintenance::FactorySettingsController f(link, prompter);
             ASSERT_TRUE(f.open());
             f.type_password(maintenance::kMaintenancePassword);
             ASSERT_TRUE(f.flash_save_enabled());
             ASSERT_TRUE(f.nvram_save_enabled());
             f.save_flash();
             f.save_fram();
             f.save_nvram();
             prompter.message("Save", "Settings saved");
         }},
    };
    return all;
}

class UntouchedSaveTest : public virtual_sensor::testing::SensorFixture,
                          public ::testing::WithParamInterface<UntouchedCase> {
  protected:
    Held held() {
        Held h;
        sensor->edit_state([&h](SensorState& s) {
            h.identification = s.identification;
            h.records = s.records;
            h.processing_params = s.processing_params;
            h.thermistors = s.thermistors;
        });
        return h;
    }

    testing::RecordingPrompter prompter;
};

TEST_P(UntouchedSaveTest, SaveWithoutEditsKeepsEveryByte) {
    const UntouchedCase& c = GetParam();
    virtual_sensor::VirtualSensorOptions options;
    options.chemistry = c.chemistry;
    start(options);
    sensor->edit_state(c.plant);
    const Held before = held();

    c.open_and_save(link, prompter);

    ASSERT_FALSE(prompter.prompts.empty());
    for (const auto& p : prompter.prompts) {
        EXPECT_EQ(p.text.find("Fail"), std::string::npos) << p.text;
        EXPECT_EQ(p.text.find("Unable"), std::string::npos) << p.text;
    }
    EXPECT_TRUE(std::any_of(prompter.prompts.begin(), prompter.prompts.end(), [&c](const auto& p) {
        return p.text.rfind(c.saved_message, 0) == 0;
    })) << prompter.prompts.back().text;
    const Held after = held();
    EXPECT_EQ(hex(after.identification), hex(before.identification)) << "identification";
    for (const auto& [get_code, bytes] : before.records) {
        EXPECT_EQ(hex(after.records.at(get_code)), hex(bytes)) << "record of " << get_code;
    }
    for (const auto& [chemistry, bytes] : before.processing_params) {
        EXPECT_EQ(hex(after.processing_params.at(chemistry)), hex(bytes))
            << "processing parameters of chemistry " << static_cast<int>(chemistry);
    }
    for (std::size_t i = 0; i < before.thermistors.size(); ++i) {
        EXPECT_EQ(hex(after.thermistors[i]), hex(before.thermistors[i])) << "thermistor " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryDialog, UntouchedSaveTest, ::testing::ValuesIn(cases()),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace kelpira::config

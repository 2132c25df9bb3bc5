// The optics, PMT, DIC conductivity and pump records: exact bytes of a filled record and of
// the factory defaults, and decoding back.
#include <gtest/gtest.h>

#include <vector>

#include "records/optics_records.hpp"
#include "records/pump_valve_defaults.hpp"

namespace kelpira::records {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N>
Bytes bytes_of(const std::array<std::uint8_t, N>& a) {
    return Bytes(a.begin(), a.end());
}

TEST(ActuatorRecords, OpticsDefaultsBytes) {
    OpticsDefaults o;
    o.photodiode_power = 1;
    o.led_current_ua = {1000, 48000, 0x1234, 0};
    const Bytes filled{0x00, 0x01, 0x01, 0xE8, 0x03, 0x80, 0xBB, 0x34, 0x12, 0x00, 0x00};
    EXPECT_EQ(bytes_of(encode(o)), filled);
    EXPECT_EQ(decode_optics_defaults(filled), o);
    EXPECT_EQ(bytes_of(encode(default_optics_defaults())),
              (Bytes{0x00, 0x01, 0x01, 0x20, 0x4E, 0x20, 0x4E, 0x20, 0x4E, 0x20, 0x4E}));
}

TEST(ActuatorRecords, PmtConfigBytes) {
    PmtConfig p;
    p.instrument = kPmtH10492;
    p.control_v = 1.1f;
    Bytes filled(PmtConfig::size, 0);
    filled[1] = 0x01;
    filled[2] = 0xCD;
    filled[3] = 0xCC;
    filled[4] = 0x8C;
    filled[5] = 0x3F;
    EXPECT_EQ(bytes_of(encode(p)), filled);
    EXPECT_EQ(decode_pmt_config(filled), p);
    EXPECT_EQ(bytes_of(encode(default_pmt_config())), Bytes(PmtConfig::size, 0));
}

TEST(ActuatorRecords, DicConductivityConfigBytes) {
    DicConductivityConfig d;
    d.rxgain = 1;
    d.offset_v = -0.5f;
    d.frequency_khz = 2000;
    d.excitation_pct = 100;
    const Bytes filled{0x00, 0x01, 0x00, 0x00, 0x00, 0xBF, 0xD0, 0x07, 0x64};
    EXPECT_EQ(bytes_of(encode(d)), filled);
    EXPECT_EQ(decode_dic_conductivity_config(filled), d);
    EXPECT_EQ(bytes_of(encode(default_dic_conductivity_config())),
              (Bytes{0x00, 0x01, 0x00, 0x00, 0xA0, 0x3F, 0x64, 0x00, 0x32}));
}

TEST(ActuatorRecords, PumpValveDefaultsBytes) {
    PumpValveDefaults p;
    p.direction = kPumpWithdraw;
    p.current_ma = 1600;
    p.step_period_us = 131071;
    p.microstepping = 4;
    p.stop_condition = kStopTimeout;
    p.hall_limit_inject = 4095;
    p.hall_limit_withdraw = 1;
    p.step_count = 0x01020304;
    p.timeout_s = 0xA0B0C0D0;
    p.hall_power = 0;
    p.valve_spike_ms = 3000;
    const Bytes filled{0x00, 0x01, 0x40, 0x06, 0xFF, 0xFF, 0x01, 0x00, 0x04, 0x02, 0xFF, 0x0F, 0x01,
                       0x00, 0x04, 0x03, 0x02, 0x01, 0xD0, 0xC0, 0xB0, 0xA0, 0x00, 0xB8, 0x0B};
    EXPECT_EQ(bytes_of(encode(p)), filled);
    EXPECT_EQ(decode_pump_valve_defaults(filled), p);
    EXPECT_EQ(bytes_of(encode(default_pump_valve_defaults())),
              (Bytes{0x00, 0x00, 0xFA, 0x00, 0xE8, 0x03, 0x00, 0x00, 0x01, 0x00, 0xD0, 0x07, 0xD0,
                     0x07, 0x80, 0x0C, 0x00, 0x00, 0x1E, 0x00, 0x00, 0x00, 0x01, 0x32, 0x00}));
}

TEST(ActuatorRecords, StopConditionsAreListedOutOfValueOrder) {
    EXPECT_EQ(kStopConditions[1].value, kStopTimeout);
    EXPECT_EQ(kStopConditions[2].value, kStopStepCount);
}

}  // namespace
}  // namespace kelpira::records

// Controls to records for the optics, valves and pump defaults: clamps, the mA and PMT
// conversions, list values, the kept step count, and the texts records are shown with.
#include <gtest/gtest.h>

#include "config/optics_controls.hpp"

namespace kelpira::config {
namespace {

TEST(OpticsControls, LedCurrentIsTheTypedMilliampsTimes1000Truncated) {
    EXPECT_EQ(led_current_ua("50"), 48000);
    EXPECT_EQ(led_current_ua("48"), 48000);
    EXPECT_EQ(led_current_ua("0.0005"), 0);
    EXPECT_EQ(led_current_ua("1.001"), 1001);
    EXPECT_EQ(led_current_ua("12.3456"), 12345);
    EXPECT_EQ(led_current_ua("-3"), 0);
    EXPECT_EQ(led_current_ua("mA"), 0);
    EXPECT_EQ(led_current_ua("1e9"), 48000);
}

TEST(OpticsControls, PmtVoltageIsLimitedOnlyForTheH10492) {
    EXPECT_FLOAT_EQ(pmt_control_v(records::kPmtH10492, 2.0f), 1.1f);
    EXPECT_FLOAT_EQ(pmt_control_v(records::kPmtH10492, 0.1f), 0.5f);
    EXPECT_FLOAT_EQ(pmt_control_v(records::kPmtH10492, 0.75f), 0.75f);
    EXPECT_FLOAT_EQ(pmt_control_v(records::kPmtNone, 7.5f), 7.5f);
}

OpticsControls typed() {
    OpticsControls c;
    const std::array<std::string, records::kLedCount> leds{"50", "0.0005", "20", "1.5"};
    for (std::size_t i = 0; i < records::kLedCount; ++i) {
        c.led_ma[i].text = leds[i];
    }
    c.photodiode_power = true;
    c.pmt_instrument = records::kPmtH10492;
    c.pmt_control_v.text = "2";
    c.dic_rxgain = true;
    c.dic_offset_v.text = "0.25";
    c.dic_frequency_khz.text = "10";
    c.dic_excitation_pct.text = "300";
    c.pump_direction = records::kPumpWithdraw;
    c.pump_current_ma.text = "5";
    c.pump_step_period_us.text = "200000";
    c.pump_microstepping = 3;
    c.pump_stop_condition = records::kStopStepCount;
    c.hall_limit_inject.text = "0";
    c.hall_limit_withdraw.text = "70000";
    c.pump_timeout_s.text = "99999999999";
    c.hall_power = true;
    c.valve_spike_ms.text = "5000";
    return c;
}

TEST(OpticsControls, ReadControlsClampsEveryFieldAndKeepsTheStepCount) {
    OpticsControls c = typed();
    ActuatorRecords r;
    r.optics.reserved1 = 7;  // rebuilt: the fixed bytes come back
    r.pmt.reserved6[3] = 9;
    r.pump.step_count = 123456;  // read from the sensor; no control carries it
    read_controls(c, r);

    EXPECT_EQ(r.optics, (records::OpticsDefaults{0, 1, 1, {48000, 0, 20000, 1500}}));
    EXPECT_EQ(r.pmt.instrument, records::kPmtH10492);
    EXPECT_FLOAT_EQ(r.pmt.control_v, 1.1f);
    EXPECT_EQ(r.pmt.reserved6, (std::array<std::uint8_t, 14>{}));
    EXPECT_EQ(c.pmt_control_v.text, "1.10000") << "the limited voltage is written back";
    EXPECT_EQ(r.dic, (records::DicConductivityConfig{0, 1, 0.25f, 20, 100}));

    const auto& p = r.pump;
    EXPECT_EQ(p.direction, records::kPumpWithdraw);
    EXPECT_EQ(p.current_ma, 10);
    EXPECT_EQ(p.step_period_us, 131071u);
    EXPECT_EQ(p.microstepping, 3);
    EXPECT_EQ(p.stop_condition, records::kStopStepCount);
    EXPECT_EQ(p.hall_limit_inject, 1);
    EXPECT_EQ(p.hall_limit_withdraw, 4095);
    EXPECT_EQ(p.step_count, 123456u);
    EXPECT_EQ(p.timeout_s, 4294967295u) << "not limited, but never wrapped";
    EXPECT_EQ(p.hall_power, 1);
    EXPECT_EQ(p.valve_spike_ms, 3000);

    c.pmt_instrument = records::kPmtNone;
    c.pmt_control_v.text = "2";
    read_controls(c, r);
    EXPECT_FLOAT_EQ(r.pmt.control_v, 2.0f);
    EXPECT_EQ(c.pmt_control_v.text, "2");
}

TEST(OpticsControls, RecordsAreShownWithTheirFormats) {
    ActuatorRecords r;
    r.optics.led_current_ua = {20000, 48000, 1, 0};
    r.pmt.control_v = 0.75f;
    r.dic.offset_v = 0.12345f;
    r.pump.timeout_s = 4294967295u;
    OpticsControls c;
    c.test_pump = true;
    show_records(r, c);
    for (std::size_t i = 0; i < records::kLedCount; ++i) {
        EXPECT_EQ(c.led_ma[i].text,
                  (std::array<std::string, 4>{"20.000", "48.000", "0.001", "0.000"}[i]));
    }
    EXPECT_EQ(c.pmt_control_v.text, "0.75000");
    EXPECT_EQ(c.dic_offset_v.text, "0.1235");
    EXPECT_EQ(c.pump_timeout_s.text, "4294967295");
    EXPECT_TRUE(c.test_pump) << "test selections are not part of the records";
}

TEST(OpticsControls, ValveMaskAndChannelTexts) {
    OpticsControls c;
    c.valves[0] = c.valves[15] = true;
    EXPECT_EQ(valve_mask(c), 0x8001);
    EXPECT_EQ(channel_text(65535, true), "4.99992");
    EXPECT_EQ(channel_text(65535, false), "65535");
    EXPECT_EQ(channel_text(0, true), "0.00000");
}

}  // namespace
}  // namespace kelpira::config

// "Configure Optics, Valves & Pump Defaults" against the emulated sensor: the commands of
// opening, saving and the live test, its poller, and the messages shown.
#include "config/optics_valves_pump_controller.hpp"

#include <gtest/gtest.h>

#include <mutex>
#include <semaphore>

#include "common/bytes.hpp"
#include "link/actuator_commands.hpp"
#include "support/recording_prompter.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::config {
namespace {

using namespace std::chrono_literals;
using kelpira::testing::RecordingPrompter;
using virtual_sensor::VirtualSensorOptions;
using Codes = std::vector<std::uint16_t>;

// Collects the poller's reports on its thread; the test thread plays the UI thread.
struct ReportQueue {
    std::mutex mutex;
    std::vector<TestPollReport> reports;
    std::counting_semaphore<> arrived{0};

    void push(const TestPollReport& r) {
        {
            std::lock_guard lock(mutex);
            reports.push_back(r);
        }
        arrived.release();
    }
    TestPollReport next() {
        EXPECT_TRUE(arrived.try_acquire_for(30s));
        std::lock_guard lock(mutex);
        auto r = reports.front();
        reports.erase(reports.begin());
        return r;
    }
};

class OpticsDialogTest : public virtual_sensor::testing::SensorFixture {
  protected:
    void open_on(VirtualSensorOptions o = {}, std::chrono::milliseconds timeout = 3000ms) {
        start(std::move(o), timeout);
        ASSERT_TRUE(dialog.open());
        sensor->clear_log();
    }
    Codes codes() const { return sensor->logged_codes(); }
    std::vector<std::uint8_t> stored(std::uint16_t code) const { return *sensor->record(code); }

    RecordingPrompter prompter;
    ReportQueue queue;
    OpticsValvesPumpController dialog{link, prompter,
                                      [this](const TestPollReport& r) { queue.push(r); }, 1ms};
};

TEST_F(OpticsDialogTest, OpensWithTheFourRecordsAndTheIdleState) {
    start();
    ASSERT_TRUE(dialog.open());
    EXPECT_EQ(codes(), (Codes{368, 400, 352, 374})) << "no DIC record without the DIC chemistry";
    EXPECT_TRUE(dialog.pmt_present());
    EXPECT_FALSE(dialog.dic_present());
    EXPECT_EQ(dialog.controls().led_ma[0].text, "20.000");
    EXPECT_EQ(dialog.controls().pump_current_ma.text, "250");
    EXPECT_TRUE(prompter.prompts.empty());

    OpticsEnabling idle;
    idle.basics = idle.save = idle.test_boxes = idle.pmt_instrument = true;
    idle.hall_limits = idle.pump_timeout = true;  // stop condition Hall Sensors
    EXPECT_EQ(dialog.enabling(), idle);
    EXPECT_EQ(dialog.start_stop_text(), "Start");
}

TEST_F(OpticsDialogTest, DicSensorReadsAndWritesItsConductivityRecord) {
    VirtualSensorOptions o;
    o.chemistry = records::ChemistryType::dic;
    open_on(o);
    EXPECT_TRUE(dialog.dic_present());
    EXPECT_TRUE(dialog.enabling().dic);
    dialog.controls().dic_frequency_khz.text = "10";
    dialog.save_defaults();
    EXPECT_EQ(codes(), (Codes{369, 375, 373, 353, 368, 400, 352, 374, 372}));
    EXPECT_EQ(records::decode_dic_conductivity_config(stored(372)).frequency_khz, 20);
}

TEST_F(OpticsDialogTest, UnreadableDefaultsCloseTheDialog) {
    VirtualSensorOptions o;
    o.running = virtual_sensor::RunningCode::bootloader;  // answers 9 to all of them
    start(o);
    EXPECT_FALSE(dialog.open());
    EXPECT_EQ(codes(), (Codes{368, 374})) << "the PMT record is asked for whatever happened";
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].caption, "Configure Defaults");
    EXPECT_EQ(prompter.prompts[0].text, "Unable to get existing defaults from sensor");
}

TEST_F(OpticsDialogTest, UnreadablePmtIsNeitherOfferedNorWritten) {
    start({}, 200ms);
    sensor->inject(374, {virtual_sensor::FaultKind::no_answer}, 1);
    ASSERT_TRUE(dialog.open());
    EXPECT_FALSE(dialog.pmt_present());
    EXPECT_FALSE(dialog.enabling().pmt_instrument);
    sensor->clear_log();
    dialog.save_defaults();
    EXPECT_EQ(codes(), (Codes{369, 353, 368, 400, 352, 374}));
}

TEST_F(OpticsDialogTest, PmtUnreadableOnTheReadBackIsNotWrittenByTheNextSave) {
    start({}, 200ms);
    ASSERT_TRUE(dialog.open());
    ASSERT_TRUE(dialog.pmt_present());
    sensor->inject(374, {virtual_sensor::FaultKind::no_answer}, 1);
    dialog.save_defaults();  // its read-back loses the PMT record
    EXPECT_FALSE(dialog.pmt_present());
    sensor->clear_log();
    dialog.save_defaults();
    EXPECT_EQ(codes(), (Codes{369, 353, 368, 400, 352, 374})) << "no 375 with a cleared record";
}

TEST_F(OpticsDialogTest, SaveWritesTheControlsAndKeepsTheStoredStepCount) {
    start();
    auto pump = records::default_pump_valve_defaults();
    pump.step_count = 777777;
    ASSERT_EQ(link::set_pump_valve_defaults(link, records::encode(pump)), 0);
    ASSERT_TRUE(dialog.open());
    sensor->clear_log();

    auto& c = dialog.controls();
    c.led_ma[0].text = "50";
    c.pmt_instrument = records::kPmtH10492;
    c.pmt_control_v.text = "2";
    c.pump_current_ma.text = "5";
    dialog.save_defaults();

    EXPECT_EQ(codes(), (Codes{369, 375, 353, 368, 400, 352, 374}));
    EXPECT_EQ(records::decode_optics_defaults(stored(368)).led_current_ua[0], 48000);
    EXPECT_FLOAT_EQ(records::decode_pmt_config(stored(374)).control_v, 1.1f);
    const auto kept = records::decode_pump_valve_defaults(stored(352));
    EXPECT_EQ(kept.current_ma, 10);
    EXPECT_EQ(kept.step_count, 777777u) << "never overwritten with 0";
    EXPECT_EQ(c.led_ma[0].text, "48.000") << "shown as read back";
    EXPECT_EQ(c.pmt_control_v.text, "1.10000");
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].caption, "Save");
    EXPECT_EQ(prompter.prompts[0].text, "Settings saved");
}

TEST_F(OpticsDialogTest, SaveStopsAtTheFirstFailure) {
    open_on({}, 200ms);
    sensor->inject(375, {virtual_sensor::FaultKind::no_answer}, 1);
    dialog.save_defaults();
    EXPECT_EQ(codes(), (Codes{369, 375}));
    sensor->inject(368, {virtual_sensor::FaultKind::no_answer}, 1);  // the read-back
    dialog.save_defaults();
    ASSERT_EQ(prompter.prompts.size(), 2u);
    EXPECT_EQ(prompter.prompts[0].caption, "Save");
    EXPECT_EQ(prompter.prompts[0].text,
              "Failed to save settings\nOptics defaults written; PMT configuration not written: "
              "no answer (status 14), the sensor may hold either; pump and valve defaults not "
              "tried");
    EXPECT_EQ(prompter.prompts[1].text,
              "Failed to save settings\nOptics defaults written but not confirmed: the read-back "
              "failed (status 14); PMT configuration written but not confirmed: the read-back "
              "failed (status 14); pump and valve defaults written but not confirmed: the "
              "read-back failed (status 14)");
}

TEST_F(OpticsDialogTest, StopConditionDecidesTheHallAndTimeoutFields) {
    open_on();
    auto& c = dialog.controls();
    c.pump_stop_condition = records::kStopStepCount;
    c.hall_power = false;
    dialog.stop_condition_changed();
    EXPECT_FALSE(dialog.enabling().hall_limits);
    EXPECT_FALSE(dialog.enabling().pump_timeout);
    EXPECT_TRUE(dialog.enabling().hall_power);
    c.pump_stop_condition = records::kStopTimeout;
    c.pump_current_ma.text = "5";
    dialog.stop_condition_changed();
    EXPECT_EQ(c.pump_current_ma.text, "5") << "records are shown again only for Hall Sensors";
    EXPECT_FALSE(dialog.enabling().hall_limits);
    EXPECT_TRUE(dialog.enabling().pump_timeout);
    c.pump_stop_condition = records::kStopHallSensors;
    dialog.stop_condition_changed();
    EXPECT_TRUE(c.hall_power);
    EXPECT_EQ(c.pump_current_ma.text, "10");
    EXPECT_FALSE(dialog.enabling().hall_power);
    EXPECT_TRUE(codes().empty());
}

TEST_F(OpticsDialogTest, EachTestSelectionSendsItsStartCommands) {
    struct Case {
        bool valves, optics, pump;
        Codes sent;
    };
    for (const auto& t :
         {Case{true, false, false, {357}}, Case{false, false, true, {354, 626}},
          Case{false, true, false, {626}}, Case{true, true, true, {357, 354, 626}}}) {
        SCOPED_TRACE(::testing::Message() << t.valves << t.optics << t.pump);
        if (!sensor) {
            open_on();
        }
        auto& c = dialog.controls();
        c.test_valves = t.valves;
        c.test_optics = t.optics;
        c.test_pump = t.pump;
        c.valves[3] = true;
        c.pump_continuously = true;
        ASSERT_TRUE(dialog.start_test());
        EXPECT_EQ(dialog.enabling(), (OpticsEnabling{.start_stop = true, .show_as_volts = true}));
        EXPECT_EQ(dialog.start_stop_text(), "Stop");
        dialog.stop_test();
        auto sent = t.sent;
        sent.insert(sent.end(), {371, 355, 358});
        auto log = sensor->log();
        std::erase_if(log, [](const auto& l) { return l.code == 356 || l.code == 418; });
        Codes got;
        for (const auto& l : log) {
            got.push_back(l.code);
        }
        EXPECT_EQ(got, sent);
        if (t.valves) {
            EXPECT_EQ(log[0].payload, (std::vector<std::uint8_t>{0x08, 0x00, 0x32, 0x00}));
        }
        if (t.pump) {
            EXPECT_EQ(log[t.valves ? 1 : 0].payload.size(), 26u);
            EXPECT_EQ(log[t.valves ? 1 : 0].payload[25], 1) << "pump continuously";
        }
        EXPECT_FALSE(dialog.running());
        sensor->clear_log();
    }
}

TEST_F(OpticsDialogTest, OlderFirmwareGetsTheShortOpticsTest) {
    VirtualSensorOptions o;
    o.old_optics_test = true;
    open_on(o);
    dialog.controls().test_optics = true;
    ASSERT_TRUE(dialog.start_test());
    const auto log = sensor->log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0].code, 626);
    EXPECT_EQ(log[0].payload.size(), 36u);
    EXPECT_EQ(log[1].code, 370);
    EXPECT_EQ(log[1].payload,
              std::vector<std::uint8_t>(log[0].payload.begin(), log[0].payload.begin() + 16));
    // The optics record, then the chemistry's sample interval (1000 ms) and multiplexer.
    EXPECT_EQ(std::vector<std::uint8_t>(log[1].payload.begin() + 11, log[1].payload.end()),
              (std::vector<std::uint8_t>{0xE8, 0x03, 0x00, 0x00, 0x00}));
    dialog.close();
}

TEST_F(OpticsDialogTest, FailedStartSaysSoAndStopsWhatDidStart) {
    open_on({}, 200ms);
    sensor->inject(354, {virtual_sensor::FaultKind::no_answer}, 1);
    auto& c = dialog.controls();
    c.test_valves = c.test_pump = true;
    EXPECT_FALSE(dialog.start_test());
    EXPECT_EQ(codes(), (Codes{357, 354, 358}));
    EXPECT_FALSE(dialog.running());
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].caption, "Start");
    EXPECT_EQ(prompter.prompts[0].text, "Unable to start");
}

TEST_F(OpticsDialogTest, StopSendsEveryStopAndStaysRunningUntilAllAreConfirmed) {
    const std::vector<std::pair<std::vector<std::uint16_t>, std::string>> cases{
        {{355}, "Unable to stop the pump test"},
        {{358, 371}, "Unable to stop the optics and valves tests"},
        {{371, 355, 358}, "Unable to stop the optics, pump and valves tests"}};
    open_on({}, 200ms);
    for (const auto& [refused, text] : cases) {
        SCOPED_TRACE(text);
        dialog.controls().test_valves = true;
        ASSERT_TRUE(dialog.start_test());
        sensor->clear_log();
        for (const auto code : refused) {
            sensor->inject(code, {virtual_sensor::FaultKind::no_answer}, 1);
        }
        prompter.prompts.clear();
        EXPECT_FALSE(dialog.stop_test());
        EXPECT_EQ(codes(), (Codes{371, 355, 358}));
        EXPECT_TRUE(dialog.running());
        EXPECT_EQ(dialog.start_stop_text(), "Stop");
        ASSERT_EQ(prompter.prompts.size(), 1u);
        EXPECT_EQ(prompter.prompts[0].caption, "Stop");
        EXPECT_EQ(prompter.prompts[0].text, text);

        sensor->clear_log();
        dialog.start_stop();  // the user tries again
        EXPECT_EQ(codes(), (Codes{371, 355, 358}));
        EXPECT_FALSE(dialog.running());
        EXPECT_EQ(prompter.prompts.size(), 1u);
    }
}

TEST_F(OpticsDialogTest, PollerShowsTheChannelsOfTheLitLeds) {
    open_on();
    auto& c = dialog.controls();
    c.test_optics = true;
    const std::array<std::string, records::kLedCount> leds{"40", "0", "0", "0"};
    for (std::size_t i = 0; i < records::kLedCount; ++i) {
        c.led_ma[i].text = leds[i];
    }
    ASSERT_TRUE(dialog.start_test());
    const auto report = queue.next();
    EXPECT_EQ(report.run, 1u);
    ASSERT_TRUE(report.values.has_value());
    dialog.test_report(report);
    const auto texts = dialog.channel_texts();
    EXPECT_GT(std::stoi(texts[0]), 40000) << "LED 0 at 40 mA";
    EXPECT_LT(std::stoi(texts[1]), 5000) << "LED 1 dark";
    c.show_as_volts = true;
    EXPECT_EQ(dialog.channel_texts()[0].size(), 7u) << dialog.channel_texts()[0];
    EXPECT_EQ(dialog.hall_texts()[0], std::to_string(report.values->hall[0]));
    dialog.stop_test();

    dialog.test_report(report);  // a report queued before the stop changes nothing
    EXPECT_FALSE(dialog.running());
}

TEST_F(OpticsDialogTest, PumpRunEndingByItselfReturnsToIdle) {
    open_on();
    auto& c = dialog.controls();
    c.test_pump = true;
    c.pump_stop_condition = records::kStopTimeout;
    c.pump_timeout_s.text = "5";
    ASSERT_TRUE(dialog.start_test());
    dialog.test_report(queue.next());
    EXPECT_TRUE(dialog.running());
    fake_clock.advance(6s);
    TestPollReport report;
    while (!report.pump_finished) {
        report = queue.next();
        dialog.test_report(report);
    }
    EXPECT_FALSE(dialog.running());
    EXPECT_EQ(dialog.start_stop_text(), "Start");
    const auto sent = codes();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(Codes(sent.end() - 3, sent.end()), (Codes{356, 371, 358}));
}

TEST_F(OpticsDialogTest, PumpRunEndingWithARefusedStopStaysRunning) {
    open_on({}, 200ms);
    auto& c = dialog.controls();
    c.test_pump = true;
    c.pump_stop_condition = records::kStopTimeout;
    c.pump_timeout_s.text = "5";
    ASSERT_TRUE(dialog.start_test());
    sensor->inject(371, {virtual_sensor::FaultKind::no_answer}, 1);
    fake_clock.advance(6s);
    TestPollReport report;
    while (!report.pump_finished) {
        report = queue.next();
        dialog.test_report(report);
    }
    EXPECT_EQ(report.unstopped, (UnstoppedTests{.optics = true}));
    EXPECT_TRUE(dialog.running());
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].text, "Unable to stop the optics test");
    EXPECT_TRUE(dialog.stop_test());
}

}  // namespace
}  // namespace kelpira::config

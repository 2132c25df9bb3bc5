// "Configure Optics, Valves & Pump Defaults" without its widgets: loading and saving the four
// records, the idle and running states, and the live test with its poller.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/prompter.hpp"
#include "config/optics_controls.hpp"
#include "config/optics_test_poller.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::config {

inline constexpr const char* kOpticsDialogTitle = "Configure Optics, Valves & Pump Defaults";

// Which controls are enabled.
struct OpticsEnabling {
    // The LED fields, photodiode power, spike time, pump current, step period, microstepping,
    // direction and stop condition.
    bool basics = false;
    bool pmt_instrument = false;  // with its label
    bool pmt_control = false;     // with its label
    bool dic = false;             // the four DIC fields
    bool hall_limits = false;
    bool pump_timeout = false;
    bool hall_power = false;
    bool valves = false;  // the sixteen valve boxes
    bool pump_continuously = false;
    bool test_boxes = false;  // "Test Valves", "Test Optics", "Test Pump"
    bool save = false;
    bool start_stop = false;
    bool show_as_volts = false;

    bool operator==(const OpticsEnabling&) const = default;
};

// The tooltips of the dialog's controls.
namespace optics_tips {
inline constexpr const char* kLed = "LED current (0mA-48mA)";
inline constexpr const char* kPhotodiodePower = "A5V power supply to photodiodes";
inline constexpr const char* kPmtControl = "Analogue input channel multiplexer";
inline constexpr const char* kPmtInstrument = "Photomultiplier Tube (PMT)";
inline constexpr const char* kValveSpike = "Duration 12V spike voltage before reverting to 6V";
inline constexpr const char* kDicFrequency = "Frequency (KHz) for conductivity sensing (DIC only)";
inline constexpr const char* kDicExcitation = "Excitation (%) for conductivity sensing (DIC only)";
inline constexpr const char* kDicOffset = "Offset (V) for conductivity sensing (DIC only)";
inline constexpr const char* kDicRxgain = "RXGAIN for conductivity sensing (DIC only)";
inline constexpr const char* kPumpCurrent = "Motor winding current limit (10ma-1600mA)";
inline constexpr const char* kStepPeriod = "Motor step period (2us-131071us)";
inline constexpr const char* kMicrostepping = "Motor micro-stepping level";
inline constexpr const char* kDirection = "Pump direction";
inline constexpr const char* kStopCondition = "How sensor should detect end of pump stroke";
inline constexpr const char* kHallInject = "Hall stop value (injecting 1-4095)";
inline constexpr const char* kHallWithdraw = "Hall stop value (withdrawing 1-4095)";
inline constexpr const char* kPumpTimeout = "Pump stop time or Hall stop timeout (s)";
inline constexpr const char* kHallPower = "A5V power supply to Hall Effect sensors";
inline constexpr const char* kPumpContinuously =
    "Automatically switch direction and re-start at end of each stroke";
inline constexpr const char* kSave = "Save defaults to sensor";
inline constexpr const char* kStartStop = "Start/Stop optics, valves and pump";
inline constexpr const char* kShowAsVolts = "Display analogue outputs here in volts (0-5V)";
}  // namespace optics_tips

// Used on the UI thread only, except the sink, which the poller calls on its thread.
class OpticsValvesPumpController {
  public:
    using PollSink = OpticsTestPoller::Sink;
    static constexpr std::chrono::milliseconds kPollPeriod{1000};

    // `sink` receives the poller's reports on the poller's thread; whoever owns the dialog
    // hands them back to test_report() on the UI thread.
    OpticsValvesPumpController(link::SensorLink& link, common::Prompter& prompter, PollSink sink,
                               std::chrono::milliseconds poll_period = kPollPeriod);
    ~OpticsValvesPumpController();

    OpticsValvesPumpController(const OpticsValvesPumpController&) = delete;
    OpticsValvesPumpController& operator=(const OpticsValvesPumpController&) = delete;

    // Opening: clears everything and loads. False (after saying so) when the dialog closes.
    bool open();
    // The records from the sensor; false unless the optics, chemistry and pump records came.
    bool load_defaults();
    // "Save".
    void save_defaults();
    // "Pump Stop Condition" changed in the controls.
    void stop_condition_changed();
    // The Start/Stop button.
    void start_stop();
    // "Start": false (after saying so) when a start command failed.
    bool start_test();
    // Stops the poller and sends every stop, in the order optics, pump, valves. When the
    // sensor did not confirm one, says which and stays running, so that Stop can try again
    // (false).
    bool stop_test();
    // The dialog closes (not after a failed opening): the stops as above; a failure is said
    // before the dialog goes.
    void close();
    // A poller report, on the UI thread. Reports of an earlier run are ignored.
    void test_report(const TestPollReport& report);

    // Called whenever the controls were refilled from the records and a message follows, so
    // that the message is shown over what the sensor kept.
    std::function<void()> records_shown;

    OpticsControls& controls() { return controls_; }
    const OpticsControls& controls() const { return controls_; }
    const ActuatorRecords& records() const { return records_; }
    bool pmt_present() const { return pmt_present_; }
    bool dic_present() const { return dic_present_; }
    bool running() const { return running_; }
    OpticsEnabling enabling() const;
    std::string start_stop_text() const { return running_ ? "Stop" : "Start"; }
    // "Ch 0" .. "Ch 7" and "Hall 0", "Hall 1"; empty until the first poll.
    std::array<std::string, kTestChannels> channel_texts() const;
    std::array<std::string, 2> hall_texts() const;

  private:
    void end_poller();

    link::SensorLink& link_;
    common::Prompter& prompter_;
    PollSink sink_;
    std::chrono::milliseconds poll_period_;
    OpticsControls controls_;
    ActuatorRecords records_;
    bool pmt_present_ = false;
    link::CommandResult read_result_ =
        link::kResultSuccess;  // the last load_defaults's first failure
    bool dic_present_ = false;
    bool running_ = false;
    std::uint64_t run_ = 0;
    std::unique_ptr<OpticsTestPoller> poller_;
    std::optional<TestValues> values_;
};

}  // namespace kelpira::config

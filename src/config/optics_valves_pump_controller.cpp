// The optics, valves and pump dialog: load, save, idle and running states, the live test.
#include "config/optics_valves_pump_controller.hpp"

#include "link/write_outcome.hpp"

#include <algorithm>
#include <functional>
#include <utility>

#include "common/bytes.hpp"
#include "link/actuator_commands.hpp"
#include "link/write_outcome.hpp"
#include "records/chemistry_transfer.hpp"

namespace kelpira::config {

namespace {

constexpr const char* kSaveCaption = "Save";
constexpr const char* kStopCaption = "Stop";

// A record the sensor would not give keeps only its bytes from 4 on, as the dialog has always
// done; the presence flag, not these bytes, decides whether it is ever written.
template <typename Record, typename Decode>
Record with_head_cleared(const Record& record, Decode decode) {
    auto bytes = records::encode(record);
    std::fill_n(bytes.begin(), 4, std::uint8_t{0});
    return decode(bytes);
}

link::RecordBytes<link::kOpticsTestSize> optics_test_payload(const ActuatorRecords& r) {
    link::RecordBytes<link::kOpticsTestSize> payload{};
    common::ByteWriter w(payload);
    w.bytes(records::encode(r.optics));
    w.u32(r.chemistry.sample_interval_ms);
    w.u8(r.chemistry.multiplexer);
    w.bytes(records::encode(r.pmt));
    return payload;
}

}  // namespace

OpticsValvesPumpController::OpticsValvesPumpController(link::SensorLink& link,
                                                       common::Prompter& prompter, PollSink sink,
                                                       std::chrono::milliseconds poll_period)
    : link_(link), prompter_(prompter), sink_(std::move(sink)), poll_period_(poll_period) {}

OpticsValvesPumpController::~OpticsValvesPumpController() {
    end_poller();
}

bool OpticsValvesPumpController::open() {
    end_poller();
    controls_ = OpticsControls{};
    records_ = ActuatorRecords{};
    pmt_present_ = false;
    dic_present_ = false;
    running_ = false;
    values_.reset();
    if (!load_defaults()) {
        prompter_.message("Configure Defaults", "Unable to get existing defaults from sensor");
        return false;
    }
    show_records(records_, controls_);
    return true;
}

bool OpticsValvesPumpController::load_defaults() {
    // A record that fails this reading is not written, even if an earlier one read it.
    pmt_present_ = false;
    dic_present_ = false;
    link::RecordBytes<records::OpticsDefaults::size> optics{};
    link::RecordBytes<records::PumpValveDefaults::size> pump{};
    read_result_ = link::get_optics_defaults(link_, optics);
    if (read_result_ == link::kResultSuccess) {
        records_.optics = records::decode_optics_defaults(optics);
        read_result_ = records::get_chemistry_config(link_, records_.chemistry);
    }
    if (read_result_ == link::kResultSuccess) {
        read_result_ = link::get_pump_valve_defaults(link_, pump);
    }
    const bool loaded = read_result_ == link::kResultSuccess;
    if (loaded) {
        records_.pump = records::decode_pump_valve_defaults(pump);
    }
    link::RecordBytes<records::PmtConfig::size> pmt{};
    if (link::get_pmt_config(link_, pmt) == link::kResultSuccess) {
        records_.pmt = records::decode_pmt_config(pmt);
        pmt_present_ = true;
    } else {
        records_.pmt = with_head_cleared(records_.pmt, records::decode_pmt_config);
    }
    if (records_.chemistry.chemistry == records::ChemistryType::dic) {
        link::RecordBytes<records::DicConductivityConfig::size> dic{};
        if (link::get_dic_config(link_, dic) == link::kResultSuccess) {
            records_.dic = records::decode_dic_conductivity_config(dic);
            dic_present_ = true;
        } else {
            records_.dic = with_head_cleared(records_.dic, records::decode_dic_conductivity_config);
        }
    }
    return loaded;
}

void OpticsValvesPumpController::save_defaults() {
    read_controls(controls_, records_);
    // In the order the sensor takes them; a failure leaves the later ones untried.
    const struct {
        const char* name;
        bool present;
        std::function<link::CommandResult()> write;
    } kRecords[] = {
        {"optics defaults", true,
         [this] { return link::set_optics_defaults(link_, records::encode(records_.optics)); }},
        {"PMT configuration", pmt_present_,
         [this] { return link::set_pmt_config(link_, records::encode(records_.pmt)); }},
        {"DIC configuration", dic_present_,
         [this] { return link::set_dic_config(link_, records::encode(records_.dic)); }},
        {"pump and valve defaults", true,
         [this] { return link::set_pump_valve_defaults(link_, records::encode(records_.pump)); }},
    };
    std::vector<link::RecordWrite> writes;
    bool going = true;
    for (const auto& r : kRecords) {
        if (r.present) {
            writes.push_back(going ? link::record_write(r.name, r.write())
                                   : link::RecordWrite{r.name});
            going = going && writes.back().state == link::WriteState::written;
        }
    }
    if (going) {
        const bool read_back = load_defaults();
        show_records(records_, controls_);
        if (records_shown) {
            records_shown();
        }
        for (auto& w : writes) {
            w = link::record_write(w.record, link::kResultSuccess,
                                   read_back ? link::kResultSuccess : read_result_);
        }
    }
    prompter_.message(kSaveCaption, link::all_written(writes)
                                        ? "Settings saved"
                                        : "Failed to save settings\n" + link::writes_text(writes));
}

void OpticsValvesPumpController::stop_condition_changed() {
    read_controls(controls_, records_);
    if (controls_.pump_stop_condition == records::kStopHallSensors) {
        records_.pump.hall_power = 1;
        show_records(records_, controls_);
    }
}

void OpticsValvesPumpController::start_stop() {
    if (running_) {
        stop_test();
    } else {
        start_test();
    }
}

bool OpticsValvesPumpController::start_test() {
    read_controls(controls_, records_);
    running_ = true;
    const auto& c = controls_;
    bool valves_started = false;
    bool pump_started = false;
    link::CommandResult result = link::kResultSuccess;
    if (c.test_valves) {
        result = link::start_valves_test(link_, valve_mask(c), records_.pump.valve_spike_ms);
        valves_started = result == link::kResultSuccess;
    }
    if (result == link::kResultSuccess && c.test_pump) {
        result = link::start_pump_test(link_, records::encode(records_.pump),
                                       c.pump_continuously ? 1 : 0);
        pump_started = result == link::kResultSuccess;
    }
    if (result == link::kResultSuccess && (c.test_optics || c.test_pump)) {
        result = link::start_optics_test(link_, optics_test_payload(records_));
    }
    if (result != link::kResultSuccess) {
        // What did start is not left running with nothing on screen to stop it.
        if (pump_started) {
            link::stop_pump_test(link_);
        }
        if (valves_started) {
            link::stop_valves_test(link_);
        }
        running_ = false;
        prompter_.message("Start", "Unable to start");
        return false;
    }
    end_poller();
    ++run_;
    // The poller reads "Test Pump" once: the box cannot change while the test runs.
    poller_ = std::make_unique<OpticsTestPoller>(link_, c.test_pump, run_, sink_, poll_period_);
    return true;
}

bool OpticsValvesPumpController::stop_test() {
    end_poller();
    const UnstoppedTests unstopped = send_test_stops(link_);
    if (unstopped.any()) {
        prompter_.message(kStopCaption, unstopped_text(unstopped));
        return false;
    }
    running_ = false;
    return true;
}

void OpticsValvesPumpController::close() {
    stop_test();
}

void OpticsValvesPumpController::test_report(const TestPollReport& report) {
    if (!running_ || report.run != run_) {
        return;  // queued before the run it belongs to was stopped
    }
    if (report.pump_finished) {
        end_poller();  // its last act was this report
        if (report.unstopped.any()) {
            // Still running as far as anyone knows: Stop sends every stop again.
            prompter_.message(kStopCaption, unstopped_text(report.unstopped));
            return;
        }
        running_ = false;
        return;
    }
    if (report.values) {
        values_ = report.values;
    }
}

void OpticsValvesPumpController::end_poller() {
    if (poller_) {
        poller_->stop();
        poller_.reset();
    }
}

OpticsEnabling OpticsValvesPumpController::enabling() const {
    OpticsEnabling e;
    if (running_) {
        e.start_stop = true;
        e.show_as_volts = true;
        return e;
    }
    const auto& c = controls_;
    e.basics = true;
    e.save = true;
    e.test_boxes = true;
    e.pmt_instrument = pmt_present_;
    e.pmt_control = pmt_present_ && c.pmt_instrument == records::kPmtH10492;
    e.dic = dic_present_;
    e.hall_limits = c.pump_stop_condition == records::kStopHallSensors;
    e.pump_timeout = c.pump_stop_condition == records::kStopHallSensors ||
                     c.pump_stop_condition == records::kStopTimeout;
    e.hall_power = c.pump_stop_condition != records::kStopHallSensors;
    e.valves = c.test_valves;
    e.pump_continuously = c.test_pump;
    e.start_stop = c.test_valves || c.test_optics || c.test_pump;
    return e;
}

std::array<std::string, kTestChannels> OpticsValvesPumpController::channel_texts() const {
    std::array<std::string, kTestChannels> texts;
    if (values_) {
        for (std::size_t i = 0; i < kTestChannels; ++i) {
            texts[i] = channel_text(values_->channel[i], controls_.show_as_volts);
        }
    }
    return texts;
}

std::array<std::string, 2> OpticsValvesPumpController::hall_texts() const {
    std::array<std::string, 2> texts;
    if (values_) {
        texts = {std::to_string(values_->hall[0]), std::to_string(values_->hall[1])};
    }
    return texts;
}

}  // namespace kelpira::config

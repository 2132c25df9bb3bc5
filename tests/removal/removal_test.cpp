// Every long operation interrupted at its first, a middle and its last exchange, by the sensor
// leaving the bus (`removed`) or falling silent while still present (`no-answer`): it ends
// within one link time-out of the fault, never reports a half-done operation as done, says
// how far it got, and the next connection works.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>

#include "config/optics_test_poller.hpp"
#include "config/real_time_clock_controller.hpp"
#include "graph/proc_graph_feed.hpp"
#include "link/command_catalogue.hpp"
#include "link/handler_hid.hpp"
#include "link/sensor_link.hpp"
#include "link/socket_hid.hpp"
#include "link/upgrade_block.hpp"
#include "maintenance/upgrade_controller.hpp"
#include "maintenance/upgrade_streamer.hpp"
#include "report/config_report.hpp"
#include "report/snapshot.hpp"
#include "statemachine/state_transfer.hpp"
#include "support/device_folder.hpp"
#include "support/recording_prompter.hpp"
#include "views/run_control.hpp"
#include "views/view_workers.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/sensor_host.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira {
namespace {

using namespace std::chrono_literals;
using virtual_sensor::FaultKind;
using virtual_sensor::VirtualSensor;
using virtual_sensor::VirtualSensorOptions;

enum class Step { first, middle, last };

struct Case {
    Step step;
    FaultKind fault;
};

std::string case_name(const ::testing::TestParamInfo<Case>& info) {
    static const char* const steps[] = {"First", "Middle", "Last"};
    return std::string(steps[static_cast<int>(info.param.step)]) +
           (info.param.fault == FaultKind::removed ? "Removed" : "NoAnswer");
}

const auto kCases = ::testing::Values(
    Case{Step::first, FaultKind::removed}, Case{Step::middle, FaultKind::removed},
    Case{Step::last, FaultKind::removed}, Case{Step::first, FaultKind::no_answer},
    Case{Step::middle, FaultKind::no_answer}, Case{Step::last, FaultKind::no_answer});

// What an operation told its user.
struct Told {
    bool done = false;
    std::string text;
};

// Counts the reports the link writes, whether the device is still there or not.
class CountingBackend : public link::HidBackend {
  public:
    explicit CountingBackend(link::InProcessHidBackend& inner) : inner_(inner) {}
    std::vector<link::HidDeviceInfo> enumerate() override { return inner_.enumerate(); }
    std::unique_ptr<link::HidDevice> open(const std::string& path) override {
        auto d = inner_.open(path);
        return d ? std::make_unique<Counted>(std::move(d), *this) : nullptr;
    }
    std::atomic<int> writes{0};
    // `hook` is called on the link's thread with the count of writes so far, before the write
    // goes out; nullptr for none.
    void on_write(std::function<void(int)> hook) {
        std::lock_guard lock(hook_mutex_);
        hook_ = std::move(hook);
    }

  private:
    struct Counted : link::HidDevice {
        Counted(std::unique_ptr<link::HidDevice> d, CountingBackend& b) : d_(std::move(d)), b_(b) {}
        bool write(const link::Report& r) override {
            const int n = ++b_.writes;
            {
                std::lock_guard lock(b_.hook_mutex_);
                if (b_.hook_) {
                    b_.hook_(n);
                }
            }
            return d_->write(r);
        }
        bool read(link::Report& r) override { return d_->read(r); }
        void cancel() override { d_->cancel(); }
        bool gone() const override { return d_->gone(); }
        void flush_input() override { d_->flush_input(); }
        std::optional<bool> declares_input_report_1() override {
            return d_->declares_input_report_1();
        }
        std::unique_ptr<link::HidDevice> d_;
        CountingBackend& b_;
    };
    link::InProcessHidBackend& inner_;
    std::mutex hook_mutex_;
    std::function<void(int)> hook_;
};

class Removal : public ::testing::TestWithParam<Case> {
  protected:
    static constexpr auto kPath = "/virtual/sensor0";
    static constexpr auto kTimeout = 100ms;
    // Exchanges an operation may still try once the sensor is gone: the one that met the
    // fault and three more (a fallback; the report and the import try one more section or
    // record, to tell a sensor that is gone from one lost answer).
    static constexpr int kTriesAfterFault = 4;

    using Operation = std::function<Told(link::SensorLink&, VirtualSensor&)>;

    // Runs `op` undisturbed to count its exchanges, then on a fresh sensor with the fault at
    // the chosen exchange, and checks the aftermath. Returns what the second run told and how
    // many exchanges it completed before the fault. An operation that `tells` its user says
    // so itself; a view's worker does not (the status bar and the Connect view do).
    Told interrupted(const Operation& op, const VirtualSensorOptions& options = {},
                     bool tells = true) {
        const int exchanges = run(op, options, std::nullopt).second;
        EXPECT_GT(exchanges, 1);
        const int at = GetParam().step == Step::first    ? 0
                       : GetParam().step == Step::middle ? exchanges / 2
                                                         : exchanges - 1;
        faulted_at = at;
        auto [told, tried] = run(op, options, at);
        if (tells) {
            EXPECT_FALSE(told.done) << "a half-done operation reported as done: " << told.text;
            EXPECT_FALSE(told.text.empty()) << "the user is not told";
        }
        EXPECT_LE(tried - at, kTriesAfterFault) << "goes on talking to a sensor that is gone";

        // The next connection works.
        link.Close();
        if (GetParam().fault == FaultKind::removed) {
            virtual_sensor::attach_in_process(inner, kPath, *sensor);
        }
        sensor->clear_faults();
        EXPECT_EQ(link.Open(kPath, kTimeout), 0);
        link::SensorCommand c;
        c.set_code(link::code_value(link::CommandCode::GET_DEVICE_INFO));
        EXPECT_EQ(link.Transact(c), link::kResultSuccess);
        return told;
    }

    int faulted_at = 0;

  private:
    std::pair<Told, int> run(const Operation& op, const VirtualSensorOptions& options,
                             std::optional<int> fault_at) {
        link.Close();
        sensor = std::make_unique<VirtualSensor>(options);
        virtual_sensor::attach_in_process(inner, kPath, *sensor);
        EXPECT_EQ(link.Open(kPath, kTimeout), 0);
        if (fault_at) {
            const bool removed = GetParam().fault == FaultKind::removed;
            sensor->inject_next({GetParam().fault}, removed ? 1 : 100000,
                                static_cast<unsigned>(*fault_at));
        }
        const int before = counting.writes;
        fault_now = fault_at;
        auto running = std::async(std::launch::async, [&] { return op(link, *sensor); });
        if (running.wait_for(60s) != std::future_status::ready) {
            ADD_FAILURE() << "the operation hangs";
            std::abort();  // its thread still uses this fixture
        }
        Told told = running.get();
        return {told, counting.writes - before};
    }

  protected:
    // The exchange of this run that meets the fault (counted from 0), none when undisturbed.
    std::optional<int> fault_now;
    link::InProcessHidBackend inner;
    std::unique_ptr<VirtualSensor> sensor;  // outlives the link that talks to it
    CountingBackend counting{inner};
    link::SensorLink link{counting};
};

// sm get and sm put, and the editor's Refresh from / Save to Sensor.
class StateMachineTransfer : public Removal {};

TEST_P(StateMachineTransfer, Get) {
    const Told told = interrupted([](link::SensorLink& l, VirtualSensor&) {
        statemachine::StateMachineImage image;
        const auto out = statemachine::load_from_sensor(l, image);
        return Told{out.ok, out.detail};
    });
    EXPECT_NE(told.text.find("failed (status=14)"), std::string::npos) << told.text;
}

TEST_P(StateMachineTransfer, Put) {
    statemachine::StateMachineImage image;
    {
        link::InProcessHidBackend b;
        link::SensorLink l{b};
        VirtualSensor s;
        virtual_sensor::attach_in_process(b, kPath, s);
        ASSERT_EQ(l.Open(kPath, kTimeout), 0);
        ASSERT_TRUE(statemachine::load_from_sensor(l, image).ok);
    }
    std::size_t states_done = 0;
    const Told told = interrupted([&](link::SensorLink& l, VirtualSensor&) {
        const auto out = statemachine::save_to_sensor(l, image);
        states_done = out.states_done;
        return Told{out.ok, out.detail};
    });
    EXPECT_NE(told.text.find("SET_STATE_RECORD"), std::string::npos) << told.text;
    EXPECT_EQ(states_done, static_cast<std::size_t>(faulted_at)) << "what was written";
}

INSTANTIATE_TEST_SUITE_P(Faults, StateMachineTransfer, kCases, case_name);

// The firmware and the bootloader upgrade.
class Upgrade : public Removal {};

TEST_P(Upgrade, FirmwareAndBootloader) {
    for (const std::uint32_t address : {link::kFirmwareLoadAddress, link::kBootloaderLoadAddress}) {
        VirtualSensorOptions options;
        options.running = address == link::kFirmwareLoadAddress
                              ? virtual_sensor::RunningCode::bootloader
                              : virtual_sensor::RunningCode::firmware;
        const std::string bytes(64 * 5, '\x5A');
        maintenance::UpgradeOutcome out;
        const Told told = interrupted(
            [&](link::SensorLink& l, VirtualSensor&) {
                std::istringstream image(bytes);
                out = maintenance::stream_image(
                    l, image, address, [] { return false; }, [](std::uint32_t) {});
                return Told{out.status == maintenance::kUpgradeComplete,
                            maintenance::upgrade_failed_text(out.bytes_written, out.status)};
            },
            options);
        EXPECT_EQ(out.bytes_written, std::min<std::uint32_t>(64u * faulted_at, 64u * 5))
            << told.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, Upgrade, kCases, case_name);

// Start, then Stop, as the operation views and kelpira-ctl start and stop do.
class StartStop : public Removal {};

TEST_P(StartStop, StartThenStop) {
    testing::RecordingPrompter prompter;
    const Told told = interrupted([&](link::SensorLink& l, VirtualSensor&) {
        const bool started = views::start_sensor(l, prompter, 0);
        const bool stopped = started && views::stop_sensor(l, prompter);
        std::string text;
        for (const auto& t : prompter.texts()) {
            text += t + "\n";
        }
        return Told{stopped, text};
    });
    EXPECT_EQ(prompter.prompts.size(), 1u) << told.text;
}

INSTANTIATE_TEST_SUITE_P(Faults, StartStop, kCases, case_name);

// The configuration report: every section still listed, each read that failed with its error
// line, and no read tried once the sensor has stopped answering but the one that found it.
class Report : public Removal {};

TEST_P(Report, EverySectionWithItsErrorLine) {
    std::size_t lines = 0;
    {
        link::InProcessHidBackend b;
        link::SensorLink l{b};
        VirtualSensor s;
        virtual_sensor::attach_in_process(b, kPath, s);
        ASSERT_EQ(l.Open(kPath, kTimeout), 0);
        lines = report::build_config_report(l, 0).lines.size();
    }
    std::vector<std::string> report_lines;
    const Told told = interrupted([&](link::SensorLink& l, VirtualSensor&) {
        const auto r = report::build_config_report(l, 0);
        report_lines = r.lines;
        std::string text;
        for (const auto& line : r.lines) {
            if (line.starts_with(report::kReportErrorLead)) {
                text += line + "\n";
            }
        }
        return Told{r.failed_reads == 0, text};
    });
    EXPECT_EQ(report_lines.back(), "unable to read SOFTWARE configuration from sensor (status=14)");
    EXPECT_LE(report_lines.size(), lines);
}

INSTANTIATE_TEST_SUITE_P(Faults, Report, kCases, case_name);

// config import and Restore Snapshot: a record that met the fault and every one after it
// says it failed; the ones before keep their outcome.
class Import : public Removal {};

TEST_P(Import, EveryRecordSaysWhatBecameOfIt) {
    report::Json snapshot;
    {
        link::InProcessHidBackend b;
        link::SensorLink l{b};
        VirtualSensor s;
        virtual_sensor::attach_in_process(b, kPath, s);
        ASSERT_EQ(l.Open(kPath, kTimeout), 0);
        snapshot = *report::read_snapshot(l).snapshot;
    }
    snapshot["platform_defaults"]["dive_number"] = 12;
    snapshot["schedule"]["interval_count"] = 7;
    std::vector<std::string> lines;
    const Told told = interrupted([&](link::SensorLink& l, VirtualSensor&) {
        const auto result = report::import_snapshot(l, snapshot, {});
        lines = report::outcome_lines(result);
        std::string text = result.refusal.value_or("");
        for (const auto& line : lines) {
            text += line + "\n";
        }
        return Told{result.ok(), text};
    });
    if (lines.empty()) {
        // Every record is read before the first write: a sensor lost while they are read
        // refuses the snapshot, naming the read, and nothing is written.
        EXPECT_TRUE(told.text.starts_with("unable to read ")) << told.text;
        EXPECT_TRUE(told.text.ends_with(" from sensor (status=14)")) << told.text;
        return;
    }
    // The identification, last, is never written without being asked for.
    EXPECT_EQ(lines.back(), "identification: not written (the sensor keeps its own)");
    const auto lost = std::find_if(lines.begin(), lines.end() - 1,
                                   [](const std::string& l) { return l.ends_with("(status=14)"); });
    ASSERT_NE(lost, lines.end() - 1) << told.text;
    for (auto it = lost; it != lines.end() - 1; ++it) {
        EXPECT_TRUE(it->ends_with("(status=14)")) << *it;
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, Import, kCases, case_name);

// The rounds of the threads that poll while a dialog is open, four of them or until one
// finds no sensor, as the dialog shows each: the clock display and the optics live test.
class Pollers : public Removal {};

TEST_P(Pollers, ClockDisplay) {
    const Told told = interrupted([](link::SensorLink& l, VirtualSensor&) {
        std::string text;
        for (int round = 0; round < 4 && !text.ends_with("ERROR\n"); ++round) {
            text += config::read_clock_text(l) + "\n";
        }
        return Told{!text.ends_with("ERROR\n"), text};
    });
    EXPECT_EQ(std::count(told.text.begin(), told.text.end(), '\n'), faulted_at + 1);
}

TEST_P(Pollers, OpticsLiveTest) {
    const Told told = interrupted([](link::SensorLink& l, VirtualSensor&) {
        std::string text;
        bool lost = false;
        for (int round = 0; round < 4 && !lost; ++round) {
            lost = !config::poll_test(l, false).values;
            text += lost ? "no values\n" : "values\n";
        }
        return Told{!lost, text};
    });
    EXPECT_EQ(std::count(told.text.begin(), told.text.end(), '\n'), faulted_at + 1);
}

INSTANTIATE_TEST_SUITE_P(Faults, Pollers, kCases, case_name);

// The workers of the processed output (text and graph) and diagnostics views, over their first
// burst: OPEN, a read per stored record and the read that finds no more. Each shows exactly the
// records read before the fault (nothing from a lost answer), reads nothing after a failed
// OPEN and tries again only after its period; the next connection's view shows every record.
class ViewWorker : public Removal {
  protected:
    static constexpr int kRecords = 4;
    // Runs a worker's body on this thread and counts the rows (or points) it shows.
    using Reader = std::function<std::size_t(common::WorkerControl&, link::SensorLink&)>;

    void read_through_fault(const Reader& reader) {
        VirtualSensorOptions options;
        options.stored_results = kRecords;
        std::size_t shown = 0;
        interrupted(
            [&](link::SensorLink& l, VirtualSensor&) {
                shown = read_first_burst(reader, l);
                return Told{};
            },
            options, false);
        EXPECT_EQ(shown, static_cast<std::size_t>(std::clamp(faulted_at - 1, 0, kRecords)));
        fault_now.reset();
        EXPECT_EQ(read_first_burst(reader, link), static_cast<std::size_t>(kRecords));
    }

    static std::size_t text_rows(void (*body)(common::WorkerControl&, link::SensorLink&,
                                              const std::atomic<bool>&, const views::RowSink&),
                                 common::WorkerControl& control, link::SensorLink& l) {
        std::size_t rows = 0;
        const std::atomic<bool> paused{false};
        body(control, l, paused, {[] {}, [&rows](views::ViewRow, bool) { ++rows; }, {}});
        return rows;
    }

  private:
    // What the reader shows until its next burst begins: the one after the burst that met the
    // fault, or after the undisturbed burst's last read.
    std::size_t read_first_burst(const Reader& reader, link::SensorLink& l) {
        sensor->edit_state(
            [](virtual_sensor::SensorState& s) { s.stores.diagnostics.entries.resize(kRecords); });
        common::WorkerControl control;
        const int stop_at = counting.writes + (fault_now ? *fault_now + 2 : kRecords + 2);
        counting.on_write([&control, stop_at](int n) {
            if (n >= stop_at) {
                control.request_stop();
            }
        });
        const std::size_t shown = reader(control, l);
        counting.on_write(nullptr);
        return shown;
    }
};

TEST_P(ViewWorker, ProcessedOutputText) {
    read_through_fault([](common::WorkerControl& c, link::SensorLink& l) {
        return text_rows(
            [](common::WorkerControl& control, link::SensorLink& sensor_link,
               const std::atomic<bool>& paused, const views::RowSink& sink) {
                views::run_output_reader(control, sensor_link, paused, sink);
            },
            c, l);
    });
}

TEST_P(ViewWorker, ProcessedOutputGraph) {
    read_through_fault([](common::WorkerControl& c, link::SensorLink& l) {
        std::size_t points = 0;
        graph::run_proc_graph_feed(
            l, c,
            {[&points](std::vector<records::OutputRecord> burst) { points += burst.size(); },
             [] {}});
        return points;
    });
}

TEST_P(ViewWorker, Diagnostics) {
    read_through_fault([](common::WorkerControl& c, link::SensorLink& l) {
        return text_rows(views::run_diagnostics_reader, c, l);
    });
}

INSTANTIATE_TEST_SUITE_P(Faults, ViewWorker, kCases, case_name);

// On the socket backend the programs use: a sensor whose socket closes at the third read of a
// view's burst ends that view's worker at once, not after the link's time-out, nor does it
// wait for its next period to try again.
TEST(SocketRemoval, EachViewsWorkerEndsAtOnce) {
    using link::CommandCode;
    struct Reader {
        const char* name;
        CommandCode fails;
        std::function<void(common::WorkerControl&, link::SensorLink&)> body;
    };
    static const std::atomic<bool> paused{false};
    const views::RowSink rows{[] {}, [](views::ViewRow, bool) {}, {}};
    const Reader readers[] = {
        {"processed output text", CommandCode::READ_OUTPUT_RECORD,
         [&](common::WorkerControl& c, link::SensorLink& l) {
             views::run_output_reader(c, l, paused, rows);
         }},
        {"processed output graph", CommandCode::READ_OUTPUT_RECORD,
         [](common::WorkerControl& c, link::SensorLink& l) {
             graph::run_proc_graph_feed(l, c, {[](std::vector<records::OutputRecord>) {}, [] {}});
         }},
        {"diagnostics", CommandCode::READ_DIAGNOSTICS,
         [&](common::WorkerControl& c, link::SensorLink& l) {
             views::run_diagnostics_reader(c, l, paused, rows);
         }},
    };
    for (const auto& reader : readers) {
        SCOPED_TRACE(reader.name);
        VirtualSensorOptions options;
        options.stored_results = 4;
        VirtualSensor sensor(options);  // outlives the folder that serves it
        sensor.edit_state(
            [](virtual_sensor::SensorState& s) { s.stores.diagnostics.entries.resize(4); });
        testing::ServedFolder served;
        std::string error;
        ASSERT_TRUE(virtual_sensor::serve_sensor(served.server, sensor, "s", 0ms, error)) << error;
        link::SocketHidBackend backend(served.folder);
        link::SensorLink link(backend);
        ASSERT_EQ(backend.enumerate().size(), 1u);
        ASSERT_EQ(link.Open(backend.enumerate()[0].path, 3000ms), 0);
        sensor.inject(link::code_value(reader.fails), {FaultKind::removed}, 1, 2);
        common::WorkerControl control;
        const auto start = std::chrono::steady_clock::now();
        auto done = std::async(std::launch::async, [&] { reader.body(control, link); });
        const bool ended = done.wait_for(5s) == std::future_status::ready;
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        control.request_stop();
        done.wait();
        EXPECT_TRUE(ended) << "the worker goes on after the sensor was removed";
        EXPECT_LT(took, link.timeout() / 2) << "waited for the link's time-out";
        std::printf("%s: ended %lld ms after it started\n", reader.name,
                    static_cast<long long>(took.count()));
    }
}

}  // namespace
}  // namespace kelpira

// The operation views' lists: cell texts and titles, the raw output replay, the record
// readers against an emulated sensor, the caps, save, clear, the restart log and task table.
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <sstream>

#include "link/command_catalogue.hpp"
#include "support/temp_folder.hpp"
#include "views/row_list.hpp"
#include "views/store_clear.hpp"
#include "views/task_table.hpp"
#include "views/view_cells.hpp"
#include "views/view_sensor.hpp"
#include "views/view_workers.hpp"

namespace kelpira::views {
namespace {

using link::CommandCode;

// What a worker sent, in order; stops the worker once `stop_after` rows arrived.
struct RecordingSink {
    common::WorkerControl& control;
    std::size_t stop_after;
    std::vector<std::string> events;  // "clear" or "row <cell 0> <scroll>"
    std::vector<ViewRow> rows;

    RowSink sink() {
        return {[this] { events.push_back("clear"); },
                [this](ViewRow row, bool scroll) {
                    events.push_back("row " + row.cells[0] + (scroll ? " scroll" : ""));
                    rows.push_back(std::move(row));
                    if (rows.size() >= stop_after) {
                        control.request_stop();
                    }
                },
                {}};
    }
};

records::LiveSample sample(std::uint32_t counter) {
    records::LiveSample s;
    s.counter = counter;
    return s;
}

TEST(RawOutputCells, SampleTexts) {
    records::LiveSample s = sample(42);
    s.state = 7;
    s.channel = {65535, 0, 32768, 1, 0, 0, 0, 0};
    s.temperature_mc = 21049;
    s.voltage_mv = 12345;
    s.sensor_time = 1796724000;
    auto cells = raw_output_cells(s);
    ASSERT_EQ(cells.size(), raw_output_columns().size());
    EXPECT_EQ(cells[0], "42");
    EXPECT_EQ(cells[1], "7");
    EXPECT_EQ(cells[2], "4.99992");
    EXPECT_EQ(cells[4], "2.50000");
    EXPECT_EQ(cells[5], "0.00008");
    EXPECT_EQ(cells[10], "21.0");
    EXPECT_EQ(cells[11], "12.3");
    EXPECT_EQ(cells[14], "08/12/2026 10:00:00");
    for (std::size_t c = 15; c < 20; ++c) {
        EXPECT_EQ(cells[c], "n/a");
    }
    s.platform_valid = 1;
    s.platform_depth = 12.5f;
    s.platform_time = 4000000000U;
    cells = raw_output_cells(s);
    EXPECT_EQ(cells[18], "12.500");
    EXPECT_EQ(cells[19], "4000000000");
    EXPECT_EQ(raw_output_columns()[10].title, "Temp (°C)");
}

TEST(ProcessedOutputCells, TitlesFollowTheChemistry) {
    auto columns = processed_output_columns();
    title_processed_columns(columns, records::ChemistryType::ta);
    const auto ta = column_titles(columns);
    EXPECT_EQ(ta[3], "TA (umol/kg)");
    EXPECT_EQ(ta[9], "Absorbance LED1");
    EXPECT_EQ(ta[10], "Absorbance LED2");
    EXPECT_EQ(ta[11], "Temperature (C)");
    EXPECT_EQ(columns[9].width, 15);

    title_processed_columns(columns, records::ChemistryType::generic);
    auto generic = column_titles(columns);
    EXPECT_EQ(generic[3], "Generic Value");
    generic[3] = ta[3];
    EXPECT_EQ(generic, ta);  // only column 3 changed

    title_processed_columns(columns, records::ChemistryType::dic);
    EXPECT_EQ(columns[0], (ViewColumn{"Meas State", 10}));
    title_processed_columns(columns, static_cast<records::ChemistryType>(42));
    EXPECT_EQ(columns[3].title, "Unknown Value");
}

TEST(ProcessedOutputCells, RecordTexts) {
    records::OutputRecord r;
    r.dive_number = 12;
    r.value = 17.25;
    r.validity = 0;
    r.platform_direction = 5;
    r.p1 = -1.5f;
    auto cells = processed_output_cells(r);
    EXPECT_EQ(cells[0], "12");
    EXPECT_EQ(cells[1], "01/01/1970 00:00:00");
    EXPECT_EQ(cells[3], "17.250");
    EXPECT_EQ(cells[4], "unknown");
    EXPECT_EQ(cells[6], "unknown");
    EXPECT_EQ(cells[9], "-1.500");
    r.validity = 2;
    r.platform_direction = 3;
    cells = processed_output_cells(r);
    EXPECT_EQ(cells[4], "bad");
    EXPECT_EQ(cells[6], "climbing");
}

TEST(DiagnosticsCells, TextsAndColours) {
    records::DiagnosticsEntry e;
    e.counter = 42;
    e.task_id = 7;
    e.severity = 1;
    e.function = "pump_run";
    e.line = -3;
    e.message = "Restarted after reset";
    auto row = diagnostics_row(e);
    EXPECT_EQ(row.cells, (std::vector<std::string>{"00000042", "07", "E", "pump_run", "-3",
                                                   "Restarted after reset"}));
    EXPECT_EQ(row.colour, kBlue);
    e.message = "valve stuck";
    EXPECT_EQ(diagnostics_row(e).colour, kRed);
    e.severity = 3;
    row = diagnostics_row(e);
    EXPECT_EQ(row.cells[2], "?");
    EXPECT_EQ(row.colour, kBlack);
    EXPECT_EQ(severity_text(2), "I");
    EXPECT_EQ(severity_text(4), "D");
}

TEST(RestartLogCells, Texts) {
    records::RestartLogEntry e;
    e.counter = 9;
    e.reset_cause = 2;
    e.supply_decivolts = 123;
    e.rtc_time = 1796724000;
    EXPECT_EQ(restart_log_cells(e), (std::vector<std::string>{"9", "08/12/2026 10:00:00",
                                                              "2 (see datasheet)", "12.3V", "no"}));
    EXPECT_EQ(reset_cause_text(0), "0 (RTC time changed)");
    EXPECT_EQ(reset_cause_text(1), "1 (Power On Reset)");
    EXPECT_EQ(reset_cause_text(4), "4 (External Reset)");
    EXPECT_EQ(reset_cause_text(8), "8 (WDT reset)");
    e.usb_connected = 3;
    EXPECT_EQ(restart_log_cells(e)[4], "yes");
}

// The raw output worker run on the test thread over a history the test fills.
struct RawReplay {
    std::shared_ptr<LiveHistory> history = std::make_shared<LiveHistory>();
    common::WorkerControl control;
    std::atomic<bool> paused{false};

    void fill(std::uint32_t n) {
        for (std::uint32_t i = 1; i <= n; ++i) {
            history->append(sample(i));
        }
    }
    // Runs until `rows` rows arrived, or, with none expected, for one pass.
    std::vector<std::string> run(std::size_t rows,
                                 const std::function<void(RecordingSink&)>& on_row = {}) {
        RecordingSink rec{control, rows, {}, {}};
        RowSink sink = rec.sink();
        if (on_row) {
            sink.append = [&rec, &on_row, inner = sink.append](ViewRow row, bool scroll) {
                inner(std::move(row), scroll);
                on_row(rec);
            };
        }
        int passes = 0;
        run_raw_text_worker(
            control,
            [&] {
                if (rows == 0 && ++passes > 1) {
                    control.request_stop();
                }
                return std::shared_ptr<const LiveHistory>(history);
            },
            paused, sink);
        return rec.events;
    }
};

TEST(RawOutputReplay, BacklogSizes) {
    EXPECT_EQ(raw_backlog(true, 2500), 999U);
    EXPECT_EQ(raw_backlog(true, 1000), 999U);
    EXPECT_EQ(raw_backlog(true, 1), 0U);
    EXPECT_EQ(raw_backlog(true, 0), 0U);
    EXPECT_EQ(raw_backlog(false, 50), 0U);
}

TEST(RawOutputReplay, ReplaysTheNewestThousandThenFollowsWithScrolling) {
    RawReplay replay;
    replay.fill(2500);
    const auto events = replay.run(1001, [&](RecordingSink& rec) {
        if (rec.rows.size() == 1000) {
            replay.history->append(sample(2501));
            replay.control.wake();
        }
    });
    ASSERT_EQ(events.size(), 1002U);
    EXPECT_EQ(events[0], "clear");
    EXPECT_EQ(events[1], "row 1501");
    EXPECT_EQ(events[999], "row 2499");
    EXPECT_EQ(events[1000], "row 2500 scroll");
    EXPECT_EQ(events[1001], "row 2501 scroll");
}

TEST(RawOutputReplay, OneSampleAndNone) {
    RawReplay one;
    one.fill(1);
    EXPECT_EQ(one.run(1), (std::vector<std::string>{"clear", "row 1 scroll"}));
    RawReplay none;
    EXPECT_EQ(none.run(0), (std::vector<std::string>{"clear"}));
}

TEST(RawOutputReplay, PausedSamplesAreNeverShownLater) {
    RawReplay replay;
    replay.fill(3);
    replay.paused = true;
    EXPECT_EQ(replay.run(0), (std::vector<std::string>{"clear"}));
}

TEST(RowLists, KeepTheNewestUpToTheirCap) {
    RowList list(kLiveRowCap);
    for (int i = 0; i < 1500; ++i) {
        list.append({{std::to_string(i)}, kBlack, std::nullopt});
    }
    ASSERT_EQ(list.size(), 1001U);
    EXPECT_EQ(list[0].cells[0], "499");
    EXPECT_EQ(list[1000].cells[0], "1499");
    EXPECT_EQ(list.dropped(), 499U);
    list.clear();
    EXPECT_EQ(list.dropped(), 0U);
    RowList diagnostics(kDiagnosticsRowCap);
    for (int i = 0; i < 250; ++i) {
        diagnostics.append({{std::to_string(i)}, kBlack, std::nullopt});
    }
    EXPECT_EQ(diagnostics.size(), 201U);
    EXPECT_EQ(diagnostics[0].cells[0], "49");
}

// A view switch builds the new view before the old one is deleted, and the old view's worker
// may still be inside a transaction when its stop gives up waiting: the new view's worker must
// not begin (and open the output stream anew) until it has ended. The same holds when the old
// view was stopped first.
TEST(ViewWorkers, ANewViewsWorkerBeginsOnlyOnceTheOldOneHasEnded) {
    for (const bool stopped_first : {false, true}) {
        SCOPED_TRACE(stopped_first ? "stopped first" : "replaced");
        std::mutex m;
        std::condition_variable cv;
        std::vector<std::string> events;
        bool new_began = false, released = false;
        ViewWorkers workers;
        const auto old_ticket = workers.start([&](common::WorkerControl& control) {
            while (!control.wait(std::chrono::seconds(10))) {
            }
            // Still reading: it ends when the test lets it, or as soon as its successor begins.
            std::unique_lock lock(m);
            cv.wait_for(lock, std::chrono::seconds(10), [&] { return new_began || released; });
            events.push_back("old ended");
        });
        if (stopped_first) {
            workers.stop(old_ticket, std::chrono::milliseconds(0));
        }
        workers.start([&](common::WorkerControl&) {
            std::lock_guard lock(m);
            new_began = true;
            events.push_back("new began");
            cv.notify_all();
        });
        std::unique_lock lock(m);
        released = true;
        cv.notify_all();
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(10), [&] { return new_began; }));
        EXPECT_EQ(events, (std::vector<std::string>{"old ended", "new began"}));
    }
}

class ViewListsTest : public testing::ViewSensorTest {
  protected:
    common::WorkerControl control;
    std::atomic<bool> paused{false};
    testing::TempFolder folder;
};

TEST_F(ViewListsTest, TheOutputReaderOpensThenDrainsTheStore) {
    edit([](virtual_sensor::SensorState& s) {
        for (std::uint16_t dive = 1; dive <= 3; ++dive) {
            records::OutputRecord r;
            r.dive_number = dive;
            r.validity = 1;
            s.stores.outputs.entries.push_back(r);
        }
    });
    RecordingSink rec{control, 3, {}, {}};
    run_output_reader(control, link, paused, rec.sink());
    EXPECT_EQ(rec.events,
              (std::vector<std::string>{"row 1 scroll", "row 2 scroll", "row 3 scroll"}));
    EXPECT_EQ(rec.rows[0].cells[4], "good");
    EXPECT_EQ(sent(CommandCode::OPEN_OUTPUT_STREAM),
              (std::vector<std::vector<std::uint8_t>>{{2, 255, 255}}));
    EXPECT_EQ(sent(CommandCode::READ_OUTPUT_RECORD).front(), (std::vector<std::uint8_t>{2}));
}

TEST_F(ViewListsTest, AFailedOpenEndsTheReaderAtOnce) {
    lose_answers(CommandCode::OPEN_DIAGNOSTICS);
    RecordingSink rec{control, 1, {}, {}};
    run_diagnostics_reader(control, link, paused, rec.sink());
    EXPECT_TRUE(rec.events.empty());
    EXPECT_TRUE(sent(CommandCode::READ_DIAGNOSTICS).empty());
}

TEST_F(ViewListsTest, TheDiagnosticsReaderShowsTheLogWithColours) {
    edit([](virtual_sensor::SensorState& s) {
        records::DiagnosticsEntry e;
        e.counter = 2;
        e.severity = 1;
        e.message = "pump stalled, retrying";
        s.stores.diagnostics.entries.push_back(e);
    });
    RecordingSink rec{control, 2, {}, {}};
    run_diagnostics_reader(control, link, paused, rec.sink());
    ASSERT_EQ(rec.rows.size(), 2U);
    EXPECT_EQ(rec.rows[0].colour, kBlue);  // the power-up line
    EXPECT_EQ(rec.rows[1].colour, kRed);
    EXPECT_EQ(sent(CommandCode::OPEN_DIAGNOSTICS),
              (std::vector<std::vector<std::uint8_t>>{{0, 255, 255}}));
}

TEST_F(ViewListsTest, SavesWriteTitlesAndQuoteOnlyWhatNeedsIt) {
    RowList rows(kDiagnosticsRowCap);
    rows.append({{"00000001", "msg, with comma", "say \"hi\""}, kBlack, std::nullopt});
    rows.append({{"00000002", "plain", ""}, kBlack, std::nullopt});
    std::string last;
    const std::string path = folder.path("d.log");
    prompter.files.push_back(path);
    save_rows(prompter, kDiagnosticsSave, last, {"Counter", "Message", "Note"}, rows);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(),
              "Counter,Message,Note\n00000001,\"msg, with comma\",\"say \"\"hi\"\"\"\n"
              "00000002,plain,\n");
    EXPECT_EQ(last, path);
    EXPECT_EQ(prompter.file_requests[0].title, "Diagnostics Log File");
    EXPECT_EQ(prompter.file_requests[0].default_extension, "log");
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Diagnostics saved to " + path}));

    // An empty list: the header alone and no message; the last path is offered again.
    prompter.prompts.clear();
    prompter.files.push_back(folder.path("p.csv"));
    auto columns = processed_output_columns();
    title_processed_columns(columns, records::ChemistryType::ta);
    save_rows(prompter, kProcessedOutputSave, last, column_titles(columns), RowList(kLiveRowCap));
    EXPECT_EQ(prompter.file_requests[1].initial_name, path);
    EXPECT_TRUE(prompter.texts().empty());
    std::ifstream p(folder.path("p.csv"));
    std::string header;
    std::getline(p, header);
    EXPECT_EQ(header.substr(0, 60), "Dive Number,Sensor Timestamp,Platform Timestamp,TA (umol/kg)");

    // A capped list says how many older records it no longer holds.
    RowList capped(kLiveRowCap);
    for (int i = 0; i < 1500; ++i) {
        capped.append({{std::to_string(i)}, kBlack, std::nullopt});
    }
    prompter.files.push_back(folder.path("capped.csv"));
    save_rows(prompter, kProcessedOutputSave, last, {"A"}, capped);
    EXPECT_EQ(prompter.prompts.back().text,
              "Processed Output saved to " + folder.path("capped.csv") +
                  "\n499 older records were not saved: the list keeps the newest 1001.");

    prompter.files.push_back(folder.path("no/such/folder/x.csv"));
    save_rows(prompter, kProcessedOutputSave, last, {"A"}, rows);
    EXPECT_EQ(prompter.prompts.back().caption, "Save Processed Output");
    EXPECT_EQ(prompter.prompts.back().text,
              "Unable to open " + folder.path("no/such/folder/x.csv") + " for write");
}

TEST_F(ViewListsTest, ClearAskedFirstAndAroundTheWorker) {
    std::vector<std::string> steps;
    const ClearSteps record{[&] { steps.push_back("stop"); }, [&] { steps.push_back("empty"); },
                            [&] { steps.push_back("start"); }};
    clear_sensor_store(link, prompter, SensorStore::ProcessedOutput, 0, record);
    EXPECT_TRUE(steps.empty());
    EXPECT_TRUE(sensor->log().empty());
    const std::string question =
        "This will permanently wipe the processed output data from the sensor. Are you sure you "
        "want to do this?";
    EXPECT_EQ(prompter.prompts[0].text, question);
    // Records the capped list dropped are gone for good once the sensor is cleared.
    clear_sensor_store(link, prompter, SensorStore::ProcessedOutput, 499, record);
    EXPECT_EQ(
        prompter.prompts[1].text,
        question + "\n\n499 older records are no longer in the list and cannot be saved from it.");

    prompter.answers.push_back(common::Answer::Yes);
    clear_sensor_store(link, prompter, SensorStore::Diagnostics, 0, record);
    EXPECT_EQ(steps, (std::vector<std::string>{"stop", "empty", "start"}));
    EXPECT_EQ(sent(CommandCode::CLEAR_DIAGNOSTICS).size(), 1U);

    steps.clear();
    lose_answers(CommandCode::CLEAR_OUTPUTS);
    prompter.answers.push_back(common::Answer::Yes);
    clear_sensor_store(link, prompter, SensorStore::ProcessedOutput, 0, record);
    EXPECT_EQ(steps, (std::vector<std::string>{"stop", "start"}));
    EXPECT_EQ(prompter.prompts.back().text, "Unable to clear outputs");
}

TEST_F(ViewListsTest, TheRestartLogIsReadUntilAReadFails) {
    edit([](virtual_sensor::SensorState& s) {
        records::RestartLogEntry older;
        older.counter = 0;
        older.reset_cause = records::kResetWatchdog;
        s.stores.restarts.push_back(older);
    });
    const auto entries = read_restart_log(link);
    ASSERT_EQ(entries.size(), 2U);
    EXPECT_EQ(entries[0].reset_cause, records::kResetPowerOn);
    EXPECT_EQ(entries[1].reset_cause, records::kResetWatchdog);
    EXPECT_EQ(sent(CommandCode::GET_RESTART_LOG_ENTRY),
              (std::vector<std::vector<std::uint8_t>>{{1}, {0}, {0}}));
}

TEST_F(ViewListsTest, TaskTableAllBoxesAndSavedFlags) {
    TaskTable table;
    ASSERT_TRUE(table.open(link, prompter));
    EXPECT_EQ(table.texts(0).name, "Idle");
    EXPECT_EQ(table.texts(0).stack_start, "20001000");
    EXPECT_EQ(table.texts(0).stack_usage, "129/1024");
    EXPECT_EQ(table.texts(0).state, "Active");
    EXPECT_TRUE(table.all(0));
    EXPECT_FALSE(table.all(2));

    table.set_all(2, true);
    EXPECT_TRUE(table.all(2));
    table.set_filter(5, 2, false);
    EXPECT_FALSE(table.all(2));
    EXPECT_TRUE(table.filter(4, 2));
    table.save(link, prompter);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Settings saved"}));
    const auto flags = sent(CommandCode::SET_TASK_FLAGS);
    ASSERT_EQ(flags.size(), 1U);
    ASSERT_EQ(flags[0].size(), 26U);
    EXPECT_EQ(flags[0][4], 5);
    EXPECT_EQ(flags[0][5], 1);
    EXPECT_EQ(std::vector<std::uint8_t>(flags[0].begin() + 17, flags[0].end()),
              std::vector<std::uint8_t>(9, 0));

    lose_answers(CommandCode::SET_TASK_FLAGS);
    table.save(link, prompter);
    EXPECT_EQ(prompter.prompts.back().text, "Failed to save settings");
    lose_answers(CommandCode::GET_TASK_DETAILS);
    EXPECT_FALSE(TaskTable().open(link, prompter));
    EXPECT_EQ(prompter.prompts.back().caption, "Task Details");
    EXPECT_EQ(prompter.prompts.back().text, "Error communicating with sampler");
}

}  // namespace
}  // namespace kelpira::views

// "Clock log..." in the processing dialogs: a pass's rows and records corrected as they are
// listed, the corrected column listed and saved, and the chooser's outcomes.
#include <gtest/gtest.h>

#include "processing/dialogs/processing_controller.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"

namespace kelpira::processing {
namespace {

// A TA result at 22:13:20 of "Bay 1", whose records put its offset at 12.188 s (as in the
// kelpira-process test: 10 + 10 * 790 / 3610), and one of "Bay 2", which has none.
PassOutcome two_sensor_outcome() {
    PassOutcome out;
    out.source.chemistry = ChemistryChoice::ta;
    out.source.inputs = {{"a.csv", {}, "Bay 1", {}}, {"b.csv", {}, "Bay 2", {}}};
    TaResult r;
    r.time = 1700000000;
    for (std::uint32_t input = 0; input < 2; ++input) {
        out.rows.push_back({"14/11/2023 22:13:20", "226.727", "1.0", "2.0", "0.0"});
        out.records.push_back({input, r});
    }
    out.save_allowed = true;
    return out;
}

ClockLog bay1_log() {
    records::ClockLogRecord a, b;
    a.utc_ms = 1699999200000;  // 2023-11-14T22:00:00Z
    a.sensor_name = b.sensor_name = "Bay 1";
    a.offset_s = 10;
    b.utc_ms = 1700002800000;  // 23:00:00Z
    b.offset_s = 20;
    return {"clock.csv", {a, b}};
}

TEST(ClockLogChoice, PassRowsGetTheCorrectedTimeAfterTheTimeColumns) {
    kelpira::testing::RecordingPrompter prompter;
    ProcessingView view;
    view.results.columns = {{"Time (platform)", 15},
                            {"TA (uM)", 15},
                            {"Absorbance LED1", 15},
                            {"Absorbance LED2", 15},
                            {"Temperature (C)", 15}};
    view.clock_log = bay1_log();
    finish_pass(view, two_sensor_outcome(), prompter);
    ASSERT_EQ(view.results.rows.size(), 2u);
    EXPECT_EQ(view.results.rows[0], (ResultCells{"14/11/2023 22:13:20", "14/11/2023 22:13:08",
                                                 "226.727", "1.0", "2.0", "0.0"}));
    EXPECT_EQ(view.results.rows[1][1], "14/11/2023 22:13:20");  // uncorrected
    EXPECT_EQ(view.log, (std::vector<std::string>{
                            "b.csv: no record of sensor \"Bay 2\" in the clock log clock.csv: its "
                            "times are left uncorrected"}));
    // The title holds a comma: quoted, as every such cell.
    EXPECT_EQ(result_list_text(view.results).substr(0, 88),
              "Time (platform),\"Time (UTC, corrected)\",TA (uM),Absorbance LED1,Absorbance LED2,"
              "Temperat");
    EXPECT_EQ(view.results.source.clock_log, "clock.csv");
    EXPECT_EQ(view.results.source.inputs[0].clock_records.size(), 2u);

    // Without a log the next pass lists the rows as they are.
    view.clock_log.reset();
    begin_pass(view);
    finish_pass(view, two_sensor_outcome(), prompter);
    EXPECT_EQ(view.results.rows[0].size(), 5u);
    EXPECT_EQ(shown_columns(view.results).size(), 5u);
    EXPECT_FALSE(view.results.source.clock_log);
}

TEST(ClockLogChoice, ChooserOutcomes) {
    kelpira::testing::TempFolder files;
    const std::string good = files.write("good.csv",
                                         "utc_time,sensor_name,serial_number,offset_s,event\n"
                                         "2023-11-14T22:00:00.000Z,Bay 1,1001,10.000,deployed\n");
    const std::string bad = files.write("bad.csv", "time,offset\n");
    kelpira::testing::RecordingPrompter prompter;
    prompter.files = {good, bad, std::nullopt};
    ProcessingView view;
    choose_clock_log(view, prompter);
    ASSERT_TRUE(view.clock_log);
    choose_clock_log(view, prompter);
    EXPECT_FALSE(view.clock_log);
    EXPECT_EQ(prompter.file_requests.at(1).initial_name, good);
    choose_clock_log(view, prompter);
    EXPECT_FALSE(view.clock_log);
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"The times are not corrected: clock log " + bad +
                                        ": line 1: not the clock log's header "
                                        "\"utc_time,sensor_name,serial_number,offset_s,event\""}));
    EXPECT_EQ(view.log,
              (std::vector<std::string>{
                  "Times corrected with the clock log " + good + " (1 record)",
                  "Times not corrected: no clock log", "Times not corrected: no clock log"}));
}

}  // namespace
}  // namespace kelpira::processing

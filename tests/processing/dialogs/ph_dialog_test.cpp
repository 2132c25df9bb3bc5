// The pH dialog: header messages, parameters as shown and read back over the header
// defaults, and the refusal of a zero sample interval.
#include "processing/dialogs/ph_controller.hpp"

#include <gtest/gtest.h>

#include "processing/dialogs/raw_text.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"

namespace kelpira::processing {
namespace {

using testing::raw_header;
using testing::RecordingPrompter;
using testing::TempFolder;

common::FormControl& c(PhController& d, std::string_view name) {
    return d.view.controls.at(ph_control_index(d.view, name));
}

TEST(PhController, HeaderMessages) {
    TempFolder folder;
    RecordingPrompter p;
    p.files.push_back(folder.write("a.csv", "1,2\n"));
    p.files.push_back(folder.write("b.csv", raw_header({{"TYPE", "1"}})));
    PhController d = make_ph_dialog();
    EXPECT_TRUE(open_ph_dialog(d, p));
    EXPECT_EQ(p.prompts.at(1).caption, "Process Raw pH Data");
    EXPECT_EQ(p.texts().at(0),
              "No pH Processing Parameters found in file header: please enter them by hand, or "
              "connect a sensor and try again to use the current values from the sensor.");
    EXPECT_EQ(c(d, "dph_dt").text, "");
    PhController wrong = make_ph_dialog();
    EXPECT_FALSE(open_ph_dialog(wrong, p));
    EXPECT_EQ(p.texts().at(1), "This file has the wrong chemistry type for pH processing.");
}

TEST(PhController, AHeaderWithoutTypeIsPh) {
    TempFolder folder;
    RecordingPrompter p;
    p.files.push_back(folder.write("a.csv", raw_header({{"SAMPLE_INTERVAL", "250"}})));
    PhController d = make_ph_dialog();
    EXPECT_TRUE(open_ph_dialog(d, p));
    EXPECT_TRUE(p.texts().empty());
    EXPECT_EQ(c(d, "sample_interval").text, "250");
    EXPECT_EQ(c(d, "t1_scale").text, "0.50000");  // the header default
    EXPECT_EQ(c(d, "dph_dt").text, "0.00000");
}

TEST(PhController, ShowsAndReadsBackTheParameters) {
    TempFolder folder;
    RecordingPrompter p;
    p.files.push_back(folder.write("a.csv", raw_header({{"TYPE", "4"},
                                                        {"INPUT_CHANNEL_578", "6"},
                                                        {"BLANK_START_OFFSET", "50"},
                                                        {"DPH_BY_DT", "-0.01582"},
                                                        {"R_ADJUSTMENT_SCALE", "1.5"}})));
    PhController d = make_ph_dialog();
    ASSERT_TRUE(open_ph_dialog(d, p));
    EXPECT_EQ(common::selected_value(c(d, "input_578")), 6u);
    EXPECT_EQ(c(d, "blank_start_s").text, "50");
    EXPECT_EQ(c(d, "dph_dt").text, "-0.01582");
    EXPECT_EQ(c(d, "r_scale").text, "1.50000");
    EXPECT_EQ(c(d, "sample_interval").text, "100");

    c(d, "blank_end_s").text = "65606";  // saturates in 16 bits, never wraps to 70
    c(d, "sample_measurement_state").text = "1000";
    c(d, "sample_interval").text = "5000";  // not clamped here
    c(d, "t2_scale").text = "";
    const auto s = ph_settings_of(d.view);
    EXPECT_EQ(s.params.blank_end_s, 65535);
    EXPECT_EQ(s.params.sample_measurement_state, 254);
    EXPECT_EQ(s.interval_ms, 5000u);
    EXPECT_EQ(s.params.t2_scale, 0.0f);
    EXPECT_FLOAT_EQ(s.params.r_scale, 1.5f);
    EXPECT_EQ(s.params.input_578, 6);
}

TEST(PhController, AZeroSampleIntervalIsRefused) {
    TempFolder folder;
    RecordingPrompter p;
    p.files.push_back(folder.write("a.csv", raw_header({{"TYPE", "4"}})));
    PhController d = make_ph_dialog();
    ASSERT_TRUE(open_ph_dialog(d, p));
    c(d, "sample_interval").text = "0";
    EXPECT_FALSE(ph_process(d, p));
    EXPECT_EQ(p.prompts.back().caption, "Process Raw pH Data");
    EXPECT_FALSE(p.texts().back().empty());
    EXPECT_FALSE(d.view.save_enabled);

    c(d, "sample_interval").text = "100";
    const auto job = ph_process(d, p);
    ASSERT_TRUE(job);
    PassControl control;
    const auto outcome = (*job)(control);
    EXPECT_TRUE(outcome.save_allowed);
    EXPECT_TRUE(outcome.rows.empty());
}

}  // namespace
}  // namespace kelpira::processing

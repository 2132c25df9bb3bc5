// The window's entries read into the check's inputs, or the sentence naming the wrong one.
#include <gtest/gtest.h>

#include "deployment_check/deployment_check_controller.hpp"

namespace kelpira::deployment_check {
namespace {

TEST(CheckForm, EveryEntryReadOrNamed) {
    CheckForm form;
    form.days = "90";
    form.start = "2027-01-05T06:30";
    form.start_state = StartChoice::automatic;
    form.stroke_ul = "inject=50,withdraw=40";
    form.reagents = "1=100, 15=900";
    form.battery_wh = "360";
    form.cycle_wh = "0.25";
    form.sleep_w = "0.002";
    const FormReading read = read_form(form);
    ASSERT_TRUE(read.inputs) << read.error;
    const CheckInputs& in = *read.inputs;
    EXPECT_EQ(in.days, 90.0);
    EXPECT_EQ(in.start, 1'799'130'600);  // 2027-01-05 06:30 UTC
    EXPECT_EQ(in.start_state, StartChoice::automatic);
    ASSERT_TRUE(in.stroke_ul);
    EXPECT_EQ(in.stroke_ul->inject_ul, 50.0);
    EXPECT_EQ(in.stroke_ul->withdraw_ul, 40.0);
    ASSERT_EQ(in.reagents.size(), 2u);
    EXPECT_EQ(in.reagents[1].valve, 15);
    EXPECT_EQ(in.reagents[1].ml, 900.0);
    EXPECT_EQ(in.battery_wh, 360.0);
    EXPECT_EQ(in.cycle_wh, 0.25);
    EXPECT_EQ(in.sleep_w, 0.002);

    const struct {
        std::string CheckForm::*entry;
        const char* text;
        const char* error;
    } wrong[] = {
        {&CheckForm::days, "0x10", "The deployment length must be a positive number of days."},
        {&CheckForm::start, "05/01/2027 06:30",
         "The deployment start must be a UTC date and time as YYYY-MM-DDTHH:MM."},
        {&CheckForm::battery_wh, "-1", "The battery must be a positive number of watt-hours."},
        {&CheckForm::cycle_wh, "inf",
         "The energy of a cycle must be a positive number of watt-hours."},
        {&CheckForm::sleep_w, "0", "The power between cycles must be a positive number of watts."},
        {&CheckForm::reagents, "1=100 01=5",
         "Valve 1 is given twice in the reagents: give each valve's volume once."},
    };
    for (const auto& w : wrong) {
        CheckForm bad;
        bad.*w.entry = w.text;
        const FormReading r = read_form(bad);
        EXPECT_FALSE(r.inputs) << w.text;
        EXPECT_EQ(r.error, w.error) << w.text;
    }
}

}  // namespace
}  // namespace kelpira::deployment_check

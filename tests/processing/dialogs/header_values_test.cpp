// The processing dialogs show header values rounded by their display formats, and process
// what the header holds while a field is not edited: on an untouched file a dialog and
// kelpira-process give the same results. An edited field is processed as typed.
#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string_view>
#include <vector>

#include "batch_args.hpp"
#include "processing/batch_runner.hpp"
#include "processing/dialogs/dic_controller.hpp"
#include "processing/dialogs/nutrient_controller.hpp"
#include "processing/dialogs/ph_controller.hpp"
#include "processing/dialogs/raw_text.hpp"
#include "processing/dialogs/ta_controller.hpp"
#include "records/chemistry_fields.hpp"
#include "records/record_form.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"

namespace kelpira::processing {
namespace {

using testing::raw_header;
using testing::raw_row;
using testing::RecordingPrompter;
using testing::TempFolder;

// The data lines kelpira-process writes for `path`.
std::vector<std::string> process_lines(const std::string& chemistry, const std::string& path) {
    const std::vector<std::string_view> args{"--chemistry", chemistry, path};
    std::istringstream no_input;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(process::run_command_line(args, no_input, out, err), kExitProcessed) << err.str();
    std::vector<std::string> lines;
    std::istringstream in(out.str());
    std::string line;
    std::getline(in, line);  // the titles
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

// The data lines the dialog saves (cells joined by ","), with `suffix` after each.
std::vector<std::string> dialog_lines(const ProcessingView& view, const std::string& suffix) {
    std::vector<std::string> lines;
    for (const auto& row : view.results.rows) {
        std::string line;
        for (const auto& cell : row) {
            line += (line.empty() ? "" : ",") + cell;
        }
        lines.push_back(line + suffix);
    }
    return lines;
}

PassOutcome run(const PassJob& job) {
    return job(PassControl{});
}

// Molarity 0.1234567 shows as "0.123457" ("%g").
std::string ta_file() {
    return raw_header({{"TYPE", "7"},
                       {"SAMPLE_INTAKE_STATE", "1"},
                       {"BLANK_MEASUREMENT_STATE_LED1", "2"},
                       {"BLANK_MEASUREMENT_STATE_LED2", "3"},
                       {"SAMPLE_MEASUREMENT_STATE_LED1", "4"},
                       {"SAMPLE_MEASUREMENT_STATE_LED2", "5"},
                       {"PROCESSING_TRIGGER", "3"},
                       {"ACID_MOLARITY", "0.1234567"},
                       {"pKa", "7.0000012"},
                       {"e2", "1"}}) +
           raw_row(1, 1, 0.5, 1600000000) + raw_row(2, 2, 1.0) + raw_row(3, 3, 1.0) +
           raw_row(4, 4, 0.1) + raw_row(5, 5, 0.01);
}

// CRM 2000.0067 shows as "2000.01".
std::string dic_file() {
    std::string text = raw_header({{"TYPE", "8"},
                                   {"INLET.0.TYPE", "2"},
                                   {"INLET.0.MEASUREMENT_STATE", "2"},
                                   {"INLET.0.CRM_VALUE", "2000.0067"},
                                   {"INLET.1.TYPE", "1"},
                                   {"INLET.1.INTAKE_STATE", "3"},
                                   {"INLET.1.MEASUREMENT_STATE", "4"}});
    text += raw_row(1, 1, 0.0) + raw_row(2, 2, 1.0) + raw_row(3, 2, 2.0);
    text += raw_row(4, 3, 0.0, 1000000) + raw_row(5, 4, 1.0) + raw_row(6, 4, 1.8);
    return text;
}

// Standard 10.0015 uM is 10001 nmol and shows as "10.001".
std::string nutrient_file() {
    return raw_header({{"TYPE", "1"},
                       {"SAMPLE_INTAKE_STATE", "1"},
                       {"BLANK_MEASUREMENT_STATE", "2"},
                       {"STANDARD1_MEASUREMENT_STATE", "3"},
                       {"SAMPLE_MEASUREMENT_STATE", "4"},
                       {"STANDARD2_MEASUREMENT_STATE", "6"},
                       {"STANDARD1_CONCENTRATION", "10.0015"},
                       {"STANDARD_ADJUSTMENT", "0"},
                       {"PROCESSING_TRIGGER", "2"}}) +
           raw_row(1, 1, 0.0, 1700000000) + raw_row(2, 2, 1.0) + raw_row(3, 3, 0.5) +
           raw_row(4, 4, 0.8) + raw_row(5, 5, 0.0);
}

TEST(HeaderValues, AnUntouchedFileGivesWhatKelpiraProcessGives) {
    TempFolder folder;
    RecordingPrompter p;
    p.files.push_back(folder.write("ta.csv", ta_file()));
    p.files.push_back(folder.write("dic.csv", dic_file()));
    p.files.push_back(folder.write("n.csv", nutrient_file()));

    TaController ta = make_ta_dialog();
    ASSERT_TRUE(open_ta_dialog(ta, p));
    EXPECT_EQ(
        records::control_of<records::TaParams>(ta.view.controls, kTaParameters, "titrant_molarity")
            ->text,
        "0.123457");
    EXPECT_EQ(ta_params_of(ta.view), ta.header.ta);
    finish_pass(ta.view, run(ta_process(ta)), p);
    ASSERT_EQ(ta.view.results.rows.size(), 1u);
    EXPECT_EQ(dialog_lines(ta.view, ""), process_lines("ta", folder.path("ta.csv")));

    DicController dic = make_dic_dialog();
    ASSERT_TRUE(open_dic_dialog(dic, p));
    EXPECT_EQ(dic.view.controls[dic_control(0, "crm_umol_kg")].text, "2000.01");
    EXPECT_EQ(dic_params_of(dic.view), dic.header.dic);
    finish_pass(dic.view, run(dic_process(dic)), p);
    ASSERT_EQ(dic.view.results.rows.size(), 1u);
    EXPECT_EQ(dialog_lines(dic.view, ""), process_lines("dic", folder.path("dic.csv")));

    NutrientController n = make_nutrient_dialog();
    ASSERT_TRUE(open_nutrient_dialog(n, p));
    EXPECT_EQ(nutrient_params_of(n.view).standard1_nmol, 10001u);
    finish_pass(n.view, run(nutrient_process(n)), p);
    ASSERT_EQ(n.view.results.rows.size(), 1u);
    // kelpira-process adds the sensor name, empty here.
    EXPECT_EQ(dialog_lines(n.view, ","), process_lines("nutrient", folder.path("n.csv")));
}

TEST(HeaderValues, PhFieldsKeepWhatFiveDecimalsHide) {
    TempFolder folder;
    RecordingPrompter p;
    p.files.push_back(folder.write("ph.csv", raw_header({{"TYPE", "4"},
                                                         {"R_ADJUSTMENT_OFFSET", "0.000004"},
                                                         {"DPH_BY_DT", "-0.0158249"}})));
    PhController d = make_ph_dialog();
    ASSERT_TRUE(open_ph_dialog(d, p));
    auto& offset = d.view.controls[ph_control_index(make_ph_dialog().view, "r_offset")];
    EXPECT_EQ(offset.text, "4.00000e-06") << "five decimals would show 0.00000";
    EXPECT_EQ(ph_settings_of(d.view).params, d.header.ph);
    offset.text = "0.5";
    EXPECT_EQ(ph_settings_of(d.view).params.r_offset, 0.5f);
}

TEST(HeaderValues, EditedFieldsAreProcessedAsTyped) {
    TaController ta = make_ta_dialog();
    show_ta_params(ta.view, records::TaParams{});
    auto& molarity = *records::control_of<records::TaParams>(ta.view.controls, kTaParameters,
                                                             "titrant_molarity");
    molarity.text = "0.1234567";
    EXPECT_EQ(ta_params_of(ta.view).titrant_molarity, 0.1234567f);
    // Beyond a float's range: infinite, through the checked conversion.
    molarity.text = "-1e39";
    EXPECT_EQ(ta_params_of(ta.view).titrant_molarity, -std::numeric_limits<float>::infinity());
}

}  // namespace
}  // namespace kelpira::processing

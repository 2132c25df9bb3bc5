// The TA and DIC dialogs: header messages, parameters shown and read back, inlet enabling,
// and a whole pass from "Process" to the CSV that "Save" writes.
#include <gtest/gtest.h>
#include <netcdf.h>

#include "processing/dialogs/dic_controller.hpp"
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

PassOutcome run(const PassJob& job) {
    PassControl control;
    control.cancelled = [] { return false; };
    return job(control);
}

// The worked TA case: A1 = 1, A2 = 2, so R = 2 and pH = 7 + log10(2).
std::string ta_file() {
    std::string text = raw_header({{"TYPE", "7"},
                                   {"SAMPLE_INTAKE_STATE", "1"},
                                   {"BLANK_MEASUREMENT_STATE_LED1", "2"},
                                   {"BLANK_MEASUREMENT_STATE_LED2", "3"},
                                   {"SAMPLE_MEASUREMENT_STATE_LED1", "4"},
                                   {"SAMPLE_MEASUREMENT_STATE_LED2", "5"},
                                   {"PROCESSING_TRIGGER", "3"},
                                   {"CT", "0"},
                                   {"ACID_MOLARITY", "0.1"},
                                   {"pKa", "7"},
                                   {"e1", "0"},
                                   {"e2", "1"},
                                   {"e3", "0"}});
    text += raw_row(1, 1, 0.5, 1600000000);
    text += raw_row(2, 2, 1.0);
    text += raw_row(3, 3, 1.0);
    text += raw_row(4, 4, 0.1);
    text += raw_row(5, 5, 0.01);
    return text;
}

TEST(TaController, HeaderMessages) {
    TempFolder folder;
    {
        RecordingPrompter p;
        p.files.push_back(folder.write("a.csv", "no header\n"));
        TaController d = make_ta_dialog();
        EXPECT_TRUE(open_ta_dialog(d, p));
        ASSERT_EQ(p.texts().size(), 1u);
        EXPECT_EQ(p.prompts.back().caption, "Process Raw TA Data");
        EXPECT_EQ(p.texts()[0],
                  "No TA Processing Parameters found in file header: please enter them by hand.");
    }
    {
        RecordingPrompter p;
        p.files.push_back(folder.write("b.csv", raw_header({{"TYPE", "8"}})));
        TaController d = make_ta_dialog();
        EXPECT_FALSE(open_ta_dialog(d, p));
        EXPECT_EQ(p.texts().at(0), "This file has the wrong chemistry type for TA processing.");
    }
}

TEST(TaController, ProcessesAndSavesEveryColumn) {
    TempFolder folder;
    RecordingPrompter p;
    p.files.push_back(folder.write("ta.csv", ta_file()));
    TaController d = make_ta_dialog();
    ASSERT_TRUE(open_ta_dialog(d, p));
    const auto& controls = d.view.controls;
    EXPECT_EQ(
        records::control_of<records::TaParams>(controls, kTaParameters, "titrant_molarity")->text,
        "0.1");
    EXPECT_EQ(records::control_of<records::TaParams>(controls, kTaParameters, "pka")->text, "7");
    EXPECT_FALSE(
        records::control_of<records::TaParams>(controls, kTaParameters, "monitor_led1")->enabled);
    EXPECT_EQ(
        records::control_of<records::TaParams>(controls, kTaParameters, "monitor_led2")->tooltip,
        "Not yet implemented");
    EXPECT_EQ(ta_params_of(d.view).processing_trigger, 3);

    finish_pass(d.view, run(ta_process(d)), p);
    ASSERT_EQ(d.view.results.rows.size(), 1u);
    EXPECT_TRUE(d.view.save_enabled);
    // R = 2, pH = 7 + log10(2), h = 5e-8: TA = (0.1 - 9.819 x 5e-8) / 8.819 x 1e6 = 11339.099
    // (the molarity as its f32, 0.100000001); the intake at 1600000000 s.
    const std::string expected_row = "13/09/2020 12:26:40,11339.099,1.000000,2.000000,0.000000";

    p.files.push_back(folder.path("out.csv"));
    EXPECT_TRUE(save_result_list(d.view.results, p));
    EXPECT_EQ(TempFolder::read(folder.path("out.csv")),
              "Time (platform),TA (uM),Absorbance LED1,Absorbance LED2,Temperature (C)\n" +
                  expected_row + "\n");
    EXPECT_EQ(p.prompts.back().caption, "Save Processed Output");
    EXPECT_EQ(p.texts().back(), "Processed Output saved to " + folder.path("out.csv"));
    const auto& request = p.file_requests.back();
    EXPECT_EQ(request.title, "Processed Results Output File");
    EXPECT_EQ(request.filters.at(0).label, "CSV Files (*.csv)");
    EXPECT_EQ(request.filters.at(1).label, "NetCDF (*.nc)");
    EXPECT_EQ(request.default_extension, "csv");
    EXPECT_TRUE(request.prompt_overwrite);

    // The same list as NetCDF: the result and the parameters the dialog showed; without a
    // position the text says the file is incomplete.
    p.files.push_back(folder.path("out.nc"));
    EXPECT_TRUE(save_result_list(d.view.results, p));
    EXPECT_EQ(p.texts().back(), "Processed Output saved to " + folder.path("out.nc") +
                                    "\nno position for sensor \"unnamed sensor\": the file is "
                                    "not a complete CF timeSeries (each sensor needs a latitude "
                                    "and longitude)");
    int nc = -1, var = -1;
    double saved = 0, pka = 0;
    ASSERT_EQ(nc_open(folder.path("out.nc").c_str(), NC_NOWRITE, &nc), NC_NOERR);
    EXPECT_EQ(nc_inq_varid(nc, "ta", &var), NC_NOERR);
    EXPECT_EQ(nc_get_var_double(nc, var, &saved), NC_NOERR);
    EXPECT_EQ(nc_get_att_double(nc, var, "pka", &pka), NC_NOERR);
    nc_close(nc);
    EXPECT_NEAR(saved, 11339.099, 0.0005);
    EXPECT_EQ(pka, 7);
}

TEST(TaController, AFileGoneBeforeProcessIsAReadError) {
    TempFolder folder;
    RecordingPrompter p;
    p.files.push_back(folder.write("ta.csv", ta_file()));
    TaController d = make_ta_dialog();
    ASSERT_TRUE(open_ta_dialog(d, p));
    std::filesystem::remove(folder.path("ta.csv"));
    finish_pass(d.view, run(ta_process(d)), p);
    EXPECT_FALSE(d.view.save_enabled);
    EXPECT_EQ(p.prompts.back().caption, "Process Raw TA Output");
    EXPECT_EQ(p.texts().back(), "I/O error reading input file");
}

std::string dic_header() {
    return raw_header({{"TYPE", "8"},
                       {"INLET.0.TYPE", "2"},
                       {"INLET.0.MEASUREMENT_STATE", "2"},
                       {"INLET.0.CRM_VALUE", "2000"},
                       {"INLET.1.TYPE", "1"},
                       {"INLET.1.INTAKE_STATE", "3"},
                       {"INLET.1.MEASUREMENT_STATE", "4"}});
}

TEST(DicController, ShowsInletsWithTheirEnabling) {
    TempFolder folder;
    RecordingPrompter p;
    p.files.push_back(folder.write("dic.csv", dic_header()));
    DicController d = make_dic_dialog();
    ASSERT_TRUE(open_dic_dialog(d, p));
    const auto& v = d.view.controls;
    EXPECT_EQ(v[dic_control(0, "crm_umol_kg")].text, "2000.00");
    EXPECT_TRUE(v[dic_control(0, "crm_umol_kg")].enabled);
    EXPECT_FALSE(v[dic_control(0, "intake_state")].enabled);
    EXPECT_TRUE(v[dic_control(0, "measurement_state")].enabled);
    EXPECT_TRUE(v[dic_control(1, "intake_state")].enabled);
    EXPECT_FALSE(v[dic_control(1, "crm_umol_kg")].enabled);
    EXPECT_FALSE(v[dic_control(2, "measurement_state")].enabled);  // unused

    common::select_value(d.view.controls[dic_control(2, "type")], 2);
    dic_control_changed(d, dic_control(2, "type"));
    EXPECT_TRUE(v[dic_control(2, "measurement_state")].enabled);
    EXPECT_TRUE(v[dic_control(2, "crm_umol_kg")].enabled);
    EXPECT_FALSE(v[dic_control(2, "intake_state")].enabled);

    d.view.controls[dic_control(1, "measurement_state")].text = "999";
    d.view.controls[dic_control(0, "crm_umol_kg")].text = "2100.5xyz";
    const auto params = dic_params_of(d.view);
    EXPECT_EQ(params.inlet[1].measurement_state, 254);
    EXPECT_FLOAT_EQ(params.inlet[0].crm_umol_kg, 2100.5f);
    EXPECT_EQ(params.inlet[2].type, 2);
}

TEST(DicController, HeaderMessages) {
    TempFolder folder;
    RecordingPrompter p;
    p.files.push_back(folder.write("a.csv", ""));
    p.files.push_back(folder.write("b.csv", raw_header({{"TYPE", "7"}})));
    DicController d = make_dic_dialog();
    EXPECT_TRUE(open_dic_dialog(d, p));
    EXPECT_EQ(p.texts().at(0),
              "No DIC Processing Parameters found in file header: please enter them by hand.");
    EXPECT_EQ(p.prompts.at(1).caption, "Process Raw DIC Data");
    DicController wrong = make_dic_dialog();
    EXPECT_FALSE(open_dic_dialog(wrong, p));
    EXPECT_EQ(p.texts().at(1), "This file has the wrong chemistry type for DIC processing.");
}

// A CRM step of 0.5 V (value 2000) then sample steps of 0.4 V: 1600 umol/kg each. After more
// than 5001 samples the list keeps the newest 5001, oldest dropped first, and says so.
TEST(DicController, ProcessesAndKeepsTheNewest5001Rows) {
    TempFolder folder;
    std::string text = dic_header();
    std::uint32_t n = 0;
    text += raw_row(++n, 1, 0.0);
    text += raw_row(++n, 2, 1.0);
    text += raw_row(++n, 2, 2.0);
    constexpr std::uint32_t kSamples = 6000;
    for (std::uint32_t i = 0; i < kSamples; ++i) {
        text += raw_row(++n, 3, 0.0, 1000000 + i);
        text += raw_row(++n, 4, 1.0);
        text += raw_row(++n, 4, 1.8);
    }
    RecordingPrompter p;
    p.files.push_back(folder.write("dic.csv", text));
    DicController d = make_dic_dialog();
    ASSERT_TRUE(open_dic_dialog(d, p));
    finish_pass(d.view, run(dic_process(d)), p);
    ASSERT_EQ(d.view.results.rows.size(), 5001u);
    const auto& first = d.view.results.rows[0];
    EXPECT_EQ(first[0], "12/01/1970 14:03:19");  // 1000999 s, the 1000th intake
    EXPECT_EQ(first[1], "4");
    EXPECT_EQ(first[2], "1600.000");
    EXPECT_EQ(first[3], "0.400");
    EXPECT_EQ(first[4], "0.500");
    EXPECT_EQ(first[6], "good");
    EXPECT_EQ(d.view.results.rows[5000][0], "12/01/1970 15:26:39");  // 1005999 s
    EXPECT_TRUE(d.view.save_enabled);
    const std::string unlisted =
        "999 older results are not listed or saved; kelpira-process writes them all.";
    EXPECT_EQ(d.view.log.back(), unlisted);

    p.files.push_back(folder.path("out.csv"));
    ASSERT_TRUE(save_result_list(d.view.results, p));
    EXPECT_EQ(p.texts().back(),
              "Processed Output saved to " + folder.path("out.csv") + "\n" + unlisted);
    const std::string saved = TempFolder::read(folder.path("out.csv"));
    EXPECT_EQ(saved.substr(0, saved.find('\n')),
              "Time (platform),Meas State,DIC (umol/kg),Sample Step (V),CRM Step (V),"
              "Temperature (C),Validity");
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 5002);
}

}  // namespace
}  // namespace kelpira::processing

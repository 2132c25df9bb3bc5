// Nutrient passes from the dialogs: the worked case through "Process" and "Save", and the
// multi-file dialog's log texts, sensor names and one list for all files.
#include <gtest/gtest.h>

#include "processing/dialogs/nutrient_controller.hpp"
#include "processing/dialogs/nutrient_multi_controller.hpp"
#include "processing/dialogs/raw_text.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"

namespace kelpira::processing {
namespace {

using testing::raw_header;
using testing::raw_row;
using testing::RecordingPrompter;
using testing::TempFolder;

// Blank 1.0, standard 1 0.5, sample 0.8 with 10 uM: log10(1.25) / log10(2) x 10 = 3.219.
std::string worked_case(const std::string& sensor_name = "") {
    testing::HeaderKeys keys{{"TYPE", "1"},
                             {"SAMPLE_INTAKE_STATE", "1"},
                             {"BLANK_MEASUREMENT_STATE", "2"},
                             {"STANDARD1_MEASUREMENT_STATE", "3"},
                             {"SAMPLE_MEASUREMENT_STATE", "4"},
                             {"STANDARD2_MEASUREMENT_STATE", "6"},
                             {"OC_SAMPLE_MEASUREMENT_STATE", "7"},
                             {"OC_BLANK_MEASUREMENT_STATE", "8"},
                             {"STANDARD1_CONCENTRATION", "10"},
                             {"STANDARD_ADJUSTMENT", "0"},
                             {"PROCESSING_TRIGGER", "2"}};
    if (!sensor_name.empty()) {
        keys.push_back({"KELPIRA.CORE.SENSOR_NAME", sensor_name});
    }
    return raw_header(keys) + raw_row(1, 1, 0.0, 1700000000) + raw_row(2, 2, 1.0) +
           raw_row(3, 3, 0.5) + raw_row(4, 4, 0.8) + raw_row(5, 5, 0.0);
}

PassOutcome run(const PassJob& job) {
    return job(PassControl{});
}

TEST(NutrientPass, TheWorkedCaseFromProcessToSave) {
    TempFolder folder;
    RecordingPrompter p;
    p.files.push_back(folder.write("n.csv", worked_case()));
    NutrientController d = make_nutrient_dialog();
    ASSERT_TRUE(open_nutrient_dialog(d, p));
    finish_pass(d.view, run(nutrient_process(d)), p);
    ASSERT_EQ(d.view.results.rows.size(), 1u);
    EXPECT_TRUE(d.view.save_enabled);
    const std::string row =  // both times 1700000000 s
        "14/11/2023 22:13:20,14/11/2023 22:13:20,3.219,3.219,3.219,5.00,35.000,10.000";
    EXPECT_NE(std::find(d.view.log.begin(), d.view.log.end(), "entered sample intake state"),
              d.view.log.end());

    p.files.push_back(folder.path("out.csv"));
    ASSERT_TRUE(save_result_list(d.view.results, p));
    EXPECT_EQ(TempFolder::read(folder.path("out.csv")),
              "Time (platform),Time (sensor),Nitrate (Medium.uM),Nitrate (Short.uM),"
              "Nitrate (Long.uM),Depth (m),S (PSU),T (degC)\n" +
                  row + "\n");
}

TEST(NutrientPass, EditedParametersAreWhatTheNextProcessUses) {
    TempFolder folder;
    RecordingPrompter p;
    p.files.push_back(folder.write("n.csv", worked_case()));
    NutrientController d = make_nutrient_dialog();
    ASSERT_TRUE(open_nutrient_dialog(d, p));
    d.view.controls.at(nutrient_control_index(d.view, "standard1_nmol")).text = "20";
    finish_pass(d.view, run(nutrient_process(d)), p);
    ASSERT_EQ(d.view.results.rows.size(), 1u);
    EXPECT_EQ(d.view.results.rows[0][2], "6.439");
    // "Process" again starts from an empty list and log.
    finish_pass(d.view, run(nutrient_process(d)), p);
    EXPECT_EQ(d.view.results.rows.size(), 1u);
}

// Offers the scripted files all at once, as the multiple-selection chooser does.
struct MultiPrompter : RecordingPrompter {
    std::vector<std::string> chosen;
    std::vector<std::string> choose_open_files(const common::FileRequest& request) override {
        prompts.push_back({"open", request.title, ""});
        file_requests.push_back(request);
        return chosen;
    }
};

TEST(NutrientMultiPass, SeveralFilesInOneListWithTheirSensorNames) {
    TempFolder folder;
    MultiPrompter p;
    p.chosen = {folder.write("a.csv", worked_case("KELP-007")),
                folder.write("b.csv", "no header\n" + raw_row(1, 1, 0.0)),
                folder.write("c.csv", raw_header({{"TYPE", "4"}})), folder.path("missing.csv"),
                folder.write("d.csv", worked_case("KELP-008, \"Bay\""))};
    NutrientMultiController d = make_nutrient_multi_dialog();
    EXPECT_FALSE(d.view.has_process_button);
    const auto job = open_nutrient_multi_dialog(d, p);
    ASSERT_TRUE(job);
    EXPECT_EQ(p.file_requests.at(0).title, "Raw Output File");
    finish_pass(d.view, run(*job), p);

    ASSERT_EQ(d.view.results.rows.size(), 2u);
    EXPECT_EQ(d.view.results.rows[0].size(), 9u);
    EXPECT_EQ(d.view.results.rows[0][8], "KELP-007");
    EXPECT_EQ(d.view.results.rows[1][8], "KELP-008, \"Bay\"");
    EXPECT_EQ(d.view.results.rows[1][2], "3.219");
    EXPECT_TRUE(d.view.save_enabled);
    const auto logged = [&d](const std::string& line) {
        return std::find(d.view.log.begin(), d.view.log.end(), line) != d.view.log.end();
    };
    EXPECT_EQ(d.view.log.front(), "Reading file " + p.chosen[0]);
    EXPECT_TRUE(logged("Reading file " + p.chosen[1]));
    EXPECT_TRUE(logged("Failed to read sensor parameters from file header"));
    EXPECT_TRUE(logged("Wrong chemistry type (4): not a nutrient sensor"));
    EXPECT_TRUE(logged("Can't open file " + p.chosen[3]));
    EXPECT_TRUE(p.texts().empty());

    p.files.push_back(folder.path("out.csv"));
    ASSERT_TRUE(save_result_list(d.view.results, p));
    const std::string saved = TempFolder::read(folder.path("out.csv"));
    EXPECT_EQ(saved.substr(0, saved.find('\n')),
              "Time (platform),Time (sensor),Nutrient (Medium:uM),Nutrient (Short:uM),"
              "Nutrient (Long:uM),Depth (m),S (PSU),T (degC),Sensor Name");
    EXPECT_NE(saved.find(",KELP-007\n"), std::string::npos);
    EXPECT_NE(saved.find(",\"KELP-008, \"\"Bay\"\"\"\n"), std::string::npos);
}

TEST(NutrientMultiPass, OneFileChosenSaysLess) {
    TempFolder folder;
    MultiPrompter p;
    p.chosen = {folder.write("c.csv", raw_header({{"TYPE", "4"}}))};
    NutrientMultiController d = make_nutrient_multi_dialog();
    const auto job = open_nutrient_multi_dialog(d, p);
    ASSERT_TRUE(job);
    finish_pass(d.view, run(*job), p);
    EXPECT_EQ(d.view.log, std::vector<std::string>{"Processing file " + p.chosen[0]});
    EXPECT_TRUE(d.view.results.rows.empty());
    EXPECT_FALSE(d.view.save_enabled);  // no file's rows were read
}

TEST(NutrientMultiPass, CancelledChooserClosesTheDialog) {
    MultiPrompter p;
    NutrientMultiController d = make_nutrient_multi_dialog();
    EXPECT_FALSE(open_nutrient_multi_dialog(d, p));
}

}  // namespace
}  // namespace kelpira::processing

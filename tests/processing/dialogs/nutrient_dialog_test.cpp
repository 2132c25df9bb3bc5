// The single-file nutrient dialog: header messages, parameters shown, titles and enabling
// rules, and the controls read back.
#include "processing/dialogs/nutrient_controller.hpp"

#include <gtest/gtest.h>

#include "processing/dialogs/raw_text.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"

namespace kelpira::processing {
namespace {

using testing::raw_header;
using testing::RecordingPrompter;
using testing::TempFolder;

common::FormControl& c(NutrientController& d, std::string_view name) {
    return d.view.controls.at(nutrient_control_index(d.view, name));
}

// Selects the list entry holding `value` as the user would, then tells the controller.
void choose(NutrientController& d, std::string_view name, std::uint32_t value) {
    common::select_value(c(d, name), value);
    nutrient_control_changed(d, nutrient_control_index(d.view, name));
}

struct NutrientDialogTest : ::testing::Test {
    TempFolder folder;
    RecordingPrompter prompter;
    NutrientController dialog = make_nutrient_dialog();

    bool open(const std::string& text) {
        prompter.files.push_back(folder.write("raw.csv", text));
        return open_nutrient_dialog(dialog, prompter);
    }
};

const testing::HeaderKeys kPhosphate{{"TYPE", "2"},
                                     {"SAMPLE_INTAKE_STATE", "3"},
                                     {"SAMPLE_MEASUREMENT_STATE", "300"},
                                     {"STANDARD1_CONCENTRATION", "10"},
                                     {"STANDARD2_CONCENTRATION", "1.001"},
                                     {"STANDARD_ADJUSTMENT", "1"},
                                     {"PROCESSING_TRIGGER", "2"},
                                     {"OUTPUT_CHANNEL_SELECTION", "254"},
                                     {"MEASUREMENT_CHANNEL_SHORT", "5"},
                                     {"MONITORING_CHANNEL_LONG", "7"}};

TEST_F(NutrientDialogTest, OpensWithTheRawFileChooser) {
    EXPECT_FALSE(open_nutrient_dialog(dialog, prompter));  // chooser cancelled: closes
    ASSERT_EQ(prompter.file_requests.size(), 1u);
    const auto& r = prompter.file_requests[0];
    EXPECT_EQ(r.title, "Raw Output File");
    ASSERT_EQ(r.filters.size(), 2u);
    EXPECT_EQ(r.filters[0].label, "Raw Output Files (*.csv)");
    EXPECT_EQ(r.filters[0].pattern, "*.csv");
    EXPECT_EQ(r.filters[1].label, "All Files (*.*)");
    EXPECT_EQ(r.filters[1].pattern, "*.*");
    EXPECT_EQ(r.default_extension, "csv");
    EXPECT_TRUE(prompter.texts().empty());
}

TEST_F(NutrientDialogTest, WithoutAHeaderSaysSoAndLeavesTheControlsEmpty) {
    EXPECT_TRUE(open("1,2,3\n"));
    ASSERT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(prompter.prompts.back().caption, "Process Raw Nutrient Data");
    EXPECT_EQ(prompter.texts()[0],
              "No Nutrient Processing Parameters found in file header: please enter them by "
              "hand, or connect a sensor and try again to use the current values from the "
              "sensor.");
    EXPECT_FALSE(c(dialog, "type").selected);
    EXPECT_EQ(c(dialog, "sample_intake_state").text, "");
    EXPECT_EQ(dialog.view.title, "Process Raw Nutrient Data");
    EXPECT_EQ(dialog.view.results.columns[2].title, "Nutrient (Medium:uM)");
    EXPECT_FALSE(dialog.view.save_enabled);

    // Lists without a selection count as their first entry.
    const auto p = nutrient_params_of(dialog.view);
    EXPECT_EQ(nutrient_type_of(dialog.view), records::ChemistryType::nitrate);
    EXPECT_EQ(p.output_channel, 0);
    EXPECT_EQ(p.measure_long, 0);
    EXPECT_EQ(p.monitor_medium, records::kNoMonitor);
    EXPECT_EQ(p.standard_adjustment, 0);
}

TEST_F(NutrientDialogTest, AWrongOrMissingTypeClosesTheDialog) {
    for (const char* type : {"0", "4", "7", "9", ""}) {
        RecordingPrompter p;
        p.files.push_back(folder.write(
            "raw.csv", raw_header(*type ? testing::HeaderKeys{{"TYPE", type}}
                                        : testing::HeaderKeys{{"SAMPLE_INTAKE_STATE", "1"}})));
        NutrientController d = make_nutrient_dialog();
        EXPECT_FALSE(open_nutrient_dialog(d, p)) << type;
        ASSERT_EQ(p.texts().size(), 1u);
        EXPECT_EQ(p.texts()[0], "This file has the wrong chemistry type for Nutrient processing.");
    }
}

TEST_F(NutrientDialogTest, AFileThatCannotBeReadClosesTheDialog) {
    prompter.files.push_back(folder.path("missing.csv"));
    EXPECT_FALSE(open_nutrient_dialog(dialog, prompter));
    EXPECT_EQ(prompter.texts().at(0), "Can't open file " + folder.path("missing.csv"));
}

TEST_F(NutrientDialogTest, ShowsTheHeaderWithTitlesAndRulesOfItsType) {
    ASSERT_TRUE(open(raw_header(kPhosphate)));
    EXPECT_TRUE(prompter.texts().empty());
    EXPECT_EQ(dialog.view.title, "Process Raw Phosphate Data");
    EXPECT_EQ(dialog.view.results.columns[2].title, "Phosphate (Medium.uM)");
    EXPECT_EQ(dialog.view.results.columns[3].title, "Phosphate (Short.uM)");
    EXPECT_EQ(dialog.view.results.columns[4].title, "Phosphate (Long.uM)");
    EXPECT_EQ(c(dialog, "dilution").text, "1:3.000");
    EXPECT_EQ(c(dialog, "sample_intake_state").text, "3");
    EXPECT_EQ(c(dialog, "sample_measurement_state").text, "44");  // low 8 bits
    EXPECT_EQ(c(dialog, "standard1_nmol").text, "10.000");
    EXPECT_EQ(c(dialog, "standard2_nmol").text, "1.000");  // 1000 nmol
    EXPECT_EQ(common::selected_value(c(dialog, "output_channel")), 254u);
    EXPECT_EQ(common::selected_value(c(dialog, "measure_short")), 5u);
    EXPECT_EQ(common::selected_value(c(dialog, "monitor_long")), 7u);
    EXPECT_EQ(common::selected_value(c(dialog, "monitor_medium")), 255u);

    // Standard 2 adjustment with the sample trigger: only standard 2 counts.
    EXPECT_FALSE(c(dialog, "standard1_state").enabled);
    EXPECT_TRUE(c(dialog, "standard2_state").enabled);
    EXPECT_FALSE(c(dialog, "standard1_nmol").enabled);
    EXPECT_TRUE(c(dialog, "standard2_nmol").enabled);
    EXPECT_FALSE(c(dialog, "dilution").enabled);
    EXPECT_FALSE(c(dialog, "optical_sample_state").enabled);
}

TEST_F(NutrientDialogTest, ChangesApplyTheRules) {
    ASSERT_TRUE(open(raw_header(kPhosphate)));
    choose(dialog, "processing_trigger", 0);  // standard 1 trigger
    EXPECT_TRUE(c(dialog, "standard1_state").enabled);
    EXPECT_TRUE(c(dialog, "standard2_state").enabled);

    choose(dialog, "standard_adjustment", 0);
    EXPECT_TRUE(c(dialog, "standard1_nmol").enabled);
    EXPECT_FALSE(c(dialog, "standard2_nmol").enabled);
    EXPECT_FALSE(c(dialog, "standard2_state").enabled);

    choose(dialog, "processing_trigger", 1);  // standard 2 trigger
    EXPECT_TRUE(c(dialog, "standard2_state").enabled);

    choose(dialog, "standard_adjustment", 2);  // linear fit: both
    EXPECT_TRUE(c(dialog, "standard1_nmol").enabled);
    EXPECT_TRUE(c(dialog, "standard2_nmol").enabled);

    c(dialog, "optical_correction").checked = true;
    nutrient_control_changed(dialog, nutrient_control_index(dialog.view, "optical_correction"));
    EXPECT_TRUE(c(dialog, "dilution").enabled);
    EXPECT_TRUE(c(dialog, "optical_blank_state").enabled);

    choose(dialog, "type", 6);
    EXPECT_EQ(dialog.view.title, "Process Raw Iron Data");
    EXPECT_EQ(dialog.view.results.columns[4].title, "Iron (Long.uM)");
    EXPECT_EQ(c(dialog, "dilution").text, "1:1.135");
}

TEST_F(NutrientDialogTest, ReadsTheControlsBack) {
    ASSERT_TRUE(open(raw_header(kPhosphate)));
    c(dialog, "blank_measurement_state").text = "300";
    c(dialog, "standard1_state").text = "abc";
    c(dialog, "standard1_nmol").text = "12.3456";
    c(dialog, "standard2_nmol").text = "1.001";
    const auto p = nutrient_params_of(dialog.view);
    EXPECT_EQ(p.blank_measurement_state, 254);
    EXPECT_EQ(p.standard1_state, 0);
    EXPECT_EQ(p.standard1_nmol, 12345u);
    EXPECT_EQ(p.standard2_nmol, 1001u);  // times 1000 on the text, not the double 1000.999...
    EXPECT_EQ(p.sample_measurement_state, 44);
    EXPECT_EQ(p.output_channel, 254);
    EXPECT_EQ(p.measure_short, 5);
    EXPECT_EQ(p.monitor_long, 7);
    EXPECT_EQ(p.standard_adjustment, 1);
    EXPECT_EQ(p.processing_trigger, 2);
    EXPECT_EQ(nutrient_type_of(dialog.view), records::ChemistryType::phosphate);
}

}  // namespace
}  // namespace kelpira::processing

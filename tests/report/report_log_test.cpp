// The configuration log's actions and the desktop restore flow, against the emulated sensor
// with the recording prompter: file requests, file contents, clipboard text, the preview
// before anything is written, and the messages.
#include <gtest/gtest.h>

#include "link/platform_commands.hpp"
#include "records/platform_records.hpp"
#include "report/config_log_controller.hpp"
#include "report/report_fixture.hpp"
#include "report/restore_snapshot_controller.hpp"
#include "report/snapshot.hpp"
#include "report/snapshot_file.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"

namespace kelpira::report {
namespace {

using kelpira::testing::RecordingPrompter;
using kelpira::testing::TempFolder;

class ReportLogTest : public testing::ReportFixture {
  protected:
    RecordingPrompter prompter;
    TempFolder files;
};

TEST(ReportLog, CopyTakesTheSelectedLinesInListOrderWithCrLf) {
    const std::vector<std::string> lines{"a", "b", "c"};
    EXPECT_EQ(copy_text(lines, {2, 0}), "a\r\nc\r\n");
    EXPECT_EQ(copy_text(lines, {}), "");
}

TEST_F(ReportLogTest, SaveAsksForTheFileAndWritesEveryLine) {
    start();
    ConfigReport r;
    r.lines = {"one", "two"};
    prompter.files.push_back(files.path("sensor.txt"));
    save_report(r, prompter);
    ASSERT_EQ(prompter.file_requests.size(), 1u);
    const auto& q = prompter.file_requests[0];
    EXPECT_EQ(q.title, "Save Sensor Report File");
    EXPECT_EQ(q.initial_name, "KELPIRA_config.log");
    EXPECT_EQ(q.default_extension, "txt");
    ASSERT_EQ(q.filters.size(), 2u);
    EXPECT_EQ(q.filters[0].label, "TXT Files (*.txt)");
    EXPECT_EQ(q.filters[1].label, "All Files (*.*)");
    EXPECT_TRUE(q.prompt_overwrite);
    EXPECT_EQ(TempFolder::read(files.path("sensor.txt")), "one\ntwo\n");

    prompter.files.push_back(files.path("no/such/folder/sensor.txt"));
    save_report(r, prompter);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Couldn't write to file"}));
}

TEST_F(ReportLogTest, ExportSnapshotWritesTheSensorsRecords) {
    start();
    const auto r = report();
    prompter.files.push_back(files.path("snap.json"));
    EXPECT_TRUE(export_snapshot(link, r, prompter));
    EXPECT_EQ(prompter.file_requests.at(0).title, "Export Snapshot");
    EXPECT_EQ(prompter.file_requests.at(0).initial_name, "Virtual Sensor_snapshot.json");
    EXPECT_EQ(load_snapshot(files.path("snap.json"))["identity"]["serial_number"], 1001);
    EXPECT_TRUE(prompter.texts().empty());
}

TEST_F(ReportLogTest, RestoreShowsThePreviewBeforeWritingAndThenTheOutcome) {
    start();
    auto snapshot = read_snapshot(link).snapshot.value();
    const std::string p2_before = snapshot["platform_defaults"]["p2"].dump();
    snapshot["platform_defaults"]["p2"] = -7;
    const std::string path = files.write("snap.json", snapshot_text(snapshot));
    prompter.files.push_back(path);
    sensor->clear_log();
    auto plan = plan_restore(link, prompter);
    ASSERT_TRUE(plan.has_value());
    EXPECT_EQ(prompter.file_requests.at(0).title, "Restore Snapshot");
    const auto preview = outcome_lines(plan->preview);
    EXPECT_NE(std::find(preview.begin(), preview.end(),
                        "platform defaults: would change p2 " + p2_before + " -> -7"),
              preview.end());
    for (const auto code : sensor->logged_codes()) {
        EXPECT_NE(code, 441) << "nothing written by the preview";
    }
    EXPECT_TRUE(run_restore(link, *plan, prompter));
    ASSERT_EQ(prompter.prompts.size(), 2u);
    EXPECT_EQ(prompter.prompts[1].caption, "Restore Snapshot");
    EXPECT_NE(prompter.prompts[1].text.find("Snapshot restored.\n\n"), std::string::npos);
    EXPECT_NE(prompter.prompts[1].text.find("\nplatform defaults: written\n"), std::string::npos);
    link::RecordBytes<link::kPlatformDefaultsSize> bytes{};
    ASSERT_EQ(link::get_platform_defaults(link, bytes), 0);
    EXPECT_EQ(records::decode_platform_defaults(bytes).p2, -7);
}

TEST_F(ReportLogTest, RestoreOfAnotherChemistryAsksFirstAndABadFileIsRefused) {
    start();
    auto snapshot = read_snapshot(link).snapshot.value();
    snapshot["chemistry_config"]["chemistry"] = "Silicate";
    prompter.files.push_back(files.write("snap.json", snapshot_text(snapshot)));
    EXPECT_FALSE(plan_restore(link, prompter).has_value()) << "the user said No";
    EXPECT_EQ(prompter.prompts.back().text,
              "The snapshot's chemistry is Silicate; this sensor is configured for Nitrate.\n\n"
              "Restore it anyway? The sensor's chemistry will be changed.");
    prompter.files.push_back(files.path("snap.json"));
    prompter.answers.push_back(common::Answer::Yes);
    const auto plan = plan_restore(link, prompter);
    ASSERT_TRUE(plan.has_value());
    EXPECT_TRUE(plan->options.force);

    prompter.files.push_back(files.write("bad.json", "{\"kelpira_snapshot\": 1}"));
    EXPECT_FALSE(plan_restore(link, prompter).has_value());
    EXPECT_EQ(prompter.prompts.back().text,
              "The snapshot cannot be used: chemistry_config: missing");
}

}  // namespace
}  // namespace kelpira::report

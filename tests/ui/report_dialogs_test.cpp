// The configuration log and the restore dialog on screen (offscreen), wiring only: the list
// and its selection, Save..., Copy, Export Snapshot..., the preview and Restore.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QListWidget>
#include <QPushButton>

#include "report/config_report.hpp"
#include "report/snapshot.hpp"
#include "support/qt_application.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"
#include "ui/report/config_log_dialog.hpp"
#include "ui/report/restore_snapshot_dialog.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::ui {
namespace {

using namespace std::chrono_literals;

class ReportDialogsTest : public ::testing::Test {
  protected:
    ReportDialogsTest() {
        testing::test_application();
        virtual_sensor::attach_in_process(backend, "/virtual/sensor", sensor);
        EXPECT_EQ(link.Open("/virtual/sensor", 3000ms), 0);
    }
    ~ReportDialogsTest() override { link.Close(); }

    virtual_sensor::VirtualSensor sensor;
    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    testing::RecordingPrompter prompter;
    testing::TempFolder files;
};

TEST_F(ReportDialogsTest, ConfigurationLogListsSavesCopiesAndExports) {
    auto report = report::build_config_report(link, 0);
    const auto lines = report.lines;
    ConfigLogDialog dialog(link, prompter, std::move(report));
    EXPECT_EQ(dialog.windowTitle(), "Sensor Configuration Log");
    ASSERT_EQ(dialog.list()->count(), static_cast<int>(lines.size()));
    EXPECT_EQ(dialog.list()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(dialog.list()->contextMenuPolicy(), Qt::CustomContextMenu);
    dialog.list()->item(4)->setSelected(true);
    dialog.list()->item(1)->setSelected(true);
    dialog.copy_selection();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              lines[1] + "\r\n" + lines[4] + "\r\n");

    prompter.files.push_back(files.path("log.txt"));
    dialog.save_button()->click();
    EXPECT_EQ(prompter.file_requests.at(0).initial_name, "Virtual Sensor_config.log");
    EXPECT_EQ(testing::TempFolder::read(files.path("log.txt")).size(), [&] {
        std::size_t n = 0;
        for (const auto& l : lines) {
            n += l.size() + 1;
        }
        return n;
    }());
    prompter.files.push_back(files.path("snap.json"));
    dialog.export_button()->click();
    EXPECT_EQ(prompter.file_requests.at(1).title, "Export Snapshot");
    EXPECT_FALSE(testing::TempFolder::read(files.path("snap.json")).empty());
}

TEST_F(ReportDialogsTest, RestorePreviewsThenWritesAfterConfirmation) {
    auto snapshot = report::read_snapshot(link).snapshot.value();
    snapshot["platform_defaults"]["dive_number"] = 5;
    prompter.files.push_back(files.write("snap.json", report::snapshot_text(snapshot)));
    auto plan = report::plan_restore(link, prompter);
    ASSERT_TRUE(plan.has_value());
    RestoreSnapshotDialog dialog(link, prompter, std::move(*plan));
    const auto last = [&] {
        return dialog.preview()->item(dialog.preview()->count() - 1)->text().toStdString();
    };
    EXPECT_EQ(last(), "identification: not written (the sensor keeps its own)");
    dialog.identity_box()->setChecked(true);
    EXPECT_EQ(last(), "identification: unchanged");
    EXPECT_EQ(
        dialog.preview()
            ->findItems("platform defaults: would change dive_number 0 -> 5", Qt::MatchExactly)
            .size(),
        1);

    dialog.restore_button()->click();  // the recording prompter answers No
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(sensor.record(440)->at(1), 0) << "nothing written without confirmation";
    prompter.answers.push_back(common::Answer::Yes);
    dialog.restore_button()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(sensor.record(440)->at(1), 5);
    EXPECT_TRUE(prompter.prompts.back().text.starts_with("Snapshot restored."));
}

}  // namespace
}  // namespace kelpira::ui

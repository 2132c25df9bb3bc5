// The deployment check window on screen (offscreen), wiring only: the marks, the entries kept
// for the session, "Check Again" and "Save...".
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "deployment_check/deployment_check.hpp"
#include "link/command_catalogue.hpp"
#include "support/qt_application.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"
#include "ui/deployment_check/deployment_check_dialog.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::ui {
namespace {

using namespace std::chrono_literals;

class DeploymentCheckDialogTest : public ::testing::Test {
  protected:
    DeploymentCheckDialogTest() {
        testing::test_application();
        virtual_sensor::attach_in_process(backend, "/virtual/sensor", sensor);
        EXPECT_EQ(link.Open("/virtual/sensor", 3000ms), 0);
    }
    ~DeploymentCheckDialogTest() override { link.Close(); }

    QColor mark(const DeploymentCheckDialog& d, int row) {
        return d.list()->item(row)->icon().pixmap(14, 14).toImage().pixelColor(7, 7);
    }

    virtual_sensor::VirtualSensor sensor;
    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    testing::RecordingPrompter prompter;
    testing::TempFolder files;
    deployment_check::CheckForm form;
};

// The check runs on its worker: wait for it, with a deadline.
void wait_done(const DeploymentCheckDialog& d) {
    QTRY_VERIFY_WITH_TIMEOUT(!d.running(), 10000);
}

TEST_F(DeploymentCheckDialogTest, MarksEntriesCheckAgainAndSave) {
    DeploymentCheckDialog dialog(link, prompter, form);
    dialog.check_again();
    EXPECT_TRUE(dialog.running());
    EXPECT_FALSE(dialog.check_button()->isEnabled());
    wait_done(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Deployment Check");
    EXPECT_EQ(dialog.headline_label()->text(), "READY with 4 warnings");
    ASSERT_EQ(dialog.list()->count(), 16);
    // The most severe first: the warnings, then the passes.
    EXPECT_TRUE(dialog.list()->item(0)->text().startsWith("WARN program "))
        << dialog.list()->item(0)->text().toStdString();
    EXPECT_TRUE(dialog.list()->item(4)->text().startsWith("PASS link "))
        << dialog.list()->item(4)->text().toStdString();
    EXPECT_EQ(mark(dialog, 0), QColor(240, 170, 0));  // program: amber
    EXPECT_EQ(mark(dialog, 4), QColor(0, 160, 70));   // link: green

    QTest::keyClicks(dialog.days_edit(), "30");
    dialog.platform_list()->setCurrentIndex(1);
    EXPECT_EQ(form.days, "30");
    EXPECT_EQ(form.platform, deployment_check::HostPlatform::seaglider);
    dialog.check_button()->click();
    wait_done(dialog);
    EXPECT_EQ(dialog.headline_label()->text(), "NOT READY: 2 items fail");
    EXPECT_TRUE(dialog.list()->item(0)->text().startsWith("FAIL program "));
    EXPECT_TRUE(dialog.list()->item(0)->text().endsWith(
        "\n    Fix: Configure > State Machine...; kelpira-ctl sm get FILE, then sm put FILE"));
    EXPECT_EQ(mark(dialog, 0), QColor(220, 0, 0));  // the program stops before 30 days

    // A second window starts from the entries of the first.
    QTest::keyClicks(dialog.stroke_edit(), "-1");
    DeploymentCheckDialog again(link, prompter, form);
    EXPECT_EQ(again.days_edit()->text(), "30");
    EXPECT_EQ(again.platform_list()->currentIndex(), 1);
    again.check_button()->click();
    EXPECT_FALSE(again.running());
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"The stroke volume must be a positive number of "
                                       "microlitres, or inject=V,withdraw=V."});
    EXPECT_EQ(again.list()->count(), 0);

    // The deployment sheet, as kelpira-ctl check --sheet writes it.
    prompter.files.push_back(files.path("sheet.txt"));
    dialog.save_button()->click();
    const std::string saved = testing::TempFolder::read(files.path("sheet.txt"));
    EXPECT_TRUE(saved.starts_with("KELPIRA DEPLOYMENT SHEET\n\nNOT READY: 2 items fail\n"))
        << saved;
}

// Cancel ends the check on its worker with "not checked".
TEST_F(DeploymentCheckDialogTest, CancelEndsTheCheck) {
    sensor.inject(link::code_value(link::CommandCode::GET_LIVE_STATUS),
                  {virtual_sensor::FaultKind::no_answer});
    DeploymentCheckDialog dialog(link, prompter, form);
    dialog.check_again();
    EXPECT_TRUE(dialog.cancel_button()->isVisible() || !dialog.isVisible());
    dialog.cancel_button()->click();
    wait_done(dialog);
    EXPECT_EQ(dialog.headline_label()->text(), "NOT CHECKED: The check was cancelled.");
    EXPECT_EQ(dialog.list()->count(), 0);
}

}  // namespace
}  // namespace kelpira::ui

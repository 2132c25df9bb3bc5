// The deployment check window on screen (offscreen), wiring only: the marks, the entries kept
// for the session, "Check Again" and "Save...".
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "deployment_check/deployment_check.hpp"
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

TEST_F(DeploymentCheckDialogTest, MarksEntriesCheckAgainAndSave) {
    DeploymentCheckDialog dialog(link, prompter, form);
    dialog.check_again();
    EXPECT_EQ(dialog.windowTitle(), "Deployment Check");
    ASSERT_EQ(dialog.list()->count(), 14);
    EXPECT_TRUE(dialog.list()->item(5)->text().startsWith("WARN program "));
    EXPECT_EQ(mark(dialog, 0), QColor(0, 160, 70));   // link: green
    EXPECT_EQ(mark(dialog, 5), QColor(240, 170, 0));  // program: amber

    QTest::keyClicks(dialog.days_edit(), "30");
    dialog.platform_list()->setCurrentIndex(1);
    EXPECT_EQ(form.days, "30");
    EXPECT_EQ(form.platform, deployment_check::HostPlatform::seaglider);
    dialog.check_button()->click();
    EXPECT_EQ(mark(dialog, 5), QColor(220, 0, 0));  // the program stops before 30 days
    EXPECT_TRUE(dialog.list()->item(12)->text().startsWith("WARN serial "));

    // A second window starts from the entries of the first.
    QTest::keyClicks(dialog.stroke_edit(), "-1");
    DeploymentCheckDialog again(link, prompter, form);
    EXPECT_EQ(again.days_edit()->text(), "30");
    EXPECT_EQ(again.platform_list()->currentIndex(), 1);
    again.check_button()->click();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{
                                    "The stroke volume must be a positive number of microlitres."});
    EXPECT_EQ(again.list()->count(), 0);

    prompter.files.push_back(files.path("check.txt"));
    dialog.save_button()->click();
    const std::string saved = testing::TempFolder::read(files.path("check.txt"));
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 14);
    EXPECT_EQ(saved.substr(0, 17), "PASS link        ");
}

}  // namespace
}  // namespace kelpira::ui

// The "Platform Simulator" window on screen (offscreen) against a virtual sensor's serial side:
// the form's defaults and enabling, a Seaglider simulation with sampling reporting into the
// status line and the list, Stop, a download filling the list, and the question on closing.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <functional>

#include "support/qt_application.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"
#include "ui/host_platform/platform_simulator_window.hpp"
#include "virtual_sensor/serial_side.hpp"

namespace kelpira::ui {
namespace {

using testing::RecordingPrompter;

constexpr int kWaitMs = 30000;  // only ever reached when something is broken

// Runs the event loop until `done` holds.
bool settle_until(const std::function<bool()>& done) {
    QTimer guard;
    guard.setSingleShot(true);
    guard.start(kWaitMs);
    while (!done() && guard.isActive()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return done();
}

TEST(PlatformSimulatorWindow, RunsASeagliderSimulationAndADownloadAgainstTheSensor) {
    testing::test_application();
    testing::TempFolder folder;
    virtual_sensor::VirtualSensorOptions options;
    options.stored_results = 3;
    options.serial.protocol = virtual_sensor::SerialProtocol::seaglider;
    virtual_sensor::VirtualSensor sensor(options);
    virtual_sensor::SerialSide side(sensor, options.serial);
    ASSERT_EQ(side.start(folder.path(""), "Demo Sensor"), "");

    // The status steps wait until Stop; the sampler samples once at once, then waits too.
    host_platform::SimulatorHooks hooks;
    auto samples = std::make_shared<std::atomic<int>>(0);
    hooks.pause = [samples](common::WorkerControl& control, std::chrono::milliseconds interval) {
        if (interval == std::chrono::seconds(1) && samples->fetch_add(1) == 0) {
            return control.stop_requested();
        }
        return control.wait(std::chrono::hours(1));
    };
    RecordingPrompter prompter;
    PlatformSimulatorWindow window(prompter, nullptr, hooks);
    window.show();

    EXPECT_EQ(window.windowTitle(), "Platform Simulator");
    EXPECT_EQ(window.result_list()->columnCount(), 13);
    EXPECT_EQ(window.result_list()->headerItem()->text(8), "Temperature (degC)");
    EXPECT_EQ(window.serial_group()->title(), "Serial Communication Parameters");
    EXPECT_FALSE(window.start_button()->isEnabled());

    window.platform_type_box()->setCurrentText("Seaglider");
    EXPECT_EQ(window.serial_group()->title(), "RS232 Communication Parameters");
    EXPECT_TRUE(window.start_button()->isEnabled());
    EXPECT_TRUE(window.download_button()->isEnabled());
    EXPECT_FALSE(window.stop_button()->isEnabled());
    EXPECT_FALSE(window.field("Sample Interval (s)")->isEnabled());
    window.sampling_box()->setChecked(true);
    EXPECT_TRUE(window.field("Sample Interval (s)")->isEnabled());
    window.field("Min Depth (m)")->setText("10");
    window.field("Update Interval (s)")->setText("10");
    window.field("Sample Interval (s)")->setText("1");
    window.field("Dive Number")->setText("70000");
    window.port_box()->setCurrentText(QString::fromStdString(side.link_path()));

    window.start_button()->click();
    ASSERT_TRUE(window.running()) << (prompter.prompts.empty() ? "" : prompter.prompts[0].text);
    EXPECT_EQ(window.field("Dive Number")->text(), "65535");
    EXPECT_FALSE(window.start_button()->isEnabled());
    EXPECT_FALSE(window.platform_type_box()->isEnabled());
    EXPECT_TRUE(window.stop_button()->isEnabled());
    ASSERT_TRUE(settle_until([&] {
        return window.result_list()->topLevelItemCount() == 1 &&
               window.status_line()->text() == "Depth: 10.00, Direction: dive";
    })) << window.status_line()->text().toStdString();
    const auto* row = window.result_list()->topLevelItem(0);
    EXPECT_EQ(row->text(0), "-");
    EXPECT_EQ(row->text(2), "10.020");
    EXPECT_EQ(row->text(4), "good");

    window.stop_button()->click();
    EXPECT_FALSE(window.running());
    EXPECT_TRUE(window.start_button()->isEnabled());
    side.wait_until_free();

    window.download_button()->click();
    ASSERT_TRUE(settle_until([&] { return !window.running(); }));
    ASSERT_EQ(window.result_list()->topLevelItemCount(), 3);
    EXPECT_EQ(window.result_list()->topLevelItem(2)->text(5), "50.000");
    EXPECT_EQ(window.result_list()->topLevelItem(2)->text(6), "diving");
    EXPECT_TRUE(window.download_button()->isEnabled());
    side.wait_until_free();

    // Closing while a simulation runs asks first; No keeps it running.
    window.start_button()->click();
    ASSERT_TRUE(window.running());
    window.close();
    ASSERT_EQ(prompter.prompts.size(), 1U);
    EXPECT_EQ(prompter.prompts[0].caption, "Exit");
    EXPECT_EQ(prompter.prompts[0].text, "Stop simulation?");
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.running());
    prompter.answers.push_back(common::Answer::Yes);
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.running());
}

}  // namespace
}  // namespace kelpira::ui

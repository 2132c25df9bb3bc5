// The main window driven as a user drives it: the device list, connecting, the status bar,
// menu enabling, unplugging, the bootloader's restart, and devices that misbehave.
#include <QApplication>
#include <QTimer>

#include "link/operation_commands.hpp"
#include "ui/host_platform/platform_simulator_window.hpp"
#include "ui/shell/compatibility_view.hpp"
#include "ui/shell_fixture.hpp"
#include "ui/views/raw_graph_view.hpp"
#include "ui/views/text_views.hpp"

namespace kelpira::testing {
namespace {

using shell::Command;
using virtual_sensor::RunningCode;

constexpr const char* kDemo = "/virtual/Demo.VID_04D8&PID_EABC";
constexpr const char* kOther = "/virtual/Other.VID_04D8&PID_EABD";
constexpr const char* kType = "Marivane KELPIRA Lab-on-Chip Sensor";
constexpr int kPollWaitMs = 5000;  // a few poll periods

class MainWindowTest : public ShellFixture {
  protected:
    // Starts the window with the demo sensor and connects to it by double click.
    void connect_demo() {
        if (sensors.empty()) {
            plug(kDemo, sensor("Demo Sensor", 4711));
        }
        open_window();
        double_click_row(0);
        settle();
        ASSERT_TRUE(link.is_open());
    }

    // Waits for the status poll's first report.
    void wait_for_poll() {
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return window->status_text(1) == "USB Comms OK"; }, kPollWaitMs));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return window->status_text(2).startsWith("Sensor Mode: "); }, kPollWaitMs));
    }
};

TEST_F(MainWindowTest, TheDeviceListShowsEverySensorWithItsTexts) {
    plug(kDemo, sensor("Demo Sensor", 4711));
    backend.add("/dev/keyboard", "VID_046D&PID_C31C",
                [](const link::Report&) { return std::vector<link::InProcessReport>{}; });
    auto boot = sensor("Boot Sensor", 12, RunningCode::bootloader);
    boot.bootloader_version = 4;
    plug(kOther, boot);
    open_window();

    EXPECT_EQ(window->windowTitle(), "not connected");
    EXPECT_EQ(window->status_text(0), "not connected");
    // The application icon from the program's resources, drawn.
    EXPECT_FALSE(window->windowIcon().pixmap(32, 32).isNull());
    ASSERT_NE(connect_view(), nullptr);
    QTreeWidget* list = connect_view()->device_list();
    EXPECT_EQ(list->headerItem()->text(0), "Name");
    EXPECT_EQ(list->headerItem()->text(1), "Serial Number");
    EXPECT_EQ(list->headerItem()->text(2), "State");
    EXPECT_EQ(list->headerItem()->text(3), "Type");
    ASSERT_EQ(list_rows().size(), 2U);
    EXPECT_EQ(list_rows()[0], (QStringList{"Demo Sensor", "4711", "Firmware", kType}));
    EXPECT_EQ(list_rows()[1], (QStringList{"Boot Sensor", "12", "Bootloader (v4)", kType}));

    QPushButton* connect = connect_view()->connect_button();
    EXPECT_EQ(connect->text(), "Connect");
    EXPECT_EQ(connect->toolTip(), "Connect To Sensor");
    EXPECT_FALSE(connect->isEnabled());
    click_row(1);
    EXPECT_TRUE(connect->isEnabled());
    // A click below the last row selects nothing.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(5, list->viewport()->height() - 3));
    EXPECT_FALSE(connect->isEnabled());
    EXPECT_TRUE(list->selectedItems().isEmpty());
}

TEST_F(MainWindowTest, ConnectingFillsTitleAndStatusBar) {
    plug(kDemo, sensor("Demo Sensor", 4711));
    open_window();
    click_row(0);
    QTest::mouseClick(connect_view()->connect_button(), Qt::LeftButton);
    settle();

    EXPECT_EQ(window->windowTitle(), QString("Demo Sensor (") + kType + ")");
    EXPECT_EQ(window->status_text(0), "Demo Sensor connected");
    EXPECT_NE(qobject_cast<ui::RawGraphView*>(window->current_view()), nullptr);
    wait_for_poll();
    EXPECT_EQ(window->status_text(2), "Sensor Mode: Idle");
    EXPECT_EQ(window->status_text(3), "");
    EXPECT_TRUE(window->status_text(4).endsWith(QString::fromUtf8("\u00b0C")));
    EXPECT_TRUE(window->status_text(4).contains("V/"));
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(MainWindowTest, TheCompatibilityViewListsVerdictAndReleasesInColour) {
    auto options = sensor("Demo Sensor", 4711);
    options.firmware_version = "KELPIRA_2_8_1";
    plug(kDemo, options);
    connect_demo();
    window->run_command(Command::Compatibility);
    settle();
    auto* view = qobject_cast<ui::CompatibilityView*>(window->current_view());
    ASSERT_NE(view, nullptr);
    QTreeWidget* verdict = view->verdict_list();
    EXPECT_EQ(verdict->headerItem()->text(0), "Compatibility");
    ASSERT_EQ(verdict->topLevelItemCount(), 10);
    EXPECT_EQ(verdict->topLevelItem(0)->text(0), "Sensor's Firmware Version: KELPIRA_2_8_1");
    EXPECT_EQ(verdict->topLevelItem(2)->text(0), "This GUI Version: 1.0e");
    EXPECT_EQ(verdict->topLevelItem(7)->text(0), "Do not try to configure Ammonia chemistry");
    EXPECT_EQ(verdict->topLevelItem(7)->foreground(0).color(), QColor(255, 0, 0));
    EXPECT_EQ(verdict->topLevelItem(9)->text(0), "All other operations are safe.");
    EXPECT_EQ(verdict->topLevelItem(9)->foreground(0).color(), QColor(0, 0, 0));

    QTreeWidget* releases = view->release_list();
    EXPECT_EQ(releases->headerItem()->text(0), "Firmware Version");
    EXPECT_EQ(releases->headerItem()->text(1), "Date");
    EXPECT_EQ(releases->headerItem()->text(2), "Changes");
    ASSERT_EQ(releases->topLevelItemCount(), 95);
    EXPECT_EQ(releases->topLevelItem(0)->text(1), "01/02/2021");
    EXPECT_EQ(releases->topLevelItem(0)->foreground(0).color(), QColor(100, 100, 100));
    EXPECT_EQ(releases->topLevelItem(2)->text(0), "KELPIRA_2_8_1");
    EXPECT_EQ(releases->topLevelItem(2)->foreground(2).color(), QColor(0, 0, 0));
}

TEST_F(MainWindowTest, AnUnreadableFirmwareVersionClosesTheCompatibilityView) {
    auto& demo = plug(kDemo, sensor("Demo Sensor", 4711));
    connect_demo();
    demo.inject(294, {virtual_sensor::FaultKind::removed}, 1);
    window->run_command(Command::Compatibility);
    settle();
    ASSERT_EQ(prompter.prompts.size(), 1U);
    EXPECT_EQ(prompter.prompts[0].caption, "Connect");
    EXPECT_EQ(prompter.prompts[0].text, "Can't read firmware version from sensor");
    EXPECT_EQ(window->current_view(), nullptr);
    EXPECT_EQ(window->status_text(0), "Demo Sensor connected");
}

TEST_F(MainWindowTest, MenuEnablingInTheThreeStates) {
    plug(kDemo, sensor("Demo Sensor", 4711));
    open_window();
    // Not connected.
    EXPECT_FALSE(enabled(Command::Disconnect));
    EXPECT_FALSE(enabled(Command::MountAsDrive));
    EXPECT_FALSE(enabled(Command::Compatibility));
    EXPECT_TRUE(enabled(Command::About));
    EXPECT_TRUE(enabled(Command::SensorPortPins));
    EXPECT_TRUE(enabled(Command::Exit));

    // Connected and idle.
    double_click_row(0);
    settle();
    EXPECT_TRUE(enabled(Command::Disconnect));
    EXPECT_TRUE(enabled(Command::MountAsDrive));
    EXPECT_TRUE(enabled(Command::Compatibility));
    EXPECT_TRUE(enabled(Command::About));

    // Running: started from elsewhere, followed through the poll.
    ASSERT_EQ(link::start_state_machine(link, 0), link::kResultSuccess);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->status_text(2) == "Sensor Mode: Operating"; },
                                kPollWaitMs));
    EXPECT_EQ(window->status_text(3), "File: R0000001.CSV");
    EXPECT_TRUE(enabled(Command::Disconnect));
    EXPECT_TRUE(enabled(Command::Compatibility));
    EXPECT_FALSE(enabled(Command::MountAsDrive));
    EXPECT_TRUE(enabled(Command::About));
    EXPECT_TRUE(enabled(Command::SensorPortPins));

    // Disconnected again.
    window->menu_action(Command::Disconnect)->trigger();
    settle();
    EXPECT_FALSE(link.is_open());
    EXPECT_FALSE(enabled(Command::Disconnect));
    EXPECT_FALSE(enabled(Command::MountAsDrive));
    EXPECT_EQ(window->windowTitle(), "not connected");
    EXPECT_EQ(window->status_text(2), "");
    ASSERT_NE(connect_view(), nullptr);
    EXPECT_EQ(list_rows().size(), 1U);
}

TEST_F(MainWindowTest, UnpluggingTheConnectedSensorReturnsToTheConnectView) {
    plug(kOther, sensor("Other Sensor", 2));
    plug(kDemo, sensor("Demo Sensor", 4711));
    open_window();
    double_click_row(1);
    settle();
    ASSERT_TRUE(link.is_open());
    wait_for_poll();

    // Another device leaves: nothing happens to the connection.
    unplug(kOther);
    settle();
    EXPECT_TRUE(link.is_open());
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_EQ(window->status_text(0), "Demo Sensor connected");

    // The connected one leaves, reported in another letter case.
    unplug(kDemo, "/VIRTUAL/demo.vid_04d8&pid_eabc");
    settle();
    EXPECT_FALSE(link.is_open());
    ASSERT_EQ(prompter.prompts.size(), 1U);
    EXPECT_EQ(prompter.prompts[0].caption, "Device Change");
    EXPECT_EQ(prompter.prompts[0].text, "Sensor Disconnected");
    ASSERT_NE(connect_view(), nullptr);
    EXPECT_TRUE(list_rows().empty());
    EXPECT_EQ(window->windowTitle(), "not connected");
    EXPECT_EQ(window->status_text(0), "not connected");
    EXPECT_EQ(window->status_text(1), "");
    EXPECT_FALSE(enabled(Command::Disconnect));
}

TEST_F(MainWindowTest, UnpluggingWhileAModalDialogIsOpen) {
    connect_demo();
    bool dialog_seen = false;
    QTimer::singleShot(0, window.get(), [&] {
        dialog_seen = QApplication::activeModalWidget() != nullptr;
        unplug(kDemo);
        QTimer::singleShot(0, window.get(), [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        });
    });
    window->menu_action(Command::About)->trigger();
    settle();
    EXPECT_TRUE(dialog_seen);
    EXPECT_FALSE(link.is_open());
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Sensor Disconnected"}));
    EXPECT_NE(connect_view(), nullptr);
}

TEST_F(MainWindowTest, ABootloaderConnectsItselfWhenItsFirmwareStarts) {
    plug(kOther, sensor("Other Sensor", 2));
    auto& boot = plug(kDemo, sensor("Boot Sensor", 77, RunningCode::bootloader));
    open_window();
    double_click_row(1);
    EXPECT_TRUE(link.is_open());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->status_text(0) == "Boot Sensor connected"; },
                                kPollWaitMs));
    EXPECT_EQ(boot.running(), RunningCode::firmware);
    EXPECT_NE(qobject_cast<ui::RawGraphView*>(window->current_view()), nullptr);
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_TRUE(enabled(Command::Disconnect));
}

TEST_F(MainWindowTest, ADeviceThatDoesNotAnswerIsListedAsUnknown) {
    backend.add(kOther, "VID_04D8&PID_E968",
                [](const link::Report&) { return std::vector<link::InProcessReport>{}; });
    open_window();
    ASSERT_EQ(list_rows().size(), 1U);
    EXPECT_EQ(list_rows()[0], (QStringList{"Unknown device", "", "", ""}));
    click_row(0);
    EXPECT_FALSE(connect_view()->connect_button()->isEnabled());
}

TEST_F(MainWindowTest, ASensorThatCannotBeOpenedFailsToConnect) {
    plug(kDemo, sensor("Demo Sensor", 4711));
    open_window();
    click_row(0);
    auto holder = backend.open(kDemo);  // another program takes the device
    ASSERT_TRUE(holder);
    QTest::mouseClick(connect_view()->connect_button(), Qt::LeftButton);
    ASSERT_EQ(prompter.prompts.size(), 1U);
    EXPECT_EQ(prompter.prompts[0].caption, "Connect");
    EXPECT_EQ(prompter.prompts[0].text, "Failed to connect");
    EXPECT_TRUE(connect_view()->connect_button()->isEnabled());
    EXPECT_EQ(window->windowTitle(), "not connected");
}

TEST_F(MainWindowTest, TitleIsCutTo55CharactersAndTwentyCharacterNamesShowWhole) {
    plug(kDemo, sensor("ABCDEFGHIJKLMNOPQRST", 1));
    open_window();
    EXPECT_EQ(list_rows()[0][0], "ABCDEFGHIJKLMNOPQRST");
    double_click_row(0);
    settle();
    EXPECT_EQ(window->windowTitle(), "ABCDEFGHIJKLMNOPQRST (Marivane KELPIRA Lab-on-Chip Sens");
    EXPECT_EQ(window->windowTitle().size(), 55);
    EXPECT_EQ(window->status_text(0), "ABCDEFGHIJKLMNOPQRST connected");
}

TEST_F(MainWindowTest, BadAnswersStillListWhatCanBeListed) {
    auto& garbage = plug("/virtual/a.VID_04D8&PID_EABC", sensor("Garbage", 1));
    garbage.inject(262, {virtual_sensor::FaultKind::garbage});
    auto& runs_on = plug("/virtual/b.VID_04D8&PID_EABC", sensor("Runs On", 2));
    runs_on.inject(260, {virtual_sensor::FaultKind::unterminated_text});
    auto& leaving = plug("/virtual/c.VID_04D8&PID_EABC", sensor("Leaving", 3));
    leaving.inject(260, {virtual_sensor::FaultKind::removed});
    plug("/virtual/d.VID_04D8&PID_EABC", sensor("Steady", 4));
    open_window();
    const auto rows = list_rows();
    ASSERT_EQ(rows.size(), 4U);
    EXPECT_EQ(rows[0][0], "Garbage");
    EXPECT_TRUE(rows[1][0].startsWith("Runs On"));
    EXPECT_LE(rows[1][0].size(), 20);
    EXPECT_EQ(rows[2][0], "Unknown device");
    EXPECT_EQ(rows[3], (QStringList{"Steady", "4", "Firmware", kType}));
}

TEST_F(MainWindowTest, EscapeEndsTheProgramAndAltF4DoesNothing) {
    connect_demo();
    QTest::keyClick(window.get(), Qt::Key_F4, Qt::AltModifier);
    settle();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(link.is_open());
    QTest::keyClick(window.get(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(link.is_open());
}

TEST_F(MainWindowTest, HelpItemsWorkWithoutASensor) {
    open_window();
    window->menu_action(Command::SensorPortPins)->trigger();
    ASSERT_EQ(prompter.prompts.size(), 1U);
    EXPECT_EQ(prompter.prompts[0].caption, "Sensor Port Pins");
    EXPECT_TRUE(prompter.prompts[0].text.starts_with("Communication Port\n\n  PIN 1: 12-16 VDC\n"));
    // Processing needs no sensor; cancelling the file choice ends it quietly.
    for (Command c : {Command::ProcessNutrient, Command::ProcessNutrientMulti, Command::ProcessPh,
                      Command::ProcessTa, Command::ProcessDic}) {
        ASSERT_NE(window->menu_action(c), nullptr);
        EXPECT_TRUE(enabled(c));
    }
    window->menu_action(Command::ProcessPh)->trigger();
    ASSERT_EQ(prompter.prompts.size(), 2U);
    EXPECT_EQ(prompter.prompts[1].kind, "open");
    // The simulator needs no sensor either; a second choice brings the same window forward.
    ASSERT_NE(window->menu_action(Command::PlatformSimulator), nullptr);
    EXPECT_TRUE(enabled(Command::PlatformSimulator));
    window->menu_action(Command::PlatformSimulator)->trigger();
    window->menu_action(Command::PlatformSimulator)->trigger();
    const auto simulators = window->findChildren<ui::PlatformSimulatorWindow*>();
    ASSERT_EQ(simulators.size(), 1);
    EXPECT_TRUE(simulators[0]->isVisible());
    EXPECT_EQ(simulators[0]->windowTitle(), "Platform Simulator");
}

}  // namespace
}  // namespace kelpira::testing

// The operation views wired into the main window: what each shows, its buttons reaching the
// sensor, the start states dialog, and views going while their workers talk to the sensor.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include "link/command_catalogue.hpp"
#include "support/temp_folder.hpp"
#include "ui/common/view_notifications.hpp"
#include "ui/graph/proc_graph_widget.hpp"
#include "ui/shell_fixture.hpp"
#include "ui/views/processed_graph_view.hpp"
#include "ui/views/sensor_log_dialogs.hpp"
#include "ui/views/start_states_dialog.hpp"
#include "ui/views/text_views.hpp"

namespace kelpira::testing {
namespace {

using link::CommandCode;
using shell::Command;

constexpr const char* kDemo = "/virtual/Demo.VID_04D8&PID_EABC";
constexpr int kWaitMs = 5000;

class ViewsTest : public ShellFixture {
  protected:
    void SetUp() override {
        demo = &plug(kDemo, sensor("Demo Sensor", 4711));
        open_window();
        double_click_row(0);
        settle();
        ASSERT_TRUE(link.is_open());
    }

    template <typename View>
    View* show(Command command) {
        window->run_command(command);
        settle();
        return qobject_cast<View*>(window->current_view());
    }

    std::size_t sent(CommandCode code) const {
        std::size_t n = 0;
        for (const auto& c : demo->log()) {
            n += c.code == link::code_value(code) ? 1 : 0;
        }
        return n;
    }

    // Runs `inspect` on the modal dialog the next action opens, then closes it.
    template <typename Dialog>
    void on_dialog(std::function<void(Dialog*)> inspect) {
        QTimer::singleShot(0, window.get(), [inspect] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            inspect(dialog);
            dialog->close();
        });
    }

    virtual_sensor::VirtualSensor* demo = nullptr;
};

TEST_F(ViewsTest, RawOutputFollowsThePollAndStartsAndStopsTheSensor) {
    auto* view = show<ui::RawTextView>(Command::RawOutputText);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->list().model()->headerData(2, Qt::Horizontal, Qt::DisplayRole), "Ch 0");
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->list().model()->rowCount() > 0; }, kWaitMs));

    ui::ViewFrame* frame = view->frame();
    EXPECT_EQ(frame->start_list()->currentText(), "Deploy");
    EXPECT_TRUE(frame->start_button()->isEnabled());
    EXPECT_FALSE(frame->stop_button()->isEnabled());
    QTest::mouseClick(frame->start_button(), Qt::LeftButton);
    EXPECT_EQ(sent(CommandCode::START_STATE_MACHINE), 1U);
    EXPECT_FALSE(frame->start_button()->isEnabled());
    EXPECT_TRUE(frame->stop_button()->isEnabled());
    QTest::mouseClick(frame->stop_button(), Qt::LeftButton);
    EXPECT_EQ(sent(CommandCode::STOP_STATE_MACHINE), 1U);
    EXPECT_TRUE(frame->start_button()->isEnabled());
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(ViewsTest, ProcessedOutputListsSavesAndClears) {
    demo->edit_state([](virtual_sensor::SensorState& s) {
        for (std::uint16_t dive = 1; dive <= 2; ++dive) {
            records::OutputRecord r;
            r.dive_number = dive;
            s.stores.outputs.entries.push_back(r);
        }
    });
    auto* view = show<ui::ProcessedTextView>(Command::ProcessedOutputText);
    ASSERT_NE(view, nullptr);
    auto* model = view->list().model();
    EXPECT_EQ(model->headerData(3, Qt::Horizontal, Qt::DisplayRole), "Nitrate (uM)");
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount() == 2; }, kWaitMs));
    EXPECT_EQ(model->data(model->index(1, 0), Qt::DisplayRole), "2");

    // The main window's reload after Configure Chemistry retitles the columns.
    demo->edit_state([](virtual_sensor::SensorState& s) {
        s.records[link::code_value(CommandCode::GET_CHEMISTRY_CONFIG)][1] = 7;  // TA
    });
    ui::send_reload_config(view);
    EXPECT_EQ(model->headerData(3, Qt::Horizontal, Qt::DisplayRole), "TA (umol/kg)");

    TempFolder folder;
    prompter.files.push_back(folder.path("out.csv"));
    QTest::mouseClick(view->save_button(), Qt::LeftButton);
    EXPECT_EQ(prompter.texts().back(), "Processed Output saved to " + folder.path("out.csv"));

    prompter.answers.push_back(common::Answer::Yes);
    QTest::mouseClick(view->clear_button(), Qt::LeftButton);
    EXPECT_EQ(sent(CommandCode::CLEAR_OUTPUTS), 1U);
    EXPECT_EQ(model->rowCount(), 0);
}

TEST_F(ViewsTest, ProcessedOutputViewsFlagResultsAndHideFailedPointsFromTheViewMenu) {
    // Nitrate results whose value is the Short channel's: 100 µM fails the shipped span.
    demo->edit_state([](virtual_sensor::SensorState& s) {
        for (const std::uint32_t hour : {0U, 1U, 2U}) {
            records::OutputRecord r;
            r.sensor_time = 3600 * hour;
            r.value = hour == 1 ? 100 : 10;
            r.p2 = static_cast<float>(r.value);
            s.stores.outputs.entries.push_back(r);
        }
    });
    auto* graph = show<ui::ProcessedGraphView>(Command::ProcessedOutputGraph);
    ASSERT_NE(graph, nullptr);
    const auto& points = graph->graph()->graph().points();
    ASSERT_TRUE(QTest::qWaitFor([&] { return points.size() == 3; }, kWaitMs));
    EXPECT_EQ(points[1].flag, quality::Flag::fail);
    window->menu_action(Command::HideFailedPoints)->trigger();
    EXPECT_TRUE(graph->graph()->graph().hide_failed());

    auto* view = show<ui::ProcessedTextView>(Command::ProcessedOutputText);
    ASSERT_NE(view, nullptr);
    auto* model = view->list().model();
    EXPECT_EQ(model->headerData(12, Qt::Horizontal, Qt::DisplayRole), "QC Flag");
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount() == 3; }, kWaitMs));
    EXPECT_EQ(model->data(model->index(1, 12), Qt::DisplayRole), "4");
    EXPECT_EQ(model->data(model->index(1, 12), Qt::ForegroundRole).value<QBrush>().color(),
              QColor(255, 0, 0));

    // "Quality Control..." with Cancel: the results are read anew without flags.
    prompter.answers.push_back(common::Answer::Cancel);
    QTest::mouseClick(view->quality_button(), Qt::LeftButton);
    EXPECT_EQ(model->columnCount(), 12);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount() == 3; }, kWaitMs));

    // Both choices are kept for the run.
    graph = show<ui::ProcessedGraphView>(Command::ProcessedOutputGraph);
    ASSERT_NE(graph, nullptr);
    const auto& again = graph->graph()->graph();
    EXPECT_TRUE(again.hide_failed());
    ASSERT_TRUE(QTest::qWaitFor([&] { return again.points().size() == 3; }, kWaitMs));
    EXPECT_EQ(again.points()[1].flag, quality::Flag::not_evaluated);
}

TEST_F(ViewsTest, DiagnosticsColoursItsLogAndOpensItsDialogs) {
    auto* view = show<ui::DiagnosticsView>(Command::Diagnostics);
    ASSERT_NE(view, nullptr);
    auto* model = view->list().model();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount() == 1; }, kWaitMs));
    EXPECT_EQ(model->data(model->index(0, 5), Qt::ForegroundRole).value<QBrush>().color(),
              QColor(0, 0, 255));

    QTest::mouseClick(view->button("Toggle LED"), Qt::LeftButton);
    EXPECT_EQ(sent(CommandCode::TOGGLE_LED), 1U);

    on_dialog<ui::RestartLogDialog>([](ui::RestartLogDialog* d) {
        ASSERT_EQ(d->list()->topLevelItemCount(), 1);
        EXPECT_EQ(d->list()->topLevelItem(0)->text(2), "1 (Power On Reset)");
    });
    QTest::mouseClick(view->button("Restarts..."), Qt::LeftButton);

    on_dialog<ui::TaskDialog>([](ui::TaskDialog* d) {
        EXPECT_TRUE(d->all_box(0)->isChecked());
        EXPECT_FALSE(d->all_box(2)->isChecked());
        d->all_box(2)->click();
        EXPECT_TRUE(d->filter_box(16, 2)->isChecked());
        d->save();
    });
    QTest::mouseClick(view->button("Tasks..."), Qt::LeftButton);
    EXPECT_EQ(sent(CommandCode::SET_TASK_FLAGS), 1U);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Settings saved"}));
}

TEST_F(ViewsTest, StartStatesDialogSavesAndTheViewReloads) {
    auto* view = show<ui::RawTextView>(Command::RawOutputText);
    ASSERT_NE(view, nullptr);
    on_dialog<ui::StartStatesDialog>([](ui::StartStatesDialog* d) {
        EXPECT_FALSE(d->row_box(3)->isChecked());
        EXPECT_FALSE(d->row_field(3)->isEnabled());
        d->row_box(3)->click();
        d->row_field(3)->setText("40");  // beyond the states of the default program
        EXPECT_EQ(d->row_field(3)->palette().color(QPalette::Text), QColor(255, 0, 0));
        d->row_field(3)->setText("300");
        d->save();
    });
    window->run_command(Command::StartStates);
    settle();
    EXPECT_EQ(view->frame()->start_list()->count(), 2);
    EXPECT_EQ(view->frame()->start_list()->itemText(1), "Flush");
    EXPECT_EQ(view->frame()->state().start_states()[1].state, 254);

    // Autostart: the dialog opens with the automatic row toggled; cancelled, nothing changes.
    on_dialog<ui::StartStatesDialog>(
        [](ui::StartStatesDialog* d) { EXPECT_TRUE(d->row_box(0)->isChecked()); });
    view->frame()->autostart_box()->click();
    settle();
    EXPECT_FALSE(view->frame()->autostart_box()->isChecked());
}

TEST_F(ViewsTest, SwitchingAwayWhileTheWorkerWaitsForTheSensor) {
    demo->inject(link::code_value(CommandCode::OPEN_OUTPUT_STREAM),
                 {virtual_sensor::FaultKind::late_answer, std::chrono::milliseconds(300)}, 1);
    ASSERT_NE(show<ui::ProcessedTextView>(Command::ProcessedOutputText), nullptr);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sent(CommandCode::OPEN_OUTPUT_STREAM) == 1; }, kWaitMs));
    ASSERT_NE(show<ui::DiagnosticsView>(Command::Diagnostics), nullptr);
    ASSERT_NE(show<ui::ProcessedTextView>(Command::ProcessedOutputText), nullptr);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sent(CommandCode::OPEN_OUTPUT_STREAM) == 2; }, kWaitMs));

    // Disconnecting with a view open and reading.
    window->menu_action(Command::Disconnect)->trigger();
    settle();
    EXPECT_NE(connect_view(), nullptr);
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(ViewsTest, TheSensorLeavingWhileAViewReadsBringsBackTheConnectView) {
    demo->edit_state([](virtual_sensor::SensorState& s) { s.stores.outputs.entries.resize(2); });
    auto* view = show<ui::ProcessedTextView>(Command::ProcessedOutputText);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->list().model()->rowCount() == 2; }, kWaitMs));
    // The sensor leaves while the worker waits for its answer.
    const std::size_t reads = sent(CommandCode::READ_OUTPUT_RECORD);
    demo->inject(link::code_value(CommandCode::READ_OUTPUT_RECORD),
                 {virtual_sensor::FaultKind::late_answer, std::chrono::milliseconds(300)}, 1);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sent(CommandCode::READ_OUTPUT_RECORD) > reads; }, kWaitMs));
    unplug(kDemo);
    settle();
    EXPECT_FALSE(link.is_open());
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Sensor Disconnected"}));
    ASSERT_NE(connect_view(), nullptr);

    // Plugged in again, it connects as before.
    plug(kDemo, sensor("Demo Sensor", 4711));
    settle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list_rows().empty(); }, kWaitMs));
    double_click_row(0);
    settle();
    EXPECT_TRUE(link.is_open());
    EXPECT_EQ(window->status_text(0), "Demo Sensor connected");
}

}  // namespace
}  // namespace kelpira::testing

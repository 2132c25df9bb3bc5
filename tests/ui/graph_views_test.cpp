// The two graph views wired up: the raw graph opens on connection and draws the live
// history with the ticked channels; the processed graph plots what its worker reads and
// zooms with the mouse.
#include <QCheckBox>
#include <QMouseEvent>
#include <QPushButton>

#include "graph/raw_graph_picture.hpp"
#include "link/scripted_sensor.hpp"
#include "records/output_record.hpp"
#include "ui/graph/proc_graph_widget.hpp"
#include "ui/graph/raw_graph_widget.hpp"
#include "ui/shell_fixture.hpp"
#include "ui/views/processed_graph_view.hpp"
#include "ui/views/raw_graph_view.hpp"

namespace kelpira::testing {
namespace {

using shell::Command;

constexpr int kWaitMs = 8000;

bool column_has(const QImage& image, int x, QRgb colour) {
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixel(x, y) == colour) {
            return true;
        }
    }
    return false;
}

class GraphViewsTest : public ShellFixture {};

TEST_F(GraphViewsTest, TheRawGraphOpensOnConnectionAndDrawsTheTickedChannels) {
    plug("/virtual/Demo.VID_04D8&PID_EABC", sensor("Demo Sensor", 4711));
    open_window();
    window->resize(1000, 600);
    double_click_row(0);
    settle();
    auto* view = qobject_cast<ui::RawGraphView*>(window->current_view());
    ASSERT_NE(view, nullptr);
    // A nitrate sensor: its optical paths name the channels, the first is ticked.
    EXPECT_EQ(view->channel_box(0)->text(), "Long");
    EXPECT_EQ(view->channel_box(7)->text(), "Temperature");
    EXPECT_TRUE(view->channel_box(0)->isChecked());
    EXPECT_FALSE(view->channel_box(1)->isChecked());

    // Channel 4 stays ticked across a switch of views. (Channels 0 to 3 are the photodiodes,
    // dark at the foot of the plot while no LED is lit.)
    view->channel_box(4)->click();
    window->run_command(Command::ProcessedOutputGraph);
    settle();
    window->run_command(Command::RawOutputGraph);
    settle();
    view = qobject_cast<ui::RawGraphView*>(window->current_view());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->channel_box(4)->isChecked());
    EXPECT_FALSE(view->channel_box(5)->isChecked());

    // Once two samples are in, the first segment shows channel 4 in cyan; the plot's far
    // corner stays the background grey.
    const QRgb cyan = qRgb(0, 255, 255);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QImage& image = view->graph()->image();
            return image.width() > 51 && column_has(image, 51, cyan);
        },
        kWaitMs));
    const QImage& image = view->graph()->image();
    EXPECT_EQ(image.pixel(image.width() - 60, 60), qRgb(150, 150, 150));
    EXPECT_FALSE(column_has(image, 51, qRgb(255, 0, 255)));  // channel 5 is not drawn
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(GraphViewsTest, TheProcessedGraphPlotsTheSensorsRecordsAndZoomsWithTheMouse) {
    // A sensor holding three results at 10:00, 10:30 and 11:00 on 1 January 2024.
    int served = 0;
    backend.add(
        "/virtual/Proc", "VID_04D8&PID_EABC",
        link::testing::scripted(
            [&served](const link::SensorCommand& r) -> std::optional<link::testing::Answer> {
                const int code = r.bytes[1] | (r.bytes[2] << 8);
                if (code == 400) {
                    records::ChemistryConfig nitrate;
                    nitrate.chemistry = records::ChemistryType::nitrate;
                    const auto bytes = records::encode(nitrate);
                    return link::testing::Answer{0, {bytes.begin(), bytes.end()}};
                }
                if (code == 420) {
                    if (served == 3) {
                        return link::testing::Answer{1, {}};
                    }
                    records::OutputRecord record;
                    record.platform_time = 1704103200u + 1800u * served;
                    record.value = 100.0 * ++served;
                    const auto bytes = records::encode(record);
                    return link::testing::Answer{0, {bytes.begin(), bytes.end()}};
                }
                return link::testing::Answer{0, {}};
            }));
    ASSERT_EQ(link.Open("/virtual/Proc", std::chrono::milliseconds(500)), 0);
    views::ViewWorkers workers;
    const ui::ViewHost host{link, prompter, workers, [] { return nullptr; }, [](std::uint8_t) {},
                            [] {}};
    views::ProcessedViewSettings settings;
    ui::ProcessedGraphView view(host, views::kLinkConnected, settings);
    view.resize(800, 500);
    view.show();
    ui::ProcGraphWidget* graph = view.graph();
    ASSERT_TRUE(QTest::qWaitFor([&] { return graph->graph().points().size() == 3; }, kWaitMs));
    graph->redraw();

    // 300 on a 0 to 500 axis, at the right end of the time axis.
    const graph::GraphPoint& last = graph->graph().points()[2];
    EXPECT_EQ(graph->image().pixel(last.px, last.py), qRgb(255, 255, 255));
    EXPECT_EQ(graph->image().pixel(last.px - 20, last.py), qRgb(130, 130, 200));

    // A drag along the time axis zooms in; "Reset Graph" returns to the full extent.
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, graph->mapToGlobal(at), Qt::LeftButton, buttons, {});
        QCoreApplication::sendEvent(graph, &event);
    };
    send(QEvent::MouseButtonPress, {100, 200}, Qt::LeftButton);
    send(QEvent::MouseMove, {300, 200}, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {300, 200}, Qt::NoButton);
    EXPECT_EQ(graph->graph().zoom_level(), 1);
    view.reset_button()->click();
    EXPECT_EQ(graph->graph().zoom_level(), 0);
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_FALSE(view.frame()->pause_box()->isVisibleTo(&view));
    link.Close();
}

}  // namespace
}  // namespace kelpira::testing

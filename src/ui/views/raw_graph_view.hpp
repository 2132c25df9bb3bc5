// The raw output graph view: the frame around the graph of the live history, with eight
// channel boxes and their colour swatches, "Platform Data" and "Thermistor Temps" above the
// frame's "Pause Display"; redrawn ten times a second at most.
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>

#include "graph/raw_graph_setup.hpp"
#include "ui/views/view_frame.hpp"
#include "views/status_poll.hpp"

class QCheckBox;

namespace kelpira::ui {

class RawGraphWidget;

class RawGraphView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kRedrawMs = 100;

    // The poll and the settings must outlive the view.
    RawGraphView(const ViewHost& host, views::LinkFlags flags, const views::StatusPoll& poll,
                 graph::RawGraphSettings& settings, QWidget* parent = nullptr);

    ViewFrame* frame() const { return frame_; }
    RawGraphWidget* graph() const { return graph_; }
    QCheckBox* channel_box(std::size_t channel) const { return channel_boxes_[channel]; }

    // One redraw as the timer does it.
    void redraw();

  private:
    QWidget* build_display_controls();
    void show_labels();

    link::SensorLink& link_;
    const views::StatusPoll& poll_;
    graph::RawGraphSettings& settings_;
    ViewFrame* frame_;
    graph::RawGraphSetup setup_;
    std::array<QCheckBox*, graph::kRawChannels> channel_boxes_{};
    QCheckBox* platform_ = nullptr;
    QCheckBox* thermistors_ = nullptr;
    RawGraphWidget* graph_ = nullptr;
    QTimer timer_;
};

}  // namespace kelpira::ui

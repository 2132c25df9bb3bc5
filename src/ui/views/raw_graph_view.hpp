// The raw output graph view: the graph of the live history and its Display Control group
// (eight channel boxes with colour swatches, "Platform Data", "Thermistor Temps",
// "Pause Display"), redrawn ten times a second at most.
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>

#include "app/graph/raw_graph_setup.hpp"
#include "app/status_poll.hpp"
#include "common/prompter.hpp"
#include "config/chemistry_config.hpp"
#include "link/sensor_link.hpp"

class QCheckBox;
class QGroupBox;

namespace kelpira::ui {

class RawGraphWidget;

class RawGraphView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kRedrawMs = 100;

    // `view_chemistry`: the view's own read of the chemistry record, empty when it failed.
    // The poll and the settings must outlive the view.
    RawGraphView(link::SensorLink& link, common::Prompter& prompter, const app::StatusPoll& poll,
                 app::RawGraphSettings& settings,
                 const std::optional<config::ChemistryConfig>& view_chemistry,
                 QWidget* parent = nullptr);

    // The view re-read its chemistry record (empty when that failed).
    void reload(const std::optional<config::ChemistryConfig>& reread);

    // The "Display Control" group, for the frame around the view.
    QGroupBox* display_control() const { return display_control_; }
    RawGraphWidget* graph() const { return graph_; }
    QCheckBox* channel_box(std::size_t channel) const { return channel_boxes_[channel]; }
    QCheckBox* pause_box() const { return pause_; }

    // One redraw as the timer does it.
    void redraw();

  private:
    void build_display_control();
    void show_labels();

    link::SensorLink& link_;
    const app::StatusPoll& poll_;
    app::RawGraphSettings& settings_;
    app::RawGraphSetup setup_;
    QGroupBox* display_control_ = nullptr;
    std::array<QCheckBox*, app::kRawChannels> channel_boxes_{};
    QCheckBox* platform_ = nullptr;
    QCheckBox* thermistors_ = nullptr;
    QCheckBox* pause_ = nullptr;
    RawGraphWidget* graph_ = nullptr;
    QTimer timer_;
};

}  // namespace kelpira::ui

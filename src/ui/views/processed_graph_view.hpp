// The processed output graph view: the graph of the sensor's stored results, its "Reset
// Graph" button, and the worker that reads the results.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "common/prompter.hpp"
#include "common/worker.hpp"
#include "config/chemistry_config.hpp"
#include "link/sensor_link.hpp"

class QGroupBox;
class QPushButton;

namespace kelpira::ui {

class ProcGraphWidget;

class ProcessedGraphView : public QWidget {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kStopWait{100};

    // `view_chemistry`: the view's own read of the chemistry record, empty when it failed.
    // The link must outlive the view.
    ProcessedGraphView(link::SensorLink& link, common::Prompter& prompter,
                       const std::optional<config::ChemistryConfig>& view_chemistry,
                       QWidget* parent = nullptr);
    ~ProcessedGraphView() override;

    // The view re-read its chemistry record; only a successful re-read is passed on.
    void reload(const config::ChemistryConfig& reread);

    QGroupBox* display_control() const { return display_control_; }
    ProcGraphWidget* graph() const { return graph_; }
    QPushButton* reset_button() const { return reset_; }

  private:
    QGroupBox* display_control_ = nullptr;
    QPushButton* reset_ = nullptr;
    ProcGraphWidget* graph_ = nullptr;
    std::unique_ptr<common::Worker> worker_;
};

}  // namespace kelpira::ui

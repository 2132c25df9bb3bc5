// The Qt skin of the Upgrade dialog: the status text, a progress bar and "Cancel". Its
// behaviour lives in maintenance::UpgradeController.
#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"
#include "maintenance/upgrade_controller.hpp"
#include "ui/common/handoff.hpp"

class QLabel;
class QProgressBar;
class QPushButton;

namespace kelpira::ui {

class UpgradeWindow : public QDialog {
    Q_OBJECT

  public:
    UpgradeWindow(link::SensorLink& link, maintenance::ReturnWatch watch,
                  common::Prompter& prompter, QWidget* parent = nullptr);
    ~UpgradeWindow() override;

    // Chooses the image by the sensor's mode and starts the upgrade: false when the dialog
    // ended at once (nothing was sent), and it is then not to be shown.
    bool open(std::uint32_t mode);

    const maintenance::UpgradeController& controller() const { return *controller_; }
    QLabel* status_label() const { return status_; }
    QProgressBar* progress_bar() const { return progress_; }
    QPushButton* cancel_button() const { return cancel_; }

  protected:
    // Esc and the close box act as "Cancel".
    void reject() override;

  private:
    void on_event(const maintenance::UpgradeEvent& event);
    void render();

    Handoff<UpgradeWindow> handoff_;
    std::unique_ptr<maintenance::UpgradeController> controller_;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Runs the Upgrade dialog modally over `parent` with the sensor's mode; returns 1 when the
// upgrade completed (the sensor is back as `watch` finds it) and 2 otherwise.
int run_upgrade_dialog(QWidget* parent, link::SensorLink& link, maintenance::ReturnWatch watch,
                       common::Prompter& prompter, std::uint32_t mode);

}  // namespace kelpira::ui

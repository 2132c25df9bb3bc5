// The Qt skin of "Deployment Check": the entries for the deployment, the headline and the
// items with their green, amber or red marks (the most severe first), "Check Again",
// "Save...", and while the check runs on its worker a progress bar and "Cancel".
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "common/prompter.hpp"
#include "common/worker.hpp"
#include "deployment_check/deployment_check.hpp"
#include "deployment_check/deployment_check_controller.hpp"
#include "link/sensor_link.hpp"
#include "ui/common/handoff.hpp"

class QComboBox;
class QLabel;
class QProgressBar;
class QLineEdit;
class QPushButton;
class QListWidget;

namespace kelpira::ui {

class DeploymentCheckDialog : public QDialog {
    Q_OBJECT

  public:
    // `form` holds the entries for the session: the dialog starts from it and writes every
    // change back.
    DeploymentCheckDialog(link::SensorLink& link, common::Prompter& prompter,
                          deployment_check::CheckForm& form, QWidget* parent = nullptr);
    ~DeploymentCheckDialog() override;

    QListWidget* list() const { return list_; }
    QLineEdit* days_edit() const { return days_; }
    QLineEdit* stroke_edit() const { return stroke_; }
    QLineEdit* reagents_edit() const { return reagents_; }
    QComboBox* platform_list() const { return platform_; }
    QPushButton* check_button() const { return check_; }
    QPushButton* save_button() const { return save_; }
    QPushButton* cancel_button() const { return cancel_; }
    QLabel* headline_label() const { return headline_; }
    QProgressBar* progress_bar() const { return progress_; }
    bool running() const { return worker_ != nullptr; }

    // Starts reading the sensor on a worker; the items are listed when it is done. An entry
    // that cannot be read is named in a message and the list stays as it was.
    void check_again();

  private:
    void on_progress(std::size_t done, std::size_t total);
    void on_done(deployment_check::CheckOutcome outcome);
    void set_running(bool running);
    void show_items();

    link::SensorLink& link_;
    common::Prompter& prompter_;
    deployment_check::CheckForm& form_;
    deployment_check::CheckOutcome outcome_;
    bool checked_ = false;
    Handoff<DeploymentCheckDialog> handoff_{this};
    std::unique_ptr<common::Worker> worker_;
    QLabel* headline_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLineEdit* days_ = nullptr;
    QLineEdit* stroke_ = nullptr;
    QLineEdit* reagents_ = nullptr;
    QComboBox* platform_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* check_ = nullptr;
    QPushButton* save_ = nullptr;
};

// Starts the check and runs the dialog modally.
void run_deployment_check_dialog(QWidget* parent, link::SensorLink& link,
                                 common::Prompter& prompter, deployment_check::CheckForm& form);

}  // namespace kelpira::ui

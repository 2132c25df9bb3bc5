// The Qt skin of "Deployment Check": the entries for the deployment, the items with their
// green, amber or red marks, "Check Again" and "Save...".
#pragma once

#include <QDialog>
#include <vector>

#include "common/prompter.hpp"
#include "deployment_check/deployment_check_controller.hpp"
#include "link/sensor_link.hpp"

class QComboBox;
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

    QListWidget* list() const { return list_; }
    QLineEdit* days_edit() const { return days_; }
    QLineEdit* stroke_edit() const { return stroke_; }
    QLineEdit* reagents_edit() const { return reagents_; }
    QComboBox* platform_list() const { return platform_; }
    QPushButton* check_button() const { return check_; }
    QPushButton* save_button() const { return save_; }

    // Reads the sensor and lists the items again; an entry that cannot be read is named in a
    // message and the list stays as it was.
    void check_again();

  private:
    void show_items();

    link::SensorLink& link_;
    common::Prompter& prompter_;
    deployment_check::CheckForm& form_;
    std::vector<deployment_check::CheckItem> items_;
    QLineEdit* days_ = nullptr;
    QLineEdit* stroke_ = nullptr;
    QLineEdit* reagents_ = nullptr;
    QComboBox* platform_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* check_ = nullptr;
    QPushButton* save_ = nullptr;
};

// Checks the sensor (the wait cursor shows meanwhile) and runs the dialog modally.
void run_deployment_check_dialog(QWidget* parent, link::SensorLink& link,
                                 common::Prompter& prompter, deployment_check::CheckForm& form);

}  // namespace kelpira::ui

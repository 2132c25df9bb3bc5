// "Configure Chemistry" on screen: the ten chemistry tabs, the current tab's page and "Save",
// over the Qt-free controller in config/chemistry_dialog.hpp.
#pragma once

#include <QDialog>

#include "common/prompter.hpp"
#include "config/chemistry_controller.hpp"
#include "link/sensor_link.hpp"

class QPushButton;
class QTabBar;
class QVBoxLayout;

namespace kelpira::ui {

class ChemistryPageWidget;

class ChemistryDialog : public QDialog {
    Q_OBJECT

  public:
    // `dialog` as open_chemistry_dialog returned it.
    ChemistryDialog(config::ChemistryController dialog, link::SensorLink& link,
                    common::Prompter& prompter, QWidget* parent = nullptr);

    QTabBar* tab_bar() const { return tabs_; }
    QPushButton* save_button() const { return save_; }
    ChemistryPageWidget* page_widget() const { return page_widget_; }
    const config::ChemistryController& dialog() const { return dialog_; }

  private:
    void build_page();
    void refresh();
    void on_tab(int index);
    void on_save();

    config::ChemistryController dialog_;
    link::SensorLink& link_;
    common::Prompter& prompter_;
    QTabBar* tabs_ = nullptr;
    QVBoxLayout* page_area_ = nullptr;
    ChemistryPageWidget* page_widget_ = nullptr;
    QPushButton* save_ = nullptr;
};

// Reads the sensor and, unless that failed (said through `prompter`), runs the modal dialog.
// Returns once the dialog is closed.
void run_chemistry_dialog(QWidget* parent, link::SensorLink& link, common::Prompter& prompter);

}  // namespace kelpira::ui

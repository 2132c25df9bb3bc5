// The Connect view: the banner, the "Connect" and "Upgrade Firmware" buttons and the list of
// attached sensors. Its behaviour lives in connect::ConnectController.
#pragma once

#include <QWidget>

#include "connect/connect_controller.hpp"
#include "link/device_watcher.hpp"
#include "maintenance/sensor_return.hpp"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace kelpira::ui {

class ConnectView : public QWidget {
    Q_OBJECT

  public:
    // Lists the sensors at once; `on_connect` receives a sensor connected with the link open.
    ConnectView(link::HidBackend& backend, link::SensorLink& link, common::Prompter& prompter,
                connect::ConnectController::ConnectRequest on_connect, QWidget* parent = nullptr);

    void device_changed(const link::DeviceEvent& event);
    void set_watch_problem(const std::string& text);

    const connect::ConnectController& controller() const { return controller_; }
    QTreeWidget* device_list() const { return list_; }
    QPushButton* connect_button() const { return connect_button_; }
    QPushButton* upgrade_button() const { return upgrade_button_; }
    QPushButton* factory_settings_button() const { return factory_button_; }
    QLabel* status_line() const { return status_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void render();
    void row_clicked();
    void row_double_clicked();

    connect::ConnectController controller_;
    std::vector<connect::DeviceRow> shown_rows_;  // what the list shows now
    QTreeWidget* list_ = nullptr;
    QPushButton* connect_button_ = nullptr;
    QPushButton* upgrade_button_ = nullptr;
    // While a maintenance dialog talks to a sensor, device changes wait for the refresh that
    // follows it: a restarting sensor must not have its link closed under the last answer.
    bool in_dialog_ = false;
    // Where an upgrade started from this view finds its sensor again: arrivals during the
    // dialog go to its signal.
    maintenance::ReturnWatch dialog_watch_;
    QPushButton* factory_button_ = nullptr;
    QLabel* status_ = nullptr;  // why sensors may be missing from the list; hidden when empty
};

}  // namespace kelpira::ui

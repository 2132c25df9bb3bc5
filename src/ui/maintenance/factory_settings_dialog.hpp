// The Qt skin of "Factory Settings": the password, the FLASH, FRAM and NVRAM groups with
// their Save buttons, and "Upgrade..." for the bootloader. Its behaviour lives in
// maintenance::FactorySettingsController.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"
#include "maintenance/factory_settings_controller.hpp"
#include "maintenance/sensor_return.hpp"

class QLineEdit;
class QPushButton;
class QToolButton;

namespace kelpira::ui {

// Runs the upgrade dialog for a sensor whose running code is `mode`; returns its result.
using RunUpgradeDialog = std::function<int(std::uint8_t mode)>;

class FactorySettingsDialog : public QDialog {
    Q_OBJECT

  public:
    // The dialog filled from the sensor, or nullptr when a read failed (after the message).
    // Without `run_upgrade` the "Bootloader" group is not shown.
    static std::unique_ptr<FactorySettingsDialog> create(link::SensorLink& link,
                                                         common::Prompter& prompter,
                                                         RunUpgradeDialog run_upgrade,
                                                         QWidget* parent = nullptr);

    QLineEdit* password_field() const { return password_; }
    QLineEdit* name_field() const { return name_; }
    QLineEdit* serial_field() const { return serial_; }
    QLineEdit* board_serial_field() const { return board_serial_; }
    QLineEdit* stroke_meter_field() const { return stroke_meter_; }
    QLineEdit* driver_serial_field() const { return driver_serial_; }
    QPushButton* flash_save_button() const { return flash_save_; }
    QPushButton* fram_save_button() const { return fram_save_; }
    QPushButton* nvram_save_button() const { return nvram_save_; }
    QToolButton* reset_button() const { return reset_; }
    QPushButton* upgrade_button() const { return upgrade_; }

  private:
    FactorySettingsDialog(link::SensorLink& link, common::Prompter& prompter,
                          RunUpgradeDialog run_upgrade, QWidget* parent);
    QWidget* flash_group();
    QWidget* fram_group();
    QWidget* nvram_group();
    void password_edited(const QString& text);
    void render();

    maintenance::FactorySettingsController controller_;
    RunUpgradeDialog run_upgrade_;
    QLineEdit* password_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* serial_ = nullptr;
    QLineEdit* board_serial_ = nullptr;
    QLineEdit* fram_board_serial_ = nullptr;
    QLineEdit* stroke_meter_ = nullptr;
    QLineEdit* driver_serial_ = nullptr;
    QPushButton* flash_save_ = nullptr;
    QPushButton* fram_save_ = nullptr;
    QPushButton* nvram_save_ = nullptr;
    QToolButton* reset_ = nullptr;
    QPushButton* upgrade_ = nullptr;
};

// Runs the dialog modally over `parent`, unless it closed while opening; "Upgrade..." opens
// the Upgrade dialog over it.
void run_factory_settings_dialog(QWidget* parent, link::SensorLink& link,
                                 const maintenance::ReturnWatch& watch, common::Prompter& prompter);

}  // namespace kelpira::ui

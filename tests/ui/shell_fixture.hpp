// The real main window over emulated sensors served in-process, with a recording prompter.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <deque>
#include <memory>

#include "link/handler_hid.hpp"
#include "link/sensor_link.hpp"
#include "support/qt_application.hpp"
#include "support/recording_prompter.hpp"
#include "ui/shell/connect_view.hpp"
#include "ui/shell/main_window.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::testing {

class ShellFixture : public ::testing::Test {
  protected:
    ShellFixture() { test_application(); }
    ~ShellFixture() override {
        window.reset();
        link.Close();
    }

    static virtual_sensor::VirtualSensorOptions sensor(
        std::string name, std::uint16_t serial,
        virtual_sensor::RunningCode running = virtual_sensor::RunningCode::firmware) {
        virtual_sensor::VirtualSensorOptions o;
        o.name = std::move(name);
        o.serial_number = serial;
        o.running = running;
        return o;
    }

    // A sensor plugged in before the window starts, or announced to it afterwards as the
    // device watcher would (a queued call). A bootloader's restart announces itself the same
    // way, from the link's thread.
    virtual_sensor::VirtualSensor& plug(const std::string& path,
                                        virtual_sensor::VirtualSensorOptions options) {
        sensors.push_back(std::make_unique<virtual_sensor::VirtualSensor>(std::move(options)));
        virtual_sensor::attach_in_process(backend, path, *sensors.back(), [this, path] {
            announce(link::DeviceChange::arrival, path);
        });
        if (window) {
            announce(link::DeviceChange::arrival, path);
        }
        return *sensors.back();
    }

    void unplug(const std::string& path, const std::string& reported_path = {}) {
        backend.remove(path);
        announce(link::DeviceChange::removal, reported_path.empty() ? path : reported_path);
    }

    void announce(link::DeviceChange change, const std::string& path) {
        ui::MainWindow* w = window.get();
        if (w != nullptr) {
            QMetaObject::invokeMethod(
                w,
                [w, change, path] {
                    w->device_changed({change, path});
                },
                Qt::QueuedConnection);
        }
    }

    void open_window() {
        window = std::make_unique<ui::MainWindow>(backend, link, prompter);
        window->show();
    }

    ui::ConnectView* connect_view() const {
        return qobject_cast<ui::ConnectView*>(window->current_view());
    }

    // Lets queued calls and deferred deletions run.
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    std::vector<QStringList> list_rows() const {
        std::vector<QStringList> rows;
        QTreeWidget* list = connect_view()->device_list();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList row;
            for (int c = 0; c < list->columnCount(); ++c) {
                row << list->topLevelItem(i)->text(c);
            }
            rows.push_back(row);
        }
        return rows;
    }

    void click_row(int row) {
        QTreeWidget* list = connect_view()->device_list();
        const QRect rect = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    void double_click_row(int row) {
        QTreeWidget* list = connect_view()->device_list();
        const QRect rect = list->visualItemRect(list->topLevelItem(row));
        // A double click is a click followed by the second press; the view only takes the
        // double click on the item the press was on.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    bool enabled(shell::Command command) const {
        QAction* action = window->menu_action(command);
        return action != nullptr && action->isEnabled();
    }

    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    RecordingPrompter prompter;
    std::deque<std::unique_ptr<virtual_sensor::VirtualSensor>> sensors;
    std::unique_ptr<ui::MainWindow> window;
};

}  // namespace kelpira::testing

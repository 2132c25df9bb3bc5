// The frame of every operation view: the left panel with the heading, the "Display Control"
// group the view fills, and the "Sensor Control" group; the view's content to the right.
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"
#include "views/view_frame_controller.hpp"
#include "views/view_workers.hpp"

class QCheckBox;
class QComboBox;
class QPushButton;
class QVBoxLayout;

namespace kelpira::ui {

// What a view needs from the main window.
struct ViewHost {
    link::SensorLink& link;
    common::Prompter& prompter;
    views::ViewWorkers& workers;
    views::HistorySource history;
    std::function<void(std::uint8_t state)> start_sensor;
    std::function<void()> stop_sensor;
};

class ViewFrame : public QWidget {
    Q_OBJECT

  public:
    // Reads the chemistry record (telling the user and taking the fallback copy when it
    // cannot); `pause_always`: "Pause Display" stays usable without a connection.
    ViewFrame(const ViewHost& host, const QString& heading, views::LinkFlags flags,
              bool pause_always, QWidget* parent = nullptr);

    // The Display Control group's layout, for the view's own controls below "Pause Display".
    QVBoxLayout* display_controls() const { return display_; }
    void set_content(QWidget* content);

    // The main window's new link flags.
    void set_flags(views::LinkFlags flags);
    // Reads the chemistry record again; when it cannot, everything stays as it was.
    void reload_config();

    const views::ViewFrameState& state() const { return state_; }
    QCheckBox* pause_box() const { return pause_; }
    QComboBox* start_list() const { return start_list_; }
    QPushButton* start_button() const { return start_; }
    QPushButton* stop_button() const { return stop_; }
    QCheckBox* autostart_box() const { return autostart_; }

  signals:
    // The chemistry record was read again: views retitle their columns.
    void config_reloaded();

  protected:
    // The main window's reload notification arrives at the view around this frame.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fill_start_list();
    void update_enabling();
    void autostart_clicked();

    ViewHost host_;
    views::ViewFrameState state_;
    bool pause_always_;
    QVBoxLayout* display_ = nullptr;
    QWidget* content_ = nullptr;
    QCheckBox* pause_ = nullptr;
    QComboBox* start_list_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QCheckBox* autostart_ = nullptr;
};

}  // namespace kelpira::ui

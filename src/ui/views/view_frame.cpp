// The operation views' frame: layout, the start-state list, Start, Stop and Autostart.
#include "ui/views/view_frame.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/view_notifications.hpp"
#include "ui/views/start_states_dialog.hpp"

namespace kelpira::ui {

namespace {

constexpr int kPanelUnits = 110;  // the left panel's width in dialog units

}  // namespace

ViewFrame::ViewFrame(const ViewHost& host, const QString& heading, views::LinkFlags flags,
                     bool pause_always, QWidget* parent)
    : QWidget(parent), host_(host), pause_always_(pause_always) {
    auto* panel = new QWidget(this);
    panel->setFixedWidth(kPanelUnits * fontMetrics().averageCharWidth() / 4);
    auto* panel_layout = new QVBoxLayout(panel);
    auto* title = new QLabel(heading, panel);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    panel_layout->addWidget(title);

    auto* display = new QGroupBox("Display Control", panel);
    display_ = new QVBoxLayout(display);
    pause_ = new QCheckBox("Pause Display", display);
    display_->addWidget(pause_);
    panel_layout->addWidget(display);

    auto* control = new QGroupBox("Sensor Control", panel);
    auto* control_layout = new QVBoxLayout(control);
    start_list_ = new QComboBox(control);
    start_ = new QPushButton("Start", control);
    stop_ = new QPushButton("Stop", control);
    autostart_ = new QCheckBox("Autostart", control);
    start_->setToolTip("Start Sensor");
    stop_->setToolTip("Stop Sensor");
    autostart_->setToolTip("Set sensor to run automatically at power-up");
    for (QWidget* w : {static_cast<QWidget*>(start_list_), static_cast<QWidget*>(start_),
                       static_cast<QWidget*>(stop_), static_cast<QWidget*>(autostart_)}) {
        control_layout->addWidget(w);
    }
    panel_layout->addWidget(control);
    panel_layout->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);

    state_.set_flags(flags);
    state_.load(host_.link, host_.prompter);
    fill_start_list();
    update_enabling();
    autostart_->setChecked(state_.autostart());

    connect(start_, &QPushButton::clicked, this, [this] {
        const int i = start_list_->currentIndex();
        if (i >= 0 && static_cast<std::size_t>(i) < state_.start_states().size()) {
            host_.start_sensor(state_.start_states()[static_cast<std::size_t>(i)].state);
        }
    });
    connect(stop_, &QPushButton::clicked, this, [this] { host_.stop_sensor(); });
    connect(autostart_, &QCheckBox::clicked, this, [this] { autostart_clicked(); });
    if (parent != nullptr) {
        parent->installEventFilter(this);
    }
}

bool ViewFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == reload_config_event_type()) {
        reload_config();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ViewFrame::set_content(QWidget* content) {
    content_ = content;
    static_cast<QHBoxLayout*>(layout())->addWidget(content, 1);
}

void ViewFrame::fill_start_list() {
    start_list_->clear();
    for (const auto& entry : state_.start_states()) {
        start_list_->addItem(QString::fromStdString(entry.label));
    }
    start_list_->setCurrentIndex(state_.start_states().empty() ? -1 : 0);
}

void ViewFrame::update_enabling() {
    const auto e = state_.enabling(pause_always_);
    start_list_->setEnabled(e.start_list);
    start_->setEnabled(e.start_list);
    stop_->setEnabled(e.stop);
    pause_->setEnabled(e.pause);
}

void ViewFrame::set_flags(views::LinkFlags flags) {
    state_.set_flags(flags);
    update_enabling();
}

void ViewFrame::reload_config() {
    if (!state_.reload(host_.link)) {
        return;
    }
    autostart_->setChecked(state_.autostart());
    fill_start_list();
    update_enabling();
    emit config_reloaded();
}

void ViewFrame::autostart_clicked() {
    // The box shows what the sensor stores, whatever the click made of it.
    autostart_->setChecked(state_.autostart());
    run_start_states_dialog(host_.link, host_.prompter, true, this);
    QMetaObject::invokeMethod(
        this, [this] { reload_config(); }, Qt::QueuedConnection);
}

}  // namespace kelpira::ui

// The Upgrade dialog's widgets, and the hand-off that brings the upgrade thread's events to them.
#include "ui/maintenance/upgrade_window.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace kelpira::ui {

UpgradeWindow::UpgradeWindow(link::SensorLink& link, maintenance::ReturnWatch watch,
                             common::Prompter& prompter, QWidget* parent)
    : QDialog(parent), handoff_(this) {
    controller_ = std::make_unique<maintenance::UpgradeController>(
        link, std::move(watch), prompter,
        [handoff = handoff_](const maintenance::UpgradeEvent& event) {
            handoff.post([event](UpgradeWindow& w) { w.on_event(event); });
        });
    setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    status_ = new QLabel(this);
    progress_ = new QProgressBar(this);
    progress_->setTextVisible(false);
    cancel_ = new QPushButton(tr("Cancel"), this);
    connect(cancel_, &QPushButton::clicked, this, &UpgradeWindow::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addLayout(buttons);
}

UpgradeWindow::~UpgradeWindow() {
    handoff_.close();
    controller_.reset();  // tells a thread still running to stop
}

bool UpgradeWindow::open(std::uint32_t mode) {
    if (!controller_->open(mode)) {
        return false;
    }
    setWindowTitle(QString::fromStdString(controller_->title()));
    // The bar counts image bytes, as far as its range reaches.
    progress_->setRange(0, static_cast<int>(std::min<std::uint64_t>(
                               controller_->image_size(), std::numeric_limits<int>::max())));
    render();
    return true;
}

void UpgradeWindow::reject() {
    controller_->cancel();
    render();
}

void UpgradeWindow::on_event(const maintenance::UpgradeEvent& event) {
    controller_->handle(event);
    render();
}

void UpgradeWindow::render() {
    status_->setText(QString::fromStdString(controller_->status_text()));
    progress_->setValue(static_cast<int>(
        std::min<std::uint64_t>(controller_->bytes_written(), progress_->maximum())));
    if (const auto result = controller_->result()) {
        done(*result);
    }
}

int run_upgrade_dialog(QWidget* parent, link::SensorLink& link, maintenance::ReturnWatch watch,
                       common::Prompter& prompter, std::uint32_t mode) {
    UpgradeWindow window(link, std::move(watch), prompter, parent);
    if (!window.open(mode)) {
        return maintenance::kUpgradeNotDone;
    }
    return window.exec();
}

}  // namespace kelpira::ui

// The Upgrade dialog's widgets, and the relay that brings the upgrade thread's events to them.
#include "ui/maintenance/upgrade_window.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <mutex>

namespace kelpira::ui {

// The thread's only way to the dialog: a queued call, dropped once the dialog has gone.
struct UpgradeWindow::Relay {
    std::mutex mutex;
    UpgradeWindow* target = nullptr;

    void post(const maintenance::UpgradeEvent& event) {
        std::lock_guard lock(mutex);
        if (target != nullptr) {
            UpgradeWindow* window = target;
            QMetaObject::invokeMethod(
                window, [window, event] { window->on_event(event); }, Qt::QueuedConnection);
        }
    }
    void detach() {
        std::lock_guard lock(mutex);
        target = nullptr;
    }
};

UpgradeWindow::UpgradeWindow(link::SensorLink& link, common::Prompter& prompter, QWidget* parent)
    : QDialog(parent), relay_(std::make_shared<Relay>()) {
    relay_->target = this;
    controller_ = std::make_unique<maintenance::UpgradeDialog>(
        link, prompter,
        [relay = relay_](const maintenance::UpgradeEvent& event) { relay->post(event); });
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
    relay_->detach();
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

int run_upgrade_dialog(QWidget* parent, link::SensorLink& link, common::Prompter& prompter,
                       std::uint32_t mode) {
    UpgradeWindow window(link, prompter, parent);
    if (!window.open(mode)) {
        return maintenance::kUpgradeNotDone;
    }
    return window.exec();
}

}  // namespace kelpira::ui

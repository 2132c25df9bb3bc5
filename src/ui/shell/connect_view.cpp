// The Connect view's widgets: rows rendered from the controller, clicks forwarded to it.
#include "ui/shell/connect_view.hpp"

#include "link/device_discovery.hpp"
#include "maintenance/upgrade_action.hpp"
#include "ui/common/list_columns.hpp"
#include "ui/maintenance/factory_settings_button.hpp"
#include "ui/maintenance/upgrade_window.hpp"

#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kelpira::ui {

namespace {

constexpr const char* kColumnHeaders[] = {"Name", "Serial Number", "State", "Type"};
constexpr int kColumnWidths[] = {15, 10, 15, 35};  // average character widths

}  // namespace

ConnectView::ConnectView(link::HidBackend& backend, link::SensorLink& link,
                         common::Prompter& prompter,
                         connect::ConnectController::ConnectRequest on_connect, QWidget* parent)
    : QWidget(parent), controller_(backend, link, prompter, std::move(on_connect)) {
    auto* banner = new QLabel(QStringLiteral("KELPIRA CONNECT"), this);
    QFont banner_font = banner->font();
    banner_font.setBold(true);
    banner_font.setPointSizeF(banner_font.pointSizeF() * 1.5);
    banner->setFont(banner_font);

    connect_button_ = new QPushButton(QStringLiteral("Connect"), this);
    connect_button_->setToolTip(QStringLiteral("Connect To Sensor"));
    connect(connect_button_, &QPushButton::clicked, this, [this] {
        controller_.connect();
        render();
    });

    upgrade_button_ =
        new QPushButton(QString::fromLatin1(maintenance::kUpgradeFirmwareButton), this);
    upgrade_button_->setToolTip(QString::fromLatin1(maintenance::kUpgradeFirmwareTip));
    connect(upgrade_button_, &QPushButton::clicked, this,
            [this, sensor_link = &link, asker = &prompter, devices = &backend] {
                maintenance::upgrade_firmware(
                    controller_, *sensor_link, *asker, [&](link::DeviceMode mode) {
                        in_dialog_ = true;
                        dialog_watch_ = maintenance::selected_sensor_watch(controller_, *devices);
                        run_upgrade_dialog(this, *sensor_link, dialog_watch_, *asker, mode);
                        in_dialog_ = false;
                    });
                render();
            });

    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    list_->setColumnCount(static_cast<int>(std::size(kColumnHeaders)));
    QStringList headers;
    for (const char* header : kColumnHeaders) {
        headers << QString::fromLatin1(header);
    }
    list_->setHeaderLabels(headers);
    fit_columns(list_, kColumnWidths);
    list_->viewport()->installEventFilter(this);
    // Clicks and the keyboard both move the selection; render() blocks these signals.
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { row_clicked(); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { row_double_clicked(); });

    // Maintenance, apart from the everyday buttons.
    factory_button_ = make_factory_settings_button(this, controller_, backend, dialog_watch_, link,
                                                   prompter, in_dialog_, [this] { render(); });
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(banner);
    buttons->addWidget(connect_button_);
    buttons->addWidget(upgrade_button_);
    buttons->addStretch(1);
    buttons->addWidget(factory_button_);
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    status_->setTextFormat(Qt::PlainText);
    auto* list_and_status = new QVBoxLayout;
    list_and_status->addWidget(list_, 1);
    list_and_status->addWidget(status_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(list_and_status, 1);

    controller_.start();
    render();
}

void ConnectView::render() {
    const QSignalBlocker blocker(list_);
    // Rows are rebuilt only when they changed, so that a click in progress keeps its item.
    if (shown_rows_ != controller_.rows()) {
        shown_rows_ = controller_.rows();
        list_->clear();
        for (const auto& row : shown_rows_) {
            auto* item = new QTreeWidgetItem(list_);
            item->setText(0, QString::fromUtf8(row.name));
            item->setText(1, QString::fromUtf8(row.serial_number));
            item->setText(2, QString::fromUtf8(row.state));
            item->setText(3, QString::fromUtf8(row.type));
        }
        fit_columns(list_, kColumnWidths);
    }
    factory_button_->setEnabled(controller_.actions().factory_settings);
    if (const auto selected = controller_.selected_row()) {
        list_->setCurrentItem(list_->topLevelItem(static_cast<int>(*selected)));
    } else {
        list_->clearSelection();
    }
    connect_button_->setEnabled(controller_.actions().connect);
    upgrade_button_->setEnabled(controller_.actions().upgrade_firmware);
    const QString status = QString::fromStdString(controller_.status());
    status_->setText(status);
    status_->setVisible(!status.isEmpty());
}

void ConnectView::set_watch_problem(const std::string& text) {
    controller_.set_watch_problem(text);
    render();
}

void ConnectView::row_clicked() {
    const auto selected = list_->selectedItems();
    const int row = selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front());
    controller_.select_row(row < 0 ? std::nullopt
                                   : std::optional<std::size_t>(static_cast<std::size_t>(row)));
    render();
}

void ConnectView::row_double_clicked() {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row >= 0) {
        controller_.activate_row(static_cast<std::size_t>(row));
    }
    render();
}

bool ConnectView::eventFilter(QObject* watched, QEvent* event) {
    // A click outside any row leaves nothing selected.
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (list_->itemAt(mouse->position().toPoint()) == nullptr) {
            controller_.select_row(std::nullopt);
            render();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ConnectView::device_changed(const link::DeviceEvent& event) {
    if (in_dialog_) {
        if (event.change == link::DeviceChange::arrival &&
            link::same_device_path(event.path, dialog_watch_.path)) {
            dialog_watch_.signal->arrived();
        }
        return;
    }
    if (event.change == link::DeviceChange::arrival) {
        controller_.device_arrived();
    } else {
        controller_.device_removed();
    }
    render();
}

}  // namespace kelpira::ui

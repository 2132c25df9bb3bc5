// The deployment check's widgets.
#include "ui/deployment_check/deployment_check_dialog.hpp"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelpira::ui {

namespace {

QIcon mark_icon(deployment_check::Verdict v) {
    const auto c = deployment_check::mark_colour(v);
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(c.r, c.g, c.b));
    painter.drawEllipse(1, 1, 12, 12);
    return QIcon(pixmap);
}

}  // namespace

DeploymentCheckDialog::DeploymentCheckDialog(link::SensorLink& link, common::Prompter& prompter,
                                             deployment_check::CheckForm& form, QWidget* parent)
    : QDialog(parent), link_(link), prompter_(prompter), form_(form) {
    setWindowTitle(QString::fromUtf8(deployment_check::kCheckTitle));
    auto* layout = new QVBoxLayout(this);

    auto* entries = new QFormLayout;
    days_ = new QLineEdit(QString::fromStdString(form_.days), this);
    stroke_ = new QLineEdit(QString::fromStdString(form_.stroke_ul), this);
    reagents_ = new QLineEdit(QString::fromStdString(form_.reagents), this);
    reagents_->setPlaceholderText(tr("VALVE=ML, e.g. 1=250 2=100"));
    platform_ = new QComboBox(this);
    for (const auto& choice : deployment_check::kPlatformChoices) {
        platform_->addItem(QString::fromUtf8(choice.text));
        if (choice.platform == form_.platform) {
            platform_->setCurrentIndex(platform_->count() - 1);
        }
    }
    // An entry kept in the session's form as typed.
    const auto text_entry = [this](std::string& field, const QString& placeholder) {
        auto* edit = new QLineEdit(QString::fromStdString(field), this);
        edit->setPlaceholderText(placeholder);
        connect(edit, &QLineEdit::textEdited, this,
                [&field](const QString& t) { field = t.trimmed().toStdString(); });
        return edit;
    };
    auto* start_state = new QComboBox(this);
    for (const auto& choice : deployment_check::kStartStateChoices) {
        start_state->addItem(QString::fromUtf8(choice.text));
        if (choice.choice == form_.start_state) {
            start_state->setCurrentIndex(start_state->count() - 1);
        }
    }
    connect(start_state, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0 && static_cast<std::size_t>(i) < deployment_check::kStartStateChoices.size()) {
            form_.start_state =
                deployment_check::kStartStateChoices[static_cast<std::size_t>(i)].choice;
        }
    });
    entries->addRow(tr("Deployment (days):"), days_);
    entries->addRow(tr("Start (UTC):"),
                    text_entry(form_.start, tr("YYYY-MM-DDTHH:MM; empty: now")));
    entries->addRow(tr("Start state:"), start_state);
    entries->addRow(tr("Pump stroke (\u00B5L):"), stroke_);
    entries->addRow(tr("Reagents (valve=mL):"), reagents_);
    entries->addRow(tr("Host platform:"), platform_);
    entries->addRow(tr("Battery (Wh):"), text_entry(form_.battery_wh, {}));
    entries->addRow(tr("Energy per cycle (Wh):"), text_entry(form_.cycle_wh, {}));
    entries->addRow(tr("Power between cycles (W):"), text_entry(form_.sleep_w, {}));
    layout->addLayout(entries);
    connect(days_, &QLineEdit::textEdited, this,
            [this](const QString& t) { form_.days = t.trimmed().toStdString(); });
    connect(stroke_, &QLineEdit::textEdited, this,
            [this](const QString& t) { form_.stroke_ul = t.trimmed().toStdString(); });
    connect(reagents_, &QLineEdit::textEdited, this,
            [this](const QString& t) { form_.reagents = t.trimmed().toStdString(); });
    connect(platform_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0 && static_cast<std::size_t>(i) < deployment_check::kPlatformChoices.size()) {
            form_.platform =
                deployment_check::kPlatformChoices[static_cast<std::size_t>(i)].platform;
        }
    });

    headline_ = new QLabel(this);
    QFont bold = headline_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    headline_->setFont(bold);
    layout->addWidget(headline_);

    list_ = new QListWidget(this);
    list_->setWordWrap(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setSpacing(2);
    layout->addWidget(list_);

    auto* buttons = new QHBoxLayout;
    check_ = new QPushButton(tr("Check Again"), this);
    save_ = new QPushButton(tr("Save..."), this);
    progress_ = new QProgressBar(this);
    cancel_ = new QPushButton(tr("Cancel"), this);
    auto* close = new QPushButton(tr("Close"), this);
    buttons->addWidget(check_);
    buttons->addWidget(progress_, 1);
    buttons->addWidget(cancel_);
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(check_, &QPushButton::clicked, this, &DeploymentCheckDialog::check_again);
    connect(save_, &QPushButton::clicked, this,
            [this] { deployment_check::save_sheet(outcome_, prompter_); });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (worker_) {
            worker_->request_stop();
        }
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    save_->setEnabled(false);
    set_running(false);
    resize(fontMetrics().averageCharWidth() * 130, fontMetrics().height() * 34);
}

DeploymentCheckDialog::~DeploymentCheckDialog() {
    handoff_.close();
    if (worker_) {
        worker_->stop();
    }
}

void DeploymentCheckDialog::check_again() {
    if (worker_) {
        return;
    }
    const auto reading = deployment_check::read_form(form_);
    if (!reading.inputs) {
        prompter_.message(std::string(deployment_check::kCheckTitle), reading.error);
        return;
    }
    set_running(true);
    progress_->setValue(0);
    headline_->setText(tr("Checking..."));
    // The link outlives the window (the main window owns it); the inputs go by value.
    worker_ = std::make_unique<common::Worker>(
        [handoff = handoff_, &link = link_, inputs = *reading.inputs](common::WorkerControl& c) {
            deployment_check::ReadControl control;
            control.cancelled = [&c] { return c.stop_requested(); };
            control.progress = [&handoff](std::size_t done, std::size_t total) {
                handoff.post(
                    [done, total](DeploymentCheckDialog& d) { d.on_progress(done, total); });
            };
            // The clock's offset is measured for the sheet "Save..." writes.
            deployment_check::CheckOptions options;
            options.measure_clock = true;
            auto outcome = deployment_check::run_check(link, inputs, {}, control, options);
            handoff.post([outcome = std::move(outcome)](DeploymentCheckDialog& d) mutable {
                d.on_done(std::move(outcome));
            });
        });
}

void DeploymentCheckDialog::on_progress(std::size_t done, std::size_t total) {
    progress_->setRange(0, static_cast<int>(total));
    progress_->setValue(static_cast<int>(done));
}

void DeploymentCheckDialog::on_done(deployment_check::CheckOutcome outcome) {
    worker_.reset();
    outcome_ = std::move(outcome);
    checked_ = true;
    set_running(false);
    show_items();
}

void DeploymentCheckDialog::set_running(bool running) {
    progress_->setVisible(running);
    cancel_->setVisible(running);
    cancel_->setEnabled(running);
    check_->setEnabled(!running);
    save_->setEnabled(!running && checked_ && !outcome_.items.empty());
}

void DeploymentCheckDialog::show_items() {
    headline_->setText(QString::fromStdString(deployment_check::headline(outcome_)));
    const auto worst = outcome_.readiness == deployment_check::Readiness::ready
                           ? deployment_check::Verdict::pass
                           : deployment_check::Verdict::fail;
    const auto c = deployment_check::mark_colour(worst);
    headline_->setStyleSheet(QStringLiteral("color: rgb(%1,%2,%3)").arg(c.r).arg(c.g).arg(c.b));
    list_->clear();
    for (const auto& item : deployment_check::by_severity(outcome_.items)) {
        // The line as the command prints it, behind the verdict's mark.
        auto* row =
            new QListWidgetItem(mark_icon(item.verdict),
                                QString::fromStdString(deployment_check::item_line(item)), list_);
        row->setData(Qt::UserRole, static_cast<int>(item.verdict));
    }
}

void run_deployment_check_dialog(QWidget* parent, link::SensorLink& link,
                                 common::Prompter& prompter, deployment_check::CheckForm& form) {
    DeploymentCheckDialog dialog(link, prompter, form, parent);
    dialog.check_again();
    dialog.exec();
}

}  // namespace kelpira::ui

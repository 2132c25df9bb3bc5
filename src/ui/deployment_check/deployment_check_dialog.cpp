// The deployment check's widgets.
#include "ui/deployment_check/deployment_check_dialog.hpp"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "deployment_check/deployment_check.hpp"

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
    entries->addRow(tr("Deployment (days):"), days_);
    entries->addRow(tr("Pump stroke (\u00B5L):"), stroke_);
    entries->addRow(tr("Reagents (valve=mL):"), reagents_);
    entries->addRow(tr("Host platform:"), platform_);
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

    list_ = new QListWidget(this);
    list_->setWordWrap(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setSpacing(2);
    layout->addWidget(list_);

    auto* buttons = new QHBoxLayout;
    check_ = new QPushButton(tr("Check Again"), this);
    save_ = new QPushButton(tr("Save..."), this);
    auto* close = new QPushButton(tr("Close"), this);
    buttons->addWidget(check_);
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(check_, &QPushButton::clicked, this, &DeploymentCheckDialog::check_again);
    connect(save_, &QPushButton::clicked, this,
            [this] { deployment_check::save_check(items_, prompter_); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    save_->setEnabled(false);
    resize(fontMetrics().averageCharWidth() * 130, fontMetrics().height() * 34);
}

void DeploymentCheckDialog::check_again() {
    const auto reading = deployment_check::read_form(form_);
    if (!reading.inputs) {
        prompter_.message(std::string(deployment_check::kCheckTitle), reading.error);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    items_ = deployment_check::run_check(link_, *reading.inputs).items;
    QApplication::restoreOverrideCursor();
    show_items();
}

void DeploymentCheckDialog::show_items() {
    list_->clear();
    for (const auto& item : items_) {
        // The line as the command prints it, behind the verdict's mark.
        auto* row = new QListWidgetItem(
            mark_icon(item.verdict),
            QString::fromStdString(deployment_check::check_text({item})).trimmed(), list_);
        row->setData(Qt::UserRole, static_cast<int>(item.verdict));
    }
    save_->setEnabled(!items_.empty());
}

void run_deployment_check_dialog(QWidget* parent, link::SensorLink& link,
                                 common::Prompter& prompter, deployment_check::CheckForm& form) {
    DeploymentCheckDialog dialog(link, prompter, form, parent);
    dialog.check_again();
    dialog.exec();
}

}  // namespace kelpira::ui

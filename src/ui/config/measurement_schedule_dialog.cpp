// The schedule dialog's widgets, bound to the controller's controls.
#include "ui/config/measurement_schedule_dialog.hpp"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "config/clock_texts.hpp"

namespace kelpira::ui {

namespace {

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A date picker limited to the dates the schedule can store.
QDateEdit* date_picker(QWidget* parent) {
    auto* edit = new QDateEdit(parent);
    edit->setDisplayFormat("dd/MM/yyyy");
    edit->setCalendarPopup(true);
    edit->setDateRange(QDate(1970, 1, 1), QDate(2038, 1, 19));
    return edit;
}

QTimeEdit* time_picker(QWidget* parent) {
    auto* edit = new QTimeEdit(parent);
    edit->setDisplayFormat("HH:mm:ss");
    return edit;
}

config::CalendarTime picked(const QDateEdit* date, const QTimeEdit* time) {
    const QDate d = date->date();
    const QTime t = time->time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

void show_picked(QDateEdit* date, QTimeEdit* time, const config::CalendarTime& t) {
    const QSignalBlocker block_date(date);
    const QSignalBlocker block_time(time);
    date->setDate(QDate(t.year, t.month, t.day));
    time->setTime(QTime(t.hour, t.minute, t.second));
}

void show_text(QLineEdit* edit, const std::string& text) {
    const QString shown = q(text);
    if (edit->text() != shown) {
        const QSignalBlocker block(edit);
        edit->setText(shown);
    }
}

void draw_red(QLineEdit* edit, bool red) {
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, red ? QColor(255, 0, 0) : QPalette().color(QPalette::Text));
    edit->setPalette(palette);
}

}  // namespace

std::unique_ptr<MeasurementScheduleDialog> MeasurementScheduleDialog::create(
    link::SensorLink& link, common::Prompter& prompter, QWidget* parent) {
    std::unique_ptr<MeasurementScheduleDialog> dialog(
        new MeasurementScheduleDialog(link, prompter, parent));
    if (!dialog->controller_.open()) {
        return nullptr;
    }
    dialog->render();
    return dialog;
}

MeasurementScheduleDialog::MeasurementScheduleDialog(link::SensorLink& link,
                                                     common::Prompter& prompter, QWidget* parent)
    : QDialog(parent), controller_(link, prompter) {
    setWindowTitle(q(config::kScheduleDialogTitle));
    auto* layout = new QVBoxLayout(this);
    auto* explanation = new QLabel(q(config::kScheduleExplanation), this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);

    auto* grid = new QGridLayout;
    start_date_ = date_picker(this);
    start_time_ = time_picker(this);
    grid->addWidget(new QLabel(q(config::kStartLabel), this), 0, 0);
    grid->addWidget(start_date_, 0, 1);
    grid->addWidget(start_time_, 0, 2);

    grid->addWidget(new QLabel(q(config::kIntervalLabel), this), 1, 0);
    auto* group = new QButtonGroup(this);
    for (std::size_t i = 0; i < intervals_.size(); ++i) {
        const auto& choice = config::kIntervalChoices[i];
        intervals_[i] = new QRadioButton(q(choice.text), this);
        group->addButton(intervals_[i]);
        const int row = 2 + static_cast<int>(i);
        grid->addWidget(intervals_[i], row, 1);
        if (!choice.unit.empty()) {
            auto* entry = new QLineEdit(this);
            entry->setObjectName(q(choice.unit).toLower());
            grid->addWidget(entry, row, 2);
            grid->addWidget(new QLabel(q(choice.unit), this), row, 3);
            (choice.kind == records::kMeasureEveryNHours ? hours_ : minutes_) = entry;
        }
        connect(intervals_[i], &QRadioButton::clicked, this, [this, kind = choice.kind] {
            controller_.click_interval(kind);
            render();
        });
    }

    stop_check_ = new QCheckBox(q(config::kStopCheckText), this);
    stop_date_ = date_picker(this);
    stop_time_ = time_picker(this);
    grid->addWidget(stop_check_, 5, 0);
    grid->addWidget(new QLabel(q(config::kStopLabel), this), 6, 0);
    grid->addWidget(stop_date_, 6, 1);
    grid->addWidget(stop_time_, 6, 2);
    layout->addLayout(grid);

    save_ = new QPushButton(tr("Save"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    layout->addLayout(buttons);

    const auto starts = [this] { controller_.controls().start = picked(start_date_, start_time_); };
    connect(start_date_, &QDateEdit::dateChanged, this, starts);
    connect(start_time_, &QTimeEdit::timeChanged, this, starts);
    const auto stops = [this] { controller_.controls().stop = picked(stop_date_, stop_time_); };
    connect(stop_date_, &QDateEdit::dateChanged, this, stops);
    connect(stop_time_, &QTimeEdit::timeChanged, this, stops);
    connect(hours_, &QLineEdit::textEdited, this, [this](const QString& text) {
        controller_.controls().hours = text.toStdString();
        render_entries();
    });
    connect(minutes_, &QLineEdit::textEdited, this, [this](const QString& text) {
        controller_.controls().minutes = text.toStdString();
        render_entries();
    });
    connect(stop_check_, &QCheckBox::clicked, this, [this](bool ticked) {
        controller_.click_stop(ticked);
        render();
    });
    connect(save_, &QPushButton::clicked, this, [this] {
        controller_.save();
        render();
    });
}

void MeasurementScheduleDialog::render() {
    const auto& c = controller_.controls();
    show_picked(start_date_, start_time_, c.start);
    show_picked(stop_date_, stop_time_, c.stop);
    // Without a button for the stored kind, none is checked.
    auto* group = intervals_[0]->group();
    group->setExclusive(false);
    for (std::size_t i = 0; i < intervals_.size(); ++i) {
        intervals_[i]->setChecked(c.interval_button == config::kIntervalChoices[i].kind);
    }
    group->setExclusive(true);
    show_text(hours_, c.hours);
    show_text(minutes_, c.minutes);
    stop_check_->setChecked(c.stop_enabled);
    const auto on = controller_.enabling();
    stop_date_->setEnabled(on.stop_pickers);
    stop_time_->setEnabled(on.stop_pickers);
    hours_->setEnabled(on.hours);
    minutes_->setEnabled(on.minutes);
    render_entries();
}

void MeasurementScheduleDialog::render_entries() {
    draw_red(hours_, controller_.hours_red());
    draw_red(minutes_, controller_.minutes_red());
    save_->setEnabled(controller_.save_enabled());
}

void run_measurement_schedule_dialog(QWidget* parent, link::SensorLink& link,
                                     common::Prompter& prompter) {
    auto dialog = MeasurementScheduleDialog::create(link, prompter, parent);
    if (dialog) {
        dialog->exec();
    }
}

}  // namespace kelpira::ui

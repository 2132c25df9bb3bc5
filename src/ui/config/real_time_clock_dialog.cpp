// The clock dialog's widgets and the hand-off of the display thread's texts to the UI thread.
#include "ui/config/real_time_clock_dialog.hpp"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace kelpira::ui {

namespace {

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

constexpr int kDisplayFontPixels = 38;
const QColor kDisabledText(150, 150, 150);

}  // namespace

RealTimeClockDialog::RealTimeClockDialog(link::SensorLink& link, common::Prompter& prompter,
                                         std::string& log_path, QWidget* parent,
                                         config::PcClock pc_now, std::chrono::milliseconds period)
    : QDialog(parent), handoff_(this) {
    setWindowTitle(q(config::kClockDialogTitle));
    auto* layout = new QVBoxLayout(this);

    // The display: one line, centred, on the button background; grey while disabled.
    display_ = new QLabel(this);
    display_->setObjectName("clock_display");
    display_->setAlignment(Qt::AlignCenter);
    display_->setAutoFillBackground(true);
    QFont font("Arial");
    font.setPixelSize(kDisplayFontPixels);
    font.setWeight(QFont::Normal);
    display_->setFont(font);
    QPalette palette = display_->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    palette.setColor(QPalette::Active, QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, kDisabledText);
    display_->setPalette(palette);
    display_->setMinimumHeight(kDisplayFontPixels * 2);
    layout->addWidget(display_);

    auto* box = new QGroupBox(tr("Set Sensor's Clock"), this);
    auto* grid = new QGridLayout(box);
    picked_ = new QRadioButton(q(config::kClockChoices[0].text), box);
    picked_->setToolTip(q(config::kClockChoices[0].tip));
    pc_ = new QRadioButton(q(config::kClockChoices[1].text), box);
    pc_->setToolTip(q(config::kClockChoices[1].tip));
    date_ = new QDateEdit(box);
    date_->setDisplayFormat("dd/MM/yyyy");
    date_->setCalendarPopup(true);
    time_ = new QTimeEdit(box);
    time_->setDisplayFormat("HH:mm:ss");
    grid->addWidget(picked_, 0, 0);
    grid->addWidget(date_, 0, 1);
    grid->addWidget(time_, 0, 2);
    grid->addWidget(pc_, 1, 0);
    pc_note_ = new QLabel(q(config::pc_clock_note(config::pc_utc_offset_seconds())), box);
    pc_note_->setWordWrap(true);
    grid->addWidget(pc_note_, 1, 1, 1, 2);
    layout->addWidget(box);

    set_now_ = new QPushButton(q(config::kSetNowText), this);
    set_now_->setToolTip(q(config::kSetNowTip));
    event_ = new QComboBox(this);
    for (const auto event : records::kClockEvents) {
        event_->addItem(q(event));
    }
    event_->setCurrentText(q(records::kDefaultClockEvent));
    record_offset_ = new QPushButton(q(config::kRecordOffsetText), this);
    record_offset_->setToolTip(q(config::kRecordOffsetTip));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(q(config::kEventLabel), this));
    buttons->addWidget(event_);
    buttons->addWidget(record_offset_);
    buttons->addStretch(1);
    buttons->addWidget(set_now_);
    layout->addLayout(buttons);

    controller_ = std::make_unique<config::RealTimeClockController>(
        link, prompter,
        [handoff = handoff_](const std::string& text) {
            handoff.post([shown = q(text)](RealTimeClockDialog& d) { d.display_->setText(shown); });
        },
        std::move(pc_now), period);

    const config::CalendarTime& t = controller_->controls().picked;
    date_->setDate(QDate(t.year, t.month, t.day));
    time_->setTime(QTime(t.hour, t.minute, t.second));
    picked_->setChecked(true);
    choose(config::ClockSource::picked);

    connect(picked_, &QRadioButton::clicked, this, [this] { choose(config::ClockSource::picked); });
    connect(pc_, &QRadioButton::clicked, this, [this] { choose(config::ClockSource::pc); });
    connect(date_, &QDateEdit::dateChanged, this, [this] { pickers_changed(); });
    connect(time_, &QTimeEdit::timeChanged, this, [this] { pickers_changed(); });
    connect(set_now_, &QPushButton::clicked, this, [this] { controller_->set_now(); });
    connect(event_, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { controller_->controls().event = text.toStdString(); });
    connect(record_offset_, &QPushButton::clicked, this,
            [this, log = &log_path] { controller_->record_offset(*log); });
}

RealTimeClockDialog::~RealTimeClockDialog() {
    handoff_.close();
    controller_.reset();  // the display stops, waited for at most 100 ms
}

void RealTimeClockDialog::choose(config::ClockSource source) {
    controller_->controls().source = source;
    const bool on = config::pickers_enabled(controller_->controls());
    date_->setEnabled(on);
    time_->setEnabled(on);
}

void RealTimeClockDialog::pickers_changed() {
    const QDate d = date_->date();
    const QTime t = time_->time();
    controller_->controls().picked = {d.year(), d.month(),  d.day(),
                                      t.hour(), t.minute(), t.second()};
}

void run_real_time_clock_dialog(QWidget* parent, link::SensorLink& link, common::Prompter& prompter,
                                std::string& log_path) {
    RealTimeClockDialog dialog(link, prompter, log_path, parent);
    dialog.exec();
}

}  // namespace kelpira::ui

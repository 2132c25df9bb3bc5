// The raw output graph view's controls and its redraw timer.
#include "ui/views/raw_graph_view.hpp"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/views/raw_graph_widget.hpp"

namespace kelpira::ui {

namespace {

// The "X" beside a channel box: text and background in the channel's trace colour.
QLabel* swatch(app::Rgb colour, QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("X"), parent);
    const QString css = QStringLiteral("color: %1; background-color: %1; padding: 0 3px;")
                            .arg(QColor(colour.r, colour.g, colour.b).name());
    label->setStyleSheet(css);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

RawGraphView::RawGraphView(link::SensorLink& link, common::Prompter& prompter,
                           const app::StatusPoll& poll, app::RawGraphSettings& settings,
                           const std::optional<config::ChemistryConfig>& view_chemistry,
                           QWidget* parent)
    : QWidget(parent), link_(link), poll_(poll), settings_(settings) {
    setup_ = app::open_raw_graph(link_, prompter, view_chemistry, settings_);
    build_display_control();
    show_labels();

    graph_ = new RawGraphWidget(prompter, this);
    auto* heading = new QLabel(QStringLiteral("RAW OUTPUT"), this);
    auto* panel = new QVBoxLayout;
    panel->addWidget(heading);
    panel->addWidget(display_control_);
    panel->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(panel);
    layout->addWidget(graph_, 1);

    timer_.setInterval(kRedrawMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (!pause_->isChecked()) {
            redraw();
        }
    });
    timer_.start();
}

void RawGraphView::build_display_control() {
    display_control_ = new QGroupBox(QStringLiteral("Display Control"), this);
    auto* grid = new QGridLayout(display_control_);
    const app::ChannelFlags ticked = settings_.channel_selected.value_or(app::ChannelFlags{});
    for (std::size_t c = 0; c < app::kRawChannels; ++c) {
        auto* box = new QCheckBox(display_control_);
        box->setChecked(ticked[c]);
        connect(box, &QCheckBox::clicked, this, [this, c](bool on) {
            auto flags = settings_.channel_selected.value_or(app::ChannelFlags{});
            flags[c] = on;
            settings_.channel_selected = flags;
        });
        channel_boxes_[c] = box;
        const int row = static_cast<int>(c);
        grid->addWidget(box, row, 0);
        grid->addWidget(swatch(app::kChannelColours[c], display_control_), row, 1);
    }
    const int next = static_cast<int>(app::kRawChannels);
    platform_ = new QCheckBox(QStringLiteral("Platform Data"), display_control_);
    thermistors_ = new QCheckBox(QStringLiteral("Thermistor Temps"), display_control_);
    pause_ = new QCheckBox(QStringLiteral("Pause Display"), display_control_);
    platform_->setChecked(settings_.show_platform);
    thermistors_->setChecked(settings_.show_thermistors);
    grid->addWidget(platform_, next, 0, 1, 2);
    grid->addWidget(thermistors_, next + 1, 0, 1, 2);
    grid->addWidget(pause_, next + 2, 0, 1, 2);
}

void RawGraphView::show_labels() {
    for (std::size_t c = 0; c < app::kRawChannels; ++c) {
        channel_boxes_[c]->setText(QString::fromStdString(setup_.labels[c]));
    }
}

void RawGraphView::reload(const std::optional<config::ChemistryConfig>& reread) {
    app::reload_raw_graph(link_, reread, setup_);
    show_labels();
}

void RawGraphView::redraw() {
    settings_.show_platform = platform_->isChecked();
    settings_.show_thermistors = thermistors_->isChecked();
    std::vector<app::LiveSample> samples;
    if (const auto history = poll_.history()) {
        samples = history->newest_samples(app::raw_graph_columns(graph_->client()));
    }
    app::RawGraphInput input;
    input.samples = samples;
    input.channels = settings_.channel_selected.value_or(app::ChannelFlags{});
    if (settings_.show_platform) {
        input.platform = poll_.platform_state();
    }
    if (settings_.show_thermistors) {
        input.thermistors = setup_.thermistors;
    }
    graph_->redraw(input);
}

}  // namespace kelpira::ui

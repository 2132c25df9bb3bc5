// The raw output graph view's controls and its redraw timer.
#include "ui/views/raw_graph_view.hpp"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/graph/raw_graph_widget.hpp"

namespace kelpira::ui {

namespace {

// The "X" beside a channel box: text and background in the channel's trace colour.
QLabel* swatch(views::Rgb colour, QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("X"), parent);
    const QString css = QStringLiteral("color: %1; background-color: %1; padding: 0 3px;")
                            .arg(QColor(colour.r, colour.g, colour.b).name());
    label->setStyleSheet(css);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

RawGraphView::RawGraphView(const ViewHost& host, views::LinkFlags flags,
                           const views::StatusPoll& poll, graph::RawGraphSettings& settings,
                           QWidget* parent)
    : QWidget(parent),
      link_(host.link),
      poll_(poll),
      settings_(settings),
      frame_(new ViewFrame(host, QStringLiteral("RAW OUTPUT"), flags, false, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame_);

    const auto& state = frame_->state();
    setup_ = graph::open_raw_graph(
        host.link, host.prompter,
        state.read_from_sensor() ? std::optional(state.chemistry()) : std::nullopt, settings_);
    frame_->display_controls()->insertWidget(0, build_display_controls());
    show_labels();
    graph_ = new RawGraphWidget(host.prompter, frame_);
    frame_->set_content(graph_);

    connect(frame_, &ViewFrame::config_reloaded, this, [this] {
        graph::reload_raw_graph(link_, frame_->state().chemistry(), setup_);
        show_labels();
    });
    timer_.setInterval(kRedrawMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (!frame_->pause_box()->isChecked()) {
            redraw();
        }
    });
    timer_.start();
}

QWidget* RawGraphView::build_display_controls() {
    auto* controls = new QWidget(frame_);
    auto* grid = new QGridLayout(controls);
    grid->setContentsMargins(0, 0, 0, 0);
    const graph::ChannelFlags ticked = settings_.channel_selected.value_or(graph::ChannelFlags{});
    for (std::size_t c = 0; c < graph::kRawChannels; ++c) {
        auto* box = new QCheckBox(controls);
        box->setChecked(ticked[c]);
        connect(box, &QCheckBox::clicked, this, [this, c](bool on) {
            auto selected = settings_.channel_selected.value_or(graph::ChannelFlags{});
            selected[c] = on;
            settings_.channel_selected = selected;
        });
        channel_boxes_[c] = box;
        const int row = static_cast<int>(c);
        grid->addWidget(box, row, 0);
        grid->addWidget(swatch(graph::kChannelColours[c], controls), row, 1);
    }
    const int next = static_cast<int>(graph::kRawChannels);
    platform_ = new QCheckBox(QStringLiteral("Platform Data"), controls);
    thermistors_ = new QCheckBox(QStringLiteral("Thermistor Temps"), controls);
    platform_->setChecked(settings_.show_platform);
    thermistors_->setChecked(settings_.show_thermistors);
    grid->addWidget(platform_, next, 0, 1, 2);
    grid->addWidget(thermistors_, next + 1, 0, 1, 2);
    return controls;
}

void RawGraphView::show_labels() {
    for (std::size_t c = 0; c < graph::kRawChannels; ++c) {
        channel_boxes_[c]->setText(QString::fromStdString(setup_.labels[c]));
    }
}

void RawGraphView::redraw() {
    settings_.show_platform = platform_->isChecked();
    settings_.show_thermistors = thermistors_->isChecked();
    std::vector<records::LiveSample> samples;
    if (const auto history = poll_.history()) {
        samples = history->newest_samples(graph::raw_graph_columns(graph_->client()));
    }
    graph::RawGraphInput input;
    input.samples = samples;
    input.channels = settings_.channel_selected.value_or(graph::ChannelFlags{});
    if (settings_.show_platform) {
        input.platform = poll_.platform_state();
    }
    if (settings_.show_thermistors) {
        input.thermistors = setup_.thermistors;
    }
    graph_->redraw(input);
}

}  // namespace kelpira::ui

// The text views' widgets: each builds its frame and list, starts its worker, and carries
// out its buttons through the core.
#include "ui/views/text_views.hpp"

#include <QCheckBox>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "link/board_commands.hpp"
#include "ui/views/sensor_log_dialogs.hpp"
#include "views/row_list.hpp"
#include "views/store_clear.hpp"

namespace kelpira::ui {

namespace {

ViewFrame* make_frame(QWidget* view, const ViewHost& host, const char* heading,
                      views::LinkFlags flags, bool pause_always) {
    auto* frame = new ViewFrame(host, heading, flags, pause_always, view);
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    return frame;
}

void follow_pause(ViewFrame* frame, ViewList& list) {
    QObject::connect(frame->pause_box(), &QCheckBox::toggled, frame,
                     [&list](bool on) { list.set_paused(on); });
}

QPushButton* add_button(ViewFrame* frame, const char* text, const char* tip = nullptr) {
    auto* b = new QPushButton(text, frame);
    if (tip != nullptr) {
        b->setToolTip(tip);
    }
    frame->display_controls()->addWidget(b);
    return b;
}

views::ClearSteps clear_steps(ViewList& list) {
    return {[&list] { list.stop(); }, [&list] { list.model()->clear(); },
            [&list] { list.restart(); }};
}

}  // namespace

std::string& processed_output_save_path() {
    static std::string path;
    return path;
}

std::string& diagnostics_save_path() {
    static std::string path;
    return path;
}

RawTextView::RawTextView(const ViewHost& host, views::LinkFlags flags, QWidget* parent)
    : QWidget(parent), frame_(make_frame(this, host, "RAW OUTPUT", flags, false)) {
    list_ = std::make_unique<ViewList>(host.workers, views::kLiveRowCap,
                                       views::raw_output_columns(), frame_);
    frame_->set_content(list_->view());
    follow_pause(frame_, *list_);
    list_->start([history = host.history](common::WorkerControl& control,
                                          const std::atomic<bool>& paused,
                                          const views::RowSink& sink) {
        views::run_raw_text_worker(control, history, paused, sink);
    });
}

ProcessedTextView::ProcessedTextView(const ViewHost& host, views::LinkFlags flags,
                                     views::ProcessedViewSettings& settings, QWidget* parent)
    : QWidget(parent),
      host_(host),
      settings_(settings),
      frame_(make_frame(this, host, "PROCESSED OUTPUT", flags, true)) {
    save_ = add_button(frame_, "Save", "Save sensor processed output from list to file on PC");
    clear_ = add_button(frame_, "Clear", "Clear all processed output from sensor");
    quality_ = add_button(frame_, "Quality Control...",
                          "Flag the results with the quality tests: a parameters file of your "
                          "own, or the parameters Kelpira ships");
    list_ = std::make_unique<ViewList>(host.workers, views::kLiveRowCap,
                                       views::processed_output_columns(), frame_);
    frame_->set_content(list_->view());
    retitle();
    follow_pause(frame_, *list_);
    connect(frame_, &ViewFrame::config_reloaded, this, &ProcessedTextView::retitle);
    connect(quality_, &QPushButton::clicked, this, [this] {
        settings_.quality = quality::choose_quality_parameters(host_.prompter);
        start_reading();
    });
    connect(save_, &QPushButton::clicked, this, [this] {
        views::save_rows(host_.prompter, views::kProcessedOutputSave, processed_output_save_path(),
                         views::column_titles(list_->model()->columns()), list_->model()->rows());
    });
    connect(clear_, &QPushButton::clicked, this, [this] {
        views::clear_sensor_store(host_.link, host_.prompter, views::SensorStore::ProcessedOutput,
                                  list_->model()->rows().dropped(), clear_steps(*list_));
    });
    start_reading();
}

void ProcessedTextView::start_reading() {
    list_->stop();
    list_->model()->clear();
    retitle();
    // The results are flagged as series of the chemistry the sensor has now.
    list_->start([&link = host_.link, parameters = settings_.quality.parameters,
                  chemistry = frame_->state().chemistry().chemistry](
                     common::WorkerControl& control, const std::atomic<bool>& paused,
                     const views::RowSink& sink) {
        if (!parameters) {
            views::run_output_reader(control, link, paused, sink);
            return;
        }
        views::LiveQuality quality(parameters, chemistry);
        views::run_output_reader(control, link, paused, sink, &quality);
    });
}

void ProcessedTextView::retitle() {
    auto columns = list_->model()->columns();
    const std::string flag_title(quality::kFlagColumnTitle);
    const bool has_flags = !columns.empty() && columns.back().title == flag_title;
    if (settings_.quality.parameters && !has_flags) {
        columns.push_back({flag_title, 7});
    } else if (!settings_.quality.parameters && has_flags) {
        columns.pop_back();
    }
    views::title_processed_columns(columns, frame_->state().chemistry().chemistry);
    list_->model()->set_columns(columns);
    size_columns(list_->view(), columns);
}

DiagnosticsView::DiagnosticsView(const ViewHost& host, views::LinkFlags flags, QWidget* parent)
    : QWidget(parent), host_(host), frame_(make_frame(this, host, "DIAGNOSTICS", flags, false)) {
    auto* save = add_button(frame_, "Save...", "Save diagnostics to file on PC");
    auto* clear = add_button(frame_, "Clear...", "Wipe diagnostics from sensor");
    auto* tasks = add_button(frame_, "Tasks...");
    auto* led = add_button(frame_, "Toggle LED");
    auto* restarts = add_button(frame_, "Restarts...");
    list_ = std::make_unique<ViewList>(host.workers, views::kDiagnosticsRowCap,
                                       views::diagnostics_columns(), frame_);
    frame_->set_content(list_->view());
    follow_pause(frame_, *list_);
    connect(save, &QPushButton::clicked, this, [this] {
        views::save_rows(host_.prompter, views::kDiagnosticsSave, diagnostics_save_path(),
                         views::column_titles(list_->model()->columns()), list_->model()->rows());
    });
    connect(clear, &QPushButton::clicked, this, [this] {
        views::clear_sensor_store(host_.link, host_.prompter, views::SensorStore::Diagnostics,
                                  list_->model()->rows().dropped(), clear_steps(*list_));
    });
    connect(tasks, &QPushButton::clicked, this,
            [this] { run_task_dialog(host_.link, host_.prompter, this); });
    connect(led, &QPushButton::clicked, this, [this] { link::toggle_led(host_.link); });
    connect(restarts, &QPushButton::clicked, this,
            [this] { run_restart_log_dialog(host_.link, this); });
    list_->start([&link = host.link](common::WorkerControl& control,
                                     const std::atomic<bool>& paused, const views::RowSink& sink) {
        views::run_diagnostics_reader(control, link, paused, sink);
    });
}

QPushButton* DiagnosticsView::button(const QString& text) const {
    for (auto* b : frame_->findChildren<QPushButton*>()) {
        if (b->text() == text) {
            return b;
        }
    }
    return nullptr;
}

}  // namespace kelpira::ui

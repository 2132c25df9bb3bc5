// The Qt skin shared by the processing dialogs: draws a ProcessingView, forwards the user's
// edits to its controller, and runs "Process" on a worker with a progress bar and "Cancel".
#pragma once

#include <QDialog>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "common/prompter.hpp"
#include "common/worker.hpp"
#include "processing/dialogs/processing_controller.hpp"
#include "ui/common/handoff.hpp"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListView;
class QProgressBar;
class QPushButton;
class QStringListModel;
class QTreeWidget;
class QWidget;

namespace kelpira::ui {

// How the skin reaches the controller behind the view.
struct ProcessingHooks {
    // A list or check box changed; its new value is already in the view.
    std::function<void(std::size_t control)> control_changed;
    // "Process" pressed: the pass to run, or nothing when the controller refused (and said why).
    std::function<std::optional<processing::PassJob>()> process;
    // A pass to run as soon as the dialog is shown (the multi-file dialog).
    std::optional<processing::PassJob> initial_pass;
    // The controller that owns the view; kept alive as long as the dialog.
    std::shared_ptr<void> owner;
};

class ProcessingDialog : public QDialog {
    Q_OBJECT

  public:
    ProcessingDialog(processing::ProcessingView& view, ProcessingHooks hooks,
                     common::Prompter& prompter, QWidget* parent = nullptr);
    ~ProcessingDialog() override;

    // True while a pass runs.
    bool processing() const { return worker_ != nullptr; }

    // The widgets, for tests and for whoever lays the dialog out differently.
    QPushButton* process_button() const { return process_button_; }
    QPushButton* save_button() const { return save_button_; }
    QPushButton* cancel_button() const { return cancel_button_; }
    QPushButton* clock_log_button() const { return clock_log_button_; }
    QPushButton* quality_button() const { return quality_button_; }
    QProgressBar* progress_bar() const { return progress_; }
    QTreeWidget* result_list() const { return results_; }
    QListView* log_list() const { return log_; }
    QWidget* control_widget(std::size_t control) const { return widgets_.at(control); }

    // What a Save as NetCDF shows for the "NetCDF metadata" form (the form itself unless a
    // test says otherwise): the form as left, or nothing for Cancel. What it returns is
    // offered again at the next Save of any processing dialog while the program runs.
    using MetadataAsk = std::function<std::optional<processing::NetcdfMetadata>(
        const processing::NetcdfMetadata& shown)>;
    void set_metadata_ask(MetadataAsk ask) { ask_metadata_ = std::move(ask); }

  signals:
    // A pass has ended and its results are listed.
    void pass_finished();

  private:
    void build_controls(QWidget* area);
    void on_choice(std::size_t control, int index);
    void on_check(std::size_t control, bool checked);
    void on_text(std::size_t control, const QString& text);
    void show_controls();
    void show_columns();
    void show_results();
    void on_process();
    void start_pass(processing::PassJob job);
    void on_progress(std::uint64_t done, std::uint64_t total);
    void on_pass_done(processing::PassOutcome outcome);
    void on_cancel();
    void on_save();
    std::optional<processing::NetcdfMetadata> ask_metadata();
    void update_buttons();
    void stop_pass();
    void reject() override;

    processing::ProcessingView& view_;
    ProcessingHooks hooks_;
    common::Prompter& prompter_;
    std::vector<QWidget*> widgets_;
    QPushButton* process_button_ = nullptr;
    QPushButton* save_button_ = nullptr;
    QPushButton* cancel_button_ = nullptr;
    QPushButton* clock_log_button_ = nullptr;
    QPushButton* quality_button_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTreeWidget* results_ = nullptr;
    QListView* log_ = nullptr;
    QStringListModel* log_model_ = nullptr;
    Handoff<ProcessingDialog> handoff_;
    std::unique_ptr<common::Worker> worker_;
    MetadataAsk ask_metadata_;
};

}  // namespace kelpira::ui

// The processing dialog skin: controls from the view, the worker-driven pass, the lists.
#include "ui/processing/processing_dialog.hpp"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStringListModel>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <utility>

#include "processing/dialogs/quality_control.hpp"
#include "ui/processing/netcdf_metadata_dialog.hpp"

namespace kelpira::ui {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr int kProgressSteps = 1000;
constexpr std::size_t kGroupColumns = 2;
constexpr std::chrono::milliseconds kStopWait{2000};

}  // namespace

ProcessingDialog::ProcessingDialog(processing::ProcessingView& view, ProcessingHooks hooks,
                                   common::Prompter& prompter, QWidget* parent)
    : QDialog(parent), view_(view), hooks_(std::move(hooks)), prompter_(prompter), handoff_(this) {
    auto* layout = new QVBoxLayout(this);

    auto* parameters = new QWidget(this);
    build_controls(parameters);
    layout->addWidget(parameters);

    auto* buttons = new QHBoxLayout;
    process_button_ = new QPushButton(tr("Process"), this);
    save_button_ = new QPushButton(tr("Save"), this);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, kProgressSteps);
    cancel_button_ = new QPushButton(tr("Cancel"), this);
    clock_log_button_ = new QPushButton(tr("Clock log..."), this);
    clock_log_button_->setToolTip(
        tr("Correct the results' times for the sensor clock's drift with a clock log of its "
           "offsets from UTC (Cancel: no correction)"));
    // A pass run as the dialog opens has no Process to run it again with the log.
    clock_log_button_->setVisible(view_.has_process_button);
    clock_log_button_->setAutoDefault(false);
    quality_button_ = new QPushButton(tr("Quality Control..."), this);
    quality_button_->setToolTip(
        tr("Flag the results with the quality tests: a parameters file of your own, or the "
           "parameters Kelpira ships (Cancel: no flags)"));
    quality_button_->setVisible(view_.has_process_button);
    quality_button_->setAutoDefault(false);
    process_button_->setVisible(view_.has_process_button);
    process_button_->setAutoDefault(false);
    save_button_->setAutoDefault(false);
    cancel_button_->setAutoDefault(false);
    buttons->addWidget(clock_log_button_);
    buttons->addWidget(quality_button_);
    buttons->addWidget(process_button_);
    buttons->addWidget(save_button_);
    buttons->addWidget(progress_, 1);
    buttons->addWidget(cancel_button_);
    layout->addLayout(buttons);

    auto* lists = new QSplitter(Qt::Vertical, this);
    log_ = new QListView(lists);
    log_model_ = new QStringListModel(log_);
    log_->setModel(log_model_);
    log_->setUniformItemSizes(true);
    log_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    results_ = new QTreeWidget(lists);
    results_->setRootIsDecorated(false);
    results_->setUniformRowHeights(true);
    results_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lists->addWidget(log_);
    lists->addWidget(results_);
    lists->setStretchFactor(1, 2);
    lists->setSizes({150, 300});
    layout->addWidget(lists, 1);

    connect(process_button_, &QPushButton::clicked, this, &ProcessingDialog::on_process);
    connect(save_button_, &QPushButton::clicked, this, &ProcessingDialog::on_save);
    connect(cancel_button_, &QPushButton::clicked, this, &ProcessingDialog::on_cancel);
    connect(clock_log_button_, &QPushButton::clicked, this, [this] {
        processing::choose_clock_log(view_, prompter_);
        show_results();
    });
    connect(quality_button_, &QPushButton::clicked, this, [this] {
        processing::choose_quality_control(view_, prompter_);
        show_results();
    });

    show_controls();
    show_results();
    update_buttons();
    resize(960, 820);

    if (hooks_.initial_pass) {
        QTimer::singleShot(0, this, [this]() {
            auto job = std::move(*hooks_.initial_pass);
            hooks_.initial_pass.reset();
            start_pass(std::move(job));
        });
    }
}

ProcessingDialog::~ProcessingDialog() {
    stop_pass();
}

void ProcessingDialog::build_controls(QWidget* area) {
    // One titled box per group, in the order the groups first appear; each box goes to the
    // shorter of two columns, so a long parameter group faces the small ones.
    std::vector<std::pair<std::string, int>> group_rows;
    for (const auto& c : view_.controls) {
        auto it = std::find_if(group_rows.begin(), group_rows.end(),
                               [&c](const auto& g) { return g.first == c.group; });
        if (it == group_rows.end()) {
            group_rows.emplace_back(c.group, 1);
        } else {
            ++it->second;
        }
    }
    auto* columns = new QHBoxLayout(area);
    columns->setContentsMargins(0, 0, 0, 0);
    std::array<QVBoxLayout*, kGroupColumns> column{};
    std::array<int, kGroupColumns> height{};
    for (auto& c : column) {
        c = new QVBoxLayout;
        columns->addLayout(c, 1);
    }
    std::vector<std::pair<std::string, QFormLayout*>> groups;
    for (const auto& [title, rows] : group_rows) {
        const auto shortest = static_cast<std::size_t>(
            std::min_element(height.begin(), height.end()) - height.begin());
        auto* box = new QGroupBox(q(title), area);
        column[shortest]->addWidget(box);
        height[shortest] += rows;
        groups.emplace_back(title, new QFormLayout(box));
    }
    for (auto* c : column) {
        c->addStretch(1);
    }
    const auto form_of = [&groups](const std::string& title) {
        return std::find_if(groups.begin(), groups.end(),
                            [&title](const auto& g) { return g.first == title; })
            ->second;
    };

    for (std::size_t i = 0; i < view_.controls.size(); ++i) {
        const auto& c = view_.controls[i];
        QWidget* widget = nullptr;
        switch (c.kind) {
            case common::ControlKind::choice: {
                auto* combo = new QComboBox(area);
                for (const auto& choice : c.choices) {
                    combo->addItem(q(choice.text));
                }
                connect(combo, &QComboBox::activated, this,
                        [this, i](int index) { on_choice(i, index); });
                widget = combo;
                break;
            }
            case common::ControlKind::check: {
                auto* box = new QCheckBox(q(c.label), area);
                connect(box, &QCheckBox::toggled, this,
                        [this, i](bool checked) { on_check(i, checked); });
                widget = box;
                break;
            }
            case common::ControlKind::text:
            case common::ControlKind::read_only: {
                auto* edit = new QLineEdit(area);
                edit->setReadOnly(c.kind == common::ControlKind::read_only);
                connect(edit, &QLineEdit::textEdited, this,
                        [this, i](const QString& text) { on_text(i, text); });
                widget = edit;
                break;
            }
        }
        widget->setObjectName(q(c.group + "/" + c.label));
        if (c.kind == common::ControlKind::check) {
            form_of(c.group)->addRow(widget);
        } else {
            form_of(c.group)->addRow(q(c.label), widget);
        }
        widgets_.push_back(widget);
    }
}

void ProcessingDialog::on_choice(std::size_t control, int index) {
    view_.controls[control].selected =
        index < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(index));
    if (hooks_.control_changed) {
        hooks_.control_changed(control);
    }
    show_controls();
}

void ProcessingDialog::on_check(std::size_t control, bool checked) {
    view_.controls[control].checked = checked;
    if (hooks_.control_changed) {
        hooks_.control_changed(control);
    }
    show_controls();
}

void ProcessingDialog::on_text(std::size_t control, const QString& text) {
    view_.controls[control].text = text.toStdString();
}

void ProcessingDialog::show_controls() {
    setWindowTitle(q(view_.title));
    for (std::size_t i = 0; i < view_.controls.size(); ++i) {
        const auto& c = view_.controls[i];
        QWidget* w = widgets_[i];
        const QSignalBlocker block(w);
        w->setEnabled(c.enabled);
        w->setToolTip(q(c.tooltip));
        switch (c.kind) {
            case common::ControlKind::choice:
                static_cast<QComboBox*>(w)->setCurrentIndex(
                    c.selected ? static_cast<int>(*c.selected) : -1);
                break;
            case common::ControlKind::check:
                static_cast<QCheckBox*>(w)->setChecked(c.checked);
                break;
            case common::ControlKind::text:
            case common::ControlKind::read_only: {
                auto* edit = static_cast<QLineEdit*>(w);
                if (edit->text() != q(c.text)) {
                    edit->setText(q(c.text));
                }
                break;
            }
        }
    }
    show_columns();
}

void ProcessingDialog::show_columns() {
    const auto columns = processing::shown_columns(view_.results);
    QStringList titles;
    for (const auto& c : columns) {
        titles << q(c.title);
    }
    const bool first_time = results_->columnCount() != static_cast<int>(columns.size());
    results_->setHeaderLabels(titles);
    if (first_time) {
        // The widths the list was laid out with, but never narrower than the title.
        const QFontMetrics metrics = results_->header()->fontMetrics();
        const int unit = metrics.averageCharWidth();
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const int title = metrics.horizontalAdvance(q(columns[i].title));
            results_->setColumnWidth(static_cast<int>(i),
                                     std::max(columns[i].width_units * unit, title) + unit * 3);
        }
    }
}

void ProcessingDialog::show_results() {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(view_.log.size()));
    for (const auto& line : view_.log) {
        lines << q(line);
    }
    log_model_->setStringList(lines);
    log_->scrollToBottom();

    results_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(view_.results.rows.size()));
    for (const auto& row : view_.results.rows) {
        QStringList cells;
        for (const auto& cell : row) {
            cells << q(cell);
        }
        auto* item = new QTreeWidgetItem(cells);
        if (view_.results.flagged && !row.empty()) {
            if (const auto rgb = processing::quality_flag_colour(row.back())) {
                item->setForeground(static_cast<int>(row.size() - 1), QColor::fromRgb(*rgb));
            }
        }
        items << item;
    }
    results_->addTopLevelItems(items);
}

void ProcessingDialog::on_process() {
    if (processing() || !hooks_.process) {
        return;
    }
    auto job = hooks_.process();
    show_controls();
    show_results();
    update_buttons();
    if (job) {
        start_pass(std::move(*job));
    }
}

void ProcessingDialog::start_pass(processing::PassJob job) {
    progress_->setValue(0);
    worker_ = std::make_unique<common::Worker>([handoff = handoff_, job = std::move(job)](
                                                   common::WorkerControl& control) {
        int shown = -1;
        processing::PassControl pass;
        pass.cancelled = [&control]() { return control.stop_requested(); };
        pass.progress = [&handoff, &shown](std::uint64_t done, std::uint64_t total) {
            const int step = total == 0 ? 0
                                        : static_cast<int>(std::min<std::uint64_t>(done, total) *
                                                           kProgressSteps / total);
            if (step != shown) {  // one queued call per visible step, not per row
                shown = step;
                handoff.post([done, total](ProcessingDialog& d) { d.on_progress(done, total); });
            }
        };
        auto outcome = std::make_shared<processing::PassOutcome>(job(pass));
        handoff.post([outcome](ProcessingDialog& d) { d.on_pass_done(std::move(*outcome)); });
    });
    update_buttons();
}

void ProcessingDialog::on_progress(std::uint64_t done, std::uint64_t total) {
    if (total == 0) {
        progress_->setRange(0, 0);  // busy indicator
        return;
    }
    progress_->setRange(0, kProgressSteps);
    progress_->setValue(static_cast<int>(std::min(done, total) * kProgressSteps / total));
}

void ProcessingDialog::on_pass_done(processing::PassOutcome outcome) {
    if (worker_) {
        // The body's last act was to post this call, so the wait ends at once.
        worker_->wait_finished(kStopWait);
        worker_.reset();
    }
    progress_->setRange(0, kProgressSteps);
    progress_->setValue(outcome.cancelled ? 0 : kProgressSteps);
    processing::finish_pass(view_, std::move(outcome), prompter_);
    show_columns();
    show_results();
    update_buttons();
    emit pass_finished();
}

void ProcessingDialog::on_cancel() {
    if (worker_) {
        worker_->request_stop();  // the pass ends at its next row and posts what it has
    }
}

void ProcessingDialog::on_save() {
    if (view_.save_enabled && !processing()) {
        processing::save_result_list(view_.results, prompter_, [this] { return ask_metadata(); });
    }
}

std::optional<processing::NetcdfMetadata> ProcessingDialog::ask_metadata() {
    // The program has no settings file: the form is remembered while it runs, on the UI thread.
    static processing::NetcdfMetadata last;
    auto filled = ask_metadata_ ? ask_metadata_(last) : ask_netcdf_metadata(last, prompter_, this);
    if (filled) {
        last = *filled;
    }
    return filled;
}

void ProcessingDialog::update_buttons() {
    const bool running = processing();
    process_button_->setEnabled(!running);
    clock_log_button_->setEnabled(!running);
    save_button_->setEnabled(view_.save_enabled && !running);
    cancel_button_->setEnabled(running);
    progress_->setVisible(running || progress_->value() > 0);
}

void ProcessingDialog::stop_pass() {
    handoff_.close();
    if (worker_) {
        worker_->stop(kStopWait);  // a pass stuck in a read is let go; it owns all it uses
        worker_.reset();
    }
}

void ProcessingDialog::reject() {
    stop_pass();
    QDialog::reject();
}

}  // namespace kelpira::ui

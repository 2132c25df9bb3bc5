// The definition dialog: its controls, the table filled from the summary, the dry run's end
// message, the column widths and "Save...".
#include "ui/statemachine/definition_dialog.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kelpira::ui {
namespace {

QString q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLineEdit* state_edit(QWidget* parent) {
    auto* edit = new QLineEdit(QStringLiteral("0"), parent);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setMaximumWidth(60);
    return edit;
}

void mark(QLineEdit* edit, bool acceptable) {
    edit->setStyleSheet(acceptable ? QString() : QStringLiteral("color: red"));
}

}  // namespace

DefinitionDialog::DefinitionDialog(const statemachine::StateMachineImage& image,
                                   common::Prompter& prompter, QWidget* parent)
    : QDialog(parent), image_(image), prompter_(prompter) {
    auto* layout = new QVBoxLayout(this);
    auto* controls = new QGridLayout;
    mode_ = new QComboBox(this);
    for (const auto text : statemachine::kSummaryModeTexts) {
        mode_->addItem(q(text));
    }
    start_ = state_edit(this);
    simulate_pump_timeout_ = new QCheckBox(tr("Simulate Pump Timeout On State:"), this);
    pump_timeout_ = state_edit(this);
    depth_triggers_ = new QCheckBox(tr("Simulate Depth Triggers"), this);
    depth_triggers_->setEnabled(false);
    shrink_ = new QCheckBox(tr("Shrink Counter && Trigger Columns"), this);
    go_ = new QPushButton(tr("Go"), this);
    auto* save = new QPushButton(tr("Save..."), this);
    controls->addWidget(new QLabel(tr("Mode"), this), 0, 0);
    controls->addWidget(mode_, 0, 1);
    controls->addWidget(new QLabel(tr("Start Dry Run At State:"), this), 0, 2);
    controls->addWidget(start_, 0, 3);
    controls->addWidget(simulate_pump_timeout_, 0, 4);
    controls->addWidget(pump_timeout_, 0, 5);
    controls->addWidget(depth_triggers_, 0, 6);
    controls->addWidget(shrink_, 1, 0, 1, 3);
    controls->addWidget(go_, 1, 4);
    controls->addWidget(save, 1, 5);
    controls->setColumnStretch(7, 1);
    layout->addLayout(controls);

    table_ = new QTreeWidget(this);
    table_->setRootIsDecorated(false);
    table_->setUniformRowHeights(true);
    QStringList titles;
    for (const auto& column : statemachine::kSummaryColumns) {
        titles << q(column.title);
    }
    table_->setHeaderLabels(titles);
    table_->header()->setStretchLastSection(false);
    layout->addWidget(table_, 1);

    connect(mode_, &QComboBox::currentIndexChanged, this, &DefinitionDialog::on_mode);
    connect(start_, &QLineEdit::textChanged, this, [this](const QString& text) {
        form_.start_state = text.toStdString();
        render_enabling();
    });
    connect(pump_timeout_, &QLineEdit::textChanged, this, [this](const QString& text) {
        form_.pump_timeout_state = text.toStdString();
        render_enabling();
    });
    connect(simulate_pump_timeout_, &QCheckBox::toggled, this,
            [this](bool on) { form_.simulate_pump_timeout = on; });
    connect(shrink_, &QCheckBox::toggled, this, [this](bool on) {
        form_.shrink = on;
        show_widths();
    });
    connect(go_, &QPushButton::clicked, this, &DefinitionDialog::on_go);
    connect(save, &QPushButton::clicked, this,
            [this] { statemachine::save_summary_as(prompter_, summary_); });

    show_widths();
    render_enabling();
    on_go();
    resize(1200, 600);
}

void DefinitionDialog::on_mode(int index) {
    form_.mode =
        index == 1 ? statemachine::SummaryMode::dry_run : statemachine::SummaryMode::definition;
    render_enabling();
    // Definition is listed at once; a dry run waits for "Go".
    if (form_.mode == statemachine::SummaryMode::definition) {
        on_go();
    }
}

void DefinitionDialog::on_go() {
    summary_ = statemachine::build_summary(image_, statemachine::summary_request(form_));
    setWindowTitle(QString::fromStdString(summary_.title));
    table_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(summary_.rows.size()));
    for (const auto& row : summary_.rows) {
        auto* item = new QTreeWidgetItem;
        for (std::size_t c = 0; c < row.size(); ++c) {
            item->setText(static_cast<int>(c), QString::fromStdString(row[c]));
        }
        items.push_back(item);
    }
    table_->addTopLevelItems(items);
    if (summary_.end_message) {
        prompter_.message(std::string(statemachine::kDryRunCaption), *summary_.end_message);
    }
}

void DefinitionDialog::render_enabling() {
    const auto e = statemachine::definition_enabling(form_, image_.last_index);
    start_->setEnabled(e.dry_run_controls);
    simulate_pump_timeout_->setEnabled(e.dry_run_controls);
    pump_timeout_->setEnabled(e.dry_run_controls);
    mark(start_, e.start_acceptable);
    mark(pump_timeout_, e.pump_timeout_acceptable);
    go_->setEnabled(e.go);
}

void DefinitionDialog::show_widths() {
    // The widths read as characters of the table's font: the texts they were chosen for fit.
    const int unit = QFontMetrics(table_->font()).averageCharWidth();
    const auto widths = statemachine::column_widths(form_.shrink);
    for (std::size_t c = 0; c < widths.size(); ++c) {
        const int column = static_cast<int>(c);
        table_->setColumnHidden(column, widths[c] == 0);
        if (widths[c] != 0) {
            table_->setColumnWidth(column, widths[c] * unit + unit);
        }
    }
}

}  // namespace kelpira::ui

// Drawing a chemistry page and taking the user's edits into its view.
#include "ui/config/chemistry_page_widget.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace kelpira::ui {

namespace {

using common::ControlKind;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr std::size_t kColumns = 2;

}  // namespace

ChemistryPageWidget::ChemistryPageWidget(config::ChemistryPageView& page,
                                         std::function<void()> changed, QWidget* parent)
    : QWidget(parent), page_(page), changed_(std::move(changed)) {
    auto* layout = new QVBoxLayout(this);
    check_ = new QCheckBox(q(page_.check_text), this);
    connect(check_, &QCheckBox::toggled, this, [this](bool checked) {
        config::set_page_checked(page_, checked);
        changed_();
    });
    layout->addWidget(check_);
    for (const auto& note : page_.notes) {
        auto* label = new QLabel(q(note), this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    build_groups();
    layout->addStretch(1);
    show_page();
}

void ChemistryPageWidget::build_groups() {
    // One titled box per group in the order the groups first appear, each placed in the
    // shorter of two columns.
    std::vector<std::pair<std::string, int>> groups;
    for (const auto& c : page_.controls) {
        auto it = std::find_if(groups.begin(), groups.end(),
                               [&c](const auto& g) { return g.first == c.group; });
        if (it == groups.end()) {
            groups.emplace_back(c.group, 1);
        } else {
            ++it->second;
        }
    }
    if (groups.empty()) {
        return;
    }
    auto* columns = new QHBoxLayout;
    static_cast<QVBoxLayout*>(layout())->addLayout(columns);
    std::array<QVBoxLayout*, kColumns> column{};
    std::array<int, kColumns> height{};
    for (auto& c : column) {
        c = new QVBoxLayout;
        columns->addLayout(c);
    }
    std::vector<std::pair<std::string, QFormLayout*>> forms;
    for (const auto& [title, rows] : groups) {
        const auto shortest = static_cast<std::size_t>(
            std::min_element(height.begin(), height.end()) - height.begin());
        auto* box = new QGroupBox(q(title), this);
        column[shortest]->addWidget(box);
        height[shortest] += rows;
        forms.emplace_back(title, new QFormLayout(box));
    }
    for (auto* c : column) {
        c->addStretch(1);
    }

    for (std::size_t i = 0; i < page_.controls.size(); ++i) {
        const auto& c = page_.controls[i];
        QFormLayout* form = std::find_if(forms.begin(), forms.end(), [&c](const auto& f) {
                                return f.first == c.group;
                            })->second;
        QWidget* widget = nullptr;
        switch (c.kind) {
            case ControlKind::choice: {
                auto* combo = new QComboBox(this);
                for (const auto& choice : c.choices) {
                    combo->addItem(q(choice.text));
                }
                connect(combo, &QComboBox::activated, this, [this, i](int index) {
                    page_.controls[i].selected = static_cast<std::size_t>(std::max(index, 0));
                    config::page_control_changed(page_, i);
                    changed_();
                });
                widget = combo;
                break;
            }
            case ControlKind::check: {
                auto* box = new QCheckBox(q(c.label), this);
                connect(box, &QCheckBox::toggled, this, [this, i](bool checked) {
                    page_.controls[i].checked = checked;
                    config::page_control_changed(page_, i);
                    changed_();
                });
                widget = box;
                break;
            }
            case ControlKind::text:
            case ControlKind::read_only: {
                auto* edit = new QLineEdit(this);
                edit->setReadOnly(c.kind == ControlKind::read_only);
                connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& text) {
                    page_.controls[i].text = text.toStdString();
                });
                widget = edit;
                break;
            }
        }
        widget->setObjectName(q(c.group + "/" + c.label));
        if (c.kind == ControlKind::check) {
            form->addRow(widget);
        } else {
            form->addRow(q(c.label), widget);
        }
        widgets_.push_back(widget);
    }
}

void ChemistryPageWidget::show_page() {
    {
        const QSignalBlocker block(check_);
        check_->setChecked(page_.checked);
        check_->setEnabled(!page_.unread);
    }
    for (std::size_t i = 0; i < page_.controls.size(); ++i) {
        const auto& c = page_.controls[i];
        QWidget* w = widgets_[i];
        const QSignalBlocker block(w);
        w->setEnabled(c.enabled);
        w->setToolTip(q(c.tooltip));
        switch (c.kind) {
            case ControlKind::choice: {
                auto* combo = static_cast<QComboBox*>(w);
                // A stored value no entry offers comes and goes as an entry of its own.
                if (combo->count() != static_cast<int>(c.choices.size())) {
                    combo->clear();
                    for (const auto& choice : c.choices) {
                        combo->addItem(q(choice.text));
                    }
                }
                combo->setCurrentIndex(c.selected ? static_cast<int>(*c.selected) : -1);
                break;
            }
            case ControlKind::check:
                static_cast<QCheckBox*>(w)->setChecked(c.checked);
                break;
            case ControlKind::text:
            case ControlKind::read_only: {
                auto* edit = static_cast<QLineEdit*>(w);
                if (edit->text() != q(c.text)) {
                    edit->setText(q(c.text));
                }
                break;
            }
        }
    }
}

}  // namespace kelpira::ui

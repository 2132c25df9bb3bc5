// The platform dialogs' list boxes.
#include "ui/config/platform_lists_widgets.hpp"

#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>

namespace kelpira::ui {

namespace {

QString text_of(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

}  // namespace

void fill_list(QComboBox* list, std::span<const records::ListEntry> table) {
    list->clear();
    for (const auto& e : table) {
        list->addItem(text_of(e.text), e.value);
    }
}

void fill_list(QComboBox* list, const std::vector<config::ListChoice>& choices) {
    list->clear();
    for (const auto& c : choices) {
        list->addItem(qt_text(c.text), c.value);
    }
}

void select_value(QComboBox* list, std::uint32_t value) {
    if (list->findData(value) < 0) {
        // A stored value no entry offers: an entry of its own, so that it is kept.
        bool numbers = true;
        for (int i = 0; i < list->count(); ++i) {
            numbers = numbers && list->itemText(i) == QString::number(value_at(list, i));
        }
        const QString number = QString::number(value);
        list->addItem(numbers ? number : QString("unknown (%1)").arg(number), value);
    }
    list->setCurrentIndex(list->findData(value));
}

std::uint32_t value_at(const QComboBox* list, int index) {
    return list->itemData(index).toUInt();
}

void draw_entry_red(QLineEdit* edit, bool red) {
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, red ? QColor(255, 0, 0) : QPalette().color(QPalette::Text));
    edit->setPalette(palette);
}

}  // namespace kelpira::ui

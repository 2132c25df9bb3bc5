// Filling the list boxes of the platform dialogs from the core's tables, selecting by value,
// and drawing an entry red.
#pragma once

#include <QString>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "config/platform_lists.hpp"

class QComboBox;
class QLineEdit;

namespace kelpira::ui {

// Each entry carries its value as item data.
void fill_list(QComboBox* list, std::span<const records::ListEntry> table);
void fill_list(QComboBox* list, const std::vector<config::ListChoice>& choices);

// A value no entry has gains an entry: its number, or "unknown (N)" in a list of names.
void select_value(QComboBox* list, std::uint32_t value);
std::uint32_t value_at(const QComboBox* list, int index);

void draw_entry_red(QLineEdit* edit, bool red);

inline QString qt_text(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

}  // namespace kelpira::ui

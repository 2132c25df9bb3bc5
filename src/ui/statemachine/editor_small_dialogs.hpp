// The editor's "Paste options" and "Go to state..." dialogs.
#pragma once

#include <cstdint>
#include <optional>

class QWidget;

namespace kelpira::ui {

// "Paste options" opened with the remembered bits: the bits chosen on OK, nothing on Cancel.
std::optional<std::uint8_t> ask_paste_options(QWidget* parent, std::uint8_t remembered);

// "Go to state...": the state chosen on OK, nothing when the dialog is closed.
std::optional<std::uint16_t> ask_go_to_state(QWidget* parent, std::uint16_t last_index);

}  // namespace kelpira::ui

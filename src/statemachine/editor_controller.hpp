// "Edit State Machine": one state of the image at a time in the editor's controls, the
// commands that move, insert, delete, copy and paste states, and the loads and saves to files
// and to the sensor with their statuses and messages.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"
#include "statemachine/editor_form.hpp"
#include "statemachine/state_editing.hpp"
#include "statemachine/state_machine_image.hpp"
#include "statemachine/state_record.hpp"

namespace kelpira::statemachine {

// What outlives one opening of the editor: the image, the clipboard and the paste options.
struct EditorSession {
    StateMachineImage image;
    StateClipboard clipboard;
    std::uint8_t paste_options = 0;  // the bits of the last "Paste options" dialog
};

// Questions the editor asks through dialogs of its own.
struct EditorAsks {
    // "Paste options" opened with the remembered bits: the bits chosen, or nothing on Cancel.
    std::function<std::optional<std::uint8_t>(std::uint8_t remembered)> paste_options;
    // A new status text, shown at once: a transfer or a message box may follow before the
    // editor is drawn again.
    std::function<void(const std::string&)> status_shown;
};

namespace editor_texts {
inline constexpr const char* kTitle = "Edit State Machine";
inline constexpr const char* kRefreshCaption = "Refresh (from sensor)";
inline constexpr const char* kSaveToSensorCaption = "Save (to sensor)";
inline constexpr const char* kNewCaption = "New";
inline constexpr const char* kLoadFileCaption = "Load From File";
inline constexpr const char* kSaveFileCaption = "Save To File";
inline constexpr const char* kExitCaption = "Exit";
}  // namespace editor_texts

class EditorController {
  public:
    // `link` is the connected sensor, or nullptr when none is connected.
    EditorController(EditorSession& session, common::Prompter& prompter, link::SensorLink* link,
                     EditorAsks asks);

    // Opening: with a sensor its defaults and program are read; without one the image is
    // cleared. Shows state `current`.
    void open();

    // The controls of the state shown. The skin writes the user's edits into them.
    EditorForm& form() { return form_; }
    const EditorForm& form() const { return form_; }
    // "Operate Pump" ticked or a stop mode chosen (the form already holds the change).
    void pump_settings_changed() { apply_hall_coupling(form_); }

    EditorEnabling enabling() const;
    bool connected() const { return link_ != nullptr; }
    const StateMachineImage& image() const { return session_.image; }
    common::Prompter& prompter() { return prompter_; }
    bool paste_available() const { return session_.clipboard.available; }
    const std::string& status() const { return status_; }
    // "STATE %03d" with the state shown.
    std::string state_title() const;
    // "This state machine has %d states", or "State machine not loaded" for one state.
    std::string count_text() const;

    // The commands. Each first writes the controls back into the state shown.
    void next();
    void previous();
    // Shows `state` when it exists ("Go to state..." confirmed).
    void go_to(std::uint32_t state);
    void insert_before();
    void insert_after();
    void delete_state();
    void copy();
    void cut();
    void paste();
    void load_from_file();
    void save_to_file();
    void new_program();
    void save_to_sensor();
    void refresh_from_sensor();
    // Exit, Esc or the close box: keeps the image, with the edits of the state shown, in
    // memory, after offering to save unsaved edits to a file. False when the user cancelled
    // and the editor stays open.
    bool close();
    // An LED's On/Off list changed (the form already holds it): its current is shown at once.
    void led_changed();

    // Writes the controls back into the state shown.
    void store_form();

  private:
    void show_current();
    void set_status(std::string text);
    // Offers to save to a file first; false when the action is to be abandoned.
    bool save_prompt(const char* caption);
    // Chooses a file and saves to it; false when cancelled or failed.
    bool save_file_chosen();

    EditorSession& session_;
    common::Prompter& prompter_;
    link::SensorLink* link_;
    EditorAsks asks_;
    EditorForm form_;
    std::string status_;
};

}  // namespace kelpira::statemachine

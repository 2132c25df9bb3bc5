// The editor's commands over the image, with the statuses and messages the user sees.
#include "statemachine/editor_controller.hpp"

#include <cstdio>
#include <utility>

#include "statemachine/editor_defaults.hpp"
#include "statemachine/legacy_losses.hpp"
#include "statemachine/state_files.hpp"
#include "statemachine/state_transfer.hpp"

namespace kelpira::statemachine {
namespace {

using namespace editor_texts;

common::FileRequest state_machine_file_request() {
    return {.title = std::string(kProgramFileTitle),
            .filters = {{"TQM2 State Machine Files (*.asm)", "*.asm"},
                        {"TQM1 State Machine Files (*.dat)", "*.dat"},
                        {"JSON State Machine Files (*.json)", "*.json"},
                        {"All Files (*.*)", "*.*"}},
            .default_extension = std::string(kProgramFileExtension),
            .initial_name = {},
            .prompt_overwrite = true};
}

// Puts the image back as the last load, save or clear left it, showing its
// first state.
void restore_snapshot(StateMachineImage& image) {
    image.states = image.snapshot;
    image.last_index = image.snapshot_last_index;
    image.current = 0;
}

}  // namespace

EditorController::EditorController(EditorSession& session, common::Prompter& prompter,
                                   link::SensorLink* link, EditorAsks asks)
    : session_(session), prompter_(prompter), link_(link), asks_(std::move(asks)) {}

void EditorController::open() {
    StateMachineImage& image = session_.image;
    image.state_defaults = StateDefaults{};
    if (link_ == nullptr) {
        clear_image(image);
        set_status("Empty state machine (not connected)");
    } else {
        set_status("Loading state machine from sensor...");
        read_state_defaults(*link_, image.state_defaults);
        if (load_from_sensor(*link_, image).ok) {
            take_snapshot(image);
            set_status("Loaded state machine successfully from sensor");
        } else {
            clear_image(image);
            set_status("Failed to load state machine from sensor");
        }
    }
    show_current();
}

void EditorController::set_status(std::string text) {
    status_ = std::move(text);
    if (asks_.status_shown) {
        asks_.status_shown(status_);
    }
}

EditorEnabling EditorController::enabling() const {
    return enabling_of(form_, connected(), session_.image.current, session_.image.last_index);
}

std::string EditorController::state_title() const {
    char text[24];
    std::snprintf(text, sizeof text, "STATE %03d", static_cast<int>(session_.image.current));
    return text;
}

std::string EditorController::count_text() const {
    const auto last = session_.image.last_index;
    if (last == 0) {
        return "State machine not loaded";
    }
    return "This state machine has " + std::to_string(last + 1) + " states";
}

void EditorController::store_form() {
    // A state whose controls still show what it holds keeps its bytes: rebuilding it would
    // clear what no control shows (the normalised mark, a step count) and make an unchanged
    // program look edited to the save prompt.
    StateMachineImage& image = session_.image;
    StateRecord& shown = image.states[image.current];
    if (form_ != form_of(shown, image.state_defaults)) {
        shown = record_of(form_);
    }
}

void EditorController::show_current() {
    const StateMachineImage& image = session_.image;
    form_ = form_of(image.states[image.current], image.state_defaults);
}

void EditorController::next() {
    store_form();
    if (session_.image.current < session_.image.last_index) {
        ++session_.image.current;
        show_current();
    }
}

void EditorController::previous() {
    store_form();
    if (session_.image.current > 0) {
        --session_.image.current;
        show_current();
    }
}

void EditorController::go_to(std::uint32_t state) {
    store_form();
    if (state <= session_.image.last_index) {
        session_.image.current = static_cast<std::uint16_t>(state);
        show_current();
    }
}

void EditorController::insert_before() {
    store_form();
    if (insert_state(session_.image, false)) {
        set_status("Inserted");
    }
    show_current();
}

void EditorController::insert_after() {
    store_form();
    if (insert_state(session_.image, true)) {
        set_status("Inserted");
    }
    show_current();
}

void EditorController::delete_state() {
    store_form();
    if (statemachine::delete_state(session_.image)) {
        set_status("Deleted");
    }
    show_current();
}

void EditorController::copy() {
    store_form();
    copy_state(session_.image, session_.clipboard);
    set_status("Copied");
}

void EditorController::cut() {
    store_form();
    // The only state cannot be removed: it was copied, and that is all that happened.
    set_status(cut_state(session_.image, session_.clipboard) ? "Cut" : "Copied");
    show_current();
}

void EditorController::paste() {
    store_form();
    if (!session_.clipboard.available || !asks_.paste_options) {
        return;
    }
    // Cancel abandons the paste and keeps the remembered options.
    const std::optional<std::uint8_t> bits = asks_.paste_options(session_.paste_options);
    if (!bits) {
        return;
    }
    session_.paste_options = *bits;
    if (paste_state(session_.image, session_.clipboard, *bits)) {
        set_status("Pasted");
    }
    show_current();
}

void EditorController::load_from_file() {
    store_form();
    if (!save_prompt(kLoadFileCaption)) {
        set_status("Load cancelled");
        return;
    }
    const auto path = prompter_.choose_open_file(state_machine_file_request());
    if (!path) {
        set_status("Load cancelled");
        return;
    }
    StateMachineImage& image = session_.image;
    std::string why;
    if (!load_file(*path, image, why)) {
        // The program in memory, and whether it was saved, stay as they were.
        prompter_.message(kLoadFileCaption, "Failed to load file\n" + why);
        return;
    }
    take_snapshot(image);
    set_status("Loaded state machine successfully from file");
    show_current();
}

bool EditorController::save_file_chosen() {
    const auto path = prompter_.choose_save_file(state_machine_file_request());
    if (!path) {
        set_status("Save cancelled");
        return false;
    }
    // The legacy layout has no place for some values: written only when the user agrees, and
    // then not taken as saved, so that New and Refresh still offer to save the whole program.
    bool complete = true;
    if (layout_for(*path) == FileLayout::legacy) {
        const LegacyLosses losses = legacy_losses(session_.image);
        complete = !losses.any();
        if (!complete &&
            prompter_.ask_yes_no(kSaveFileCaption,
                                 "The legacy layout (.dat) cannot keep all of this program: " +
                                     legacy_losses_text(losses) + ".\nSave it anyway?") !=
                common::Answer::Yes) {
            set_status("Save cancelled");
            return false;
        }
    }
    if (!save_file(*path, session_.image)) {
        prompter_.message(kSaveFileCaption, "Failed to save file");
        return false;
    }
    if (complete) {
        take_snapshot(session_.image);
        set_status("Saved");
    } else {
        set_status("Saved without what the legacy layout cannot keep");
    }
    return true;
}

void EditorController::save_to_file() {
    store_form();
    save_file_chosen();
}

bool EditorController::save_prompt(const char* caption) {
    if (matches_snapshot(session_.image)) {
        return true;
    }
    switch (prompter_.ask_yes_no_cancel(caption, "Save current state machine to file first?")) {
        case common::Answer::Yes:
            return save_file_chosen();
        case common::Answer::No:
            return true;
        case common::Answer::Cancel:
            break;
    }
    return false;
}

bool EditorController::close() {
    store_form();
    return save_prompt(kExitCaption);
}

void EditorController::led_changed() {
    show_led_currents(form_, session_.image.state_defaults);
}

void EditorController::new_program() {
    store_form();
    if (!save_prompt(kNewCaption)) {
        return;
    }
    clear_image(session_.image);
    show_current();
}

void EditorController::save_to_sensor() {
    store_form();
    if (link_ == nullptr) {
        return;
    }
    set_status("Save started");
    const TransferOutcome saved = statemachine::save_to_sensor(*link_, session_.image);
    if (!saved.ok) {
        // The sensor now holds the states sent, then its own old ones: a mixed program.
        set_status("Save failed (" + saved_states_text(saved, session_.image.state_count()) + ")");
        prompter_.message(kSaveToSensorCaption, "Failed to save state machine to sensor");
        return;
    }
    take_snapshot(session_.image);
    set_status("Save complete");
    prompter_.message(kSaveToSensorCaption, "Saved successfully.");
}

void EditorController::refresh_from_sensor() {
    store_form();
    if (link_ == nullptr) {
        return;
    }
    if (!save_prompt(kRefreshCaption)) {
        set_status("Load from sensor cancelled.");
        return;
    }
    set_status("Refresh started");
    StateMachineImage& image = session_.image;
    if (!load_from_sensor(*link_, image).ok) {
        set_status("Refresh failed");
        restore_snapshot(image);
        show_current();
        prompter_.message(kRefreshCaption,
                          "Failed to refresh state machine from sensor controller");
        return;
    }
    set_status("Refresh complete");
    show_current();
    take_snapshot(image);
    prompter_.message(kRefreshCaption, "Refreshed successfully.");
}

}  // namespace kelpira::statemachine

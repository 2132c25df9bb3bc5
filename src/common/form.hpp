// The controls of a processing dialog as plain data: lists with (value, text) entries, text
// fields and check boxes, each with its enabled state. The Qt dialog draws and edits them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kelpira::processing {

struct Choice {
    std::uint32_t value;
    std::string text;
};

enum class ControlKind { choice, text, check, read_only };

struct FormControl {
    std::string group;  // the titled box the control sits in
    std::string label;
    ControlKind kind = ControlKind::text;
    std::vector<Choice> choices;          // choice lists only
    std::optional<std::size_t> selected;  // none until shown from a header or chosen
    std::string text;                     // text fields and read-only fields
    bool checked = false;                 // check boxes
    bool enabled = true;
    std::string tooltip;
    // A value shown from a file's header: its exact value, and the text it was shown as. The
    // text rounds it; while the field still holds that text, the exact value is the one used.
    std::optional<double> shown_value;
    std::string shown_text;
};

// A list control with its entries, and a text field, check box or read-only field.
FormControl make_list(std::string group, std::string label, std::vector<Choice> choices);
FormControl make_field(std::string group, std::string label, ControlKind kind = ControlKind::text);

// Entries "0".."7" of the input channel lists.
std::vector<Choice> input_channel_choices();

// Selects the entry holding `value`; a value in no entry selects the first entry.
void select_value(FormControl& list, std::uint32_t value);

// The value of the selected entry; a list without a selection counts as its first entry.
std::uint32_t selected_value(const FormControl& list);

// Text fields as the processing dialogs read them.
// Unsigned decimal, surrounding blanks allowed; anything else, or a value beyond 32 bits, is 0.
std::uint32_t field_unsigned(const std::string& text);
// A state number: field_unsigned, with values above 254 taken as 254.
std::uint8_t field_state(const std::string& text);
// The longest number at the start of the first 23 characters (after blanks), as strtod reads
// it; 0.0 when there is none. Independent of the process locale.
double field_real(const std::string& text);

// Shows `value` as `text` in a text field, keeping `value` for as long as the text stays.
void show_value(FormControl& field, double value, std::string text);
// The value shown by show_value while the field holds its text unedited; nothing once edited.
std::optional<double> unedited_value(const FormControl& field);
// A real field: the shown value while unedited, otherwise the typed text read by field_real.
double field_value(const FormControl& field);

// Numbers as the dialogs show them, the same whatever the process locale says: "%.Nf" and "%g".
std::string fixed_text(double value, int decimals);
std::string general_text(double value);

}  // namespace kelpira::processing

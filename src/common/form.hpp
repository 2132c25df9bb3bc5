// The controls of a dialog as plain data: lists with (value, text) entries, text fields and
// check boxes, each with its enabled state; the Qt dialog draws and edits them. And the one way
// every dialog reads typed numbers and shows stored ones, so that a Save writes back exactly
// what the user did not edit.
#pragma once

#include <bit>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelpira::common {

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
    std::optional<std::uint32_t> shown_bits;  // a float shown: its exact bits
    std::string shown_text;
    // The last entry of the list is a stored value none of its entries offered (show_choice).
    bool kept_entry = false;
};

// A list control with its entries, and a text field, check box or read-only field.
FormControl make_list(std::string group, std::string label, std::vector<Choice> choices);
FormControl make_field(std::string group, std::string label, ControlKind kind = ControlKind::text);

// Selects the entry holding `value`; a value in no entry selects the first entry.
void select_value(FormControl& list, std::uint32_t value);

// The value of the selected entry; a list without a selection counts as its first entry.
std::uint32_t selected_value(const FormControl& list);

// Text fields as the dialogs read them.
// The one reading of an unsigned field: decimal digits with blanks around them. A value past
// 32 bits saturates at 4294967295 (never wraps); anything else (a sign, letters, nothing) is
// no number.
std::optional<std::uint32_t> parse_unsigned(std::string_view text);
// parse_unsigned with 0 for no number.
std::uint32_t field_unsigned(std::string_view text);
// field_unsigned limited to low..high: below the range takes `low`, above takes `high`.
std::uint32_t field_in_range(std::string_view text, std::uint32_t low, std::uint32_t high);
// A state number: field_unsigned, with values above 254 taken as 254.
std::uint8_t field_state(std::string_view text);
// Decimal digits with an optional sign and blanks around them, as a signed 32-bit number. A
// value beyond that range saturates at its end; anything else reads as 0.
std::int32_t field_signed(std::string_view text);
// The longest number at the start of the first 23 characters (after blanks), as strtod reads
// it; 0.0 when there is none. Independent of the process locale.
double field_real(std::string_view text);

// A stored number shown in a text field. While the field holds the text it was shown as, the
// exact stored number is the one used, whatever the text rounds; once edited, the typed text.
void show_value(FormControl& field, double value, std::string text);
// The same for a float, whose exact bits are kept (a signalling NaN would come back quiet
// through a double); chosen for float arguments only.
template <std::same_as<float> F>
void show_value(FormControl& field, F value, std::string text) {
    show_value(field, static_cast<double>(value), std::move(text));
    field.shown_bits = std::bit_cast<std::uint32_t>(value);
}
// The value shown by show_value while the field holds its text unedited; nothing once edited.
std::optional<double> unedited_value(const FormControl& field);
// A real field: the shown value while unedited, otherwise the typed text read by field_real.
double field_value(const FormControl& field);
// The same for a 32-bit float field (beyond a float's range: an infinity).
float field_f32(const FormControl& field);
// An unsigned field: the shown value while unedited (even one outside low..high, so that an
// untouched value keeps its bytes), otherwise the typed number limited to low..high.
std::uint32_t field_unsigned_value(const FormControl& field, std::uint32_t low, std::uint32_t high);
// A signed 32-bit field: the shown value while unedited, otherwise field_signed.
std::int32_t field_signed_value(const FormControl& field);

// A stored flag byte shown as a check box: the stored byte while the box still shows it
// (a 2 stays 2), otherwise 1 or 0.
std::uint8_t kept_flag(bool checked, std::uint8_t stored);
// A check box showing a stored flag byte, and the byte it stands for now.
void show_flag(FormControl& box, std::uint8_t stored);
std::uint8_t flag_value(const FormControl& box);

// Selects the entry holding a stored value. A value no entry offers gets an entry of its own
// at the end ("9", or "unknown (9)" in a list of names), so that saving without touching the
// list writes back what was stored.
void show_choice(FormControl& list, std::uint32_t value);

}  // namespace kelpira::common

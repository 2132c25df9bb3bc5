// A record's fields as dialog controls, read from its field table: one control per field the
// table captions (a list, a check box or a text field), shown in the table's format and read
// back under its limits. The chemistry pages and the processing dialogs share it, so a field's
// caption, list and limits are written once. An untouched control gives back the exact bits it
// was shown from.
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/form.hpp"
#include "records/field_table.hpp"

namespace kelpira::records {

// A list's entries as a list control's choices.
std::vector<common::Choice> choices_of(std::span<const ListEntry> entries);

// The control of one field, or of one element of an array: its list when it has one.
common::FormControl field_control(const FieldSpec& spec, std::string group, std::string label);
// Shows the bits of a field in the control.
void show_field(common::FormControl& control, const FieldSpec& spec, std::uint32_t bits);
// The bits the control gives for the field: the shown ones while untouched.
std::uint32_t field_bits(const common::FormControl& control, const FieldSpec& spec, FieldType type);

// The control with this group and label, nullptr when there is none.
common::FormControl* find_control(std::vector<common::FormControl>& controls,
                                  std::string_view group, std::string_view label);
const common::FormControl* find_control(const std::vector<common::FormControl>& controls,
                                        std::string_view group, std::string_view label);

// How many controls the field has: one for a single field the table captions, one per element
// of an array whose elements the table labels, none for the others.
constexpr std::size_t controls_of(const FieldSpec& spec, std::size_t count) {
    if (spec.reserved || spec.caption.empty()) {
        return 0;
    }
    return count == 1 || !spec.element.empty() ? count : 0;
}

// The group of a field's controls in a form whose own group is `group`: an array's controls
// stand in a group of their own under its caption.
inline std::string group_of(const FieldSpec& spec, std::size_t count, const std::string& group) {
    if (count > 1) {
        return std::string(spec.caption);
    }
    return spec.group.empty() ? group : std::string(spec.group);
}

// The label of element i's control.
inline std::string label_of(const FieldSpec& spec, std::size_t count, std::size_t i) {
    return count > 1 ? std::string(spec.element) + std::to_string(i) : std::string(spec.caption);
}

// Appends the controls of the record's captioned fields in the table's order, group by group
// in the order `groups` names them (`group` standing for the form's own).
template <TableRecord Rec>
void add_controls(std::vector<common::FormControl>& controls, const std::string& group,
                  std::initializer_list<std::string_view> groups = {}) {
    const auto add_group = [&](std::string_view wanted) {
        for (const auto& f : table_of<Rec>().fields) {
            const std::string in = group_of(f.spec, f.count, group);
            if (in != wanted) {
                continue;
            }
            for (std::size_t i = 0; i < controls_of(f.spec, f.count); ++i) {
                controls.push_back(field_control(f.spec, in, label_of(f.spec, f.count, i)));
            }
        }
    };
    if (groups.size() == 0) {
        add_group(group);
    }
    for (const auto wanted : groups) {
        add_group(wanted);
    }
}

// The control of the field `name` in `group`; nullptr when the form does not have it.
template <TableRecord Rec>
common::FormControl* control_of(std::vector<common::FormControl>& controls,
                                const std::string& group, std::string_view name) {
    const auto* f = find_field<Rec>(name);
    return f == nullptr || f->count != 1
               ? nullptr
               : find_control(controls, group_of(f->spec, 1, group), f->spec.caption);
}

template <TableRecord Rec>
const common::FormControl* control_of(const std::vector<common::FormControl>& controls,
                                      const std::string& group, std::string_view name) {
    const auto* f = find_field<Rec>(name);
    return f == nullptr || f->count != 1
               ? nullptr
               : find_control(controls, group_of(f->spec, 1, group), f->spec.caption);
}

template <TableRecord Rec>
void show_record(std::vector<common::FormControl>& controls, const std::string& group,
                 const Rec& record) {
    for (const auto& f : table_of<Rec>().fields) {
        const std::string in = group_of(f.spec, f.count, group);
        for (std::size_t i = 0; i < controls_of(f.spec, f.count); ++i) {
            if (auto* c = find_control(controls, in, label_of(f.spec, f.count, i))) {
                show_field(*c, f.spec, f.get(record, i));
            }
        }
    }
}

// The controls laid over `record`: fields without a control keep their bits.
template <TableRecord Rec>
void collect_record(const std::vector<common::FormControl>& controls, const std::string& group,
                    Rec& record) {
    for (const auto& f : table_of<Rec>().fields) {
        const std::string in = group_of(f.spec, f.count, group);
        for (std::size_t i = 0; i < controls_of(f.spec, f.count); ++i) {
            if (const auto* c = find_control(controls, in, label_of(f.spec, f.count, i))) {
                f.set(record, i, field_bits(*c, f.spec, f.type));
            }
        }
    }
}

}  // namespace kelpira::records

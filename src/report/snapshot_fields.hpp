// The fields of every record a configuration snapshot holds, by the names the records use,
// each with what its dialog lets the user set it to (the dialogs' own lists and limits).
// Layout bytes and reserved bytes are not listed: the sensor's own are written back. Each
// function serves both the writer (const record) and the reader.
#pragma once

#include <array>
#include <bit>
#include <concepts>
#include <type_traits>
#include <vector>

#include "config/chemistry_entries.hpp"
#include "config/thermistors_controller.hpp"
#include "link/identity_fields.hpp"
#include "records/actuator_fields.hpp"
#include "records/chemistry_fields.hpp"
#include "records/clock_records.hpp"
#include "records/input_channels.hpp"
#include "records/nutrient_params.hpp"
#include "records/platform_fields.hpp"
#include "records/processing_params.hpp"
#include "records/schedule_fields.hpp"
#include "records/thermistor_config.hpp"
#include "report/snapshot_json.hpp"

namespace kelpira::report {

template <typename R, typename T>
concept RecordOf = std::same_as<std::remove_const_t<R>, T>;

// One field of a table, as a value of its own type laid over the record's bits.
template <typename T>
T from_bits(std::uint32_t bits) {
    if constexpr (std::is_same_v<T, float>) {
        return std::bit_cast<float>(bits);
    } else {
        return static_cast<T>(bits);
    }
}
template <typename T>
std::uint32_t to_bits(T value) {
    if constexpr (std::is_same_v<T, float>) {
        return std::bit_cast<std::uint32_t>(value);
    } else {
        return static_cast<std::uint32_t>(value);
    }
}

// The field under its dialog's rule: a named list, a check box, a numbered list, limits or
// (floats) none.
template <typename V, typename T>
void ruled_field(V& v, const records::FieldSpec& s, const char* name, T& value) {
    using records::FieldFormat;
    if constexpr (Real<T>) {
        v.number(name, value);
    } else if (s.format == FieldFormat::list) {
        v.list(name, value, s.choices);
    } else if (s.format == FieldFormat::check) {
        v.number(name, value, kSwitch);
    } else if (!s.choices.empty()) {
        v.number(name, value, Entries{s.choices});
    } else if (s.limited()) {
        v.number(name, value, Within{s.low, s.high});
    } else {
        v.number(name, value);
    }
}

template <typename T, typename V, typename Rec, typename R>
void typed_field(V& v, const records::Field<Rec>& f, R& record) {
    const std::string name(f.spec.name);
    std::vector<T> values(f.count);
    for (std::size_t i = 0; i < f.count; ++i) {
        values[i] = from_bits<T>(f.get(record, i));
    }
    using Span = std::conditional_t<std::is_const_v<R>, std::span<const T>, std::span<T>>;
    if (f.count == 1) {
        ruled_field(v, f.spec, name.c_str(), values[0]);
    } else if (!Real<T> && f.spec.limited()) {
        if constexpr (!Real<T>) {
            v.numbers(name.c_str(), Span(values), Within{f.spec.low, f.spec.high});
        }
    } else {
        v.numbers(name.c_str(), Span(values));
    }
    if constexpr (!std::is_const_v<R>) {
        for (std::size_t i = 0; i < f.count; ++i) {
            f.set(record, i, to_bits(values[i]));
        }
    }
}

// A text field: its bytes up to the terminator, at most the field's width in a snapshot.
template <typename V, typename Rec, typename R>
void text_of(V& v, const records::Field<Rec>& f, R& record) {
    std::string text;
    for (std::size_t i = 0; i < f.count && f.get(record, i) != 0; ++i) {
        text.push_back(static_cast<char>(f.get(record, i)));
    }
    v.text(std::string(f.spec.name).c_str(), text, f.count);
    if constexpr (!std::is_const_v<R>) {
        for (std::size_t i = 0; i < f.count; ++i) {
            f.set(record, i, i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
        }
    }
}

template <typename V, typename Rec, typename R>
void table_field(V& v, const records::Field<Rec>& f, R& record) {
    switch (f.type) {
        case records::FieldType::u8:
            typed_field<std::uint8_t>(v, f, record);
            break;
        case records::FieldType::u16:
            typed_field<std::uint16_t>(v, f, record);
            break;
        case records::FieldType::u32:
            typed_field<std::uint32_t>(v, f, record);
            break;
        case records::FieldType::i32:
            typed_field<std::int32_t>(v, f, record);
            break;
        case records::FieldType::f32:
            typed_field<float>(v, f, record);
            break;
        case records::FieldType::text:
            text_of(v, f, record);
            break;
    }
}

// The rows of a table but reserved ones (the sensor's bytes are written back) and those of
// nested records, each under the rule its dialog applies.
template <typename V, typename Rec, std::size_t N, typename R>
void table_fields(V& v, const std::array<records::Field<Rec>, N>& rows, R& record) {
    for (const auto& f : rows) {
        if (!f.spec.reserved && f.spec.item.empty()) {
            table_field(v, f, record);
        }
    }
}

template <typename Table>
constexpr bool has_items(const Table& table) {
    for (const auto& f : table.fields) {
        if (!f.spec.item.empty()) {
            return true;
        }
    }
    return false;
}

template <typename V, typename R>
requires(!has_items(records::table_of<std::remove_const_t<R>>())) void nested_items(V&, R&) {}

// The DIC inlets: a list of objects, each field named and ruled by the inlet's table.
template <typename V, RecordOf<records::DicParams> R>
void nested_items(V& v, R& p) {
    v.items("inlet", p.inlet,
            [](auto& w, auto& inlet) { table_fields(w, records::kDicInletTable.fields, inlet); });
}

// A record with a field table: its fields in the table's order, then its nested records. The
// identity has one of its own below.
template <typename V, typename R>
requires(records::TableRecord<std::remove_const_t<R>> &&
         !RecordOf<R, link::SensorIdentification>) void fields(V& v, R& record) {
    table_fields(v, records::table_of<std::remove_const_t<R>>().fields, record);
    nested_items(v, record);
}

// What an import writes of the identity when asked to: the fields of "Configure Sensor
// Identification".
template <typename V, RecordOf<link::SensorIdentification> R>
void fields(V& v, R& id) {
    for (const auto* name : link::kIdentificationFields) {
        table_field(v, *link::find_field<link::SensorIdentification>(name), id);
    }
}

}  // namespace kelpira::report

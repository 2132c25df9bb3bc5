// A sensor record described once: its get/set commands, its size and, per field, the name
// snapshots and NetCDF files use, where it sits and how wide it is, the caption and number
// format the dialogs and the report show, what a dialog lets the user set it to, its unit, and
// whether it is reserved (written back as read). The codec, the dialogs' forms and the
// snapshots all walk the same table.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "link/command_catalogue.hpp"

namespace kelpira::link {

// One entry of a list: the stored value, the text the dialog shows (and a snapshot writes), and
// the report's word for it where the report words it differently.
struct ListEntry {
    std::uint32_t value;
    std::string_view text;
    std::string_view report = {};
};

// `text`: a byte of a text field, element i being byte i (see text_field).
enum class FieldType : std::uint8_t { u8, u16, u32, i32, f32, text };

// How a dialog shows the field and reads it back.
enum class FieldFormat : std::uint8_t {
    whole,    // "%u"; a typed value outside low..high is taken as the nearer end
    integer,  // "%d", typed as a signed number
    list,     // one of `choices`, named by its text
    channel,  // an input channel list, stored and written by number: low..high or `choices`
    check,    // a check box: 0 or 1
    fixed5,   // "%.5f"
    fixed3,   // "%.3f"
    fixed4,   // "%.4f" of the value plus 0.00001: a stored 0.12345 (0.1234499...) reads as typed
    general,  // "%g"
    milli,    // thousandths shown "%.3f" (µM stored as nmol/l)
    crm,      // "%.2f" of the value plus 0.001, as the sensor's own software rounds it
};

// Everything about a field but its place in the C++ record.
struct FieldSpec {
    std::string_view name;
    std::size_t offset = 0;
    FieldFormat format = FieldFormat::whole;
    std::string_view caption = {};
    std::string_view report = {};  // the report's caption where it is not the dialogs'
    std::string_view group = {};   // the titled box of its control; empty: the form's own
    std::int64_t low = 0;
    std::int64_t high = -1;                   // below `low`: no limit but the field's width
    std::span<const ListEntry> choices = {};  // a check box's: the report's words for 0 and 1
    std::string_view otherwise = {};  // the report's text for a value no entry has, "%u" the value
    std::string_view unit = {};
    std::string_view header = {};   // the key of raw files' headers and NetCDF parameters
    std::string_view element = {};  // an array's controls: this label and the element's index
    std::string_view item = {};     // the array of nested records the field belongs to
    std::size_t index = 0;          // and its element of that array
    bool reserved = false;          // not shown, not in snapshots: the sensor's bytes are kept

    constexpr bool limited() const { return high >= low; }
};

constexpr std::size_t width_of(FieldType t) {
    switch (t) {
        case FieldType::u8:
        case FieldType::text:
            return 1;
        case FieldType::u16:
            return 2;
        case FieldType::u32:
        case FieldType::i32:
        case FieldType::f32:
            return 4;
    }
    return 0;
}

template <typename T>
struct Element {
    using type = T;
    static constexpr std::size_t count = 1;
};
template <typename T, std::size_t N>
struct Element<std::array<T, N>> {
    using type = T;
    static constexpr std::size_t count = N;
};

template <typename T>
constexpr FieldType type_of() {
    if constexpr (std::is_same_v<T, float>) {
        return FieldType::f32;
    } else if constexpr (std::is_same_v<T, std::int32_t>) {
        return FieldType::i32;
    } else if constexpr (sizeof(T) == 1) {
        return FieldType::u8;
    } else if constexpr (sizeof(T) == 2) {
        return FieldType::u16;
    } else {
        static_assert(sizeof(T) == 4);
        return FieldType::u32;
    }
}

// A field of the record type Rec: its spec, its type, how many elements it holds, and access
// to element i of the C++ member as raw bits (a float's exact bits, a NaN's payload included).
template <typename Rec>
struct Field {
    FieldSpec spec;
    FieldType type;
    std::size_t count;
    std::uint32_t (*get)(const Rec&, std::size_t i);
    void (*set)(Rec&, std::size_t i, std::uint32_t bits);

    constexpr std::size_t end() const { return spec.offset + width_of(type) * count; }
};

// Element i of a member that is a single value or an array of them.
template <typename T>
constexpr auto& element_at(T& member, std::size_t i) {
    if constexpr (Element<std::remove_const_t<T>>::count == 1) {
        return member;
    } else {
        return member[i];
    }
}

template <typename M>
struct MemberOf;
template <typename C, typename T>
struct MemberOf<T C::*> {
    using record = C;
    using value = T;
};

// The row of the member M: `field<&TaParams::pka>({.name = "pka", .offset = 27, ...})`.
template <auto M>
constexpr Field<typename MemberOf<decltype(M)>::record> field(FieldSpec spec) {
    using Rec = typename MemberOf<decltype(M)>::record;
    using Value = typename MemberOf<decltype(M)>::value;
    using E = typename Element<Value>::type;
    using Bits =
        std::conditional_t<std::is_enum_v<E>, std::underlying_type<E>, std::type_identity<E>>::type;
    return {
        spec,
        type_of<Bits>(),
        Element<Value>::count,
        [](const Rec& r, std::size_t i) -> std::uint32_t {
            if constexpr (std::is_same_v<Bits, float>) {
                return std::bit_cast<std::uint32_t>(element_at(r.*M, i));
            } else {
                return static_cast<std::uint32_t>(element_at(r.*M, i));
            }
        },
        [](Rec& r, std::size_t i, std::uint32_t bits) {
            if constexpr (std::is_same_v<Bits, float>) {
                element_at(r.*M, i) = std::bit_cast<float>(bits);
            } else {
                element_at(r.*M, i) = static_cast<E>(static_cast<Bits>(bits));
            }
        },
    };
}

// The row of the text member M, `spec.high` the longest text a dialog lets the user type. The
// field is its bytes: the text is read up to its terminator or the field's full width, and
// written as it is, cut to the width and padded with zeros. Element i is byte i.
template <auto M>
constexpr Field<typename MemberOf<decltype(M)>::record> text_field(std::size_t width,
                                                                   FieldSpec spec) {
    using Rec = typename MemberOf<decltype(M)>::record;
    static_assert(std::is_same_v<typename MemberOf<decltype(M)>::value, std::string>);
    return {
        spec,
        FieldType::text,
        width,
        [](const Rec& r, std::size_t i) -> std::uint32_t {
            const std::string& s = r.*M;
            return i < s.size() ? static_cast<std::uint8_t>(s[i]) : 0;
        },
        // Byte i of the field: a zero ends the text there, a byte past its end is hidden by
        // the terminator before it, except the one that takes the terminator's place.
        [](Rec& r, std::size_t i, std::uint32_t bits) {
            std::string& s = r.*M;
            const char c = static_cast<char>(static_cast<std::uint8_t>(bits));
            if (c == '\0') {
                s.resize(std::min(s.size(), i));
            } else if (i < s.size()) {
                s[i] = c;
            } else if (i == s.size()) {
                s.push_back(c);
            }
        },
    };
}

// A record nested in another: a record's own table with no commands of its own.
template <typename Rec, std::size_t N>
struct NestedTable {
    std::size_t size;
    std::array<Field<Rec>, N> fields;
};

// Row J of the nested table Inner as a row of the record holding element K of the array M.
template <auto M, std::size_t K, const auto& Inner, std::size_t J>
constexpr auto nested_field(std::size_t offset, std::string_view group, std::string_view item) {
    using Rec = typename MemberOf<decltype(M)>::record;
    FieldSpec spec = Inner.fields[J].spec;
    spec.offset += offset;
    spec.group = group;
    spec.item = item;
    spec.index = K;
    return Field<Rec>{
        spec,
        Inner.fields[J].type,
        Inner.fields[J].count,
        [](const Rec& r, std::size_t i) { return Inner.fields[J].get((r.*M)[K], i); },
        [](Rec& r, std::size_t i, std::uint32_t bits) { Inner.fields[J].set((r.*M)[K], i, bits); },
    };
}

template <auto M, std::size_t K, const auto& Inner, std::size_t... J>
constexpr void put_nested(auto& out, std::size_t at, std::size_t offset, std::string_view group,
                          std::string_view item, std::index_sequence<J...>) {
    ((out[at + J] = nested_field<M, K, Inner, J>(offset, group, item)), ...);
}

template <auto M, const auto& Inner, std::size_t N, std::size_t... K>
constexpr auto nested_rows(std::size_t offset, const std::array<std::string_view, N>& groups,
                           std::string_view item, std::index_sequence<K...>) {
    using Rec = typename MemberOf<decltype(M)>::record;
    constexpr std::size_t rows = Inner.fields.size();
    std::array<Field<Rec>, N * rows> out{};
    (put_nested<M, K, Inner>(out, K * rows, offset + K * Inner.size, groups[K], item,
                             std::make_index_sequence<rows>{}),
     ...);
    return out;
}

// The rows of every element of the array M of nested records, which starts at `offset`: each
// element's fields at its place, in its own group, named as the nested table names them.
template <auto M, const auto& Inner, std::size_t N>
constexpr auto nested_fields(std::size_t offset, const std::array<std::string_view, N>& groups,
                             std::string_view item) {
    return nested_rows<M, Inner>(offset, groups, item, std::make_index_sequence<N>{});
}

// The rows `a` then the rows `b`.
template <typename Rec, std::size_t A, std::size_t B>
constexpr std::array<Field<Rec>, A + B> join(const std::array<Field<Rec>, A>& a,
                                             const std::array<Field<Rec>, B>& b) {
    std::array<Field<Rec>, A + B> out{};
    for (std::size_t i = 0; i < A; ++i) {
        out[i] = a[i];
    }
    for (std::size_t i = 0; i < B; ++i) {
        out[A + i] = b[i];
    }
    return out;
}

template <typename Rec, std::size_t N>
struct RecordTable {
    CommandCode get;
    CommandCode set;
    std::size_t size;
    std::array<Field<Rec>, N> fields;
};

// What a record the sensor only reports has for its set command.
inline constexpr CommandCode kNoSetCommand = static_cast<CommandCode>(0);

// The table's commands carry its record whole.
template <typename Table>
constexpr bool commands_carry(const Table& table) {
    return response_length(table.get) == table.size &&
           (table.set == kNoSetCommand || request_length(table.set) == table.size);
}

// The fields follow one another from byte 0 to the record's end, none overlapping, none left out.
template <typename Table>
constexpr bool tiles(const Table& table) {
    std::size_t next = 0;
    for (const auto& f : table.fields) {
        if (f.spec.offset != next) {
            return false;
        }
        next = f.end();
    }
    return next == table.size;
}

// Records with a table: record_table(std::type_identity<Rec>{}) names it.
template <typename Rec>
concept TableRecord = requires {
    record_table(std::type_identity<Rec>{});
};

template <TableRecord Rec>
constexpr const auto& table_of() {
    return record_table(std::type_identity<Rec>{});
}

// The field named `name`, nullptr when the record has none.
template <TableRecord Rec>
constexpr const Field<Rec>* find_field(std::string_view name) {
    for (const auto& f : table_of<Rec>().fields) {
        if (f.spec.name == name) {
            return &f;
        }
    }
    return nullptr;
}

// Whether the record has a field named `name`. For static_assert: the sanitizer builds cannot
// compare find_field's pointer with nullptr at compile time.
template <TableRecord Rec>
constexpr bool has_field(std::string_view name) {
    for (const auto& f : table_of<Rec>().fields) {
        if (f.spec.name == name) {
            return true;
        }
    }
    return false;
}

// The row of the field `name`, for code that applies it to one named control; a name the
// record does not have does not compile.
template <TableRecord Rec>
consteval const Field<Rec>& row_of(std::string_view name) {
    for (const auto& f : table_of<Rec>().fields) {
        if (f.spec.name == name) {
            return f;
        }
    }
    throw "the record has no such field";
}

// Little-endian, as the sensor stores every number. A number `data` ends before reads as 0.
template <TableRecord Rec>
Rec decode_record(std::span<const std::uint8_t> data) {
    Rec r{};
    for (const auto& f : table_of<Rec>().fields) {
        const std::size_t width = width_of(f.type);
        for (std::size_t i = 0; i < f.count; ++i) {
            std::uint32_t bits = 0;
            const std::size_t at = f.spec.offset + i * width;
            for (std::size_t b = 0; b < width && at + width <= data.size(); ++b) {
                bits |= static_cast<std::uint32_t>(data[at + b]) << (8 * b);
            }
            f.set(r, i, bits);
        }
    }
    return r;
}

template <TableRecord Rec>
std::array<std::uint8_t, table_of<Rec>().size> encode_record(const Rec& r) {
    std::array<std::uint8_t, table_of<Rec>().size> out{};
    for (const auto& f : table_of<Rec>().fields) {
        const std::size_t width = width_of(f.type);
        for (std::size_t i = 0; i < f.count; ++i) {
            const std::uint32_t bits = f.get(r, i);
            for (std::size_t b = 0; b < width; ++b) {
                out[f.spec.offset + i * width + b] = static_cast<std::uint8_t>(bits >> (8 * b));
            }
        }
    }
    return out;
}

}  // namespace kelpira::link

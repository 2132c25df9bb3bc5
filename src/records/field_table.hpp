// The field-table mechanism under the names the records' tables and their readers use. It
// lives in link/ because the identity records, which link/ decodes, are described by it too.
#pragma once

#include "link/field_table.hpp"

namespace kelpira::records {

using link::commands_carry;
using link::decode_record;
using link::Element;
using link::element_at;
using link::encode_record;
using link::field;
using link::Field;
using link::FieldFormat;
using link::FieldSpec;
using link::FieldType;
using link::find_field;
using link::has_field;
using link::join;
using link::ListEntry;
using link::MemberOf;
using link::nested_fields;
using link::NestedTable;
using link::RecordTable;
using link::row_of;
using link::table_of;
using link::TableRecord;
using link::text_field;
using link::tiles;
using link::type_of;
using link::width_of;

}  // namespace kelpira::records

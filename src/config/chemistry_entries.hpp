// How the chemistry pages show the numbers of their records and read them back: clamps, unit
// conversions and number formats. An unedited field gives back the exact stored number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/form.hpp"
#include "common/number_text.hpp"
#include "records/chemistry_lists.hpp"

namespace kelpira::config {

using PageControl = common::FormControl;

using records::kLastEntryState;
using records::kSampleIntervalMaxMs;
using records::kSampleIntervalMinMs;

// An unsigned number shown as "%u".
void show_number(PageControl& field, std::uint32_t value);
// A state number: typed values above kLastEntryState are stored as kLastEntryState.
std::uint8_t state_value(const PageControl& field);
// A sample interval: typed values below 100 ms are stored as 100, above 1000 as 1000.
std::uint32_t interval_value(const PageControl& field);

// Number formats of the pages.
std::string fixed5_text(float value);     // Generic and pH floats, "%.5f"
std::string crm_text(float value);        // DIC CRM values, "%.2f" of value + 0.001
std::string dilution_text(double ratio);  // "1:%.3f"

}  // namespace kelpira::config

// How the chemistry pages read their typed entries into record fields and show the fields
// again: clamps, unit conversions and number formats.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelpira::config {

// Unsigned decimal with surrounding blanks; anything else gives 0. A number past 32 bits is
// taken as 4294967295, so the clamps below see it as the large number it is.
std::uint32_t entry_unsigned(std::string_view text);

// The highest state number a page stores, and the sample intervals it allows.
inline constexpr std::uint8_t kLastEntryState = 254;
inline constexpr std::uint32_t kSampleIntervalMinMs = 100;
inline constexpr std::uint32_t kSampleIntervalMaxMs = 1000;

// A state number: values above kLastEntryState are stored as kLastEntryState.
std::uint8_t entry_state(std::string_view text);

// A sample interval: below 100 ms stored as 100, above 1000 as 1000.
std::uint32_t entry_interval_ms(std::string_view text);

// A field stored in 16 bits (the pH blank offsets): the low 16 bits of the number.
std::uint16_t entry_low16(std::string_view text);

// Decimal floating point from the first 23 characters (longest numeric prefix; 0 without one).
float entry_real(std::string_view text);

// Decimal text times 1000, truncated, into an unsigned 32-bit field (µM to nmol/l).
std::uint32_t entry_milli(std::string_view text);

// Number formats of the pages.
std::string fixed5_text(float value);     // Generic and pH floats, "%.5f"
std::string general_text(float value);    // TA floats, "%g"
std::string crm_text(float value);        // DIC CRM values, "%.2f" of value + 0.001
std::string milli_text(std::uint32_t v);  // nutrient concentrations, "%.3f" of v / 1000
std::string dilution_text(double ratio);  // "1:%.3f"

}  // namespace kelpira::config

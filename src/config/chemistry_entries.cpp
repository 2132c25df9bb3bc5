// Showing and reading the numbers of the chemistry pages.
#include "config/chemistry_entries.hpp"

#include <limits>

#include "common/decimal_milli.hpp"
#include "common/number_text.hpp"

namespace kelpira::config {

namespace {

// Only this many characters of an entry are read.
constexpr std::size_t kEntryChars = 23;

}  // namespace

void show_number(PageControl& field, std::uint32_t value) {
    common::show_value(field, value, std::to_string(value));
}

std::uint8_t state_value(const PageControl& field) {
    return static_cast<std::uint8_t>(common::field_unsigned_value(field, 0, kLastEntryState));
}

std::uint32_t interval_value(const PageControl& field) {
    return common::field_unsigned_value(field, kSampleIntervalMinMs, kSampleIntervalMaxMs);
}

std::uint16_t u16_value(const PageControl& field) {
    return static_cast<std::uint16_t>(
        common::field_unsigned_value(field, 0, std::numeric_limits<std::uint16_t>::max()));
}

void show_milli(PageControl& field, std::uint32_t v) {
    common::show_value(field, v, milli_text(v));
}

std::uint32_t milli_value(const PageControl& field) {
    if (const auto shown = common::unedited_value(field)) {
        return static_cast<std::uint32_t>(*shown);
    }
    return common::decimal_milli_u32(std::string_view(field.text).substr(0, kEntryChars));
}

std::string fixed5_text(float value) {
    return common::field_text(value, 5);
}

std::string general_text(float value) {
    return common::general_text(value);
}

std::string crm_text(float value) {
    return common::field_text(static_cast<double>(value) + 0.001, 2);
}

std::string milli_text(std::uint32_t v) {
    return common::fixed_text(v / 1000.0, 3);
}

std::string dilution_text(double ratio) {
    return "1:" + common::fixed_text(ratio, 3);
}

}  // namespace kelpira::config

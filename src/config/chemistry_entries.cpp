// Showing and reading the numbers of the chemistry pages.
#include "config/chemistry_entries.hpp"

#include "common/number_text.hpp"

namespace kelpira::config {

void show_number(PageControl& field, std::uint32_t value) {
    common::show_value(field, value, std::to_string(value));
}

std::uint8_t state_value(const PageControl& field) {
    return static_cast<std::uint8_t>(common::field_unsigned_value(field, 0, kLastEntryState));
}

std::uint32_t interval_value(const PageControl& field) {
    return common::field_unsigned_value(field, kSampleIntervalMinMs, kSampleIntervalMaxMs);
}

std::string fixed5_text(float value) {
    return common::field_text(value, 5);
}

std::string crm_text(float value) {
    return common::field_text(static_cast<double>(value) + 0.001, 2);
}

std::string dilution_text(double ratio) {
    return "1:" + common::fixed_text(ratio, 3);
}

}  // namespace kelpira::config

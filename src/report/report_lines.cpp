// Number formats of the configuration report.
#include "report/report_lines.hpp"

#include <array>
#include <charconv>

#include "common/form.hpp"
#include "common/number_text.hpp"
#include "records/chemistry_config.hpp"

namespace kelpira::report {

std::string fixed(double value, int decimals) {
    return common::field_text(value, decimals);
}

std::string general(double value) {
    std::array<char, 64> buffer{};
    const auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::general, 6);
    return std::string(buffer.data(), r.ptr);
}

std::string num(std::int64_t value) {
    return std::to_string(value);
}

std::string state_text(std::uint8_t state) {
    return state == records::kStateDisabled ? "disabled" : num(state);
}

std::string with_status(std::string_view sentence, link::CommandResult status) {
    return std::string(sentence) + " (status=" + num(status) + ")";
}

}  // namespace kelpira::report

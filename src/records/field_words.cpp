// The report's words for list and check box values.
#include "records/field_words.hpp"

namespace kelpira::records {

std::string value_word(const FieldSpec& s, std::uint32_t value) {
    if (s.format == FieldFormat::check && s.choices.size() == 2) {
        return std::string(s.choices[value == 0 ? 0 : 1].text);
    }
    for (const auto& e : s.choices) {
        if (e.value == value) {
            return std::string(e.report.empty() ? e.text : e.report);
        }
    }
    std::string text(s.otherwise.empty() ? "unknown (%u)" : s.otherwise);
    if (const auto at = text.find("%u"); at != std::string::npos) {
        text.replace(at, 2, std::to_string(value));
    }
    return text;
}

}  // namespace kelpira::records

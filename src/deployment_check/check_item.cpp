// Verdict words and the two printed forms of the check.
#include "deployment_check/check_item.hpp"

#include <algorithm>

namespace kelpira::deployment_check {

std::string_view verdict_name(Verdict v) {
    switch (v) {
        case Verdict::pass:
            return "pass";
        case Verdict::warn:
            return "warn";
        case Verdict::fail:
            return "fail";
        case Verdict::skip:
            break;
    }
    return "skip";
}

std::string_view verdict_word(Verdict v) {
    switch (v) {
        case Verdict::pass:
            return "PASS";
        case Verdict::warn:
            return "WARN";
        case Verdict::fail:
            return "FAIL";
        case Verdict::skip:
            break;
    }
    return "SKIP";
}

Verdict worse(Verdict a, Verdict b) {
    return std::max(a, b);
}

bool any_failed(const std::vector<CheckItem>& items) {
    return std::any_of(items.begin(), items.end(),
                       [](const CheckItem& i) { return i.verdict == Verdict::fail; });
}

std::string check_text(const std::vector<CheckItem>& items) {
    constexpr std::size_t kIdWidth = 11;  // "thermistors", the longest id
    std::string out;
    for (const auto& item : items) {
        out += verdict_word(item.verdict);
        out += ' ';
        out += item.id;
        out.append(kIdWidth - std::min(kIdWidth, item.id.size()) + 1, ' ');
        out += item.text;
        out += '\n';
    }
    return out;
}

nlohmann::ordered_json items_json(const std::vector<CheckItem>& items) {
    auto list = nlohmann::ordered_json::array();
    for (const auto& item : items) {
        list.push_back(
            {{"id", item.id}, {"verdict", verdict_name(item.verdict)}, {"text", item.text}});
    }
    return list;
}

}  // namespace kelpira::deployment_check
